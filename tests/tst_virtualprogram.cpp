// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/programrun.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QString program = QStringLiteral(KR52_PROGRAM_DIR "/kr52-virtual");

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program as a user would, by default with no display, as on a server or in CI.
Run runProgram(const QStringList &arguments,
               const QProcessEnvironment &environment = testsupport::headlessEnvironment())
{
    testsupport::ProgramOptions options;
    options.environment = environment;
    options.timeLimitMs = 20000;
    const testsupport::ProgramRun run = testsupport::runProgram(program, arguments, options);
    return {run.finished ? run.exitCode : -1, QString::fromLocal8Bit(run.out),
            run.finished ? QString::fromLocal8Bit(run.err) : run.describe()};
}

using testsupport::writeFile;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

// The virtual printer's program as a user starts it: its options, its output and its files.
class tst_virtualprogram : public QObject {
    Q_OBJECT

private slots:
    void helpListsEveryOption()
    {
        const Run run = runProgram({QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        for (const char *line :
             {"Usage: ", "A virtual KR52: reads memory-switch and self-test commands", "--state <file>", "--reset",
              "Start with every switch at 0000.", "--fifo <path>", "--path-file <file>", "--png <file>", "--no-window",
              "Show no window, even with a display.", "--selftest",
              "Print the self-test page of the stored switches and stop."})
            QVERIFY2(run.out.contains(QString::fromLatin1(line)),
                     qPrintable(line + QStringLiteral(" in:\n") + run.out));
    }

    // "--selftest" never needs a display: without one, or with one that cannot be reached, the
    // page is printed and drawn all the same.
    void selfTestPrintsAndDrawsThePage_data()
    {
        QTest::addColumn<QString>("display");
        QTest::newRow("no display") << QString();
        QTest::newRow("a display that is not there") << QStringLiteral(":97");
    }

    void selfTestPrintsAndDrawsThePage()
    {
        QFETCH(QString, display);
        QTemporaryDir folder;
        const QString state = folder.filePath(QStringLiteral("switches"));
        const QString png = folder.filePath(QStringLiteral("pages/page.png"));
        writeFile(state, "1=0010\nE=1035\n");
        QProcessEnvironment environment = testsupport::headlessEnvironment();
        if (!display.isEmpty())
            environment.insert(QStringLiteral("DISPLAY"), display);

        const Run run =
            runProgram({QStringLiteral("--selftest"), QStringLiteral("--state"), state, QStringLiteral("--png"), png},
                       environment);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QStringList lines = run.out.split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), QStringLiteral("KR52 SELF TEST"));
        QVERIFY(lines.contains(QStringLiteral("0: 0000  1: 0010  2: 0000  3: 0000")));
        QVERIFY(lines.contains(QStringLiteral("C: 0000  D: 0000  E: 1035  F: 0000")));
        QVERIFY(lines.contains(QStringLiteral("Zero Style: Slash")));
        QVERIFY(lines.contains(QStringLiteral("Start Position Adjustment: -3.5 mm")));
        QVERIFY(run.out.endsWith(QStringLiteral("Self-test page drawn to %1\n").arg(png)));
        QCOMPARE(QImage(png).width(), 576);
        QCOMPARE(readFile(state), QByteArray("1=0010\nE=1035\n")); // read, never rewritten
    }

    void resetStartsFromZeroAndDrawsBesideTheState()
    {
        QTemporaryDir folder;
        const QString state = folder.filePath(QStringLiteral("switches"));
        writeFile(state, "1=0010\n");
        const Run run =
            runProgram({QStringLiteral("--reset"), QStringLiteral("--selftest"), QStringLiteral("--state"), state});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(run.out.split(QLatin1Char('\n')).contains(QStringLiteral("0: 0000  1: 0000  2: 0000  3: 0000")));
        QVERIFY(readFile(state).contains("\n1=0000\n"));
        const QString png = folder.filePath(QStringLiteral("selftest.png"));
        QVERIFY(run.out.endsWith(QStringLiteral("Self-test page drawn to %1\n").arg(png)));
        QVERIFY(!QImage(png).isNull());
    }

    void unreadableStateStopsWithTheReason()
    {
        QTemporaryDir folder;
        const QString state = folder.filePath(QStringLiteral("switches"));
        writeFile(state, "nonsense\n");
        const Run run = runProgram({QStringLiteral("--selftest"), QStringLiteral("--state"), state});
        QCOMPARE(run.exitCode, 1);
        // Qt may add warnings of its own; the program's line must be among them as it stands.
        const QString reason = QStringLiteral("kr52-virtual: %1, line 1: expected a switch and four hex digits, as in "
                                              "\"1=000B\", not \"nonsense\" (start with --reset to begin again "
                                              "from 0000)")
                                   .arg(state);
        QVERIFY2(run.err.split(QLatin1Char('\n')).contains(reason), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QCOMPARE(readFile(state), QByteArray("nonsense\n"));
    }

    // Without a display the printer still listens: it falls back to drawing offscreen.
    void listensWithoutADisplay()
    {
        QTemporaryDir folder;
        const QString pathFile = folder.filePath(QStringLiteral("device"));
        const QString png = folder.filePath(QStringLiteral("page.png"));
        QProcess process;
        process.setProcessEnvironment(testsupport::headlessEnvironment());
        process.start(program, {QStringLiteral("--state"), folder.filePath(QStringLiteral("switches")),
                                QStringLiteral("--png"), png, QStringLiteral("--path-file"), pathFile});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pathFile) || process.state() == QProcess::NotRunning, 10000);
        QVERIFY2(process.state() == QProcess::Running, process.readAllStandardError().constData());

        const QByteArray device = readFile(pathFile).trimmed();
        const int fd = ::open(device.constData(), O_WRONLY | O_NOCTTY);
        QVERIFY2(fd >= 0, device.constData());
        QCOMPARE(::write(fd, "\x1b#3+0010\n\0\x1b?\n\0", 14), ssize_t(14));
        QString out;
        const auto outputSoFar = [&] { return out += QString::fromLocal8Bit(process.readAllStandardOutput()); };
        QTRY_VERIFY_WITH_TIMEOUT(outputSoFar().contains(QStringLiteral("Self-test page drawn to")), 10000);
        ::close(fd);
        process.kill();
        process.waitForFinished();

        QVERIFY2(out.contains(QStringLiteral("set 0010 on switch 3: 0000 -> 0010\n")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("\n0: 0000  1: 0000  2: 0000  3: 0010\n")), qPrintable(out));
        QVERIFY(!QImage(png).isNull());
    }
};

QTEST_GUILESS_MAIN(tst_virtualprogram)
#include "tst_virtualprogram.moc"
