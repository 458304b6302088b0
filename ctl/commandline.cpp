// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/commandline.h"

#include "ctl/messages.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <map>

namespace kr52::ctl {

namespace {

struct OptionInfo {
    QString name;
    QString valueName; // empty for a switch
    QString description;
};

struct CommandInfo {
    QString name;
    Command command;
    QString synopsis;    // after "kr52ctl NAME"
    QString description; // one line
    QStringList options;
    int arguments; // after the command's name
};

const QList<OptionInfo> &optionTable()
{
    static const QList<OptionInfo> table{
        {QStringLiteral("port"), QStringLiteral("NAME"),
         QStringLiteral("Send to the port NAME: COM1: to COM4:, LPT1: to LPT4: (may be repeated).")},
        {QStringLiteral("device"), QStringLiteral("PATH"),
         QStringLiteral("Send to the device PATH, a character device or FIFO (may be repeated).")},
        {QStringLiteral("output"), QStringLiteral("FILE"),
         QStringLiteral("Write the bytes the printer would get into FILE, created or replaced (may be repeated); "
                        "for profile, write the profile into FILE.")},
        {QStringLiteral("baud"), QStringLiteral("N"), QStringLiteral("Serial baud rate (9600).")},
        {QStringLiteral("data"), QStringLiteral("N"), QStringLiteral("Serial data bits (8).")},
        {QStringLiteral("stop"), QStringLiteral("N"), QStringLiteral("Serial stop bits, 1 or 2 (1).")},
        {QStringLiteral("set"), QStringLiteral("NAME=ENTRY"),
         QStringLiteral("Choose an entry, such as \"Print Speed=Half Speed\" (may be repeated).")},
        {QStringLiteral("cut-offset"), QStringLiteral("MM"),
         QStringLiteral("The start position offset, a number from -29.9 to 29.9 (needs \"Start Position "
                        "Adjustment=Adjust as below\").")},
        {QStringLiteral("no-self-test"), {}, QStringLiteral("Do not print a self-test page after the settings.")},
        {QStringLiteral("dry-run"), {}, QStringLiteral("Send nothing; print each command in hex and in words.")},
        {QStringLiteral("json"), {}, QStringLiteral("Print one JSON document instead of lines.")},
        {QStringLiteral("quiet"), {}, QStringLiteral("Print only errors.")},
    };
    return table;
}

const QStringList targetOptions{QStringLiteral("port"), QStringLiteral("device"), QStringLiteral("output"),
                                QStringLiteral("baud"), QStringLiteral("data"),   QStringLiteral("stop")};
const QStringList resultOptions{QStringLiteral("dry-run"), QStringLiteral("json"), QStringLiteral("quiet")};

const QList<CommandInfo> &commandTable()
{
    static const QList<CommandInfo> table{
        {QStringLiteral("settings"),
         Command::Settings,
         QStringLiteral("[--json]"),
         QStringLiteral("List the settings, their entries, switches and help pages."),
         {QStringLiteral("json")},
         0},
        {QStringLiteral("send"), Command::Send,
         QStringLiteral("[TARGET]... [--set NAME=ENTRY]... [--cut-offset MM] [--no-self-test] [--dry-run]"),
         QStringLiteral("Send the chosen settings, then the self test."),
         targetOptions +
             QStringList{QStringLiteral("set"), QStringLiteral("cut-offset"), QStringLiteral("no-self-test")} +
             resultOptions,
         0},
        {QStringLiteral("selftest"), Command::SelfTest, QStringLiteral("[TARGET]... [--dry-run]"),
         QStringLiteral("Print a self-test page."), targetOptions + resultOptions, 0},
        {QStringLiteral("apply"), Command::Apply, QStringLiteral("PROFILE [TARGET]... [--no-self-test] [--dry-run]"),
         QStringLiteral("Send a profile's settings (PROFILE \"-\" reads standard input), then the self test."),
         targetOptions + QStringList{QStringLiteral("no-self-test")} + resultOptions, 1},
        {QStringLiteral("profile"),
         Command::Profile,
         QStringLiteral("[--set NAME=ENTRY]... [--cut-offset MM] [--baud N --data N --stop N] [--output FILE]"),
         QStringLiteral("Write a profile that apply sends as send would send the same options."),
         {QStringLiteral("set"), QStringLiteral("cut-offset"), QStringLiteral("baud"), QStringLiteral("data"),
          QStringLiteral("stop"), QStringLiteral("output"), QStringLiteral("quiet")},
         0},
        {QStringLiteral("devices"),
         Command::Devices,
         QStringLiteral("[--json]"),
         QStringLiteral("List the ports, serial ports and printer devices there are, and the state of each."),
         {QStringLiteral("json"), QStringLiteral("quiet")},
         0},
    };
    return table;
}

const CommandInfo *commandNamed(const QString &name)
{
    for (const CommandInfo &info : commandTable())
        if (info.name == name)
            return &info;
    return nullptr;
}

QString optionLine(const OptionInfo &option)
{
    const QString left =
        QStringLiteral("  --%1%2")
            .arg(option.name, option.valueName.isEmpty() ? QString() : QLatin1Char(' ') + option.valueName);
    return left.leftJustified(24) + QLatin1Char(' ') + option.description + QLatin1Char('\n');
}

QString commandHelp(const CommandInfo &command)
{
    QString text = QStringLiteral("Usage: kr52ctl %1 %2\n%3\n\nOptions:\n")
                       .arg(command.name, command.synopsis, command.description);
    for (const OptionInfo &option : optionTable())
        if (command.options.contains(option.name))
            text += optionLine(option);
    text += optionLine({QStringLiteral("help"), {}, QStringLiteral("Show this help.")});
    if (command.options.contains(QStringLiteral("port")))
        text += QStringLiteral("\nA TARGET is --port NAME, --device PATH or --output FILE; results come in the order "
                               "the targets are given.\nWith no target, only --dry-run works.\n");
    return text;
}

QString generalHelp()
{
    QString text = QStringLiteral("Usage: kr52ctl COMMAND [options]\n"
                                  "Configures KR52 printers from the command line, sending the same commands as "
                                  "the window.\n\nCommands:\n");
    for (const CommandInfo &command : commandTable())
        text += QStringLiteral("  %1 %2\n      %3\n").arg(command.name, command.synopsis, command.description);
    text += QStringLiteral("\nkr52ctl COMMAND --help shows a command's options; --help-all shows them all; "
                           "--version the version.\n"
                           "\"--\" ends the options (for a profile named like an option).\n"
                           "Exit status: 0 done, 1 a printer could not be reached or configured (or the output "
                           "could not be written), 2 refused (nothing sent).\n");
    return text;
}

QString allHelp()
{
    QString text = generalHelp();
    for (const CommandInfo &command : commandTable())
        text += QLatin1Char('\n') + commandHelp(command);
    return text;
}

ParsedCommandLine refused(const QString &why)
{
    return {ParsedCommandLine::Kind::Refused, {}, sentence(why)};
}

// The command line's targets in the order given: the parser keeps each option's values in
// order and lists the names as they came, so the two together give the order.
QList<GivenTarget> targetsInOrder(const QCommandLineParser &parser)
{
    const std::map<QString, GivenTarget::Kind> kinds{{QStringLiteral("port"), GivenTarget::Kind::Port},
                                                     {QStringLiteral("device"), GivenTarget::Kind::Device},
                                                     {QStringLiteral("output"), GivenTarget::Kind::Output}};
    std::map<QString, qsizetype> taken;
    QList<GivenTarget> targets;
    for (const QString &name : parser.optionNames()) {
        const auto kind = kinds.find(name);
        if (kind == kinds.end())
            continue;
        const QString value = parser.values(name).value(taken[name]++);
        targets.append({kind->second, {value, QStringLiteral("--%1 \"%2\"").arg(name, value)}});
    }
    return targets;
}

} // namespace

QStringList commandNames()
{
    QStringList names;
    for (const CommandInfo &command : commandTable())
        names.append(command.name);
    return names;
}

QStringList optionsOf(const QString &command)
{
    const CommandInfo *info = commandNamed(command);
    return info ? info->options + QStringList{QStringLiteral("help")} : QStringList();
}

ParsedCommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-dash.ini" is one unknown option, not the options d, a, s and h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption helpAll(QStringLiteral("help-all"), QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    parser.addOptions({help, helpAll, version});
    for (const OptionInfo &option : optionTable())
        parser.addOption(QCommandLineOption(option.name, option.description, option.valueName));

