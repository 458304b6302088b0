#include "portdialog/serialsettingstext.h"

#include "settings/numbers.h"

namespace kr52 {

namespace {

// Blanks only: a tab typed into a field is the serial control's to judge.
QString withoutOuterBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace

QString serialSettingsText(const QString &baudText, const QString &dataBits, const QString &stopBits)
{
    return numberText(leadingNumber(baudText)).trimmed() + QStringLiteral(",n,") + withoutOuterBlanks(dataBits) +
           QLatin1Char(',') + withoutOuterBlanks(stopBits);
}

bool isSerialPortEntry(const QString &entry)
{
    return entry.left(3) == QLatin1String("COM");
}

} // namespace kr52
