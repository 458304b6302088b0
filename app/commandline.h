// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace kr52 {

// What a program's start does after reading its arguments.
struct CommandLineOutcome {
    bool carryOn = true; // go on and create the application
    int exitCode = 0;    // the exit status when not carrying on
    QString output;      // for standard output (help, version)
    QString error;       // for standard error (a usage error with the usage)
};

// Adds --help, --version and Qt's own options to parser. Qt's options (-platform, -style,
// -session that a session manager restarts a program with, ...) stay out of the help text and are
// left in argv for QApplication to take.
void addStandardOptions(QCommandLineParser &parser);

// kr52-config's --profile FILE: the profile whose choices the window starts with. Given twice,
// readCommandLine refuses it.
void addProfileOption(QCommandLineParser &parser);
// The file --profile names, when it is given.
[[nodiscard]] std::optional<QString> profileToOpen(const QCommandLineParser &parser);

// Reads arguments (program name first) before any application object exists, so that --help and
// --version need no display. Uses the application's name and version. An unknown option or a
// stray argument is a usage error: the reason and the usage, exit status 2.
[[nodiscard]] CommandLineOutcome readCommandLine(QCommandLineParser &parser, const QStringList &arguments);

// Empty when a window can be created: a platform or X display was named, or the session has
// DISPLAY or WAYLAND_DISPLAY. Otherwise the one-line reason, naming both variables.
[[nodiscard]] QString missingDisplayReason(const QCommandLineParser &parser);

// While watching, a fatal message from Qt (no platform could start: a display that does not answer
// or refuses the connection) ends the program with one line naming DISPLAY and WAYLAND_DISPLAY and
// exit status 1 instead of Qt's abort. Watches from construction until end() or destruction,
// around the creation of the QApplication.
class WindowStartWatch {
public:
    WindowStartWatch();
    ~WindowStartWatch();
    WindowStartWatch(const WindowStartWatch &) = delete;
    WindowStartWatch &operator=(const WindowStartWatch &) = delete;
    void end();

private:
    bool m_watching = true;
};

// argv as Qt reads it.
[[nodiscard]] QStringList argumentList(int argc, char *argv[]);

// Writes the outcome's texts and returns its exit status.
int finish(const CommandLineOutcome &outcome);

} // namespace kr52
