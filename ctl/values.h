// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace kr52::ctl {

// A cut offset given as text that is wholly a decimal number ("-1.5", "12", ".5", "+3."), in
// tenths of a millimetre rounded as the window rounds them (half to even), from -299 to 299.
// Anything else ("1e3", "abc", "1,5", "40", "1.5mm") gives nothing: a script's value is never
// silently turned into another.
[[nodiscard]] std::optional<int> cutOffsetTenthsGiven(QStringView text);

// The refusal of a cut offset given at origin ("--cut-offset", "shop.ini line 4").
[[nodiscard]] QString cutOffsetRefusal(const QString &origin, const QString &text);

// Tenths as the text the window would show and a profile holds: "-1.5", "0.0".
[[nodiscard]] QString cutOffsetText(int tenths);

} // namespace kr52::ctl
