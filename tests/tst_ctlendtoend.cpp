// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/console.h"
#include "ctl/ctl.h"
#include "settings/catalogue.h"
#include "settings/choice.h"
#include "shell/frmMain.h"
#include "support/faultinjection.h"
#include "support/linkfixture.h"
#include "support/messagecapture.h"
#include "support/pseudoterminal.h"
#include "virtual/selftestpage.h"
#include "virtual/virtualprinter.h"

#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <termios.h>

using namespace kr52;

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// Runs the kr52ctl program with arguments, as a script would.
Run kr52ctl(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(KR52_PROGRAM_DIR "/kr52ctl"), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

const SettingRow &rowNamed(const QString &listName)
{
    for (const SettingRow &row : settingsCatalogue())
        if (row.listName == listName)
            return row;
    qFatal("no list %s", qPrintable(listName));
}

QString assignment(const SettingRow &row, int index)
{
    return settingName(row) + QLatin1Char('=') + entryName(row.entries.at(index));
}

const QString longestRunOffset = QString::fromLatin1(linktest::longestRunCutOffset);

QByteArray golden()
{
    QFile file(QStringLiteral(KR52_TEST_DATA "/usesettings/longest-run.bin"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
            window->findChild<QComboBox *>(each.listName)->setCurrentIndex(each.listName == row.listName ? index : 0);
        window->findChild<QLineEdit *>(QStringLiteral("txtCutOffset"))->setText(cutOffset);
        MessageCapture messages;
        linktest::click(*window, "comUse");
        if (messages.count() != 0)
            return messages.last().text.toUtf8();
        return windowLine->readAll();
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
        for (const SettingRow &row : settingsCatalogue())
            for (int index = 1; index < row.entries.size(); ++index)
                QTest::addRow("%s", qPrintable(assignment(row, index))) << row.listName << index;
    }

    void everyEntrySendsWhatTheWindowSends()
    {
        QFETCH(QString, listName);
        QFETCH(int, index);
        const SettingRow &row = rowNamed(listName);
        const bool adjusts = row.kind == RowKind::CutOffset;
        PseudoTerminal printerLine;
        QStringList arguments{"send", "--device", printerLine.devicePath(), "--set", assignment(row, index)};
        if (adjusts)
            arguments << "--cut-offset" << longestRunOffset;
        const Run run = kr52ctl(arguments);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString()); // no progress off a terminal
        const QByteArray sent = printerLine.readAll();
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
        QCOMPARE(run.out, QStringLiteral("%1: done. All %2 setting commands and the self-test command were sent.\n")
                              .arg(printerLine.devicePath())
                              .arg(commandsFor(row, index, longestRunOffset).size()));
    }

    void profileGoesToEachPrinterAndReportsEach()
    {
        QTemporaryDir dir;
        const QString profilePath = dir.filePath(QStringLiteral("shop.ini"));
        QFile profile(profilePath);
        QVERIFY(profile.open(QIODevice::WriteOnly));
        QByteArray text = "[settings]\n";
        for (const auto &[listName, index] : linktest::longestRunChoices())
            text += assignment(rowNamed(listName), index).toUtf8() + '\n';
        text += "cut-offset=" + longestRunOffset.toUtf8() + "\n[port]\nbaud=19200\n";
        profile.write(text);
        profile.close();

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
        QCOMPARE(first.readAll(), golden());
        QCOMPARE(third.readAll(), golden());
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

        const QStringList send{"send", "--device", "PTY"};
        QTest::newRow("unknown setting") << send + QStringList{"--set", "Print Sped=Half Speed"} << QByteArray()
                                         << "There is no setting \"Print Sped\" (--set \"Print Sped=Half Speed\"). "
                                            "The settings are:\n  Printer Command Mode\n";
        QTest::newRow("unknown entry") << send + QStringList{"--set", "Print Speed=Slow"} << QByteArray()
                                       << "\"Print Speed\" has no entry \"Slow\" (--set \"Print Speed=Slow\"). Its "
                                          "entries are:\n  No change\n  Full Speed\n  Half Speed\n";
        QTest::newRow("named twice")
            << send + QStringList{"--set", "Zero Style=Slash", "--set", "zero style=No Slash"} << QByteArray()
            << "\"Zero Style\" is set twice (--set \"Zero Style=Slash\" and --set \"zero style=No Slash\")";
        QTest::newRow("not NAME=ENTRY") << send + QStringList{"--set", "Zero Style"} << QByteArray()
                                        << "\"Zero Style\" (--set \"Zero Style\") is not of the form NAME=ENTRY";
        QTest::newRow("cut offset without adjusting")
            << send + QStringList{"--cut-offset", "1.5"} << QByteArray()
            << "A cut offset is sent only with \"Start Position Adjustment=Adjust as below\"";
        QTest::newRow("adjusting without a cut offset")
            << send + QStringList{"--set", "Start Position Adjustment=Adjust as below"} << QByteArray()
            << "\"Start Position Adjustment=Adjust as below\" needs the cut offset in mm";
        QTest::newRow("bad baud rate") << send + QStringList{"--baud", "fast"} << QByteArray()
                                       << "the baud rate \"fast\" must be a positive whole number";
        QTest::newRow("bad data bits") << send + QStringList{"--data", "9"} << QByteArray()
                                       << "the data bits \"9\" must be 5, 6, 7 or 8.";
        QTest::newRow("bad stop bits") << send + QStringList{"--stop", "3"} << QByteArray()
                                       << "the stop bits \"3\" must be 1, 1.5 or 2.";
        QTest::newRow("baud twice") << send + QStringList{"--baud", "9600", "--baud", "19200"} << QByteArray()
                                    << "--baud is given more than once.";
        QTest::newRow("unknown port") << QStringList{"send", "--port", "COM5:", "--device", "PTY"} << QByteArray()
                                      << "There is no port \"COM5:\"; the ports are COM1: to COM4: and LPT1: to LPT4:";
        QTest::newRow("no printer named") << QStringList{"selftest"} << QByteArray() << "Name the printer with --port";
        QTest::newRow("unknown command") << QStringList{"configure", "--device", "PTY"} << QByteArray()
                                         << "Unknown command \"configure\"; the commands are settings, send, "
                                            "selftest and apply.";
        QTest::newRow("no command") << QStringList{"--device", "PTY"} << QByteArray() << "Name a command";
        QTest::newRow("unknown option") << send + QStringList{"--speed", "2"} << QByteArray()
                                        << "Unknown option 'speed'.";
        QTest::newRow("option of another command")
            << QStringList{"selftest", "--device", "PTY", "--set", "Zero Style=Slash"} << QByteArray()
            << "--set is not an option of selftest.";
        QTest::newRow("apply without a profile")
            << QStringList{"apply", "--device", "PTY"} << QByteArray() << "apply needs a profile file: apply PROFILE.";
        QTest::newRow("unreadable profile")
            << QStringList{"apply", "/nonexistent/shop.ini", "--device", "PTY"} << QByteArray()
            << "Could not read the profile /nonexistent/shop.ini: No such file";
        QTest::newRow("broken profile") << QStringList{"apply", "PROFILE", "--device", "PTY"}
                                        << QByteArray("[settings]\nZero Style=Slash\n[printers]\n")
                                        << "line 3: unknown section \"[printers]\"";
        QTest::newRow("profile with an unknown entry")
            << QStringList{"apply", "PROFILE", "--device", "PTY"} << QByteArray("[settings]\nZero Style=Dotted\n")
            << "\"Zero Style\" has no entry \"Dotted\" (";
        QTest::newRow("profile's bad baud rate")
            << QStringList{"apply", "PROFILE", "--device", "PTY"} << QByteArray("[settings]\n[port]\nbaud=-1\n")
            << "the baud rate \"-1\" must be a positive whole number";
    }

    void refusesBeforeOpeningAnything()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, profile);
        QFETCH(QString, message);
        PseudoTerminal printerLine;
        QTemporaryDir dir;
        const QString profilePath = dir.filePath(QStringLiteral("shop.ini"));
        QFile file(profilePath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(profile) == profile.size());
        file.close();
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^PTY$")), printerLine.devicePath());
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^PROFILE$")), profilePath);

        const Run run = kr52ctl(arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(QStringLiteral("kr52ctl: ")) && run.err.contains(message), qPrintable(run.err));
        QCOMPARE(printerLine.readAll(), QByteArray());
    }

    void dryRunShowsTheLongestRunWithoutSending()
    {
        PseudoTerminal printerLine;
        QStringList arguments{"send",         "--dry-run",     "--device", printerLine.devicePath(),
                              "--cut-offset", longestRunOffset};
        for (const auto &[listName, index] : linktest::longestRunChoices())
            arguments << "--set" << assignment(rowNamed(listName), index);
        const Run run = kr52ctl(arguments);
        QCOMPARE(run.status, 0);
        QCOMPARE(printerLine.readAll(), QByteArray());

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
        QCOMPARE(printerLine.readAll(), linktest::selfTest());
        QCOMPARE(run.out, printerLine.devicePath() + QStringLiteral(": done. The self-test command was sent.\n"));

        // Anything but a terminal is written as the parallel link writes.
        QTemporaryDir dir;
        const QString device = linktest::makeDeviceFile(dir.path(), QStringLiteral("lp"));
        run = kr52ctl({"selftest", "--device", device});
        QCOMPARE(run.status, 0);
        QCOMPARE(linktest::fileContent(device), linktest::selfTest());

        // Ports map to devices as in the window, through the same variables.
        PseudoTerminal mapped;
        qputenv("KR52_COM2", mapped.devicePath().toLocal8Bit());
        qputenv("KR52_LPT3", device.toLocal8Bit());
        run = kr52ctl({"selftest", "--port", "com2", "--port", "LPT3:"});
        QCOMPARE(run.status, 0);
        QCOMPARE(mapped.readAll(), linktest::selfTest());
        QCOMPARE(linktest::fileContent(device), linktest::selfTest());
        QCOMPARE(run.out, QStringLiteral("COM2: (%1): done. The self-test command was sent.\n"
                                         "LPT3: (%2): done. The self-test command was sent.\n"
                                         "2 of 2 printers done, 0 failed.\n")
                              .arg(mapped.devicePath(), device));

        run = kr52ctl({"selftest", "--device", dir.filePath(QStringLiteral("unplugged"))});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.out.endsWith(QStringLiteral("Nothing was sent to the printer.\n")), qPrintable(run.out));
    }

    void showsProgressOnATerminal()
    {
        PseudoTerminal printerLine;
        PseudoTerminal terminal;
        QProcess process;
        process.setStandardErrorFile(terminal.devicePath());
        process.start(QStringLiteral(KR52_PROGRAM_DIR "/kr52ctl"),
                      {"send", "--device", printerLine.devicePath(), "--set", "Zero Style=Slash"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QString shown = QString::fromLocal8Bit(terminal.readAll());
        const QString line = QStringLiteral("\r\033[K%1: %2 of 2 commands sent").arg(printerLine.devicePath());
        QVERIFY2(shown.contains(line.arg(1)) && shown.endsWith(line.arg(2) + QStringLiteral("\r\033[K")),
                 qPrintable(shown));
        QVERIFY(QString::fromLocal8Bit(process.readAllStandardOutput()).startsWith(printerLine.devicePath()));
    }

    void listsTheSettings()
    {
        const Run json = kr52ctl({"settings", "--json"});
        QCOMPARE(json.status, 0);
        const QJsonArray settings = QJsonDocument::fromJson(json.out.toUtf8()).array();
        const std::vector<SettingRow> &catalogue = settingsCatalogue();
        QCOMPARE(settings.size(), qsizetype(catalogue.size()));
        const Run text = kr52ctl({"settings"});
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

        const Run help = kr52ctl({"--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains(QStringLiteral("apply PROFILE")));
        const Run version = kr52ctl({"--version"});
        QCOMPARE(version.status, 0);
        QVERIFY(version.out.startsWith(QStringLiteral("kr52ctl 1.")));
    }
};

QTEST_MAIN(tst_ctlendtoend)
#include "tst_ctlendtoend.moc"
