// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kr52::ctl {

enum class Command { Settings, Send, SelfTest, Apply };

// Where to send and, for a serial line, how; empty fields were not given.
struct PortOptions {
    QStringList ports;   // "COM1:", "LPT2:"
    QStringList devices; // paths
    QString baud;
    QString data;
    QString stop;
};

struct Request {
    Command command = Command::Settings;
    bool json = false;
    QStringList sets; // "NAME=ENTRY" as given
    std::optional<QString> cutOffset;
    bool noSelfTest = false;
    bool dryRun = false;
    QString profilePath;
    PortOptions port;
};

struct ParsedCommandLine {
    enum class Kind { Run, Help, Version, Refused };
    Kind kind = Kind::Refused;
    Request request;
    QString text; // the help or version text, or why the command line was refused
};

// Reads kr52ctl's arguments (the program name first). Options that do not belong to the chosen
// command are refused, so a mistyped command line never sends anything.
[[nodiscard]] ParsedCommandLine parseCommandLine(const QStringList &arguments);

} // namespace kr52::ctl