    if (!parser.parse(arguments)) {
        QString why = parser.errorText();
        while (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        return refused(visible(why) + QStringLiteral("; \"--\" ends the options, for a file named like one"));
    }
    const QStringList positional = parser.positionalArguments();
    const CommandInfo *info = positional.isEmpty() ? nullptr : commandNamed(positional.first());
    if (parser.isSet(helpAll))
        return {ParsedCommandLine::Kind::Help, {}, allHelp()};
    if (parser.isSet(help))
        return {ParsedCommandLine::Kind::Help, {}, info ? commandHelp(*info) : generalHelp()};
    if (parser.isSet(version))
        return {ParsedCommandLine::Kind::Version,
                {},
                QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion()};

    if (positional.isEmpty())
        return refused(QStringLiteral("Name a command: %1.").arg(commandNames().join(QStringLiteral(", "))));
    if (!info)
        return refused(QStringLiteral("Unknown command \"%1\"; the commands are %2.")
                           .arg(visible(positional.first()), commandNames().join(QStringLiteral(", "))));
    const QString &name = info->name;
    if (positional.size() - 1 < info->arguments)
        return refused(
            QStringLiteral("%1 needs a profile file: apply PROFILE, or apply - for standard input.").arg(name));
    if (positional.size() - 1 > info->arguments)
        return refused(
            QStringLiteral("%1 takes no argument \"%2\".").arg(name, visible(positional.at(info->arguments + 1))));
    for (const QString &option : parser.optionNames()) {
        if (!info->options.contains(option))
            return refused(
                QStringLiteral("--%1 is not an option of %2; kr52ctl %2 --help lists them.").arg(option, name));
    }
    for (const QString &single :
         {QStringLiteral("baud"), QStringLiteral("data"), QStringLiteral("stop"), QStringLiteral("cut-offset")}) {
        if (parser.values(single).size() > 1)
            return refused(QStringLiteral("--%1 is given more than once.").arg(single));
    }
    if (info->command == Command::Profile && parser.values(QStringLiteral("output")).size() > 1)
        return refused(QStringLiteral("--output is given more than once; a profile is written to one file."));

    Request request;
    request.command = info->command;
    request.json = parser.isSet(QStringLiteral("json"));
    request.quiet = parser.isSet(QStringLiteral("quiet"));
    request.sets = parser.values(QStringLiteral("set"));
    if (parser.isSet(QStringLiteral("cut-offset")))
        request.cutOffset = parser.value(QStringLiteral("cut-offset"));
    request.noSelfTest = parser.isSet(QStringLiteral("no-self-test"));
    request.dryRun = parser.isSet(QStringLiteral("dry-run"));
    if (info->arguments > 0)
        request.profilePath = positional.at(1);
    const auto given = [&](const QString &option) {
        return parser.isSet(option) ? GivenValue{parser.value(option), QStringLiteral("--") + option} : GivenValue{};
    };
    if (info->command == Command::Profile)
        request.outputPath = parser.value(QStringLiteral("output"));
    else
        request.port.targets = targetsInOrder(parser);
    request.port.baud = given(QStringLiteral("baud"));
    request.port.data = given(QStringLiteral("data"));
    request.port.stop = given(QStringLiteral("stop"));
    return {ParsedCommandLine::Kind::Run, request, {}};
}

} // namespace kr52::ctl
