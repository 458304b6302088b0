// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/portkinds.h"

#include <QRegularExpression>

#include <array>

namespace kr52 {

namespace {

using namespace Qt::StringLiterals;

constexpr std::array<PortKindInfo, 2> kinds{{
    {PortKind::Serial, "COM"_L1, 4, "/dev/ttyS"_L1, "KR52_COM"_L1, LinkMode::Serial},
    {PortKind::Printer, "LPT"_L1, 4, "/dev/lp"_L1, "KR52_LPT"_L1, LinkMode::Parallel},
}};

} // namespace

std::span<const PortKindInfo> portKinds()
{
    return kinds;
}

const PortKindInfo &portKindInfo(PortKind kind)
{
    for (const PortKindInfo &info : kinds) {
        if (info.kind == kind)
            return info;
    }
    return kinds.front();
}

QString PortName::text() const
{
    return kind->prefix + QString::number(number) + QLatin1Char(':');
}

QString PortName::defaultDevice() const
{
    return kind->defaultDevice + QString::number(number - 1);
}

QString PortName::variable() const
{
    return kind->variable + QString::number(number);
}

std::optional<PortName> parsePortName(const QString &text)
{
    // Nine ports of each kind can be mapped, more than the four offered, through their variables.
    static const QRegularExpression pattern(QStringLiteral("^([A-Z]+)([1-9]):$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    for (const PortKindInfo &info : kinds) {
        if (match.capturedView(1) == info.prefix)
            return PortName{&info, match.capturedView(2).toInt()};
    }
    return std::nullopt;
}

} // namespace kr52
