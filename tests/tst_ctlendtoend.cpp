// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/console.h"
#include "ctl/ctl.h"
#include "settings/catalogue.h"
#include "settings/choice.h"
#include "shell/frmMain.h"
#include "support/cataloguerow.h"
#include "support/controls.h"
#include "support/faultinjection.h"
#include "support/linkfixture.h"
#include "support/messagecapture.h"
#include "support/programrun.h"
#include "support/pseudoterminal.h"
#include "support/testfiles.h"
#include "virtual/selftestpage.h"
#include "virtual/virtualprinter.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using namespace kr52;

namespace {

const QString kr52ctlProgram = QStringLiteral(KR52_PROGRAM_DIR "/kr52ctl");

// Collects kr52ctl's words in the test, and lets it act when a printer has taken some commands.
class TestConsole : public ctl::Console {
public:
    void out(const QString &line) override { outLines.append(line); }
    void err(const QString &line) override { errLines.append(line); }
    void progress(const QString &target, int sent, int) override
    {
        if (onProgress)
            onProgress(target, sent);
    }

    QStringList outLines;
    QStringList errLines;
    std::function<void(const QString &, int)> onProgress;
};

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// Runs kr52ctl in this process, as its main does, and collects what it would print: one
// line per call, as the standard console ends each.
Run kr52ctl(const QStringList &arguments)
{
    TestConsole console;
    const int status = ctl::run(QStringList{QStringLiteral("kr52ctl")} + arguments, console);
    const auto printed = [](const QStringList &lines) {
        QString text;
        for (const QString &line : lines)
            text += line + QLatin1Char('\n');
        return text;
    };
    return {status, printed(console.outLines), printed(console.errLines)};
}

// Runs the kr52ctl program with arguments, as a script would.
Run kr52ctlProcess(const QStringList &arguments)
{
    const testsupport::ProgramRun run = testsupport::runProgram(kr52ctlProgram, arguments);
    if (!run.finished)
        QTest::qFail(qPrintable(run.describe()), __FILE__, __LINE__);
    return {run.finished ? run.exitCode : -1, QString::fromLocal8Bit(run.out), QString::fromLocal8Bit(run.err)};
}

QString assignment(const SettingRow &row, int index)
{
    return settingName(row) + QLatin1Char('=') + entryName(row.entries.at(index));
}

// kr52ctl and the window's "Use Settings" have finished writing by the time a test reads a line
// (readAll(0)): all they wrote is there, so waiting for more would only slow the test down.

const QString longestRunOffset = QString::fromLatin1(linktest::longestRunCutOffset);
// kr52ctl takes only a number, which sends what the window sends for its text.
const QString longestRunNumber = QString(longestRunOffset).remove(QStringLiteral("mm"));

QByteArray golden()
{
    return testsupport::readFile(QStringLiteral(KR52_TEST_DATA "/usesettings/longest-run.bin"));
}

} // namespace

// kr52ctl as a script runs it: against the virtual printer and the main window on real
// pseudo-terminals, with profiles on disk, refusals and its dry run.
class tst_ctlendtoend : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<frmMain> window;
    std::unique_ptr<PseudoTerminal> windowLine;

    // What the main window sends on "Use Settings" with only row at index.
    QByteArray windowSends(const SettingRow &row, int index, const QString &cutOffset)
    {
        for (const SettingRow &each : settingsCatalogue())
            testsupport::control<QComboBox>(window.get(), each.listName)
                ->setCurrentIndex(each.listName == row.listName ? index : 0);
        testsupport::control<QLineEdit>(window.get(), QStringLiteral("txtCutOffset"))->setText(cutOffset);
        MessageCapture messages;
        testsupport::press(window.get(), QStringLiteral("comUse"));
        if (messages.count() != 0)
            return messages.last().text.toUtf8();
        return windowLine->readAll(0);
    }

