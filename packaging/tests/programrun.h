// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// What a finished program left behind.
struct ProgramRun {
    bool finished = false; // ran to its end in time, without crashing
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QString failure; // why it did not finish: not started, crashed, timed out

    // For failure messages: the status and both outputs.
    [[nodiscard]] QString describe() const;
};

// Runs program with arguments and waits for it (at most two minutes).
[[nodiscard]] ProgramRun runProgram(const QString &program, const QStringList &arguments,
                                    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                                    const QString &workingFolder = {});

// This process's environment with no display and no Qt platform chosen.
[[nodiscard]] QProcessEnvironment headlessEnvironment();
