// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/serialsettingstext.h"

#include "settings/numbers.h"

namespace kr52 {

QString serialSettingsText(const QString &baudText, const QString &dataBits, const QString &stopBits)
{
    return numberText(leadingNumber(baudText)).trimmed() + QStringLiteral(",n,") + dataBits.trimmed() +
           QLatin1Char(',') + stopBits.trimmed();
}

bool isSerialPortEntry(const QString &entry)
{
    return entry.left(3) == QLatin1String("COM");
}

} // namespace kr52