private slots:
    void initTestCase()
    {
        windowLine = std::make_unique<PseudoTerminal>();
        QVERIFY(windowLine->isValid());
        window = std::make_unique<frmMain>(QStringLiteral(KR52_PROGRAM_DIR));
        linktest::useSerial(*window, 1, windowLine->devicePath());
    }

    void cleanupTestCase()
    {
        window.reset();
        linktest::clearDeviceOverrides();
    }

    void everyEntrySendsWhatTheWindowSends_data()
    {
        QTest::addColumn<QString>("listName");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("asProcess"); // a few rows run the program itself, as a script does
        for (const SettingRow &row : settingsCatalogue())
            for (int index = 1; index < row.entries.size(); ++index)
                QTest::addRow("%s", qPrintable(assignment(row, index)))
                    << row.listName << index << (index == 1 && (row.kind == RowKind::CutOffset || row.switchId == '0'));
    }

    void everyEntrySendsWhatTheWindowSends()
    {
        QFETCH(QString, listName);
        QFETCH(int, index);
        QFETCH(bool, asProcess);
        const SettingRow &row = testsupport::catalogueRow(listName);
        const bool adjusts = row.kind == RowKind::CutOffset;
        PseudoTerminal printerLine;
        QStringList arguments{"send", "--device", printerLine.devicePath(), "--set", assignment(row, index)};
        if (adjusts)
            arguments << "--cut-offset" << longestRunNumber;
        const Run run = asProcess ? kr52ctlProcess(arguments) : kr52ctl(arguments);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString()); // no progress off a terminal
        const QByteArray sent = printerLine.readAll(0);
        QCOMPARE(sent, windowSends(row, index, adjusts ? longestRunOffset : QString()));

        // The virtual printer reads the chosen entry back from its switches.
        virt::VirtualPrinter printer;
        std::optional<virt::SelfTestPage> page;
        connect(&printer, &virt::VirtualPrinter::selfTestPrinted, this,
                [&](const virt::SelfTestPage &printed) { page = printed; });
        printer.receive(sent);
        QVERIFY(page);
        const virt::DecodedSetting decoded = virt::decodeSetting(row, page->switches);
        QStringList readBack;
        for (const QString &entry : decoded.entries)
            readBack.append(entryName(entry));
        QVERIFY2(readBack.contains(entryName(row.entries.at(index))), qPrintable(decoded.value));
        const qsizetype commands = commandsFor(row, index, longestRunOffset).size();
        QCOMPARE(run.out, QStringLiteral("%1: done. All %2 setting %3 and the self-test command were sent.\n"
                                         "1 of 1 printer done, 0 failed.\n")
                              .arg(printerLine.devicePath())
                              .arg(commands)
                              .arg(commands == 1 ? "command" : "commands"));
    }

    void profileGoesToEachPrinterAndReportsEach()
    {
        QTemporaryDir dir;
        const QString profilePath = dir.filePath(QStringLiteral("shop.ini"));
        QByteArray text = "[settings]\n";
        for (const auto &[listName, index] : linktest::longestRunChoices())
            text += assignment(testsupport::catalogueRow(listName), index).toUtf8() + '\n';
        text += "cut-offset=" + longestRunNumber.toUtf8() + "\n[port]\nbaud=19200\n";
        QVERIFY(testsupport::writeFile(profilePath, text));

        PseudoTerminal first;
        PseudoTerminal failing;
        PseudoTerminal third;
        TestConsole console;
        // The second printer goes away after its fifth command.
        console.onProgress = [&](const QString &target, int sent) {
            if (target == failing.devicePath() && sent == 5)
                failing.hangUp();
        };
        const int status = ctl::run({"kr52ctl", "apply", profilePath, "--device", first.devicePath(), "--device",
                                     failing.devicePath(), "--device", third.devicePath()},
                                    console);
        QCOMPARE(status, int(ctl::Failed));
        QCOMPARE(console.errLines, QStringList());
        QCOMPARE(console.outLines.size(), 4);
        const QString done = QStringLiteral(": done. All 27 setting commands and the self-test command were sent.");
        QCOMPARE(console.outLines[0], first.devicePath() + done);
        QVERIFY2(console.outLines[1].startsWith(failing.devicePath() + QStringLiteral(": FAILED. Could not write to ") +
                                                failing.devicePath() + QStringLiteral(": ")),
                 qPrintable(console.outLines[1]));
        QVERIFY2(console.outLines[1].endsWith(QStringLiteral(" 5 of 27 setting commands were sent; the printer may "
                                                             "now hold only part of the new settings.")),
                 qPrintable(console.outLines[1]));
        QCOMPARE(console.outLines[2], third.devicePath() + done);
        QCOMPARE(console.outLines[3], QStringLiteral("2 of 3 printers done, 1 failed."));
        QCOMPARE(first.readAll(0), golden());
        QCOMPARE(third.readAll(0), golden());
    }

    void portOptionsOnTheCommandLineWinOverTheProfile_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "PROFILE" and "PTY" stand for the paths
        QTest::addColumn<bool>("toTheProfilesDevice");
        QTest::addColumn<uint>("lineFlags"); // rate code, data and stop bits asked of the line
        const QStringList given{"--device", "PTY", "--baud", "38400", "--data", "8", "--stop", "1"};
        QTest::newRow("the profile's own") << QStringList{"apply", "PROFILE"} << true << uint(B19200 | CS7 | CSTOPB);
        QTest::newRow("options after the profile")
            << QStringList{"apply", "PROFILE"} + given << false << uint(B38400 | CS8);
        QTest::newRow("options before the profile")
            << QStringList{"apply"} + given + QStringList{"PROFILE"} << false << uint(B38400 | CS8);
        QTest::newRow("only the baud rate given")
            << QStringList{"apply", "--baud", "38400", "PROFILE"} << true << uint(B38400 | CS7 | CSTOPB);
        QTest::newRow("only a printer given")
            << QStringList{"apply", "PROFILE", "--device", "PTY"} << false << uint(B19200 | CS7 | CSTOPB);
    }

    // The profile's [port] keys are defaults: each option given on the command line wins over
    // its key, wherever it stands, and the others keep the profile's values.
    void portOptionsOnTheCommandLineWinOverTheProfile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, toTheProfilesDevice);
        QFETCH(uint, lineFlags);
        PseudoTerminal profilesDevice;
        PseudoTerminal givenDevice;
        QTemporaryDir dir;
        const QString profilePath = dir.filePath(QStringLiteral("shop.ini"));
        QFile profile(profilePath);
        QVERIFY(profile.open(QIODevice::WriteOnly));
        profile.write("[settings]\nZero Style=Slash\n[port]\ndevice=" + profilesDevice.devicePath().toUtf8() +
                      "\nbaud=19200\ndata=7\nstop=2\n");
        profile.close();
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^PTY$")), givenDevice.devicePath());
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^PROFILE$")), profilePath);
        PseudoTerminal &receiver = toTheProfilesDevice ? profilesDevice : givenDevice;
        PseudoTerminal &passedOver = toTheProfilesDevice ? givenDevice : profilesDevice;

        FaultInjection line(receiver.devicePath()); // only to see what the line is asked to run with
        TestConsole console;
        QCOMPARE(ctl::run(QStringList{"kr52ctl"} + arguments, console), int(ctl::Done));
        QCOMPARE(console.errLines, QStringList());
        QCOMPARE(receiver.readAll().right(4), linktest::selfTest());
        QCOMPARE(passedOver.readAll(), QByteArray());
        QVERIFY(line.requestedLineFlags());
        QCOMPARE(*line.requestedLineFlags() & uint(CBAUD | CSIZE | CSTOPB | PARENB), lineFlags);
    }

    void refusesBeforeOpeningAnything_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "PTY" and "PROFILE" stand for the paths
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("asProcess");

        const QStringList send{"send", "--device", "PTY"};
        QTest::newRow("unknown setting") << send + QStringList{"--set", "Print Sped=Half Speed"} << QByteArray()
                                         << "There is no setting \"Print Sped\" (--set \"Print Sped=Half Speed\"). "
                                            "The settings are:\n  Printer Command Mode\n"
                                         << true;
        QTest::newRow("unknown entry") << send + QStringList{"--set", "Print Speed=Slow"} << QByteArray()
                                       << "\"Print Speed\" has no entry \"Slow\" (--set \"Print Speed=Slow\"). Its "
                                          "entries are:\n  No change\n  Full Speed\n  Half Speed\n"
                                       << false;
        QTest::newRow("named twice")
            << send + QStringList{"--set", "Zero Style=Slash", "--set", "zero style=No Slash"} << QByteArray()
            << "\"Zero Style\" is set twice (--set \"Zero Style=Slash\" and --set \"zero style=No Slash\")" << false;
        QTest::newRow("not NAME=ENTRY") << send + QStringList{"--set", "Zero Style"} << QByteArray()
                                        << "\"Zero Style\" (--set \"Zero Style\") is not of the form NAME=ENTRY"
                                        << false;
        QTest::newRow("cut offset without adjusting")
            << send + QStringList{"--cut-offset", "1.5"} << QByteArray()
            << "a cut offset is sent only with \"Start Position Adjustment=Adjust as below\"" << false;
        QTest::newRow("adjusting without a cut offset")
            << send + QStringList{"--set", "Start Position Adjustment=Adjust as below"} << QByteArray()
            << "\"Start Position Adjustment=Adjust as below\" needs the cut offset in mm" << false;
        QTest::newRow("bad baud rate") << send + QStringList{"--baud", "fast"} << QByteArray()
                                       << "the baud rate \"fast\" must be a positive whole number" << false;
        QTest::newRow("bad data bits") << send + QStringList{"--data", "9"} << QByteArray()
                                       << "the data bits \"9\" must be 5, 6, 7 or 8." << false;
        QTest::newRow("bad stop bits") << send + QStringList{"--stop", "3"} << QByteArray()
                                       << "the stop bits \"3\" must be 1, 1.5 or 2." << false;
        QTest::newRow("baud twice") << send + QStringList{"--baud", "9600", "--baud", "19200"} << QByteArray()
                                    << "--baud is given more than once." << false;
        QTest::newRow("unknown port")
            << QStringList{"send", "--port", "COM5:", "--device", "PTY"} << QByteArray()
            << "--port \"COM5:\": there is no such port; the ports are COM1: to COM4: and LPT1: to LPT4:" << false;
        QTest::newRow("no printer named")
            << QStringList{"selftest"} << QByteArray() << "Name the printer with --port" << false;
        QTest::newRow("unknown command") << QStringList{"configure", "--device", "PTY"} << QByteArray()
                                         << "Unknown command \"configure\"; the commands are settings, send, "
                                            "selftest, apply, profile, devices."
                                         << false;
        QTest::newRow("no command") << QStringList{"--device", "PTY"} << QByteArray() << "Name a command" << false;
        QTest::newRow("unknown option") << send + QStringList{"--speed", "2"} << QByteArray()
                                        << "Unknown option 'speed'; \"--\" ends the options" << true;
        QTest::newRow("option of another command")
            << QStringList{"selftest", "--device", "PTY", "--set", "Zero Style=Slash"} << QByteArray()
            << "--set is not an option of selftest;" << false;
        QTest::newRow("apply without a profile") << QStringList{"apply", "--device", "PTY"} << QByteArray()
                                                 << "apply needs a profile file: apply PROFILE," << false;
        QTest::newRow("unreadable profile")
            << QStringList{"apply", "/nonexistent/shop.ini", "--device", "PTY"} << QByteArray()
            << "Could not read the profile /nonexistent/shop.ini: No such file" << true;
        QTest::newRow("broken profile") << QStringList{"apply", "PROFILE", "--device", "PTY"}
                                        << QByteArray("[settings]\nZero Style=Slash\n[printers]\n")
                                        << "line 3: unknown section \"[printers]\"" << false;
        QTest::newRow("profile with an unknown entry")
            << QStringList{"apply", "PROFILE", "--device", "PTY"} << QByteArray("[settings]\nZero Style=Dotted\n")
            << "\"Zero Style\" has no entry \"Dotted\" (" << false;
        QTest::newRow("profile's bad baud rate")
            << QStringList{"apply", "PROFILE", "--device", "PTY"} << QByteArray("[settings]\n[port]\nbaud=-1\n")
            << "the baud rate \"-1\" must be a positive whole number" << false;
    }

    void refusesBeforeOpeningAnything()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, profile);
        QFETCH(QString, message);
        QFETCH(bool, asProcess);
        PseudoTerminal printerLine;
        QTemporaryDir dir;
        const QString profilePath = dir.filePath(QStringLiteral("shop.ini"));
        QVERIFY(testsupport::writeFile(profilePath, profile));
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^PTY$")), printerLine.devicePath());
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^PROFILE$")), profilePath);

        const Run run = asProcess ? kr52ctlProcess(arguments) : kr52ctl(arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(QStringLiteral("kr52ctl: ")) && run.err.contains(message), qPrintable(run.err));
        QCOMPARE(printerLine.readAll(0), QByteArray());
    }

    void dryRunShowsTheLongestRunWithoutSending()
    {
        PseudoTerminal printerLine;
        QStringList arguments{"send",         "--dry-run",     "--device", printerLine.devicePath(),
                              "--cut-offset", longestRunNumber};
        for (const auto &[listName, index] : linktest::longestRunChoices())
            arguments << "--set" << assignment(testsupport::catalogueRow(listName), index);
        const Run run = kr52ctl(arguments);
        QCOMPARE(run.status, 0);
        QCOMPARE(printerLine.readAll(0), QByteArray());

        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 28);
        QByteArray bytes;
        for (const QString &line : lines)
            bytes += QByteArray::fromHex(line.left(29).toLatin1());
        QCOMPARE(bytes, golden());
        QCOMPARE(lines.first(), QStringLiteral("1B 23 30 2B 30 30 30 31 0A 00  sets bit 0 of switch 0, for \"Printer "
                                               "Command Mode\" = \"Arvel Line Mode\""));
        QCOMPARE(lines.at(26), QStringLiteral("1B 23 45 2B 30 31 32 33 0A 00  sets bits 0, 1, 5, 8 of switch E, for "
                                              "\"Start Position Adjustment\" = \"Adjust as below\" (-12.3 mm)"));
        QCOMPARE(lines.last(), QStringLiteral("1B 3F 0A 00                    self test"));

        // Nothing is sent, so no printer need be named: the same lines without one.
        arguments.remove(2, 2);
        const Run noPrinter = kr52ctl(arguments);
        QCOMPARE(noPrinter.status, 0);
        QCOMPARE(noPrinter.err, QString());
        QCOMPARE(noPrinter.out, run.out);
        const Run selfTestOnly = kr52ctl({"selftest", "--dry-run"});
        QCOMPARE(selfTestOnly.status, 0);
        QCOMPARE(selfTestOnly.out, QStringLiteral("1B 3F 0A 00                    self test\n"));
    }

    void selfTestGoesOverEitherLink()
    {
        PseudoTerminal printerLine;
        Run run = kr52ctl({"selftest", "--device", printerLine.devicePath()});
        QCOMPARE(run.status, 0);
        QCOMPARE(printerLine.readAll(0), linktest::selfTest());
        QCOMPARE(run.out, printerLine.devicePath() + QStringLiteral(": done. The self-test command was sent.\n"
                                                                    "1 of 1 printer done, 0 failed.\n"));

        // Anything but a terminal is written as the parallel link writes (a file only through a
        // port's mapping: --device never writes over a file).
        QTemporaryDir dir;
        const QString device = linktest::makeDeviceFile(dir.path(), QStringLiteral("lp"));

        // Ports map to devices as in the window, through the same variables.
        PseudoTerminal mapped;
        qputenv("KR52_COM2", mapped.devicePath().toLocal8Bit());
        qputenv("KR52_LPT3", device.toLocal8Bit());
        run = kr52ctlProcess({"selftest", "--port", "com2", "--port", "LPT3:"});
        QCOMPARE(run.status, 0);
        QCOMPARE(mapped.readAll(0), linktest::selfTest());
        QCOMPARE(linktest::fileContent(device), linktest::selfTest());
        QCOMPARE(run.out, QStringLiteral("COM2: (%1): done. The self-test command was sent.\n"
                                         "LPT3: (%2): done. The self-test command was sent.\n"
                                         "2 of 2 printers done, 0 failed.\n")
                              .arg(mapped.devicePath(), device));

        run = kr52ctl({"selftest", "--device", dir.filePath(QStringLiteral("unplugged"))});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.out.endsWith(QStringLiteral("Nothing was sent to the printer.\n0 of 1 printer done, 1 failed.\n")),
                 qPrintable(run.out));
    }

    void showsProgressOnATerminal()
    {
        PseudoTerminal printerLine;
        PseudoTerminal terminal;
        testsupport::ProgramOptions options;
        options.standardErrorFile = terminal.devicePath();
        const testsupport::ProgramRun run = testsupport::runProgram(
            kr52ctlProgram, {"send", "--device", printerLine.devicePath(), "--set", "Zero Style=Slash"}, options);
        QVERIFY2(run.finished, qPrintable(run.describe()));
        QCOMPARE(run.exitCode, 0);
        const QString shown = QString::fromLocal8Bit(terminal.readAll());
        const QString line = QStringLiteral("\r\033[K%1: %2 of 2 commands sent").arg(printerLine.devicePath());
        QVERIFY2(shown.contains(line.arg(1)) && shown.endsWith(line.arg(2) + QStringLiteral("\r\033[K")),
                 qPrintable(shown));
        QVERIFY(QString::fromLocal8Bit(run.out).startsWith(printerLine.devicePath()));
    }

    // Stopped mid-send, kr52ctl releases the lock file and exclusive mode before it ends, and
    // says what had reached the port.
    void aSignalMidSendReleasesThePort_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("name");
        QTest::newRow("SIGINT") << SIGINT << "SIGINT";
        QTest::newRow("SIGTERM") << SIGTERM << "SIGTERM";
        QTest::newRow("SIGHUP") << SIGHUP << "SIGHUP";
    }

    void aSignalMidSendReleasesThePort()
    {
        QFETCH(int, signalNumber);
        QFETCH(QString, name);
        PseudoTerminal printerLine;
        // A line stopped as by flow control takes nothing, so the send waits.
        const int line =
            ::open(QFile::encodeName(printerLine.devicePath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(line >= 0);
        QCOMPARE(::tcflow(line, TCOOFF), 0);
        const auto exclusive = [line] {
            int value = 0;
            return ::ioctl(line, TIOCGEXCL, &value) == 0 && value != 0;
        };
        const QString ownLock = QStringLiteral("/run/lock/LCK..") + QFileInfo(printerLine.devicePath()).fileName();

        QProcess process;
        process.start(QStringLiteral(KR52_PROGRAM_DIR "/kr52ctl"), {"selftest", "--device", printerLine.devicePath()});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(exclusive(), 3000);
        QVERIFY(QFile::exists(ownLock));
        QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
        QVERIFY(process.waitForFinished(5000));

        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()),
                 QStringLiteral("kr52ctl: stopped by %1 while sending to %2; nothing had been written to the port. "
                                "The port was released.\n")
                     .arg(name, printerLine.devicePath()));
        QVERIFY2(!QFile::exists(ownLock), "the lock file was left behind");
        QVERIFY2(!exclusive(), "the line was left in exclusive mode");
        QCOMPARE(::tcflow(line, TCOON), 0);
        ::close(line);
    }

    void listsTheSettings()
    {
        const Run json = kr52ctl({"settings", "--json"});
        QCOMPARE(json.status, 0);
        const QJsonArray settings = QJsonDocument::fromJson(json.out.toUtf8()).array();
        const std::vector<SettingRow> &catalogue = settingsCatalogue();
        QCOMPARE(settings.size(), qsizetype(catalogue.size()));
        const Run text = kr52ctlProcess({"settings"});
        for (std::size_t i = 0; i < catalogue.size(); ++i) {
            const QJsonObject setting = settings.at(qsizetype(i)).toObject();
            QCOMPARE(setting.value("name").toString(), settingName(catalogue[i]));
            QCOMPARE(setting.value("switch").toString(), QString(QLatin1Char(catalogue[i].switchId)));
            QCOMPARE(setting.value("help").toString(), QStringLiteral("help%1.rtf").arg(catalogue[i].helpIndex));
            QCOMPARE(setting.value("entries").toArray().size(), catalogue[i].entries.size());
            QVERIFY(text.out.contains(QStringLiteral("%1 (switch %2, help page help%3.rtf)\n")
                                          .arg(settingName(catalogue[i]), QString(QLatin1Char(catalogue[i].switchId)))
                                          .arg(catalogue[i].helpIndex)));
        }
        QCOMPARE(settings.at(14).toObject().value("entries").toArray().last().toString(), QStringLiteral("50 column"));

        const Run help = kr52ctlProcess({"--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains(QStringLiteral("apply PROFILE")));
        const Run version = kr52ctlProcess({"--version"});
        QCOMPARE(version.status, 0);
        QVERIFY(version.out.startsWith(QStringLiteral("kr52ctl 1.")));
    }
};

QTEST_MAIN(tst_ctlendtoend)
#include "tst_ctlendtoend.moc"
