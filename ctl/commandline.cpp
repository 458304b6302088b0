// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <map>

namespace kr52::ctl {

namespace {

struct CommandInfo {
    Command command;
    QStringList options; // besides --help and --version
    int arguments;       // after the command's name
};

const QStringList portOptionNames{QStringLiteral("port"), QStringLiteral("device"), QStringLiteral("baud"),
                                  QStringLiteral("data"), QStringLiteral("stop")};

const std::map<QString, CommandInfo> &commands()
{
    static const std::map<QString, CommandInfo> table{
        {QStringLiteral("settings"), {Command::Settings, {QStringLiteral("json")}, 0}},
        {QStringLiteral("send"),
         {Command::Send,
          portOptionNames + QStringList{QStringLiteral("set"), QStringLiteral("cut-offset"),
                                        QStringLiteral("no-self-test"), QStringLiteral("dry-run")},
          0}},
        {QStringLiteral("selftest"), {Command::SelfTest, portOptionNames + QStringList{QStringLiteral("dry-run")}, 0}},
        {QStringLiteral("apply"),
         {Command::Apply, portOptionNames + QStringList{QStringLiteral("no-self-test"), QStringLiteral("dry-run")}, 1}},
    };
    return table;
}

const QString description =
    QStringLiteral("Configures KR52 printers from the command line, sending the same commands as the window.\n\n"
                   "Commands:\n"
                   "  settings [--json]              list the settings, their entries, switches and help pages\n"
                   "  send [port options] [--set NAME=ENTRY]... [--cut-offset MM] [--no-self-test] [--dry-run]\n"
                   "                                 send the chosen settings, then the self test\n"
                   "  selftest [port options]        print a self-test page\n"
                   "  apply PROFILE [port options]   send a profile's settings to each printer named\n\n"
                   "Port options: --port COM1:..COM4:|LPT1:..LPT4: or --device PATH (both may be repeated),\n"
                   "and for a serial line --baud N --data N --stop N.\n"
                   "Exit status: 0 done, 1 a printer could not be reached or configured, 2 refused (nothing sent).");

ParsedCommandLine refused(const QString &why)
{
    return {ParsedCommandLine::Kind::Refused, {}, why};
}

} // namespace

ParsedCommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(description);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("settings, send, selftest or apply."));
    parser.addPositionalArgument(QStringLiteral("profile"), QStringLiteral("The profile file, for apply."),
                                 QStringLiteral("[PROFILE]"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("List the settings as JSON."));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Send to the port <name>."),
                                  QStringLiteral("name"));
    const QCommandLineOption device(QStringLiteral("device"), QStringLiteral("Send to the device <path>."),
                                    QStringLiteral("path"));
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Serial baud rate (9600)."),
                                  QStringLiteral("N"));
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("Serial data bits (8)."), QStringLiteral("N"));
    const QCommandLineOption stop(QStringLiteral("stop"), QStringLiteral("Serial stop bits (1)."), QStringLiteral("N"));
    const QCommandLineOption set(QStringLiteral("set"),
                                 QStringLiteral("Choose an entry, such as \"Print Speed=Half Speed\"."),
                                 QStringLiteral("NAME=ENTRY"));
    const QCommandLineOption cutOffset(
        QStringLiteral("cut-offset"),
        QStringLiteral("The start position offset in mm (needs \"Start Position Adjustment=Adjust as below\")."),
        QStringLiteral("MM"));
    const QCommandLineOption noSelfTest(QStringLiteral("no-self-test"),
                                        QStringLiteral("Do not print a self-test page after the settings."));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("Send nothing; print each command in hex and in words."));
    parser.addOptions({json, port, device, baud, data, stop, set, cutOffset, noSelfTest, dryRun});

    if (!parser.parse(arguments))
        return refused(parser.errorText() + QLatin1Char('.'));
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all")))
        return {ParsedCommandLine::Kind::Help, {}, parser.helpText()};
    if (parser.isSet(version))
        return {ParsedCommandLine::Kind::Version,
                {},
                QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion()};

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return refused(QStringLiteral("Name a command: settings, send, selftest or apply."));
    const auto found = commands().find(positional.first());
    if (found == commands().end())
        return refused(QStringLiteral("Unknown command \"%1\"; the commands are settings, send, selftest and apply.")
                           .arg(positional.first()));
    const QString &name = found->first;
    const CommandInfo &info = found->second;
    if (positional.size() - 1 < info.arguments)
        return refused(QStringLiteral("%1 needs a profile file: apply PROFILE.").arg(name));
    if (positional.size() - 1 > info.arguments)
        return refused(QStringLiteral("%1 takes no argument \"%2\".").arg(name, positional.at(info.arguments + 1)));
    for (const QString &option : parser.optionNames()) {
        if (!info.options.contains(option))
            return refused(QStringLiteral("--%1 is not an option of %2.").arg(option, name));
    }
    for (const QCommandLineOption *single : {&baud, &data, &stop, &cutOffset}) {
        if (parser.values(*single).size() > 1)
            return refused(QStringLiteral("--%1 is given more than once.").arg(single->names().first()));
    }

    Request request;
    request.command = info.command;
    request.json = parser.isSet(json);
    request.sets = parser.values(set);
    if (parser.isSet(cutOffset))
        request.cutOffset = parser.value(cutOffset);
    request.noSelfTest = parser.isSet(noSelfTest);
    request.dryRun = parser.isSet(dryRun);
    if (info.arguments > 0)
        request.profilePath = positional.at(1);
    request.port = {parser.values(port), parser.values(device), parser.value(baud), parser.value(data),
                    parser.value(stop)};
    return {ParsedCommandLine::Kind::Run, request, {}};
}

} // namespace kr52::ctl
