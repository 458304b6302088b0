// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/catalogue.h"

#include "protocol/commands.h"
#include "settings/numbers.h"

#include <cmath>
#include <limits>

namespace kr52 {

QByteArray SwitchCommand::bytes() const
{
    const QByteArray id(1, switchId);
    return set ? setSwitchBitsCommand(id, mask) : clearSwitchBitsCommand(id, mask);
}

namespace {

SwitchCommand set(char switchId, const char *mask)
{
    return {switchId, true, mask};
}

SwitchCommand clear(char switchId, const char *mask)
{
    return {switchId, false, mask};
}

const QString noChange = QStringLiteral("No change");

SettingRow fixedRow(const char *listName, const char *caption, const char *qualifier, QStringList entries, char sw,
                    std::vector<QList<SwitchCommand>> commands, int helpIndex, SettingsPage page, int top)
{
    entries.prepend(noChange);
    return {QString::fromLatin1(listName),
            QString::fromLatin1(caption),
            QString::fromLatin1(qualifier),
            entries,
            sw,
            RowKind::Fixed,
            std::move(commands),
            helpIndex,
            page,
            top};
}

// The common pattern: the first entry clears the mask, the second sets it.
SettingRow clearSetRow(const char *listName, const char *caption, const char *qualifier, QStringList entries, char sw,
                       const char *mask, int helpIndex, SettingsPage page, int top)
{
    return fixedRow(listName, caption, qualifier, std::move(entries), sw, {{clear(sw, mask)}, {set(sw, mask)}},
                    helpIndex, page, top);
}

// The opposite sense: the first entry sets the mask, the second clears it.
SettingRow setClearRow(const char *listName, const char *caption, const char *qualifier, QStringList entries, char sw,
                       const char *mask, int helpIndex, SettingsPage page, int top)
{
    return fixedRow(listName, caption, qualifier, std::move(entries), sw, {{set(sw, mask)}, {clear(sw, mask)}},
                    helpIndex, page, top);
}

SettingRow computedRow(const char *listName, const char *caption, QStringList entries, char sw, RowKind kind,
                       int helpIndex, SettingsPage page, int top)
{
    entries.prepend(noChange);
    return {QString::fromLatin1(listName),
            QString::fromLatin1(caption),
            QString(),
            entries,
            sw,
            kind,
            {},
            helpIndex,
            page,
            top};
}

std::vector<SettingRow> buildCatalogue()
{
    using enum SettingsPage;
    const QStringList enabledDisabled{QStringLiteral("Enabled"), QStringLiteral("Disabled")};
    const QStringList onOff{QStringLiteral("On"), QStringLiteral("Off")};
    return {
        clearSetRow("comEmulation", "Printer Command Mode", "", {"Arvel Page Mode", "Arvel Line Mode"}, '0', "0001", 0,
                    General, 540),
        clearSetRow("comFF", "Action on Form Feed", "", {"Feed (no cut)", "Cut"}, '0', "0004", 1, General, 900),
        clearSetRow("comSpeed", "Print Speed", "", {"Full Speed", "Half Speed"}, '2', "0001", 2, General, 1260),
        clearSetRow("comReverse", "Reverse Feed Command", "", {"Valid", "Invalid"}, '3', "0004", 11, General, 1620),
        // "<NUL>" clears bit 0 but "<GS>" sets bit 1: the printer's own asymmetry, kept as it is.
        fixedRow("comEndCode", "End of Command Code", "", {"<NUL>", "<GS>"}, 'C',
                 {{clear('C', "0001")}, {set('C', "0002")}}, 15, General, 1980),
        clearSetRow("comPoutSig", "Paper Out Signal", "", {"Paper End", "Paper Near End"}, 'D', "1000", 16, General,
                    2340),
        clearSetRow("comPout", "Paper Out Sensor", "", enabledDisabled, 'D', "0100", 17, General, 2700),
        clearSetRow("comIdleAction", "Action While Idle", "", {"Enabled", "Disables"}, 'D', "0001", 18, General, 3060),
        clearSetRow("comRAMBack", "RAM Backup", "", enabledDisabled, 'F', "0001", 19, General, 3420),
        // The cutter bit enables the cutter when set: the opposite of the other Enabled/Disabled rows.
        setClearRow("comCutter", "Auto Cutter", "", enabledDisabled, '2', "0100", 20, General, 3780),
        computedRow("comCharSet", "International Character Set",
                    {"USA", "France", "Germany", "U.K.", "Denmark #1", "Sweden", "Italy", "Spain #1", "Japan", "Norway",
                     "Denmark #2", "Spain #2", "Latin America"},
                    '1', RowKind::CharacterSet, 3, Characters, 540),
        computedRow("comCPage", "Character Code Table", {"USA & Europe", "IBM", "Japan"}, '3', RowKind::CodeTable, 4,
                    Characters, 900),
        clearSetRow("comZStyle", "Zero Style", "", {"No Slash", "Slash"}, '1', "0010", 5, Characters, 1260),
        clearSetRow("comLFeed", "Line Spacing", "", {"4mm", "3mm"}, '3', "0001", 6, Characters, 1620),
        clearSetRow("comColumns", "Print Columns", "", {"40 column", "50 column\t"}, '3', "0010", 12, Characters, 1980),
        clearSetRow("comCRCode", "<CR> Code", "", {"Invalid", "Valid"}, '3', "0002", 13, Characters, 2340),
        fixedRow("comBMark", "Start Position Detect", "",
                 {"Black Mark/Reflective Sensor", "Label/Transmissive Sensor", "Dissabled"}, '1',
                 {{clear('1', "1000"), set('1', "0100")}, {set('1', "1100")}, {clear('1', "1100")}}, 7, Tickets, 540),
        clearSetRow("comMeasurePower", "Measure page length", "(at power on)", onOff, '1', "2000", 8, Tickets, 900),
        setClearRow("comMeasureResume", "Measure page length", "(on resume after paper end)", onOff, '1', "8000", 9,
                    Tickets, 1260),
        // "On" sets the bit, as "On" does for measuring on resume: the bit asks for detection.
        setClearRow("comDetectPower", "Detect start position", "(at power on)", onOff, '1', "4000", 10, Tickets, 1620),
        clearSetRow("comCutPos", "Cut Position", "", {"Standard", "+2mm"}, '2', "0800", 14, Alignment, 540),
        computedRow("comCComp", "Start Position Adjustment", {"Adjust as below"}, 'E', RowKind::CutOffset, 21,
                    Alignment, 1020),
    };
}

QByteArray upperHex(int value)
{
    return QByteArray::number(value, 16).toUpper();
}

} // namespace

const std::vector<SettingRow> &settingsCatalogue()
{
    static const std::vector<SettingRow> catalogue = buildCatalogue();
    return catalogue;
}

std::size_t cutOffsetRow()
{
    const std::vector<SettingRow> &catalogue = settingsCatalogue();
    for (std::size_t row = 0; row < catalogue.size(); ++row)
        if (catalogue[row].kind == RowKind::CutOffset)
            return row;
    return catalogue.size();
}

int cutOffsetTenths(QStringView cutOffsetText)
{
    const double tenths = leadingNumber(cutOffsetText) * 10.0;
    if (tenths < std::numeric_limits<qint16>::min() || tenths > std::numeric_limits<qint16>::max())
        return tenths < 0 ? -299 : 299;
    return int(std::nearbyint(tenths)); // the default rounding mode goes half to even
}

QList<SwitchCommand> commandsFor(const SettingRow &row, int index, QStringView cutOffsetText)
{
    const char sw = row.switchId;
    switch (row.kind) {
    case RowKind::Fixed:
        if (index < 1 || std::size_t(index) > row.fixedCommands.size())
            return {};
        return row.fixedCommands[std::size_t(index) - 1];
    case RowKind::CharacterSet:
        if (index < 1)
            return {};
        return {clear(sw, "000F"), {sw, true, "000" + upperHex(index - 1)}};
    case RowKind::CodeTable:
        if (index < 1)
            return {};
        return {clear(sw, "0300"), {sw, true, "0" + upperHex(index - 1) + "00"}};
    case RowKind::CutOffset: {
        if (index != 1)
            return {};
        const int tenths = cutOffsetTenths(cutOffsetText);
        QList<SwitchCommand> commands{tenths < 0 ? set(sw, "1000") : clear(sw, "1000"), clear(sw, "0FFF")};
        const QByteArray digits = ("000" + QByteArray::number(std::abs(tenths))).right(3);
        commands.append({sw, true, "0" + digits});
        return commands;
    }
    }
    return {};
}

} // namespace kr52
