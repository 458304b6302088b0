// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/sendplan.h"

#include "protocol/commands.h"

namespace kr52 {

namespace {

PlannedCommand selfTestStep()
{
    return {selfTestCommand(), -1, 0, {}};
}

} // namespace

QList<PlannedCommand> SendPlan::commands() const
{
    QList<PlannedCommand> all = settingCommands;
    if (selfTest)
        all.append(selfTestStep());
    return all;
}

SendPlan planSettings(const std::vector<int> &indexes, QStringView cutOffsetText, bool withSelfTest)
{
    SendPlan plan;
    plan.selfTest = withSelfTest;
    const std::vector<SettingRow> &catalogue = settingsCatalogue();
    for (std::size_t row = 0; row < catalogue.size() && row < indexes.size(); ++row) {
        const int entry = indexes[row];
        const bool readsOffset = catalogue[row].kind == RowKind::CutOffset && entry == 1;
        for (const SwitchCommand &command :
             commandsFor(catalogue[row], entry, readsOffset ? cutOffsetText : QStringView()))
            plan.settingCommands.append({command.bytes(), int(row), entry, command});
    }
    return plan;
}

SendPlan planSelfTest()
{
    return {SendPlan::Kind::SelfTestOnly, {}, true};
}

} // namespace kr52
