// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/commands.h"
#include "printer/mscomm.h"
#include "printer/printererror.h"
#include "shell/frmMain.h"
#include "support/faultinjection.h"
#include "support/linkfixture.h"
#include "support/messagecapture.h"
#include "support/pseudoterminal.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace linktest;

namespace {

// The terminal's settings as any program opening the device finds them.
termios terminalSettings(const QString &devicePath)
{
    termios line{};
    const int fd = ::open(devicePath.toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        ::tcgetattr(fd, &line);
        ::close(fd);
    }
    return line;
}

} // namespace

// The printer link and "Print Self Test" from the main window, over a real pseudo-terminal and
// over files and devices standing in for the parallel port.
class tst_printerlink : public QObject {
    Q_OBJECT

private slots:
    void init() { linktest::clearDeviceOverrides(); }

    void startsWithNoPortChosen()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        QCOMPARE(main.property("cmode").value<qint16>(), qint16(0));
        QCOMPARE(main.property("lptport").toString(), QStringLiteral("LPT1:"));
        auto *version = main.findChild<QLabel *>(QStringLiteral("labVer"));
        QVERIFY(version);
        QCOMPARE(version->text(), QStringLiteral("1.0.14 Beta"));
        for (QComboBox *list : main.findChildren<QComboBox *>())
            QCOMPARE(list->currentIndex(), 0);
    }

    void switchCommandsReachTheSerialLineByteForByte()
    {
        PseudoTerminal pty;
        QVERIFY(pty.isValid());
        qputenv("KR52_COM2", pty.devicePath().toLocal8Bit());
        kr52::MSComm comm;
        comm.setCommPort(2);
        comm.setPortOpen(true);
        comm.setOutput(kr52::setSwitchBitsCommand("2", "0001"));
        comm.setOutput(kr52::clearSwitchBitsCommand("E", "0FFF"));
        comm.setPortOpen(false);
        QCOMPARE(pty.readAll(), bytes("\x1b\x23\x32\x2b\x30\x30\x30\x31\x0a\x00"
                                      "\x1b\x23\x45\x2d\x30\x46\x46\x46\x0a\x00",
                                      20));
    }

    void selfTestOverSerialSendsFourBytesAndCloses()
    {
        PseudoTerminal pty;
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        useSerial(main, 1, pty.devicePath());
        click(main, "Command4");
        QVERIFY(!main.serialControl()->portOpen());
        QCOMPARE(pty.readAll(), bytes("\x1b\x3f\x0a\x00", 4));
    }

    void selfTestAtThirtyThreeThousandSixHundredBaud()
    {
        PseudoTerminal pty;
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        useSerial(main, 3, pty.devicePath());
        main.serialControl()->setSettings(QStringLiteral("33600,n,8,1"));
        MessageCapture messages;
        click(main, "Command4");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(pty.readAll(), selfTest());
    }

    void selfTestOverParallelWritesTheCommandUnchanged()
    {
        QTemporaryDir dir;
        const QString device = makeDeviceFile(dir.path(), QStringLiteral("lp2"));
        QVERIFY(!device.isEmpty());
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        useParallel(main, 3, device);
        click(main, "Command4");
        QCOMPARE(fileContent(device), selfTest());
    }

    void twoActionsInARowEachOpenAndClose()
    {
        PseudoTerminal pty;
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        useSerial(main, 1, pty.devicePath());
        MessageCapture messages;
        click(main, "Command4");
        QVERIFY(!main.serialControl()->portOpen());
        click(main, "Command4");
        QVERIFY(!main.serialControl()->portOpen());
        QCOMPARE(messages.count(), 0);
        QCOMPARE(pty.readAll(), selfTest() + selfTest());

        QTemporaryDir dir;
        const QString device = makeDeviceFile(dir.path(), QStringLiteral("lp"));
        QVERIFY(!device.isEmpty());
        useParallel(main, 1, device);
        click(main, "Command4");
        click(main, "Command4");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(fileContent(device), selfTest()); // each open starts the file anew
    }

    void noPortChosenWarnsAndSendsNothing()
    {
        PseudoTerminal pty;
        qputenv("KR52_COM1", pty.devicePath().toLocal8Bit());
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        MessageCapture messages;
        for (const char *button : {"Command4", "comUse"}) {
            messages.clear();
            click(main, button);
            QCOMPARE(messages.count(), 1);
            QCOMPARE(messages.last().title, QStringLiteral("No Port Settings Specified"));
            QCOMPARE(messages.last().text,
                     QStringLiteral("No communication settings have been specified!\n"
                                    " Please click on 'Configure Port' before accessing the printer."));
            QCOMPARE(messages.last().icon, QMessageBox::Warning);
        }
        QVERIFY(!main.serialControl()->portOpen());
        QCOMPARE(pty.readAll(), QByteArray());
    }

    void failuresShowWhereAndWhyAndKeepTheProgramWorking_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("expectedWords");
        QTest::newRow("missing serial device")
            << "missing-serial" << QStringList{"COM1:", "/nonexistent/ttyS9", "no such device"};
        QTest::newRow("folder as serial device") << "folder-serial" << QStringList{"COM1:", "folder, not a device"};
        QTest::newRow("serial port held by another open")
            << "held-serial" << QStringList{"COM1:", "The device is in use by"};
        QTest::newRow("missing parallel device")
            << "missing-parallel" << QStringList{"LPT1:", "/nonexistent/lp9", "no such device"};
        QTest::newRow("folder as parallel device") << "folder-parallel" << QStringList{"LPT1:", "folder, not a device"};
        QTest::newRow("write fails") << "full-parallel" << QStringList{"LPT1:", "/dev/full", "No space left on device"};
        QTest::newRow("FIFO with no reader") << "fifo-parallel" << QStringList{"LPT1:", "nothing is reading"};
    }

    void failuresShowWhereAndWhyAndKeepTheProgramWorking()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, expectedWords);
        QTemporaryDir dir;
        PseudoTerminal pty;
        QSerialPort holder;
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        if (kind == QLatin1String("missing-serial")) {
            useSerial(main, 1, QStringLiteral("/nonexistent/ttyS9"));
        } else if (kind == QLatin1String("folder-serial")) {
            useSerial(main, 1, dir.path());
        } else if (kind == QLatin1String("held-serial")) {
            holder.setPortName(pty.devicePath());
            QVERIFY(holder.open(QIODevice::ReadWrite));
            useSerial(main, 1, pty.devicePath());
        } else if (kind == QLatin1String("missing-parallel")) {
            useParallel(main, 1, QStringLiteral("/nonexistent/lp9"));
        } else if (kind == QLatin1String("folder-parallel")) {
            useParallel(main, 1, dir.path());
        } else if (kind == QLatin1String("full-parallel")) {
            useParallel(main, 1, QStringLiteral("/dev/full"));
        } else {
            const QString fifo = dir.filePath(QStringLiteral("fifo"));
            QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
            useParallel(main, 1, fifo);
        }

        MessageCapture messages;
        click(main, "Command4"); // returns: a FIFO with no reader must not hang the window
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, QStringLiteral("Arvel KR52 Configuration Utility"));
        QCOMPARE(messages.last().icon, QMessageBox::Warning);
        for (const QString &word : expectedWords)
            QVERIFY2(messages.last().text.contains(word, Qt::CaseInsensitive), qPrintable(messages.last().text));
        // Only /dev/full opens; every other device fails before anything is sent.
        const QString reached = kind == QLatin1String("full-parallel")
                                    ? QStringLiteral("The self-test command was not sent.")
                                    : QStringLiteral("Nothing was sent to the printer.");
        QVERIFY2(messages.last().text.endsWith(QLatin1Char('\n') + reached), qPrintable(messages.last().text));
        QVERIFY(!main.serialControl()->portOpen());

        // The program goes on: the same window reaches a working port afterwards.
        holder.close();
        PseudoTerminal working;
        useSerial(main, 2, working.devicePath());
        messages.clear();
        click(main, "Command4");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(working.readAll(), selfTest());
    }

    void refusedSettingsNameTheFieldAndKeepTheOldOnes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("empty data bits") << "9600,n,,1"
                                         << "data bits";
        QTest::newRow("nine data bits") << "9600,n,9,1"
                                        << "data bits";
        QTest::newRow("three stop bits") << "9600,n,8,3"
                                         << "stop bits";
        QTest::newRow("zero baud") << "0,n,8,1"
                                   << "baud rate";
        QTest::newRow("letters for baud") << "fast,n,8,1"
                                          << "baud rate";
        QTest::newRow("unknown parity") << "9600,x,8,1"
                                        << "parity";
        QTest::newRow("too few fields") << "9600,n,8"
                                        << "four fields";
    }

    void refusedSettingsNameTheFieldAndKeepTheOldOnes()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        kr52::MSComm comm;
        comm.setSettings(QStringLiteral("19200,n,7,2"));
        try {
            comm.setSettings(text);
            QFAIL("the settings were accepted");
        } catch (const kr52::PrinterError &error) {
            QVERIFY2(error.message().contains(field), qPrintable(error.message()));
            QVERIFY(error.message().contains(text));
        }
        QCOMPARE(comm.settings(), QStringLiteral("19200,n,7,2"));
    }

    void acceptedSettingsReachTheTerminal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("speed");
        QTest::addColumn<uint>("lineFlags"); // size, parity and stop bits of c_cflag
        QTest::newRow("9600,n,8,1") << "9600,n,8,1" << uint(B9600) << uint(CS8);
        QTest::newRow("blanks and capitals") << " 9600 , N , 8 , 1 " << uint(B9600) << uint(CS8);
        QTest::newRow("19200,e,7,2") << "19200,e,7,2" << uint(B19200) << uint(CS7 | PARENB | CSTOPB);
        QTest::newRow("1200,o,5,1") << "1200,o,5,1" << uint(B1200) << uint(CS5 | PARENB | PARODD);
        QTest::newRow("4800,m,6,2") << "4800,m,6,2" << uint(B4800) << uint(CS6 | PARENB | PARODD | CMSPAR | CSTOPB);
        QTest::newRow("2400,s,8,1") << "2400,s,8,1" << uint(B2400) << uint(CS8 | PARENB | CMSPAR);
        QTest::newRow("33600, not a standard rate")
            << "33600,n,8,1" << uint(CBAUDEX) << uint(CS8); // the kernel's "other rate" code
    }

    // Read back from the terminal itself: the settings text must really reach the line, raw. A
    // pseudo-terminal always runs 8 bits without parity, so those are checked as asked of it.
    void acceptedSettingsReachTheTerminal()
    {
        QFETCH(QString, text);
        QFETCH(uint, speed);
        QFETCH(uint, lineFlags);
        PseudoTerminal pty;
        qputenv("KR52_COM1", pty.devicePath().toLocal8Bit());
        FaultInjection driver(pty.devicePath());
        kr52::MSComm comm;
        comm.setSettings(text);
        QCOMPARE(comm.settings(), text);
        comm.setPortOpen(true);
        comm.setOutput("S");
        comm.setPortOpen(false);
        QCOMPARE(pty.readAll(), QByteArray("S"));
        QVERIFY(driver.requestedLineFlags());
        QCOMPARE(*driver.requestedLineFlags() & uint(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), lineFlags);

        const termios line = terminalSettings(pty.devicePath());
        QCOMPARE(uint(::cfgetospeed(&line)), speed);
        QCOMPARE(uint(line.c_cflag & CSTOPB), lineFlags & CSTOPB);
        QCOMPARE(uint(line.c_cflag & (CLOCAL | CREAD | CRTSCTS)), uint(CLOCAL | CREAD));
        QCOMPARE(uint(line.c_lflag & (ICANON | ECHO | ISIG)), 0u);
        QCOMPARE(uint(line.c_iflag & (IXON | ICRNL)), 0u);
        QCOMPARE(uint(line.c_oflag & OPOST), 0u);
    }

    // A serial port as the kernel starts it turns each LF written into CR LF (OPOST|ONLCR) and
    // reads lines with echo: the line must clear all that, or every command reaches the printer
    // with a CR in it.
    void aCookedTerminalIsMadeRawAndTheBytesArriveUnchanged()
    {
        PseudoTerminal pty(PseudoTerminal::Start::KernelDefaults);
        QVERIFY(pty.isValid());
        const termios cooked = terminalSettings(pty.devicePath());
        QCOMPARE(uint(cooked.c_oflag & (OPOST | ONLCR)), uint(OPOST | ONLCR));
        QCOMPARE(uint(cooked.c_lflag & (ICANON | ECHO)), uint(ICANON | ECHO));

        qputenv("KR52_COM1", pty.devicePath().toLocal8Bit());
        kr52::MSComm comm;
        comm.setPortOpen(true);
        comm.setOutput(kr52::setSwitchBitsCommand("2", "0001"));
        comm.setOutput(kr52::selfTestCommand());
        comm.setPortOpen(false);
        QCOMPARE(pty.readAll(), switchBytes('2', '+', "0001") + selfTest());

        const termios line = terminalSettings(pty.devicePath());
        QCOMPARE(uint(line.c_oflag & OPOST), 0u);
        QCOMPARE(uint(line.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN)), 0u);
        QCOMPARE(uint(line.c_iflag & (IXON | ICRNL | INLCR | IGNCR | ISTRIP)), 0u);
    }

    // The terminal has no setting for one and a half stop bits: refused, never run as one.
    void oneAndAHalfStopBitsAreRefusedAtOpen()
    {
        PseudoTerminal pty;
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        useSerial(main, 1, pty.devicePath());
        main.serialControl()->setSettings(QStringLiteral("9600,n,8,1.5"));
        MessageCapture messages;
        click(main, "Command4");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text,
                 QStringLiteral("Could not set \"9600,n,8,1.5\" on COM1: (%1): this line cannot send 1.5 "
                                "stop bits. Set the printer and the port to 1 or 2 stop bits.\n"
                                "Nothing was sent to the printer.")
                     .arg(pty.devicePath()));
        QVERIFY(!main.serialControl()->portOpen());
        QCOMPARE(pty.readAll(), QByteArray());
    }

    void closingTheMainWindowEndsTheProgram()
    {
        auto *main = new frmMain(QStringLiteral(KR52_PROGRAM_DIR));
        main->setAttribute(Qt::WA_DeleteOnClose);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        // Leave a dialog loaded but hidden, as after "Configure Port" and "Cancel".
        click(*main, "comConfPort");
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QLatin1String("frmPort"))
                window->hide();
        }
        main->show();

        QTimer::singleShot(0, main, &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(tst_printerlink)
#include "tst_printerlink.moc"
