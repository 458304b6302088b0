// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kr52 {

// The serial control's settings text as the port dialog builds it: the baud rate read as a number
// and written back in decimal, ",n,", the data bits, ",", the stop bits. The two typed fields
// lose all white space at both ends (blanks, tabs, no-break spaces, as the settings parser reads
// them) and are otherwise passed on as typed ("19200", " 7", "2\t" give "19200,n,7,2"); whether
// the serial control accepts the result is its own business.
[[nodiscard]] QString serialSettingsText(const QString &baudText, const QString &dataBits, const QString &stopBits);

// The settings text from its parts as they stand: "9600", "8", "1" give "9600,n,8,1".
[[nodiscard]] QString serialSettingsLine(const QString &baud, const QString &dataBits, const QString &stopBits);

} // namespace kr52
