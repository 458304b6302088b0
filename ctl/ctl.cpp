// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/ctl.h"

#include "ctl/commandline.h"
#include "ctl/console.h"
#include "ctl/listing.h"
#include "ctl/targets.h"
#include "printer/mscomm.h"
#include "printer/parallelport.h"
#include "printer/printerlink.h"
#include "printer/sendsequence.h"
#include "protocol/commanddescription.h"
#include "settings/catalogue.h"
#include "settings/choice.h"
#include "settings/numbers.h"
#include "settings/profile.h"
#include "settings/sendplan.h"

#include <memory>

namespace kr52::ctl {

namespace {

// What to send and where, once everything on the command line has been checked.
struct Job {
    SendPlan plan;
    Targets targets;
    QString cutOffset; // as given, for the dry run's words
};

struct Checked {
    std::optional<Job> job;
    QString error;
};

Checked refuse(const QString &why)
{
    return {std::nullopt, why};
}

// The cut offset goes with "Start Position Adjustment=Adjust as below" and only with it; returns
// why the two do not match, or nothing.
QString cutOffsetMismatch(const ChosenSettings &chosen, bool hasCutOffset)
{
    const std::vector<SettingRow> &catalogue = settingsCatalogue();
    for (std::size_t row = 0; row < catalogue.size(); ++row) {
        if (catalogue[row].kind != RowKind::CutOffset)
            continue;
        const QString adjust =
            QStringLiteral("\"%1=%2\"").arg(settingName(catalogue[row]), entryName(catalogue[row].entries.value(1)));
        const bool adjusts = chosen.indexes[row] == 1;
        if (hasCutOffset && !adjusts)
            return QStringLiteral("A cut offset is sent only with %1; add it, or leave the cut offset out.")
                .arg(adjust);
        if (!hasCutOffset && adjusts)
            return QStringLiteral("%1 needs the cut offset in mm: --cut-offset MM, or cut-offset in the profile.")
                .arg(adjust);
    }
    return {};
}

Checked checkRequest(const Request &request)
{
    QList<Assignment> assignments;
    std::optional<QString> cutOffset = request.cutOffset;
    PortOptions port = request.port;
    if (request.command == Command::Apply) {
        const ProfileResult read = readProfile(request.profilePath);
        if (!read.profile)
            return refuse(read.error);
        assignments = read.profile->settings;
        cutOffset = read.profile->cutOffset;
        port = withDefaults(port, portOptionsFrom(read.profile->port));
    }
    for (const QString &set : request.sets) {
        QString error;
        const std::optional<Assignment> assignment =
            splitAssignment(set, QStringLiteral("--set \"%1\"").arg(set), error);
        if (!assignment)
            return refuse(error);
        assignments.append(*assignment);
    }
    const ChosenSettings chosen = chooseSettings(assignments);
    if (!chosen.error.isEmpty())
        return refuse(chosen.error);
    if (const QString mismatch = cutOffsetMismatch(chosen, cutOffset.has_value()); !mismatch.isEmpty())
        return refuse(mismatch);

    Job job;
    job.targets = resolveTargets(port);
    if (!job.targets.error.isEmpty())
        return refuse(job.targets.error);
    if (!request.dryRun && job.targets.printers.isEmpty())
        return refuse(
            QStringLiteral("Name the printer with --port COM1: .. LPT4: or --device PATH (or try --dry-run)."));
    job.cutOffset = cutOffset.value_or(QString());
    job.plan = request.command == Command::SelfTest ? planSelfTest()
                                                    : planSettings(chosen.indexes, job.cutOffset, !request.noSelfTest);
    return {job, {}};
}

QString wordsFor(const PlannedCommand &command, const QString &cutOffset)
{
    if (command.isSelfTest())
        return QStringLiteral("self test");
    const SettingRow &row = settingsCatalogue()[std::size_t(command.row)];
    QString words = QStringLiteral("%1, for \"%2\" = \"%3\"")
                        .arg(describeSwitchBits(command.command.switchId, command.command.set, command.command.mask),
                             settingName(row), entryName(row.entries.value(command.entry)));
    if (row.kind == RowKind::CutOffset)
        words += QStringLiteral(" (%1 mm)").arg(numberText(cutOffsetTenths(cutOffset) / 10.0).trimmed());
    return words;
}

// Each command on one line: its bytes in hex, then what it does.
void printDryRun(const Job &job, Console &console)
{
    for (const PlannedCommand &command : job.plan.commands())
        console.out(
            QStringLiteral("%1  %2").arg(hexBytes(command.bytes).leftJustified(29), wordsFor(command, job.cutOffset)));
}

QString oneLine(const QString &text)
{
    return QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

SendOutcome sendTo(const Target &target, const Job &job, Console &console, QString &description)
{
    MSComm serial;
    ParallelPort parallel;
    const std::unique_ptr<PrinterLink> link =
        linkFor(target.port.isEmpty() ? target.device : target.port, job.targets.serialSettings, serial, parallel);
    description = link->description();
    return runSendPlan(*link, job.plan, [&](int sent, int total) { console.progress(description, sent, total); });
}

int sendToEach(const Job &job, Console &console)
{
    int failed = 0;
    for (const Target &target : job.targets.printers) {
        QString description;
        const SendOutcome outcome = sendTo(target, job, console, description);
        if (outcome.succeeded()) {
            console.out(QStringLiteral("%1: done. %2").arg(description, outcome.reached));
        } else {
            ++failed;
            console.out(QStringLiteral("%1: FAILED. %2").arg(description, oneLine(outcome.message())));
        }
    }
    const qsizetype total = job.targets.printers.size();
    if (total > 1)
        console.out(QStringLiteral("%1 of %2 printers done, %3 failed.").arg(total - failed).arg(total).arg(failed));
    return failed == 0 ? Done : Failed;
}

} // namespace

int run(const QStringList &arguments, Console &console)
{
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    switch (parsed.kind) {
    case ParsedCommandLine::Kind::Help:
    case ParsedCommandLine::Kind::Version:
        console.out(parsed.text.trimmed());
        return Done;
    case ParsedCommandLine::Kind::Refused:
        console.err(QStringLiteral("kr52ctl: %1\nTry kr52ctl --help.").arg(parsed.text));
        return Refused;
    case ParsedCommandLine::Kind::Run:
        break;
    }
    const Request &request = parsed.request;
    if (request.command == Command::Settings) {
        console.out(request.json ? QString::fromUtf8(settingsJson()).trimmed() : settingsListing().trimmed());
        return Done;
    }
    const Checked checked = checkRequest(request);
    if (!checked.job) {
        console.err(QStringLiteral("kr52ctl: %1\nNothing was sent.").arg(checked.error));
        return Refused;
    }
    if (request.dryRun) {
        printDryRun(*checked.job, console);
        return Done;
    }
    return sendToEach(*checked.job, console);
}

} // namespace kr52::ctl
