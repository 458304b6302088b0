// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace kr52::ctl {

// What the port dialog shows, for a script: each port with its device, where that comes from
// and its state, then the serial ports and printer devices there are, under their stable by-id
// names, with their details and state.
[[nodiscard]] QString devicesListing();
[[nodiscard]] QByteArray devicesJson();

} // namespace kr52::ctl
