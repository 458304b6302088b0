// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/serialsettings.h"

#include <QStringList>

#include <array>

namespace kr52 {

namespace {

SerialSettingsResult refuse(const QString &text, const QString &why)
{
    return {std::nullopt, QStringLiteral("The serial settings \"%1\" are not valid: %2").arg(text, why)};
}

bool isDigits(const QString &field)
{
    if (field.isEmpty())
        return false;
    for (QChar c : field) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

const ParityEntry *parityOfLetter(const QString &letter)
{
    for (const ParityEntry &entry : parities()) {
        if (letter == QLatin1Char(entry.letter))
            return &entry;
    }
    return nullptr;
}

struct StopBitsText {
    StopBits stopBits;
    const char *text;
};

constexpr std::array<StopBitsText, 3> stopBitsTexts{{
    {StopBits::One, "1"},
    {StopBits::OneAndHalf, "1.5"},
    {StopBits::Two, "2"},
}};

const StopBitsText *stopBitsOfText(const QString &text)
{
    for (const StopBitsText &entry : stopBitsTexts) {
        if (text == QLatin1String(entry.text))
            return &entry;
    }
    return nullptr;
}

} // namespace

SerialSettingsResult parseSerialSettings(const QString &text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return refuse(text, QStringLiteral("expected four fields, baud rate, parity, data bits and "
                                           "stop bits, separated by commas (such as 9600,n,8,1)."));

    SerialSettings settings;
    const QString baud = fields[0].trimmed();
    bool ok = false;
    const qint64 baudValue = baud.toLongLong(&ok);
    if (!isDigits(baud) || !ok || baudValue <= 0 || baudValue > 4000000)
        return refuse(text, QStringLiteral("the baud rate \"%1\" must be a positive whole number up to 4000000 "
                                           "(such as 9600, 19200 or 33600).")
                                .arg(baud));
    settings.baudRate = static_cast<qint32>(baudValue);

    const ParityEntry *parity = parityOfLetter(fields[1].trimmed().toLower());
    if (!parity)
        return refuse(text, QStringLiteral("the parity \"%1\" must be n, e, o, m or s.").arg(fields[1].trimmed()));
    settings.parity = parity->parity;

    const QString data = fields[2].trimmed();
    if (!isDigits(data) || data.size() != 1 || data[0] < QLatin1Char('5') || data[0] > QLatin1Char('8'))
        return refuse(text, QStringLiteral("the data bits \"%1\" must be 5, 6, 7 or 8.").arg(data));
    settings.dataBits = data.toInt();

    const QString stop = fields[3].trimmed();
    const StopBitsText *stopBits = stopBitsOfText(stop);
    if (!stopBits)
        return refuse(text, QStringLiteral("the stop bits \"%1\" must be 1, 1.5 or 2.").arg(stop));
    settings.stopBits = stopBits->stopBits;

    return {settings, {}};
}

QString stopBitsText(StopBits stopBits)
{
    for (const StopBitsText &entry : stopBitsTexts) {
        if (entry.stopBits == stopBits)
            return QLatin1String(entry.text);
    }
    return {};
}

} // namespace kr52
