// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kr52 {

struct SettingRow;

// A setting's name as the operator reads it: the caption, then its second line where it has
// one: "Measure page length (at power on)".
[[nodiscard]] QString settingName(const SettingRow &row);
// An entry as shown: the list's text without blanks at its ends ("50 column", not "50 column\t").
[[nodiscard]] QString entryName(const QString &entry);

// One "NAME=ENTRY" and where it came from ("--set", "shop.ini line 4"), for messages.
struct Assignment {
    QString name;
    QString entry;
    QString origin;
};

// Splits "NAME=ENTRY" at its first "=", trimming blanks around both; refuses a text without "="
// or with an empty side, saying so with origin.
[[nodiscard]] std::optional<Assignment> splitAssignment(const QString &text, const QString &origin, QString &error);

// The index of wanted among candidates: the one that matches exactly, otherwise the one that
// matches ignoring case. -1 when none does; ambiguous lists them when more than one does.
[[nodiscard]] int matchChoice(const QStringList &candidates, const QString &wanted, QStringList &ambiguous);

struct ChosenSettings {
    std::vector<int> indexes; // one per catalogue row, 0 ("No change") where not named
    QString error;            // why the assignments were refused; empty when indexes hold
};

// Every assignment's setting and entry, matched as matchChoice does. Refuses an unknown or
// ambiguous name or entry (listing the valid choices) and a setting named twice.
[[nodiscard]] ChosenSettings chooseSettings(const QList<Assignment> &assignments);

} // namespace kr52
