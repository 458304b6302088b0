// SPDX-License-Identifier: GPL-3.0-or-later
#include "programrun.h"

#include <QProcess>

QString ProgramRun::describe() const
{
    return QStringLiteral("%1 exit %2\n--- stdout\n%3--- stderr\n%4")
        .arg(failure)
        .arg(exitCode)
        .arg(QString::fromLocal8Bit(out), QString::fromLocal8Bit(err));
}

ProgramRun runProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment,
                      const QString &workingFolder)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForStarted()) {
        run.failure = QStringLiteral("%1 did not start: %2").arg(program, process.errorString());
        return run;
    }
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        run.failure = QStringLiteral("%1 timed out").arg(program);
    } else if (process.exitStatus() != QProcess::NormalExit) {
        run.failure = QStringLiteral("%1 crashed: %2").arg(program, process.errorString());
    } else {
        run.finished = true;
        run.exitCode = process.exitCode();
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QProcessEnvironment headlessEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}
