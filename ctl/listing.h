// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace kr52::ctl {

// The twenty-two settings for reading: each name with its switch and help page, then its entries.
[[nodiscard]] QString settingsListing();
// The same as a JSON array of {name, list, switch, help, entries} for scripts.
[[nodiscard]] QByteArray settingsJson();

} // namespace kr52::ctl
