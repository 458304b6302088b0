// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/profile.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace kr52 {

struct ProfileText {
    std::optional<QByteArray> text; // UTF-8, lines ending in "\n"
    QString error;                  // what the format cannot hold; empty when text is set
};

// Writes profile as the text parseProfile reads back to the same names, entries, cut offset and
// port keys: the comment (each of its lines after "; "), then [settings] and, when it has keys,
// [port] in the order of profilePortKeys. The format has no quoting, so a name, entry or value it
// would read back differently is refused: an empty one, one with a line break, blanks at its
// ends or a lone surrogate, a setting name with "=", one that would start a comment or a
// section, a setting named "cut-offset", and a [port] key it does not know.
[[nodiscard]] ProfileText formatProfile(const Profile &profile, const QString &comment);

// The profile of one chosen index per catalogue row (as "Use Settings" takes them): each row
// not at "No change" as its setting's name and entry, in catalogue order, and the cut offset,
// only while its row is at "Adjust as below", as the number of tenths the printer gets
// ("-1.5", "0.0"), so that applying the profile sends the same bytes.
[[nodiscard]] Profile profileOfChoices(const std::vector<int> &indexes, QStringView cutOffsetText);

} // namespace kr52
