// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

namespace kr52 {

// The number at the start of a text: blanks, tabs and line feeds are skipped wherever they
// stand ("1 2" reads 12); then an optional sign, digits with at most one "." (whatever the
// locale) and an optional exponent after "E". Reading stops at the first character that cannot
// continue the number; a text that does not start with a number gives 0. Too large a number
// gives an infinity of its sign, which callers clamp.
[[nodiscard]] double leadingNumber(QStringView text);

// A number as text: one leading blank for zero or more, "-" for a negative number, then the
// shortest decimal form that reads back as the same value, with no "0" before the "." of a
// fraction and no ".0" on a whole number: " 0", " 12.3", "-7.5", " .4", "-.9".
[[nodiscard]] QString numberText(float value);
[[nodiscard]] QString numberText(double value);
[[nodiscard]] QString numberText(int value);

} // namespace kr52
