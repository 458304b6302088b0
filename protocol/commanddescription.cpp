// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/commanddescription.h"

#include <QStringList>

namespace kr52 {

QString hexBytes(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper());
}

QString describeSwitchBits(char switchId, bool set, QByteArrayView mask)
{
    const QString verb = set ? QStringLiteral("sets") : QStringLiteral("clears");
    const QString target = QStringLiteral("switch %1").arg(QLatin1Char(switchId));
    bool isNumber = false;
    const uint bits = QString::fromLatin1(mask).toUInt(&isNumber, 16);
    if (mask.size() != 4 || !isNumber)
        return QStringLiteral("%1 the bits \"%2\" of %3").arg(verb, QString::fromLatin1(mask), target);
    // Runs of three or more bits read as a range: "bits 0-11".
    QStringList numbers;
    int count = 0;
    for (int bit = 0; bit < 16; ++bit) {
        if (!(bits & (1u << bit)))
            continue;
        int last = bit;
        while (last < 15 && (bits & (1u << (last + 1))))
            ++last;
        numbers.append(last - bit >= 2 ? QStringLiteral("%1-%2").arg(bit).arg(last) : QString::number(bit));
        if (last - bit == 1)
            numbers.append(QString::number(last));
        count += last - bit + 1;
        bit = last;
    }
    if (numbers.isEmpty())
        return QStringLiteral("%1 no bits of %2").arg(verb, target);
    const QString noun = count == 1 ? QStringLiteral("bit") : QStringLiteral("bits");
    return QStringLiteral("%1 %2 %3 of %4").arg(verb, noun, numbers.join(QStringLiteral(", ")), target);
}

} // namespace kr52
