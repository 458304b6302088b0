// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QCoreApplication>

#include <cstdio>

namespace kr52 {

namespace {

struct ToolkitOption {
    const char *name;
    bool takesValue;
};

// Options QGuiApplication, QApplication and the X11 platform read from argv themselves.
constexpr ToolkitOption toolkitOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"reverse", false},
    {"session", true},
    {"style", true},
    {"stylesheet", true},
    {"widgetcount", false},
    {"display", true},
    {"geometry", true},
    {"title", true},
    {"icon", true},
    {"name", true},
    {"sync", false},
    {"nograb", false},
    {"dograb", false},
};

const QString helpName = QStringLiteral("help");
const QString versionName = QStringLiteral("version");

QString programName()
{
    return QCoreApplication::applicationName();
}

QString usageText(const QCommandLineParser &parser)
{
    // Without an application object the parser cannot know the program's name, so the first
    // line is written here; the programs take options only.
    return QStringLiteral("Usage: %1 [options]\n").arg(programName()) + parser.helpText().section(QLatin1Char('\n'), 1);
}

CommandLineOutcome usageError(const QCommandLineParser &parser, const QString &reason)
{
    return {false, 2, {}, QStringLiteral("%1: %2\n%3").arg(programName(), reason, usageText(parser))};
}

} // namespace

void addStandardOptions(QCommandLineParser &parser)
{
    // Qt's options are single-dash words; --help and -h keep working as usual.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{QStringLiteral("h"), helpName}, QStringLiteral("Show this help and exit.")});
    parser.addOption({{QStringLiteral("v"), versionName}, QStringLiteral("Show the version and exit.")});
    for (const ToolkitOption &option : toolkitOptions) {
        QCommandLineOption qtOption(QString::fromLatin1(option.name), QString(),
                                    option.takesValue ? QStringLiteral("value") : QString());
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
}

CommandLineOutcome readCommandLine(QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.parse(arguments))
        return usageError(parser, parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError(parser,
                          QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    if (parser.isSet(helpName))
        return {false, 0, usageText(parser), {}};
    if (parser.isSet(versionName))
        return {false, 0, QStringLiteral("%1 %2\n").arg(programName(), QCoreApplication::applicationVersion()), {}};
    return {};
}

QString missingDisplayReason(const QCommandLineParser &parser)
{
    const bool named = parser.isSet(QStringLiteral("platform")) || parser.isSet(QStringLiteral("display")) ||
                       !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (named || !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    return QStringLiteral("%1: needs a graphical session, but neither DISPLAY nor WAYLAND_DISPLAY is set.")
        .arg(programName());
}

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

int finish(const CommandLineOutcome &outcome)
{
    std::fputs(outcome.output.toLocal8Bit().constData(), stdout);
    std::fputs(outcome.error.toLocal8Bit().constData(), stderr);
    std::fflush(stdout);
    return outcome.exitCode;
}

} // namespace kr52
