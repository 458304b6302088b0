// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/catalogue.h"

#include <QByteArray>
#include <QList>
#include <QStringView>

#include <vector>

namespace kr52 {

// One command of a printer action, with the setting and entry it comes from.
struct PlannedCommand {
    QByteArray bytes;
    int row = -1; // the catalogue row; -1 for the self test
    int entry = 0;
    SwitchCommand command{}; // for a setting command

    [[nodiscard]] bool isSelfTest() const { return row < 0; }
};

// What one printer action sends: "Use Settings" (the setting commands, then the self test) or
// "Print Self Test" (the self test alone). The two are told apart because their messages differ.
struct SendPlan {
    enum class Kind { Settings, SelfTestOnly };
    Kind kind = Kind::Settings;
    QList<PlannedCommand> settingCommands;
    bool selfTest = true;

    // Every command in the order it reaches the printer.
    [[nodiscard]] QList<PlannedCommand> commands() const;
};

// The setting commands for one chosen index per catalogue row (rows past the end of indexes stay
// at "No change"), in catalogue order, then the self test unless withSelfTest is false. The cut
// offset text is read only when its row is at "Adjust as below".
[[nodiscard]] SendPlan planSettings(const std::vector<int> &indexes, QStringView cutOffsetText,
                                    bool withSelfTest = true);
[[nodiscard]] SendPlan planSelfTest();

} // namespace kr52
