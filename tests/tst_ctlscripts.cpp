// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/commandline.h"
#include "ctl/console.h"
#include "ctl/ctl.h"
#include "ctl/messages.h"
#include "printer/devicedetection.h"
#include "settings/catalogue.h"
#include "settings/choice.h"
#include "support/collectingconsole.h"
#include "support/linkfixture.h"
#include "support/pseudoterminal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kr52;

namespace {

using TestConsole = testsupport::CollectingConsole;

struct Result {
    int status = -1;
    QString out;
    QString err;
};

Result run(const QStringList &arguments)
{
    TestConsole console;
    const int status = ctl::run(QStringList{QStringLiteral("kr52ctl")} + arguments, console);
    return {status, console.outLines.join(QLatin1Char('\n')), console.errLines.join(QLatin1Char('\n'))};
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray golden()
{
    return contentOf(QStringLiteral(KR52_TEST_DATA "/usesettings/longest-run.bin"));
}

// The window's longest run as kr52ctl options; its cut offset is the window's text as a number.
QStringList longestRunOptions()
{
    QStringList options{QStringLiteral("--cut-offset"), QStringLiteral("-12.3")};
    for (const auto &[listName, index] : linktest::longestRunChoices()) {
        for (const SettingRow &row : settingsCatalogue())
            if (row.listName == listName)
                options << QStringLiteral("--set")
                        << settingName(row) + QLatin1Char('=') + entryName(row.entries.at(index));
    }
    return options;
}

const QString adjust = QStringLiteral("Start Position Adjustment=Adjust as below");
// What "Zero Style=Slash" sends.
const QByteArray zeroSlash("\x1b#1+0010\n\0", 10);

// Runs the kr52ctl program with SIGPIPE at its default, as a shell starts it, standard output
// going to outFd and standard error to errPath; returns the wait status.
int spawnKr52ctl(const QStringList &arguments, int outFd, const QString &errPath)
{
    QList<QByteArray> bytes{QByteArrayLiteral(KR52_PROGRAM_DIR "/kr52ctl")};
    for (const QString &argument : arguments)
        bytes.append(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.toLocal8Bit().constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    int status = -1;
    if (spawned == 0)
        ::waitpid(child, &status, 0);
    return status;
}

} // namespace

// kr52ctl as scripts use it: strict values, files never written over, targets in order and
// once, JSON results, profiles written and read back, output that survives a closed pipe.
class tst_ctlscripts : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        linktest::clearDeviceOverrides();
    }

