// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/sendsequence.h"

#include "printer/printererror.h"
#include "printer/printerlink.h"

namespace kr52 {

namespace {

using Stage = SendOutcome::Stage;

QString selfTestOnlyWords(const SendOutcome &outcome)
{
    switch (outcome.stage) {
    case Stage::Open:
        return QStringLiteral("Nothing was sent to the printer.");
    case Stage::Send:
        return QStringLiteral("The self-test command was not sent.");
    case Stage::Close:
        return QStringLiteral("The self-test command was sent, but the port did not close cleanly.");
    case Stage::Done:
        break;
    }
    return QStringLiteral("The self-test command was sent.");
}

// The setting commands that went out, before what happened next.
QString allSettingsWords(int total)
{
    return total == 0 ? QStringLiteral("No setting command was needed")
                      : QStringLiteral("All %1 setting commands").arg(total);
}

QString settingsWords(const SendOutcome &outcome, bool withSelfTest)
{
    const int total = outcome.settingCommandsTotal;
    const QString all = allSettingsWords(total);
    switch (outcome.stage) {
    case Stage::Open:
        return QStringLiteral("Nothing was sent to the printer.");
    case Stage::Send:
        if (outcome.settingCommandsSent < total)
            return QStringLiteral("%1 of %2 setting commands were sent; the printer may now hold only part of the "
                                  "new settings.")
                .arg(outcome.settingCommandsSent)
                .arg(total);
        return total == 0 ? all + QStringLiteral("; the self-test command was not sent.")
                          : all + QStringLiteral(" were sent; the self-test command was not sent.");
    case Stage::Close:
        if (!withSelfTest)
            return total == 0 ? all + QStringLiteral(", but the port did not close cleanly.")
                              : all + QStringLiteral(" were sent, but the port did not close cleanly.");
        return total == 0
                   ? all + QStringLiteral("; the self-test command was sent, but the port did not close cleanly.")
                   : all + QStringLiteral(" and the self-test command were sent, but the port did not close "
                                          "cleanly.");
    case Stage::Done:
        break;
    }
    if (!withSelfTest)
        return total == 0 ? all + QLatin1Char('.') : all + QStringLiteral(" were sent.");
    return total == 0 ? all + QStringLiteral("; the self-test command was sent.")
                      : all + QStringLiteral(" and the self-test command were sent.");
}

QString reachedWords(const SendOutcome &outcome, const SendPlan &plan)
{
    return plan.kind == SendPlan::Kind::SelfTestOnly ? selfTestOnlyWords(outcome)
                                                     : settingsWords(outcome, plan.selfTest);
}

} // namespace

QString SendOutcome::message() const
{
    return reason.isEmpty() ? reached : reason + QLatin1Char('\n') + reached;
}

SendOutcome runSendPlan(PrinterLink &link, const SendPlan &plan, const SendProgress &progress)
{
    SendOutcome outcome;
    outcome.settingCommandsTotal = int(plan.settingCommands.size());
    const QList<PlannedCommand> commands = plan.commands();
    try {
        link.open();
        outcome.stage = Stage::Send;
        int sent = 0;
        for (const PlannedCommand &command : commands) {
            link.send(command.bytes);
            if (command.isSelfTest())
                outcome.selfTestSent = true;
            else
                ++outcome.settingCommandsSent;
            if (progress)
                progress(++sent, int(commands.size()));
        }
        outcome.stage = Stage::Close;
        link.close();
        outcome.stage = Stage::Done;
    } catch (const PrinterError &error) {
        link.discard();
        outcome.reason = error.message();
    }
    outcome.reached = reachedWords(outcome, plan);
    return outcome;
}

} // namespace kr52
