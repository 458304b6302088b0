// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QCoreApplication>
#include <QList>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kr52 {

namespace {

enum class ValueForm {
    None,
    NextArgument,        // -platform xcb
    NextArgumentOrJoined // -style fusion or -style=fusion
};

struct ToolkitOption {
    const char *name;
    ValueForm value;
};

// Options QGuiApplication, QApplication and the X11 platform read from argv themselves.
constexpr ToolkitOption toolkitOptions[] = {
    {"platform", ValueForm::NextArgument},
    {"platformpluginpath", ValueForm::NextArgument},
    {"platformtheme", ValueForm::NextArgument},
    {"plugin", ValueForm::NextArgument},
    {"qwindowgeometry", ValueForm::NextArgument},
    {"qwindowicon", ValueForm::NextArgument},
    {"qwindowtitle", ValueForm::NextArgument},
    {"reverse", ValueForm::None},
    {"session", ValueForm::NextArgument},
    {"style", ValueForm::NextArgumentOrJoined},
    {"stylesheet", ValueForm::NextArgumentOrJoined},
    {"widgetcount", ValueForm::None},
    {"display", ValueForm::NextArgument},
    {"geometry", ValueForm::NextArgument},
    {"title", ValueForm::NextArgument},
    {"icon", ValueForm::NextArgument},
    {"name", ValueForm::NextArgument},
    {"sync", ValueForm::None},
    {"nograb", ValueForm::None},
    {"dograb", ValueForm::None},
};

const QString helpName = QStringLiteral("help");
const QString versionName = QStringLiteral("version");
const QString profileName = QStringLiteral("profile");

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

// The parser takes "-name=value" for every option, but Qt reads most of its own only as
// "-name value": such an option would reach QApplication unread. Returns the first one.
QString joinedToolkitValue(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        if (!argument.startsWith(QLatin1Char('-')) || !argument.contains(QLatin1Char('=')))
            continue;
        QString name = argument.section(QLatin1Char('='), 0, 0);
        while (name.startsWith(QLatin1Char('-')))
            name.remove(0, 1);
        for (const ToolkitOption &option : toolkitOptions)
            if (name == QLatin1String(option.name) && option.value == ValueForm::NextArgument)
                return argument;
    }
    return {};
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
                                    option.value == ValueForm::None ? QString() : QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
}

void addProfileOption(QCommandLineParser &parser)
{
    parser.addOption({profileName,
                      QStringLiteral("Start with the settings of the profile <file> shown (nothing is sent)."),
                      QStringLiteral("file")});
}

std::optional<QString> profileToOpen(const QCommandLineParser &parser)
{
    if (!parser.optionNames().contains(profileName))
        return std::nullopt;
    return parser.value(profileName);
}

CommandLineOutcome readCommandLine(QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.parse(arguments))
        return usageError(parser, parser.errorText());
    if (const QString joined = joinedToolkitValue(arguments); !joined.isEmpty())
        return usageError(parser, QStringLiteral("Qt's option '%1' takes its value as the next argument.")
                                      .arg(joined.section(QLatin1Char('='), 0, 0)));
    if (parser.optionNames().count(profileName) > 1)
        return usageError(parser, QStringLiteral("--profile is given more than once."));
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

QString missingPlatformPluginNote(const QString &qtMessage)
{
    static const QRegularExpression notFound(QStringLiteral("Could not find the Qt platform plugin \"([^\"]+)\""));
    const QRegularExpressionMatch match = notFound.match(qtMessage);
    if (!match.hasMatch())
        return {};
    const QString plugin = match.captured(1);
    // Debian's packages of the platform plugins a desktop session uses.
    static const QList<std::pair<QString, QString>> packages{
        {QStringLiteral("wayland"), QStringLiteral("qt6-wayland")},
        {QStringLiteral("wayland-egl"), QStringLiteral("qt6-wayland")},
        {QStringLiteral("xcb"), QStringLiteral("libqt6gui6")},
    };
    for (const auto &[name, package] : packages) {
        if (name == plugin)
            return QStringLiteral("Qt's platform plugin \"%1\" is not installed: install the package %2.")
                .arg(plugin, package);
    }
    return QStringLiteral("Qt's platform plugin \"%1\" is not installed.").arg(plugin);
}

namespace {

QtMessageHandler handlerBeforeWatch = nullptr;
// Notes on the platform plugins Qt looked for and did not find, for the failed-start line.
QStringList missingPluginNotes;

void reportFailedWindowStart(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        if (const QString note = missingPlatformPluginNote(message);
            !note.isEmpty() && !missingPluginNotes.contains(note))
            missingPluginNotes.append(note);
        if (handlerBeforeWatch)
            handlerBeforeWatch(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
        return;
    }
    const auto shown = [](const char *name) {
        return qEnvironmentVariableIsEmpty(name) ? QStringLiteral("unset") : qEnvironmentVariable(name);
    };
    QString line =
        QStringLiteral("%1: could not open a window in the graphical session (DISPLAY %2, WAYLAND_DISPLAY %3).")
            .arg(programName(), shown("DISPLAY"), shown("WAYLAND_DISPLAY"));
    for (const QString &note : std::as_const(missingPluginNotes))
        line += QLatin1Char(' ') + note;
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

WindowStartWatch::WindowStartWatch()
{
    handlerBeforeWatch = qInstallMessageHandler(reportFailedWindowStart);
}

WindowStartWatch::~WindowStartWatch()
{
    end();
}

void WindowStartWatch::end()
{
    if (m_watching)
        qInstallMessageHandler(handlerBeforeWatch);
    m_watching = false;
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
