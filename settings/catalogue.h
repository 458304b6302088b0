// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace kr52 {

// One memory-switch command: set (true) or clear (false) the bits of mask on switch switchId.
struct SwitchCommand {
    char switchId;
    bool set;
    QByteArray mask;

    [[nodiscard]] QByteArray bytes() const;
    friend bool operator==(const SwitchCommand &, const SwitchCommand &) = default;
};

// How a row turns its list's index into commands.
enum class RowKind {
    Fixed,        // each named index sends the commands listed for it; others send nothing
    CharacterSet, // any index but 0: clear the 4-bit field, set index - 1
    CodeTable,    // any index but 0: clear the 2-bit field at bits 8-9, set index - 1 there
    CutOffset,    // index 1: sign, then the offset in tenths of a millimetre as three BCD digits
};

// The main window's pages that carry settings.
enum class SettingsPage { General = 1, Characters = 2, Tickets = 3, Alignment = 4 };

struct SettingRow {
    QString listName;    // the drop-down list's control name
    QString caption;     // the caption label (first line)
    QString qualifier;   // the second caption line on "Tickets", or empty
    QStringList entries; // from index 0, "No change", exactly as shown
    char switchId;
    RowKind kind;
    std::vector<QList<SwitchCommand>> fixedCommands; // index 1, 2, 3 ... for Fixed rows
    int helpIndex;                                   // the help button and page of this setting
    SettingsPage page;
    int topTwips; // the row's top on its page
};

// The twenty-two settings lists, in the order "Use Settings" handles them.
[[nodiscard]] const std::vector<SettingRow> &settingsCatalogue();

// The row of "Start Position Adjustment", whose "Adjust as below" sends the typed cut offset.
[[nodiscard]] std::size_t cutOffsetRow();

// The commands that index sends for row, in the order they must reach the printer. The cut
// offset text is read only by the CutOffset row at index 1.
[[nodiscard]] QList<SwitchCommand> commandsFor(const SettingRow &row, int index, QStringView cutOffsetText);

// The cut offset text as tenths of a millimetre, rounded half to even; numbers whose tenths do
// not fit in 16 bits are first clamped to -29.9 .. 29.9 mm.
[[nodiscard]] int cutOffsetTenths(QStringView cutOffsetText);

} // namespace kr52
