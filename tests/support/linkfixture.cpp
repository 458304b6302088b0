// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/linkfixture.h"

#include <QFile>
#include <QtGlobal>

namespace linktest {

QByteArray switchBytes(char switchId, char operation, const char *mask)
{
    QByteArray command("\x1b#");
    command.append(switchId).append(operation).append(mask).append('\n').append('\0');
    return command;
}

const QList<QPair<QString, int>> &longestRunChoices()
{
    static const QList<QPair<QString, int>> choices{
        {"comEmulation", 2}, {"comFF", 1},    {"comSpeed", 2},        {"comReverse", 1},       {"comEndCode", 2},
        {"comPoutSig", 1},   {"comPout", 2},  {"comIdleAction", 1},   {"comRAMBack", 2},       {"comCutter", 1},
        {"comCharSet", 3},   {"comCPage", 2}, {"comZStyle", 2},       {"comLFeed", 1},         {"comColumns", 2},
        {"comCRCode", 1},    {"comBMark", 1}, {"comMeasurePower", 2}, {"comMeasureResume", 1}, {"comDetectPower", 2},
        {"comCutPos", 2},    {"comCComp", 1}};
    return choices;
}

void clearDeviceOverrides()
{
    for (int n = 1; n <= 4; ++n) {
        qunsetenv(QStringLiteral("KR52_COM%1").arg(n).toLatin1().constData());
        qunsetenv(QStringLiteral("KR52_LPT%1").arg(n).toLatin1().constData());
    }
}

QString makeDeviceFile(const QString &folder, const QString &name)
{
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) ? path : QString();
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace linktest
