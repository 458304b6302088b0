// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/profile.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace kr52 {

// What a profile sets: one index per catalogue row, 0 ("No change") for every setting it leaves
// out, and the cut offset in tenths of a millimetre when it gives one.
struct ProfileChoices {
    std::vector<int> indexes;
    std::optional<int> cutOffsetTenths;
    QString error; // the first fault, naming the file and line; empty when the choices hold
};

// Checks the settings of a profile before anything uses them: every setting and entry (as
// chooseSettings does), and the cut offset (strictCutOffsetTenths) together with "Adjust as
// below", which go only together. The serial values of [port] are the devices' to check
// (serialValuesFault).
[[nodiscard]] ProfileChoices choicesOfProfile(const Profile &profile);

// A cut offset written as a plain decimal number ("-1.5", "12", ".5", "+3."), in tenths of a
// millimetre rounded as the printer gets them (half to even), from -299 to 299. Anything else,
// such as "1.5mm", "1e1", "abc" or "30", gives nothing.
[[nodiscard]] std::optional<int> strictCutOffsetTenths(QStringView text);

} // namespace kr52