    void cutOffsetIsWhollyANumberWithinTheLimits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("digits"); // what the printer gets in its last switch command; empty: refused
        QTest::newRow("negative") << "-1.5" << QByteArray("015");
        QTest::newRow("whole") << "12" << QByteArray("120");
        QTest::newRow("no leading zero") << ".5" << QByteArray("005");
        QTest::newRow("plus, trailing point") << "+3." << QByteArray("030");
        QTest::newRow("highest") << "29.9" << QByteArray("299");
        QTest::newRow("lowest") << "-29.9" << QByteArray("299");
        QTest::newRow("half to even, as the window") << "1.25" << QByteArray("012");
        QTest::newRow("beyond the limit") << "40" << QByteArray();
        QTest::newRow("rounds beyond the limit") << "29.95" << QByteArray();
        QTest::newRow("exponent") << "1e3" << QByteArray();
        QTest::newRow("huge") << "99999999999999999999" << QByteArray();
        QTest::newRow("letters") << "abc" << QByteArray();
        QTest::newRow("decimal comma") << "1,5" << QByteArray();
        QTest::newRow("unit") << "1.5mm" << QByteArray();
        QTest::newRow("blank inside") << "1 2" << QByteArray();
        QTest::newRow("empty") << "" << QByteArray();
        QTest::newRow("lone point") << "." << QByteArray();
        QTest::newRow("infinity") << "inf" << QByteArray();
    }

    void cutOffsetIsWhollyANumberWithinTheLimits()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, digits);
        const QString output = dir.filePath(QStringLiteral("offset.bin"));
        QFile::remove(output);
        QFile::remove(output + ".2");
        const Result given = run({"send", "--no-self-test", "--output", output, "--set", adjust, "--cut-offset", text});
        const QString profile = dir.filePath(QStringLiteral("offset.ini"));
        QVERIFY(write(profile, "[settings]\n" + adjust.toUtf8() + "\ncut-offset=" + text.toUtf8() + "\n"));
        const Result fromProfile = run({"apply", profile, "--no-self-test", "--output", output + ".2"});
        if (digits.isEmpty()) {
            QCOMPARE(given.status, int(ctl::Refused));
            QVERIFY2(given.err.startsWith(QStringLiteral("kr52ctl: --cut-offset: the cut offset \"%1\" is not a number "
                                                         "of millimetres from -29.9 to 29.9")
                                              .arg(text)),
                     qPrintable(given.err));
            QVERIFY(!QFile::exists(output));
            QCOMPARE(fromProfile.status, int(ctl::Refused));
            QVERIFY2(fromProfile.err.contains(QStringLiteral("offset.ini line 3")), qPrintable(fromProfile.err));
            QVERIFY(!QFile::exists(output + ".2"));
        } else {
            QCOMPARE(given.status, int(ctl::Done));
            QCOMPARE(contentOf(output).right(5).left(3), digits);
            QCOMPARE(fromProfile.status, int(ctl::Done));
            QCOMPARE(contentOf(output + ".2"), contentOf(output));
        }
    }

    void refusesSettingsTheSerialLineCannotRun()
    {
        PseudoTerminal line;
        Result result = run({"selftest", "--device", line.devicePath(), "--stop", "1.5"});
        QCOMPARE(result.status, int(ctl::Refused));
        QVERIFY2(result.err.startsWith(QStringLiteral("kr52ctl: --stop: 1.5 stop bits cannot be set")),
                 qPrintable(result.err));
        const QString profile = dir.filePath(QStringLiteral("stop.ini"));
        QVERIFY(write(profile, "[settings]\nZero Style=Slash\n[port]\nbaud=19200\nstop=1.5\n"));
        result = run({"apply", profile, "--device", line.devicePath()});
        QCOMPARE(result.status, int(ctl::Refused));
        QVERIFY2(result.err.contains(QStringLiteral("stop.ini line 5: 1.5 stop bits")), qPrintable(result.err));
        QVERIFY2(result.err.contains(QStringLiteral("Nothing was sent.")), qPrintable(result.err));
        // The profile's faulty value names its line; the command line's value wins over it.
        QVERIFY(write(profile, "[settings]\nZero Style=Slash\n[port]\nbaud=fast\n"));
        result = run({"apply", profile, "--device", line.devicePath()});
        QVERIFY2(result.err.startsWith(QStringLiteral("kr52ctl: ") + profile + QStringLiteral(" line 4: ")),
                 qPrintable(result.err));
        result = run({"apply", profile, "--device", line.devicePath(), "--baud", "9600", "--no-self-test"});
        QCOMPARE(result.status, int(ctl::Done));
        QCOMPARE(line.readAll(), zeroSlash);
        // The limit of the baud rate is said.
        result = run({"selftest", "--device", line.devicePath(), "--baud", "2147483647"});
        QVERIFY2(result.err.contains(QStringLiteral("up to 4000000")), qPrintable(result.err));
    }

    void neverWritesOverAFileFolderOrBlockDevice()
    {
        const QString file = dir.filePath(QStringLiteral("shop.ini"));
        const QByteArray text = "[settings]\nZero Style=Slash\n";
        QVERIFY(write(file, text));
        const QString block = dir.filePath(QStringLiteral("block"));
        // A block device of the major number set aside for local use: nothing answers it.
        QVERIFY2(::mknod(block.toLocal8Bit().constData(), S_IFBLK | 0600, makedev(240, 0)) == 0, strerror(errno));
        struct stat before {};
        QCOMPARE(::stat(file.toLocal8Bit().constData(), &before), 0);
        for (const QString &target : {file, dir.path(), block}) {
            const Result result = run({"apply", file, "--device", target});
            QCOMPARE(result.status, int(ctl::Refused));
            QVERIFY2(result.err.contains(QStringLiteral("--device takes only a character device or a FIFO")),
                     qPrintable(result.err));
        }
        QCOMPARE(contentOf(file), text);
        struct stat after {};
        QCOMPARE(::stat(file.toLocal8Bit().constData(), &after), 0);
        QCOMPARE(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        QCOMPARE(QFileInfo(block).isFile(), false);

        // --output replaces a file whole, and refuses a device or folder.
        const Result replaced = run({"apply", file, "--no-self-test", "--output", file});
        QCOMPARE(replaced.status, int(ctl::Done));
        QCOMPARE(contentOf(file), zeroSlash);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".shop.ini")),
                 QStringList());
        for (const QString &target : {block, dir.path(), QStringLiteral("/dev/null")}) {
            const Result result = run({"selftest", "--output", target});
            QCOMPARE(result.status, int(ctl::Refused));
            QVERIFY2(result.err.contains(QStringLiteral("--output replaces only a regular file")),
                     qPrintable(result.err));
        }
    }

    void outputGetsTheWindowsBytes()
    {
        const QString output = dir.filePath(QStringLiteral("longest.bin"));
        const Result result = run(QStringList{"send", "--output", output} + longestRunOptions());
        QCOMPARE(result.status, int(ctl::Done));
        QCOMPARE(contentOf(output), golden());
    }

    void targetsComeInOrderAndOnce()
    {
        PseudoTerminal first;
        PseudoTerminal mapped;
        const QString output = dir.filePath(QStringLiteral("order.bin"));
        qputenv("KR52_COM2", mapped.devicePath().toLocal8Bit());
        Result result = run({"selftest", "--output", output, "--port", "COM2:", "--device", first.devicePath()});
        QCOMPARE(result.status, int(ctl::Done));
        const QStringList lines = result.out.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].startsWith(QStringLiteral("file ") + output + QStringLiteral(": done.")),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(QStringLiteral("COM2: (%1): done.").arg(mapped.devicePath())),
                 qPrintable(lines[1]));
        QVERIFY2(lines[2].startsWith(first.devicePath() + QStringLiteral(": done.")), qPrintable(lines[2]));
        QCOMPARE(lines[3], QStringLiteral("3 of 3 printers done, 0 failed."));
        QCOMPARE(mapped.readAll(), linktest::selfTest());
        QCOMPARE(first.readAll(), linktest::selfTest());

        const QString link = dir.filePath(QStringLiteral("printer-link"));
        QVERIFY(QFile::link(first.devicePath(), link));
        const QList<QStringList> twice{{"--device", first.devicePath(), "--device", first.devicePath()},
                                       {"--device", mapped.devicePath(), "--port", "com2"},
                                       {"--device", first.devicePath(), "--device", link},
                                       {"--output", output, "--output", dir.filePath(QStringLiteral("./order.bin"))}};
        for (const QStringList &targets : twice) {
            result = run(QStringList{"selftest"} + targets);
            QCOMPARE(result.status, int(ctl::Refused));
            QVERIFY2(result.err.contains(QStringLiteral("name the same device")), qPrintable(result.err));
        }
        QCOMPARE(first.readAll(), QByteArray());
        QCOMPARE(mapped.readAll(), QByteArray());
        qunsetenv("KR52_COM2");
    }

    void resultsAsJson()
    {
        PseudoTerminal line;
        const QString missing = dir.filePath(QStringLiteral("unplugged"));
        const Result result =
            run({"send", "--json", "--set", "Zero Style=Slash", "--device", line.devicePath(), "--device", missing});
        QCOMPARE(result.status, int(ctl::Failed));
        QJsonParseError error{};
        const QJsonObject document = QJsonDocument::fromJson(result.out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(document.value("done").toInt(), 1);
        QCOMPARE(document.value("failed").toInt(), 1);
        QCOMPARE(document.value("total").toInt(), 2);
        const QJsonArray printers = document.value("printers").toArray();
        QCOMPARE(printers.size(), 2);
        const QJsonObject done = printers[0].toObject();
        QCOMPARE(done.value("device").toString(), line.devicePath());
        QCOMPARE(done.value("path").toString(), line.devicePath());
        QCOMPARE(done.value("result").toString(), QStringLiteral("done"));
        QCOMPARE(done.value("sent").toInt(), 2);
        QCOMPARE(done.value("total").toInt(), 2);
        const QJsonObject failed = printers[1].toObject();
        QCOMPARE(failed.value("result").toString(), QStringLiteral("failed"));
        QCOMPARE(failed.value("sent").toInt(), 0);
        QVERIFY(failed.value("message").toString().endsWith(QStringLiteral("Nothing was sent to the printer.")));

        // A port's result names the port and its device.
        qputenv("KR52_LPT1", missing.toLocal8Bit());
        const QJsonObject port = QJsonDocument::fromJson(run({"selftest", "--json", "--port", "LPT1:"}).out.toUtf8())
                                     .object()
                                     .value("printers")
                                     .toArray()
                                     .at(0)
                                     .toObject();
        qunsetenv("KR52_LPT1");
        QCOMPARE(port.value("port").toString(), QStringLiteral("LPT1:"));
        QCOMPARE(port.value("path").toString(), missing);
    }

    void messagesAreOneEscapedSentence()
    {
        const QString profile = dir.filePath(QStringLiteral("nul.ini"));
        QVERIFY(write(profile, QByteArray("[settings]\nZero\0Style=Slash\n", 28)));
        Result result = run({"apply", profile, "--dry-run"});
        QCOMPARE(result.status, int(ctl::Refused));
        QVERIFY2(result.err.contains(QStringLiteral("Zero\\x00Style")), qPrintable(result.err));
        result = run({"apply", "--bogus"});
        QVERIFY2(result.err.contains(QStringLiteral("'bogus'")) && !result.err.contains(QStringLiteral("..")),
                 qPrintable(result.err));
        result = run({"send", "--set", "Zero\tStyle\nx"});
        QVERIFY2(result.err.startsWith(QStringLiteral("kr52ctl: \"Zero\\tStyle\\nx\" (--set")), qPrintable(result.err));
        QCOMPARE(result.err.count(QLatin1Char('\n')), 1); // the reason, then "Nothing was sent."

        // A port whose device is missing points to --device.
        qputenv("KR52_LPT2", dir.filePath(QStringLiteral("gone")).toLocal8Bit());
        result = run({"selftest", "--port", "LPT2:"});
        qunsetenv("KR52_LPT2");
        QCOMPARE(result.status, int(ctl::Failed));
        QVERIFY2(!result.out.contains(QStringLiteral("Configure Port")), qPrintable(result.out));

        // Characters of any plane stay as they are; only what cannot be shown is escaped, a
        // terminal's escape and delete among them, so a name cannot move or clear the screen.
        QCOMPARE(ctl::visible(QStringLiteral("caf\u00e9 \U0001F5A8\u0001\u0085") + QChar(0xDCE9)),
                 QStringLiteral("caf\u00e9 \U0001F5A8\\x01\\u{0085}\\xe9"));
        QCOMPARE(ctl::visible(QStringLiteral("a\u001b[2Jb\u007fc")), QStringLiteral("a\\x1b[2Jb\\x7fc"));

        // "--" ends the options; a name that is not UTF-8 still opens.
        const QByteArray odd = QFile::encodeName(dir.path()) + "/caf\xe9.ini";
        const int fd = ::open(odd.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "[settings]\nZero Style=Slash\n", 28), ssize_t(28));
        ::close(fd);
        result = run({"apply", "--no-self-test", "--dry-run", "--", ctl::argumentText(odd)});
        QCOMPARE(result.status, int(ctl::Done));
        QVERIFY2(result.out.contains(QStringLiteral("Zero Style")), qPrintable(result.out));
        ::unlink(odd.constData()); // a name Qt cannot hold, so the temporary folder could not remove it
        const QString dash = QStringLiteral("-dash.ini");
        QVERIFY(write(dir.filePath(dash), "[settings]\nZero Style=Slash\n"));
        const QString current = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        result = run({"apply", "--dry-run", "--", dash});
        QVERIFY(QDir::setCurrent(current));
        QCOMPARE(result.status, int(ctl::Done));
        result = run({"apply", "--dry-run", dash});
        QVERIFY2(result.err.contains(QStringLiteral("Unknown option 'dash.ini'")), qPrintable(result.err));
    }

    void profileRoundTrip()
    {
        const QString profile = dir.filePath(QStringLiteral("written.ini"));
        QStringList options = longestRunOptions();
        options << "--baud"
                << "19200";
        Result result = run(QStringList{"profile", "--output", profile} + options);
        QCOMPARE(result.status, int(ctl::Done));
        QVERIFY(contentOf(profile).contains("baud=19200\n"));
        const QString applied = dir.filePath(QStringLiteral("applied.bin"));
        const QString sent = dir.filePath(QStringLiteral("sent.bin"));
        QCOMPARE(run({"apply", profile, "--output", applied}).status, int(ctl::Done));
        QCOMPARE(run(QStringList{"send", "--output", sent} + options).status, int(ctl::Done));
        QCOMPARE(contentOf(applied), contentOf(sent));
        QCOMPARE(contentOf(applied), golden());

        // What send refuses, profile refuses, and writes nothing.
        QFile::remove(profile);
        for (const QStringList &refused : QList<QStringList>{
                 {"--set", adjust, "--cut-offset", "40"}, {"--set", "Zero Style=Dotted"}, {"--stop", "1.5"}}) {
            result = run(QStringList{"profile", "--output", profile} + refused);
            QCOMPARE(result.status, int(ctl::Refused));
            QVERIFY(!QFile::exists(profile));
        }
        result = run({"profile", "--set", "Zero Style=Slash"});
        QVERIFY2(result.out.contains(QStringLiteral("[settings]\nZero Style=Slash")), qPrintable(result.out));
    }

    void quietLeavesOnlyErrors()
    {
        PseudoTerminal line;
        Result result = run({"selftest", "--quiet", "--device", line.devicePath()});
        QCOMPARE(result.status, int(ctl::Done));
        QCOMPARE(result.out, QString());
        QCOMPARE(result.err, QString());
        result = run({"selftest", "--quiet", "--device", dir.filePath(QStringLiteral("unplugged"))});
        QCOMPARE(result.status, int(ctl::Failed));
        QCOMPARE(result.out, QString());
        QVERIFY(result.err.contains(QStringLiteral("FAILED")));
    }

    void helpForEachCommand()
    {
        const Result send = run({"send", "--help"});
        QCOMPARE(send.status, int(ctl::Done));
        QVERIFY(send.out.startsWith(QStringLiteral("Usage: kr52ctl send")));
        QVERIFY(send.out.contains(QStringLiteral("--cut-offset MM")));
        const Result devices = run({"devices", "--help"});
        QVERIFY(!devices.out.contains(QStringLiteral("--port")));
    }

    // The man page, the README and the completion follow the program: its version, every
    // command and every option.
    void documentsMatchTheProgram()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral(KR52_VERSION));
        const QString man = QString::fromUtf8(contentOf(QStringLiteral(KR52_SOURCE_DIR "/packaging/man/kr52ctl.1")));
        const QString readme = QString::fromUtf8(contentOf(QStringLiteral(KR52_SOURCE_DIR "/README.md")));
        const QString completion =
            QString::fromUtf8(contentOf(QStringLiteral(KR52_SOURCE_DIR "/packaging/completion/kr52ctl")));
        QVERIFY2(man.contains(QStringLiteral("\"kr52ctl %1\"").arg(QStringLiteral(KR52_VERSION))), "man page version");
        for (const QString &command : ctl::commandNames()) {
            QVERIFY2(man.contains(QStringLiteral(".B ") + command), qPrintable(command));
            QVERIFY2(readme.contains(QStringLiteral("kr52ctl ") + command), qPrintable(command));
            QVERIFY2(completion.contains(command), qPrintable(command));
            for (const QString &option : ctl::optionsOf(command)) {
                QString escaped = QStringLiteral("\\-\\-") + option;
                escaped.replace(QStringLiteral("-self-test"), QStringLiteral("\\-self\\-test"))
                    .replace(QStringLiteral("cut-offset"), QStringLiteral("cut\\-offset"))
                    .replace(QStringLiteral("dry-run"), QStringLiteral("dry\\-run"));
                QVERIFY2(man.contains(escaped), qPrintable(command + QLatin1Char(' ') + option));
                QVERIFY2(readme.contains(QStringLiteral("--") + option),
                         qPrintable(command + QLatin1Char(' ') + option));
            }
        }
        for (const QString &word : {QStringLiteral("devices.conf"), QStringLiteral("\\-\\-help\\-all"),
                                    QStringLiteral("JSON RESULTS"), QStringLiteral("EXIT STATUS")})
            QVERIFY2(man.contains(word), qPrintable(word));
    }

    void devicesAsTheChooserSeesThem()
    {
        PseudoTerminal line;
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("serial/by-id")));
        const QString stable = folder.filePath(QStringLiteral("serial/by-id/usb-Maker_Printer-if00"));
        QVERIFY(QFile::link(line.devicePath(), stable));
        setDeviceSource({folder.path(), [&] {
                             return QList<SerialPortEntry>{{line.devicePath(), "USB serial", "Maker", "42", {}}};
                         }});
        const Result result = run({"devices", "--json"});
        setDeviceSource(systemDeviceSource());
        QCOMPARE(result.status, int(ctl::Done));
        const QJsonObject document = QJsonDocument::fromJson(result.out.toUtf8()).object();
        QCOMPARE(document.value("ports").toArray().size(), 8);
        const QJsonArray devices = document.value("devices").toArray();
        QCOMPARE(devices.size(), 1);
        QCOMPARE(devices[0].toObject().value("path").toString(), stable);
        QCOMPARE(devices[0].toObject().value("systemPath").toString(), line.devicePath());
        QCOMPARE(devices[0].toObject().value("state").toString(), QStringLiteral("ready"));
    }

    // Whole processes: a reader that goes away, a full disk, and a profile on standard input.
    void closedOutputPipeStillConfiguresEveryPrinter()
    {
        PseudoTerminal lines[3];
        int pipe[2];
        QCOMPARE(::pipe(pipe), 0);
        ::close(pipe[0]); // the reader is gone before the first line
        const QString errors = dir.filePath(QStringLiteral("errors.txt"));
        QStringList arguments{"send"};
        for (const PseudoTerminal &line : lines)
            arguments << "--device" << line.devicePath();
        const int status = spawnKr52ctl(arguments + longestRunOptions(), pipe[1], errors);
        ::close(pipe[1]);
        QVERIFY2(WIFEXITED(status), "ended by a signal");
        QCOMPARE(WEXITSTATUS(status), 1);
        for (PseudoTerminal &line : lines)
            QCOMPARE(line.readAll(), golden());
        QVERIFY2(contentOf(errors).contains("Standard output could not be written: Broken pipe."),
                 contentOf(errors).constData());

        const int full = ::open("/dev/full", O_WRONLY);
        QVERIFY(full >= 0);
        QCOMPARE(WEXITSTATUS(spawnKr52ctl({"settings"}, full, errors)), 1);
        ::close(full);
        QVERIFY(contentOf(errors).contains("No space left on device"));
    }

    void appliesAProfileFromStandardInput()
    {
        const QString output = dir.filePath(QStringLiteral("stdin.bin"));
        QProcess process;
        process.start(QStringLiteral(KR52_PROGRAM_DIR "/kr52ctl"),
                      {"apply", "-", "--no-self-test", "--output", output});
        process.write("[settings]\nZero Style=Slash\n");
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(contentOf(output), zeroSlash);
        process.start(QStringLiteral(KR52_PROGRAM_DIR "/kr52ctl"), {"apply", "-", "--dry-run"});
        process.write("[settings]\nZero Style=Dotted\n");
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardError().contains("(standard input line 2)"));
    }
};

QTEST_GUILESS_MAIN(tst_ctlscripts)
#include "tst_ctlscripts.moc"
