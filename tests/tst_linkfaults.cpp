// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/commands.h"
#include "printer/lockfiles.h"
#include "printer/mscomm.h"
#include "printer/parallelport.h"
#include "printer/portlock.h"
#include "printer/printererror.h"
#include "support/faultinjection.h"
#include "support/linkfixture.h"
#include "support/pseudoterminal.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <asm/termbits.h> // TCSETS2 needs struct termios2
#include <cerrno>
#include <ctime>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace {

constexpr int noStatus = -1;

// The two links behind one face, so that each fault is tried on both.
class Link {
public:
    virtual ~Link() = default;
    // The device the link writes to, for the fault injection; valid once made.
    [[nodiscard]] virtual QString device() const = 0;
    virtual void open() = 0;
    virtual void write(const QByteArray &text) = 0;
    virtual void close() = 0;
    virtual void setWriteTimeout(int milliseconds) = 0;
    // Everything that reached the device.
    [[nodiscard]] virtual QByteArray received() = 0;
};

class SerialLink : public Link {
public:
    SerialLink() { qputenv("KR52_COM1", m_pty.devicePath().toLocal8Bit()); }
    QString device() const override { return m_pty.devicePath(); }
    void open() override { m_comm.setPortOpen(true); }
    void write(const QByteArray &text) override { m_comm.setOutput(text); }
    void close() override { m_comm.setPortOpen(false); }
    void setWriteTimeout(int milliseconds) override { m_comm.setWriteTimeout(milliseconds); }
    QByteArray received() override { return m_pty.readAll(); }
    PseudoTerminal &pty() { return m_pty; }

private:
    PseudoTerminal m_pty;
    kr52::MSComm m_comm;
};

class ParallelLink : public Link {
public:
    ParallelLink() : m_path(linktest::makeDeviceFile(m_dir.path(), QStringLiteral("lp0")))
    {
        qputenv("KR52_LPT1", m_path.toLocal8Bit());
    }
    QString device() const override { return m_path; }
    void open() override { m_port.open(QStringLiteral("LPT1:")); }
    void write(const QByteArray &text) override { m_port.write(text); }
    void close() override { m_port.close(); }
    void setWriteTimeout(int milliseconds) override { m_port.setWriteTimeout(milliseconds); }
    QByteArray received() override { return linktest::fileContent(m_path); }

private:
    QTemporaryDir m_dir;
    QString m_path;
    kr52::ParallelPort m_port;
};

std::unique_ptr<Link> makeLink(bool serial)
{
    if (serial)
        return std::make_unique<SerialLink>();
    return std::make_unique<ParallelLink>();
}

// The error text of a failed write, empty when it worked.
QString writeError(Link &link, const QByteArray &text)
{
    try {
        link.write(text);
    } catch (const kr52::PrinterError &error) {
        return error.message();
    }
    return {};
}

double processCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

const QString serialTimedOut = QStringLiteral("Timed out: the device did not take the data. Check the cable, the baud "
                                              "rate and that the printer is on line.");

} // namespace

