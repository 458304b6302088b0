// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/profileportkeys.h"

#include "printer/serialsettings.h"

namespace kr52 {

namespace {

QString stopBitsText(QSerialPort::StopBits stopBits)
{
    switch (stopBits) {
    case QSerialPort::OneStop:
        return QStringLiteral("1");
    case QSerialPort::OneAndHalfStop:
        return QStringLiteral("1.5");
    case QSerialPort::TwoStop:
        return QStringLiteral("2");
    }
    return {};
}

} // namespace

PortKeys portKeysOfSerialSettings(const QString &settingsText)
{
    const SerialSettingsResult parsed = parseSerialSettings(settingsText);
    if (!parsed.settings)
        return {{}, parsed.error};
    if (parsed.settings->parity != QSerialPort::NoParity)
        return {{},
                QStringLiteral("The serial settings \"%1\" use parity, which a profile cannot hold; a profile's "
                               "port runs without parity.")
                    .arg(settingsText)};
    return {{{QStringLiteral("baud"), QString::number(parsed.settings->baudRate)},
             {QStringLiteral("data"), QString::number(int(parsed.settings->dataBits))},
             {QStringLiteral("stop"), stopBitsText(parsed.settings->stopBits)}},
            {}};
}

} // namespace kr52
