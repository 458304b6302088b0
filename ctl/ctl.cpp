// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/ctl.h"

#include "ctl/commandline.h"
#include "ctl/console.h"
#include "ctl/devicelist.h"
#include "ctl/listing.h"
#include "ctl/messages.h"
#include "ctl/outputfile.h"
#include "ctl/profileinput.h"
#include "ctl/results.h"
#include "ctl/targets.h"
#include "ctl/values.h"
#include "printer/devicemap.h"
#include "printer/mscomm.h"
#include "printer/parallelport.h"
#include "printer/printerlink.h"
#include "printer/sendsequence.h"
#include "protocol/commanddescription.h"
#include "settings/catalogue.h"
#include "settings/choice.h"
#include "settings/profilechoices.h"
#include "settings/profilewriter.h"
#include "settings/sendplan.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace kr52::ctl {

namespace {

// What to send and where, once everything on the command line has been checked.
struct Job {
    std::vector<int> indexes;
    std::optional<int> cutOffsetTenths;
    SendPlan plan;
    Targets targets;
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
QString cutOffsetMismatch(const ChosenSettings &chosen, const std::optional<GivenValue> &cutOffset)
{
    const std::size_t row = cutOffsetRow();
    const SettingRow &setting = settingsCatalogue()[row];
    const QString adjust = QStringLiteral("\"%1=%2\"").arg(settingName(setting), entryName(setting.entries.value(1)));
    const bool adjusts = chosen.indexes[row] == 1;
    if (cutOffset && !adjusts)
        return QStringLiteral("%1: a cut offset is sent only with %2; add it, or leave the cut offset out")
            .arg(cutOffset->origin, adjust);
    if (!cutOffset && adjusts)
        return QStringLiteral("%1 needs the cut offset in mm: --cut-offset MM, or cut-offset in the profile")
            .arg(adjust);
    return {};
}

// The settings and cut offset of request (and of its profile for apply), checked.
Checked checkSettings(const Request &request, PortOptions &port)
{
    QList<Assignment> assignments;
    std::optional<GivenValue> cutOffset;
    if (request.cutOffset)
        cutOffset = GivenValue{*request.cutOffset, QStringLiteral("--cut-offset")};
    if (request.command == Command::Apply) {
        const ProfileResult read = readProfileInput(request.profilePath);
        if (!read.profile)
            return refuse(read.error);
        assignments = read.profile->settings;
        if (read.profile->cutOffset)
            cutOffset = GivenValue{*read.profile->cutOffset, read.profile->cutOffsetOrigin};
        // The command line wins over the profile's [port] values, as it does everywhere.
        port = withDefaults(port, portOptionsFrom(*read.profile));
    }
    for (const QString &set : request.sets) {
        QString error;
        const std::optional<Assignment> assignment =
            splitAssignment(set, QStringLiteral("--set \"%1\"").arg(visible(set)), error);
        if (!assignment)
            return refuse(error);
        assignments.append(*assignment);
    }
    const ChosenSettings chosen = chooseSettings(assignments);
    if (!chosen.error.isEmpty())
        return refuse(chosen.error);
    Job job;
    job.indexes = chosen.indexes;
    if (cutOffset) {
        job.cutOffsetTenths = strictCutOffsetTenths(cutOffset->text);
        if (!job.cutOffsetTenths)
            return refuse(cutOffsetRefusal(cutOffset->origin, cutOffset->text));
    }
    if (const QString mismatch = cutOffsetMismatch(chosen, cutOffset); !mismatch.isEmpty())
        return refuse(mismatch);
    return {job, {}};
}

Checked checkRequest(const Request &request)
{
    PortOptions port = request.port;
    Checked checked = request.command == Command::SelfTest ? Checked{Job{}, {}} : checkSettings(request, port);
    if (!checked.job)
        return checked;
    Job &job = *checked.job;
    job.targets = resolveTargets(port);
    if (!job.targets.error.isEmpty())
        return refuse(job.targets.error);
    if (!request.dryRun && job.targets.printers.isEmpty())
        return refuse(QStringLiteral("Name the printer with --port COM1: .. LPT4:, --device PATH or --output FILE "
                                     "(or try --dry-run; kr52ctl devices lists the devices there are)"));
    const QString offset = job.cutOffsetTenths ? cutOffsetText(*job.cutOffsetTenths) : QString();
    job.plan =
        request.command == Command::SelfTest ? planSelfTest() : planSettings(job.indexes, offset, !request.noSelfTest);
    return checked;
}

QString wordsFor(const PlannedCommand &command, const Job &job)
{
    if (command.isSelfTest())
        return QStringLiteral("self test");
    const SettingRow &row = settingsCatalogue()[std::size_t(command.row)];
    QString words = QStringLiteral("%1, for \"%2\" = \"%3\"")
                        .arg(describeSwitchBits(command.command.switchId, command.command.set, command.command.mask),
                             settingName(row), entryName(row.entries.value(command.entry)));
    if (row.kind == RowKind::CutOffset && job.cutOffsetTenths)
        words += QStringLiteral(" (%1 mm)").arg(cutOffsetText(*job.cutOffsetTenths));
    return words;
}

// Each command on one line: its bytes in hex, then what it does; or all of them as JSON.
void printDryRun(const Job &job, bool json, Console &console)
{
    QJsonArray commands;
    for (const PlannedCommand &command : job.plan.commands()) {
        if (json)
            commands.append(QJsonObject{{QStringLiteral("bytes"), hexBytes(command.bytes)},
                                        {QStringLiteral("words"), wordsFor(command, job)}});
        else
            console.out(
                QStringLiteral("%1  %2").arg(hexBytes(command.bytes).leftJustified(29), wordsFor(command, job)));
    }
    if (json)
        console.out(
            QString::fromUtf8(
                QJsonDocument(QJsonObject{{QStringLiteral("commands"), commands}}).toJson(QJsonDocument::Indented))
                .trimmed());
}

QString kindWord(GivenTarget::Kind kind)
{
    switch (kind) {
    case GivenTarget::Kind::Port:
        return QStringLiteral("port");
    case GivenTarget::Kind::Device:
        return QStringLiteral("device");
    case GivenTarget::Kind::Output:
        return QStringLiteral("output");
    }
    return {};
}

PrinterResult sendTo(const Target &target, const Job &job, const Request &request, Console &console)
{
    MSComm serial;
    ParallelPort parallel;
    const std::unique_ptr<PrinterLink> link = target.kind == GivenTarget::Kind::Output
                                                  ? std::make_unique<OutputFileLink>(target.name)
                                                  : linkFor(target.name, job.targets.serialSettings, serial, parallel);
    PrinterResult result;
    result.kind = kindWord(target.kind);
    result.name = visible(target.name);
    result.devicePath = visible(target.devicePath);
    result.description = visible(link->description());
    const SendOutcome outcome = runSendPlan(*link, job.plan, [&](int sent, int total) {
        if (!request.quiet && !request.json)
            console.progress(result.description, sent, total);
    });
    result.done = outcome.succeeded();
    result.sent = outcome.settingCommandsSent + (outcome.selfTestSent ? 1 : 0);
    result.total = int(job.plan.commands().size());
    result.message = result.done
                         ? outcome.reached
                         : visible(forCommandLine(outcome.message().replace(QLatin1Char('\n'), QLatin1Char(' '))));
    return result;
}

int sendToEach(const Job &job, const Request &request, Console &console)
{
    QList<PrinterResult> results;
    for (const Target &target : job.targets.printers) {
        results.append(sendTo(target, job, request, console));
        if (request.json)
            continue;
        if (!results.last().done)
            (request.quiet ? console.err(resultLine(results.last())) : console.out(resultLine(results.last())));
        else if (!request.quiet)
            console.out(resultLine(results.last()));
    }
    if (request.json)
        console.out(QString::fromUtf8(resultsJson(results)).trimmed());
    else if (!request.quiet)
        console.out(summaryLine(results));
    const bool allDone = std::all_of(results.begin(), results.end(), [](const PrinterResult &r) { return r.done; });
    return allDone ? Done : Failed;
}

// kr52ctl profile: the options as a profile that apply sends as send sends them.
int writeProfile(const Request &request, Console &console)
{
    PortOptions port = request.port;
    const Checked checked = checkSettings(request, port);
    QString error = checked.error;
    if (checked.job) {
        if (const Targets targets = resolveTargets(port); !targets.error.isEmpty())
            error = targets.error;
    }
    std::optional<QByteArray> text;
    if (error.isEmpty()) {
        const Job &job = checked.job.value(); // a check without an error always gives a job
        Profile profile =
            profileOfChoices(job.indexes, job.cutOffsetTenths ? cutOffsetText(*job.cutOffsetTenths) : QString());
        for (const auto &[key, value] :
             {std::pair{QStringLiteral("baud"), port.baud}, std::pair{QStringLiteral("data"), port.data},
              std::pair{QStringLiteral("stop"), port.stop}})
            if (!value.origin.isEmpty())
                profile.port.insert(key, value.text);
        const ProfileText written =
            formatProfile(profile, QStringLiteral("Written by kr52ctl %1; kr52ctl apply sends it.")
                                       .arg(QCoreApplication::applicationVersion()));
        text = written.text;
        error = written.error;
    }
    if (!text) {
        console.err(QStringLiteral("kr52ctl: %1\nNo profile was written.").arg(shownMessage(error)));
        return Refused;
    }
    if (request.outputPath.isEmpty()) {
        console.out(QString::fromUtf8(*text).chopped(1));
        return Done;
    }
    if (const QString fault = replaceFile(request.outputPath, *text); !fault.isEmpty()) {
        console.err(QStringLiteral("kr52ctl: %1").arg(fault));
        return Failed;
    }
    return Done;
}

int runRequest(const Request &request, Console &console)
{
    switch (request.command) {
    case Command::Settings:
        console.out(request.json ? QString::fromUtf8(settingsJson()).trimmed() : settingsListing().trimmed());
        return Done;
    case Command::Devices:
        if (!request.quiet)
            console.out(request.json ? QString::fromUtf8(devicesJson()).trimmed() : devicesListing().trimmed());
        return Done;
    case Command::Profile:
        return writeProfile(request, console);
    case Command::Send:
    case Command::SelfTest:
    case Command::Apply:
        break;
    }
    const Checked checked = checkRequest(request);
    if (!checked.job) {
        console.err(QStringLiteral("kr52ctl: %1\nNothing was sent.").arg(shownMessage(checked.error)));
        return Refused;
    }
    if (request.dryRun) {
        printDryRun(*checked.job, request.json, console);
        return Done;
    }
    return sendToEach(*checked.job, request, console);
}

} // namespace

QString shownMessage(const QString &message)
{
    // Lists of choices stand on lines of their own, indented by two blanks; everything else is
    // one line, whatever the file or argument held.
    const QString listItem = QStringLiteral("\n  ");
    QStringList parts = message.split(listItem);
    for (QString &part : parts)
        part = visible(part);
    return parts.size() == 1 ? sentence(parts.first()) : parts.join(listItem);
}

int run(const QStringList &arguments, Console &console)
{
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    int status = Done;
    switch (parsed.kind) {
    case ParsedCommandLine::Kind::Help:
    case ParsedCommandLine::Kind::Version:
        console.out(parsed.text.trimmed());
        break;
    case ParsedCommandLine::Kind::Refused:
        console.err(QStringLiteral("kr52ctl: %1\nTry kr52ctl --help.").arg(parsed.text));
        return Refused;
    case ParsedCommandLine::Kind::Run:
        status = runRequest(parsed.request, console);
        break;
    }
    if (const QString fault = console.outputFault(); !fault.isEmpty()) {
        console.err(QStringLiteral("kr52ctl: %1").arg(fault));
        if (status == Done)
            status = Failed;
    }
    return status;
}

} // namespace kr52::ctl
