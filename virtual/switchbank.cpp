// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/switchbank.h"

namespace kr52::virt {

void SwitchBank::apply(int switchIndex, bool set, quint16 mask)
{
    quint16 &value = m_values.at(std::size_t(switchIndex));
    value = set ? quint16(value | mask) : quint16(value & ~mask);
}

std::optional<int> switchIndexOf(char designator)
{
    if (designator >= '0' && designator <= '9')
        return designator - '0';
    if (designator >= 'A' && designator <= 'F')
        return designator - 'A' + 10;
    return std::nullopt;
}

char designatorOf(int switchIndex)
{
    return "0123456789ABCDEF"[switchIndex & 0xF];
}

QString hexWord(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace kr52::virt
