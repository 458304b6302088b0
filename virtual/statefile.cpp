// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/statefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <array>

namespace kr52::virt {

namespace {

const QString header = QStringLiteral("# KR52 memory switches 0 to F, in hex");

} // namespace

StateLoad loadState(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {SwitchBank(), {}};
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {std::nullopt, QStringLiteral("Could not read %1: %2").arg(path, file.errorString())};

    static const QRegularExpression line(QStringLiteral("^([0-9A-Fa-f])=([0-9A-Fa-f]{4})$"));
    SwitchBank switches;
    std::array<bool, SwitchBank::count> seen{};
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString text = QString::fromUtf8(file.readLine()).trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        const auto match = line.match(text);
        if (!match.hasMatch())
            return {std::nullopt, QStringLiteral("%1, line %2: expected a switch and four hex digits, as in "
                                                 "\"1=000B\", not \"%3\"")
                                      .arg(path)
                                      .arg(number)
                                      .arg(text)};
        const int index = match.captured(1).toInt(nullptr, 16);
        if (seen[std::size_t(index)])
            return {
                std::nullopt,
                QStringLiteral("%1, line %2: switch %3 is given twice").arg(path).arg(number).arg(designatorOf(index))};
        seen[std::size_t(index)] = true;
        switches.setValue(index, quint16(match.captured(2).toUInt(nullptr, 16)));
    }
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, QStringLiteral("Could not read %1: %2").arg(path, file.errorString())};
    return {switches, {}};
}

QString saveState(const QString &path, const SwitchBank &switches)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("Could not make the folder %1 for the switch state").arg(folder);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return QStringLiteral("Could not write %1: %2").arg(path, file.errorString());
    QByteArray text = header.toUtf8() + '\n';
    for (int i = 0; i < SwitchBank::count; ++i)
        text += designatorOf(i) + QByteArray("=") + hexWord(switches.value(i)).toLatin1() + '\n';
    file.write(text);
    if (!file.commit())
        return QStringLiteral("Could not write %1: %2").arg(path, file.errorString());
    return {};
}

} // namespace kr52::virt
