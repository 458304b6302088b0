// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace testsupport {

// What a finished program left behind.
struct ProgramRun {
    bool finished = false; // ran to its end within the time limit, without crashing
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QString failure; // why it did not finish: not started, crashed, timed out

    // For failure messages: the status and both outputs.
    [[nodiscard]] QString describe() const;
};

struct ProgramOptions {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString workingFolder;
    QString standardErrorFile; // standard error goes there instead of into err
    int timeLimitMs = 30000;   // the program is killed after this
};

// Runs program with arguments and waits for it, at most options.timeLimitMs.
[[nodiscard]] ProgramRun runProgram(const QString &program, const QStringList &arguments,
                                    const ProgramOptions &options = {});

// This process's environment with no display and no Qt platform chosen, as on a server.
[[nodiscard]] QProcessEnvironment headlessEnvironment();

} // namespace testsupport
