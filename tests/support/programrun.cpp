// SPDX-License-Identifier: GPL-3.0-or-later
#include "programrun.h"

#include <QProcess>

namespace testsupport {

QString ProgramRun::describe() const
{
    return QStringLiteral("%1 exit %2\n--- stdout\n%3--- stderr\n%4")
        .arg(failure)
        .arg(exitCode)
        .arg(QString::fromLocal8Bit(out), QString::fromLocal8Bit(err));
}

ProgramRun runProgram(const QString &program, const QStringList &arguments, const ProgramOptions &options)
{
    QProcess process;
    process.setProcessEnvironment(options.environment);
    process.setWorkingDirectory(options.workingFolder);
    if (!options.standardErrorFile.isEmpty())
        process.setStandardErrorFile(options.standardErrorFile);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForStarted()) {
        run.failure = QStringLiteral("%1 did not start: %2").arg(program, process.errorString());
        return run;
    }
    if (!process.waitForFinished(options.timeLimitMs)) {
        process.kill();
        process.waitForFinished();
        run.failure = QStringLiteral("%1 did not finish within %2 ms").arg(program).arg(options.timeLimitMs);
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

} // namespace testsupport