// The links against failing hardware: devices that take nothing, take part, go away, or answer
// with a status word, through the system-call seam and a pseudo-terminal.
class tst_linkfaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_lockDir.isValid());
        kr52::setLockDirectories({m_lockDir.path()});
    }

    void init() { linktest::clearDeviceOverrides(); }

    void everyByteArrivesThroughShortWrites_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QList<int>>("answers");
        for (const bool serial : {true, false}) {
            const char *link = serial ? "serial" : "parallel";
            QTest::addRow("%s: all but the last byte", link) << serial << QList<int>{9};
            QTest::addRow("%s: one byte at a time", link) << serial << QList<int>{1, 1, 1, 1, 1, 1, 1, 1, 1};
            QTest::addRow("%s: part, then no room, then the rest", link) << serial << QList<int>{3, -EAGAIN, 4, -EINTR};
            QTest::addRow("%s: interrupted first", link) << serial << QList<int>{-EINTR, 2};
        }
    }

    void everyByteArrivesThroughShortWrites()
    {
        QFETCH(bool, serial);
        QFETCH(QList<int>, answers);
        const std::unique_ptr<Link> link = makeLink(serial);
        FaultInjection faults(link->device());
        link->open();
        faults.setWriteAnswers(answers);
        const QByteArray command = kr52::setSwitchBitsCommand("2", "0001");
        QCOMPARE(command.size(), 10);
        QCOMPARE(writeError(*link, command), QString());
        link->close();
        QCOMPARE(link->received(), command);
        QCOMPARE(faults.statusQueries(), 0); // a working send asks the printer nothing
    }

    void waitingOnADeviceThatTakesNothingEndsAtTheTimeoutAndStaysIdle_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("answer"); // what each write gives: -EAGAIN, or 0 bytes taken
        QTest::addColumn<QString>("reason");
        const QString nothingTaken = QStringLiteral("Timed out: the printer did not take the data.");
        QTest::newRow("serial") << true << noStatus << -EAGAIN << serialTimedOut;
        QTest::newRow("no status word") << false << noStatus << -EAGAIN << nothingTaken;
        QTest::newRow("out of paper") << false << 0x20 << -EAGAIN << "Timed out: the printer is out of paper.";
        QTest::newRow("out of paper, on line, no error")
            << false << 0xb8 << -EAGAIN << "Timed out: the printer is out of paper.";
        QTest::newRow("off line") << false << 0x88 << -EAGAIN << "Timed out: the printer is off line.";
        QTest::newRow("printer error") << false << 0x90 << -EAGAIN << "Timed out: the printer reports an error.";
        QTest::newRow("busy") << false << 0x18 << -EAGAIN << "Timed out: the printer is busy.";
        QTest::newRow("ready, yet nothing taken") << false << 0xd8 << -EAGAIN << nothingTaken;
        // A write that takes 0 bytes is no progress either: wait, then the deadline.
        QTest::newRow("serial, writes take 0 bytes") << true << noStatus << 0 << serialTimedOut;
        QTest::newRow("parallel, writes take 0 bytes") << false << noStatus << 0 << nothingTaken;
    }

    // The parallel printer driver says "ready" in poll and answers EAGAIN to every write.
    void waitingOnADeviceThatTakesNothingEndsAtTheTimeoutAndStaysIdle()
    {
        QFETCH(bool, serial);
        QFETCH(int, status);
        QFETCH(int, answer);
        QFETCH(QString, reason);
        const std::unique_ptr<Link> link = makeLink(serial);
        FaultInjection faults(link->device());
        faults.setPollAlwaysReady();
        if (status != noStatus)
            faults.setPrinterStatus(status);
        link->setWriteTimeout(400);
        link->open();
        faults.setWriteAnswers({answer}, true);

        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = processCpuSeconds();
        const QString error = writeError(*link, linktest::selfTest());
        const double cpuSeconds = processCpuSeconds() - cpuBefore;
        const qint64 wallMs = wall.elapsed();

        const QString where = serial ? QStringLiteral("COM1: (%1)").arg(link->device())
                                     : QStringLiteral("LPT1: (%1)").arg(link->device());
        QCOMPARE(error, QStringLiteral("Could not write to %1: %2").arg(where, reason));
        QVERIFY2(wallMs >= 390 && wallMs < 3000, qPrintable(QString::number(wallMs)));
        QVERIFY2(cpuSeconds < 0.1 * double(wallMs) / 1000.0,
                 qPrintable(QStringLiteral("%1 s of processor time in %2 ms").arg(cpuSeconds).arg(wallMs)));
        QVERIFY(faults.writeCalls() < 100);
        QCOMPARE(faults.statusQueries(), serial ? 0 : 1);
        QCOMPARE(link->received(), QByteArray());
    }

    void aFailedParallelWriteSaysWhy_data()
    {
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("device gone") << EIO << noStatus << "The device went away: check the cable or adapter.";
        QTest::newRow("printer out of paper") << EIO << 0x20 << "The printer is out of paper.";
        QTest::newRow("printer off line") << EIO << 0x88 << "The printer is off line.";
        QTest::newRow("merely busy: the error stands")
            << EIO << 0x18 << "The device went away: check the cable or adapter.";
        QTest::newRow("no space") << ENOSPC << noStatus << "No space left on device.";
    }

    void aFailedParallelWriteSaysWhy()
    {
        QFETCH(int, errorNumber);
        QFETCH(int, status);
        QFETCH(QString, reason);
        ParallelLink link;
        FaultInjection faults(link.device());
        if (status != noStatus)
            faults.setPrinterStatus(status);
        link.open();
        faults.setWriteAnswers({4, -errorNumber});
        QCOMPARE(writeError(link, "\x1b#2+0001\n"),
                 QStringLiteral("Could not write to LPT1: (%1): %2").arg(link.device(), reason));
        QCOMPARE(faults.statusQueries(), 1);
        QCOMPARE(link.received(), QByteArray("\x1b#2+"));
    }

    void aPulledSerialAdapterIsReportedAsGone()
    {
        SerialLink link;
        link.open();
        link.write("A");
        QCOMPARE(link.pty().readAll(), QByteArray("A"));
        link.pty().hangUp();
        QCOMPARE(writeError(link, "B"),
                 QStringLiteral("Could not write to COM1: (%1): The device went away: check the cable or adapter.")
                     .arg(link.device()));
    }

    void drainingTheLine_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<QString>("reason");
        QTest::newRow("drain fails") << -1 << EIO << "The device went away: check the cable or adapter.";
        QTest::newRow("drain works, errno left over") << 0 << ENOTTY << "";
        QTest::newRow("drain works, other errno left over") << 0 << EIO << "";
    }

    void drainingTheLine()
    {
        QFETCH(int, result);
        QFETCH(int, errorNumber);
        QFETCH(QString, reason);
        SerialLink link;
        FaultInjection faults(link.device());
        link.open();
        faults.answerIoctl(TCSBRK, result, errorNumber);
        const QString expected = reason.isEmpty()
                                     ? QString()
                                     : QStringLiteral("Could not write to COM1: (%1): %2").arg(link.device(), reason);
        QCOMPARE(writeError(link, "AB"), expected);
        QVERIFY(faults.ioctlRequests().contains(TCSBRK));
        QCOMPARE(link.received(), QByteArray("AB"));
    }

    void aDriverThatIgnoresTheSettingsIsNotBelieved_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("reason");
        // A fresh pseudo-terminal runs at 38400 baud with one stop bit.
        QTest::newRow("baud rate") << "9600,n,8,1"
                                   << "the line did not take the baud rate 9600 (it runs at 38400).";
        QTest::newRow("stop bits") << "38400,n,8,2"
                                   << "the line did not take 2 stop bits.";
    }

    // The driver reports success but keeps the line as it was.
    void aDriverThatIgnoresTheSettingsIsNotBelieved()
    {
        QFETCH(QString, settings);
        QFETCH(QString, reason);
        SerialLink link;
        FaultInjection faults(link.device());
        faults.answerIoctl(TCSETS2, 0, 0);
        kr52::MSComm comm;
        comm.setDevicePath(link.device());
        comm.setSettings(settings);
        try {
            comm.setPortOpen(true);
            QFAIL("opened");
        } catch (const kr52::PrinterError &error) {
            QCOMPARE(error.message(),
                     QStringLiteral("Could not set \"%1\" on %2: %3").arg(settings, link.device(), reason));
        }
        QVERIFY(!comm.portOpen());
        QCOMPARE(QDir(m_lockDir.path()).entryList(QDir::Files), QStringList());
    }

    void aSerialPortOnSomethingElseIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("plain file") << "file";
        QTest::newRow("FIFO") << "fifo";
    }

    void aSerialPortOnSomethingElseIsRefused()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ttyS0"));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
        else
            QVERIFY(!linktest::makeDeviceFile(dir.path(), QStringLiteral("ttyS0")).isEmpty());
        qputenv("KR52_COM1", path.toLocal8Bit());
        kr52::MSComm comm;
        try {
            comm.setPortOpen(true);
            QFAIL("opened");
        } catch (const kr52::PrinterError &error) {
            QCOMPARE(error.message(),
                     QStringLiteral("Could not open COM1: (%1): This is not a serial device.").arg(path));
        }
        QVERIFY(!comm.portOpen());
    }

private:
    QTemporaryDir m_lockDir;
};

QTEST_GUILESS_MAIN(tst_linkfaults)
#include "tst_linkfaults.moc"
