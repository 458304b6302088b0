// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/selftestpage.h"

#include "app/appinfo.h"

#include <cstdlib>
#include <optional>

namespace kr52::virt {

namespace {

int switchIndex(const SettingRow &row)
{
    return switchIndexOf(row.switchId).value(); // every row of the catalogue names a switch
}

quint16 maskOf(const SwitchCommand &command)
{
    return quint16(command.mask.toUInt(nullptr, 16));
}

// The row's switch after sending commands to a printer whose switches stand as given.
quint16 afterSending(const QList<SwitchCommand> &commands, const SwitchBank &switches, int index)
{
    SwitchBank copy = switches;
    for (const SwitchCommand &command : commands)
        copy.apply(switchIndexOf(command.switchId).value(), command.set, maskOf(command));
    return copy.value(index);
}

// Every bit that some entry of the row writes. The cut offset text only changes the values
// written, not where, so any text will do.
quint16 rowBits(const SettingRow &row)
{
    quint16 bits = 0;
    for (int index = 1; index < row.entries.size(); ++index)
        for (const SwitchCommand &command : commandsFor(row, index, u"0"))
            bits |= maskOf(command);
    return bits;
}

QString bitsNote(const SettingRow &row, quint16 bits, quint16 value)
{
    return QStringLiteral("(switch %1, bits %2 = %3)")
        .arg(QString(QLatin1Char(row.switchId)), hexWord(bits), hexWord(value & bits));
}

// The cut offset of "Adjust as below": the sign in bit 12, then hundreds, tens and units of the
// tenths of a millimetre in bits 8-11, 4-7 and 0-3. Empty when a digit is not decimal.
std::optional<int> storedOffsetTenths(quint16 value)
{
    int tenths = 0;
    for (int shift = 8; shift >= 0; shift -= 4) {
        const int digit = (value >> shift) & 0xF;
        if (digit > 9)
            return std::nullopt;
        tenths = tenths * 10 + digit;
    }
    return (value & 0x1000) ? -tenths : tenths;
}

QString millimetres(int tenths)
{
    const int magnitude = std::abs(tenths);
    return QStringLiteral("%1%2.%3 mm")
        .arg(tenths < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 10)
        .arg(magnitude % 10);
}

} // namespace

DecodedSetting decodeSetting(const SettingRow &row, const SwitchBank &switches)
{
    DecodedSetting decoded;
    decoded.label = row.qualifier.isEmpty() ? row.caption : row.caption + QLatin1Char(' ') + row.qualifier;
    const int index = switchIndex(row);
    const quint16 value = switches.value(index);
    const quint16 bits = rowBits(row);

    if (row.kind == RowKind::CutOffset) {
        if (const std::optional<int> tenths = storedOffsetTenths(value)) {
            const QString text = millimetres(*tenths);
            const quint16 after = afterSending(commandsFor(row, 1, text), switches, index);
            if ((after & bits) == (value & bits)) {
                decoded.entries = QStringList{row.entries.at(1)};
                decoded.value = text;
                return decoded;
            }
        }
        decoded.value = QStringLiteral("no entry matches ") + bitsNote(row, bits, value);
        return decoded;
    }

    for (int entry = 1; entry < row.entries.size(); ++entry) {
        const quint16 after = afterSending(commandsFor(row, entry, {}), switches, index);
        if ((after & bits) == (value & bits))
            decoded.entries.append(row.entries.at(entry).trimmed());
    }
    if (decoded.entries.isEmpty())
        decoded.value = QStringLiteral("no entry matches ") + bitsNote(row, bits, value);
    else if (decoded.entries.size() == 1)
        decoded.value = decoded.entries.constFirst();
    else
        decoded.value = decoded.entries.join(QStringLiteral(" or ")) + QLatin1Char(' ') + bitsNote(row, bits, value);
    return decoded;
}

SelfTestPage SelfTestPage::of(const SwitchBank &switches)
{
    SelfTestPage page;
    page.switches = switches;
    for (const SettingRow &row : settingsCatalogue())
        page.settings.push_back(decodeSetting(row, switches));
    return page;
}

QString SelfTestPage::title() const
{
    return QStringLiteral("KR52 SELF TEST");
}

QStringList SelfTestPage::switchLines() const
{
    QStringList lines;
    for (int row = 0; row < SwitchBank::count; row += 4) {
        QStringList cells;
        for (int i = row; i < row + 4; ++i)
            cells.append(
                QStringLiteral("%1: %2").arg(QString(QLatin1Char(designatorOf(i))), hexWord(switches.value(i))));
        lines.append(cells.join(QStringLiteral("  ")));
    }
    return lines;
}

QString SelfTestPage::text() const
{
    const QString rule(40, QLatin1Char('-'));
    QStringList lines{title(), QStringLiteral("Virtual printer, kr52-config %1").arg(versionText()), rule,
                      QStringLiteral("Memory switches")};
    lines += switchLines();
    lines << rule << QStringLiteral("Settings");
    for (const DecodedSetting &setting : settings)
        lines.append(setting.label + QStringLiteral(": ") + setting.value);
    lines.append(rule);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace kr52::virt
