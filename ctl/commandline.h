// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace kr52::ctl {

enum class Command { Settings, Send, SelfTest, Apply, Profile, Devices };

// A value and where it was given: "--baud" or "shop.ini line 7", for messages.
struct GivenValue {
    QString text;
    QString origin;
};

// One printer to send to, as named: a port ("COM1:"), a device path, or a file that takes the
// bytes the printer would get.
struct GivenTarget {
    enum class Kind { Port, Device, Output };
    Kind kind = Kind::Port;
    GivenValue value;
};

// Where to send, in the order given, and for a serial line how; empty values were not given.
struct PortOptions {
    QList<GivenTarget> targets;
    GivenValue baud;
    GivenValue data;
    GivenValue stop;
};

struct Request {
    Command command = Command::Settings;
    bool json = false;
    bool quiet = false;
    QStringList sets; // "NAME=ENTRY" as given
    std::optional<QString> cutOffset;
    bool noSelfTest = false;
    bool dryRun = false;
    QString profilePath; // apply's profile ("-" for standard input)
    QString outputPath;  // where profile writes; empty for standard output
    PortOptions port;
};

struct ParsedCommandLine {
    enum class Kind { Run, Help, Version, Refused };
    Kind kind = Kind::Refused;
    Request request;
    QString text; // the help or version text, or why the command line was refused
};

// Reads kr52ctl's arguments (the program name first). Options that do not belong to the chosen
// command are refused, so a mistyped command line never sends anything. "--" ends the options.
[[nodiscard]] ParsedCommandLine parseCommandLine(const QStringList &arguments);

// The commands' names, and each command's options (without "--"), for help and completion.
[[nodiscard]] QStringList commandNames();
[[nodiscard]] QStringList optionsOf(const QString &command);

} // namespace kr52::ctl
