// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/serialsettingstext.h"

#include "settings/numbers.h"

namespace kr52 {

QString serialSettingsText(const QString &baudText, const QString &dataBits, const QString &stopBits)
{
    return serialSettingsLine(numberText(leadingNumber(baudText)).trimmed(), dataBits.trimmed(), stopBits.trimmed());
}

QString serialSettingsLine(const QString &baud, const QString &dataBits, const QString &stopBits)
{
    return baud + QStringLiteral(",n,") + dataBits + QLatin1Char(',') + stopBits;
}

} // namespace kr52
