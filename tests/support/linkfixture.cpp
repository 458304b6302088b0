// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/linkfixture.h"

#include "printer/mscomm.h"
#include "shell/frmMain.h"

#include <QFile>
#include <QPushButton>
#include <QTest>
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

void useSerial(frmMain &main, int commPort, const QString &devicePath)
{
    qputenv(QStringLiteral("KR52_COM%1").arg(commPort).toLatin1().constData(), devicePath.toLocal8Bit());
    main.serialControl()->setCommPort(commPort);
    main.setProperty("cmode", QVariant::fromValue<qint16>(1));
}

void useParallel(frmMain &main, int lptNumber, const QString &path)
{
    qputenv(QStringLiteral("KR52_LPT%1").arg(lptNumber).toLatin1().constData(), path.toLocal8Bit());
    main.setProperty("lptport", QStringLiteral("LPT%1:").arg(lptNumber));
    main.setProperty("cmode", QVariant::fromValue<qint16>(2));
}

void click(frmMain &main, const char *buttonName)
{
    auto *button = main.findChild<QPushButton *>(QString::fromLatin1(buttonName));
    QVERIFY2(button, buttonName);
    button->click();
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace linktest
