// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace kr52::ctl {

// The refusal of a cut offset given at origin ("--cut-offset", "shop.ini line 4").
[[nodiscard]] QString cutOffsetRefusal(const QString &origin, const QString &text);

// Tenths as the text the window would show and a profile holds: "-1.5", "0.0".
[[nodiscard]] QString cutOffsetText(int tenths);

} // namespace kr52::ctl
