// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/profileport.h"

#include "printer/serialsettings.h"

#include <QStringList>

namespace kr52 {

PortKeys portKeysOfSerialSettings(const QString &settingsText)
{
    const SerialSettingsResult parsed = parseSerialSettings(settingsText);
    if (!parsed.settings)
        return {{}, parsed.error};
    if (parsed.settings->parity != Parity::None)
        return {{},
                QStringLiteral("The serial settings \"%1\" use parity, which a profile cannot hold; a profile's "
                               "port runs without parity.")
                    .arg(settingsText)};
    return {{{QStringLiteral("baud"), QString::number(parsed.settings->baudRate)},
             {QStringLiteral("data"), QString::number(parsed.settings->dataBits)},
             {QStringLiteral("stop"), stopBitsText(parsed.settings->stopBits)}},
            {}};
}

QString serialValuesFault(const QMap<QString, QString> &port, const QMap<QString, QString> &origins)
{
    const QStringList keys{QStringLiteral("baud"), QStringLiteral("data"), QStringLiteral("stop")};
    const QStringList defaults{QStringLiteral("9600"), QStringLiteral("8"), QStringLiteral("1")};
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (!port.contains(keys[i]))
            continue;
        QStringList fields = defaults;
        fields[i] = port.value(keys[i]);
        const SerialSettingsResult parsed =
            parseSerialSettings(QStringLiteral("%1,n,%2,%3").arg(fields[0], fields[1], fields[2]));
        if (!parsed.settings)
            return QStringLiteral("%1: %2").arg(origins.value(keys[i]), parsed.error);
    }
    return {};
}

} // namespace kr52
