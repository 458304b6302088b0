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
        return outcome.commandInDoubt
                   ? QStringLiteral(
                         "The self-test command went to the port but may not have reached the printer whole.")
                   : QStringLiteral("The self-test command was not sent.");
    case Stage::Close:
        return QStringLiteral("The self-test command was sent, but the port did not close cleanly.");
    case Stage::Done:
        break;
    }
    return QStringLiteral("The self-test command was sent.");
}

// Everything that went out when every setting command did: "All 27 setting commands and the
// self-test command were sent", "No setting command was needed", ...
QString allSentWords(int total, bool selfTestSent)
{
    if (total == 0)
        return selfTestSent ? QStringLiteral("No setting command was needed; the self-test command was sent")
                            : QStringLiteral("No setting command was needed");
    if (selfTestSent)
        return total == 1 ? QStringLiteral("All 1 setting command and the self-test command were sent")
                          : QStringLiteral("All %1 setting commands and the self-test command were sent").arg(total);
    return total == 1 ? QStringLiteral("All 1 setting command was sent")
                      : QStringLiteral("All %1 setting commands were sent").arg(total);
}

QString settingsWords(const SendOutcome &outcome)
{
    const int total = outcome.settingCommandsTotal;
    switch (outcome.stage) {
    case Stage::Open:
        return QStringLiteral("Nothing was sent to the printer.");
    case Stage::Send:
        if (outcome.settingCommandsSent < total)
            // "1 of 3 setting commands was sent", "2 of 3 setting commands were sent"
            return QStringLiteral("%1 of %2 setting commands %3 sent%4; the printer may now hold only part of the "
                                  "new settings.")
                .arg(outcome.settingCommandsSent)
                .arg(total)
                .arg(outcome.settingCommandsSent == 1 ? QStringLiteral("was") : QStringLiteral("were"))
                .arg(outcome.commandInDoubt
                         ? QStringLiteral(", and the next went to the port but may not have reached the printer whole")
                         : QString());
        return allSentWords(total, false) +
               (outcome.commandInDoubt
                    ? QStringLiteral("; the self-test command went to the port but may not have reached the printer "
                                     "whole.")
                    : QStringLiteral("; the self-test command was not sent."));
    case Stage::Close:
        return allSentWords(total, outcome.selfTestSent) + QStringLiteral(", but the port did not close cleanly.");
    case Stage::Done:
        break;
    }
    return allSentWords(total, outcome.selfTestSent) + QLatin1Char('.');
}

QString reachedWords(const SendOutcome &outcome, const SendPlan &plan)
{
    return plan.kind == SendPlan::Kind::SelfTestOnly ? selfTestOnlyWords(outcome) : settingsWords(outcome);
}

} // namespace

QString SendOutcome::message() const
{
    return reason.isEmpty() ? reached : reason + QLatin1Char('\n') + reached;
}

SendOutcome runSendPlan(PrinterLink &link, const SendPlan &plan, const SendProgress &progress,
                        const std::atomic_bool *cancelled)
{
    SendOutcome outcome;
    outcome.settingCommandsTotal = int(plan.settingCommands.size());
    const QList<PlannedCommand> commands = plan.commands();
    qsizetype bytes = 0;
    for (const PlannedCommand &command : commands)
        bytes += command.bytes.size();
    try {
        link.open();
        outcome.stage = Stage::Send;
        const SendLimit limit{link.actionDeadline(bytes), cancelled};
        int sent = 0;
        for (const PlannedCommand &command : commands) {
            if (limit.isCancelled())
                throw PrinterError(QString());
            try {
                link.send(command.bytes, limit);
            } catch (const PrinterError &error) {
                outcome.commandInDoubt = error.commandInDoubt();
                throw;
            }
            if (command.isSelfTest())
                outcome.selfTestSent = true;
            else
                ++outcome.settingCommandsSent;
            if (progress)
                progress(++sent, int(commands.size()));
        }
        outcome.stage = Stage::Close;
        link.close(limit);
        outcome.stage = Stage::Done;
    } catch (const PrinterError &error) {
        link.discard();
        outcome.cancelled = cancelled && cancelled->load() && outcome.stage == Stage::Send;
        outcome.reason = outcome.cancelled ? QStringLiteral("Sending to %1 was cancelled.").arg(link.description())
                                           : error.message();
    }
    outcome.reached = reachedWords(outcome, plan);
    return outcome;
}

} // namespace kr52
