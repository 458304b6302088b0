// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/lockfiles.h"
#include "printer/mscomm.h"
#include "printer/parallelport.h"
#include "printer/portlock.h"
#include "printer/printererror.h"
#include "support/childprocess.h"
#include "support/faultinjection.h"
#include "support/linkfixture.h"
#include "support/pseudoterminal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
bool inForkedChild = false;
} // namespace

// The leak checker asks this at exit. A child forked from this threaded test process holds the
// other threads' memory with no thread left to reach it, which the checker would report as
// leaks of Qt's and GLib's; the child only exits to show that our exit handler removes the lock.
extern "C" __attribute__((used, visibility("default"))) int __lsan_is_turned_off()
{
    return inForkedChild ? 1 : 0;
}

namespace {

const QString programName = QStringLiteral("tst_portlock");

QByteArray asciiLock(qint64 pid)
{
    return QByteArray::number(pid).rightJustified(10, ' ') + '\n';
}

QByteArray binaryLock(qint64 pid)
{
    const auto value = std::int32_t(pid);
    return QByteArray(reinterpret_cast<const char *>(&value), sizeof value);
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Opens the device through the serial control, sends one text and closes; the error text if
// anything failed, empty otherwise.
QString sendOverSerial(const QString &device, const QByteArray &text)
{
    kr52::MSComm comm;
    comm.setDevicePath(device);
    try {
        comm.setPortOpen(true);
        comm.setOutput(text);
        comm.setPortOpen(false);
    } catch (const kr52::PrinterError &error) {
        return error.message();
    }
    return {};
}

} // namespace

// Standard lock files, flock and our own lock, with a lock folder the test owns.
class tst_portlock : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        linktest::clearDeviceOverrides();
        QVERIFY(m_lockDir.isValid());
        QDir(m_lockDir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_lockDir.path()));
        kr52::setLockDirectories({m_lockDir.path()});
    }

    void cleanupTestCase() { kr52::setLockDirectories({QStringLiteral("/run/lock"), QStringLiteral("/var/lock")}); }

    void lockFilesDecideWhetherThePortOpens_data()
    {
        QTest::addColumn<QString>("content"); // ascii, binary, library, garbage, empty
        QTest::addColumn<bool>("ownerAlive");
        QTest::addColumn<QString>("lockedName"); // target: the device's name; link: the symlink's; nested: "pts_3"
        QTest::addColumn<bool>("busy");
        QTest::newRow("live ASCII PID") << "ascii" << true << "target" << true;
        QTest::newRow("live binary PID") << "binary" << true << "target" << true;
        QTest::newRow("live PID, one library's layout") << "library" << true << "target" << true;
        QTest::newRow("live PID on the symlink's name") << "ascii" << true << "link" << true;
        QTest::newRow("live PID, folder form of the name") << "ascii" << true << "nested" << true;
        QTest::newRow("dead ASCII PID") << "ascii" << false << "target" << false;
        QTest::newRow("dead binary PID") << "binary" << false << "target" << false;
        QTest::newRow("dead PID on the symlink's name") << "ascii" << false << "link" << false;
        QTest::newRow("garbage") << "garbage" << true << "target" << false;
        QTest::newRow("empty") << "empty" << true << "target" << false;
    }

    // The device is reached through a symlink, as /dev/serial/by-id/... is.
    void lockFilesDecideWhetherThePortOpens()
    {
        QFETCH(QString, content);
        QFETCH(bool, ownerAlive);
        QFETCH(QString, lockedName);
        QFETCH(bool, busy);
        PseudoTerminal pty;
        QTemporaryDir links;
        const QString link = links.filePath(QStringLiteral("usb-Arvel_KR52-if00"));
        QVERIFY(QFile::link(pty.devicePath(), link));

        ChildProcess owner;
        QVERIFY(owner.isRunning());
        const pid_t pid = ownerAlive ? owner.pid() : owner.end();
        const QMap<QString, QByteArray> contents{{"ascii", asciiLock(pid)},
                                                 {"binary", binaryLock(pid)},
                                                 {"library", QByteArray::number(pid) + "\nkr52\nhost\n"},
                                                 {"garbage", "not a PID\n"},
                                                 {"empty", ""}};
        const QMap<QString, QString> lockNames{
            {"target", QFileInfo(pty.devicePath()).fileName()},
            {"link", QFileInfo(link).fileName()},
            {"nested", pty.devicePath().mid(5).replace(QLatin1Char('/'), QLatin1Char('_'))}};
        const QString lockName = QStringLiteral("LCK..") + lockNames.value(lockedName);
        const QString lockPath = m_lockDir.filePath(lockName);
        QVERIFY(writeFile(lockPath, contents.value(content)));

        const std::optional<kr52::PortHolder> holder = kr52::findPortHolder(link);
        const QString error = sendOverSerial(link, "ESC");
        if (busy) {
            QVERIFY(holder);
            QCOMPARE(holder->pid, qint64(pid));
            QCOMPARE(holder->program, programName);
            QCOMPARE(error, QStringLiteral("Could not open %1: The device is in use by %2 (PID %3).")
                                .arg(link, programName)
                                .arg(pid));
            QCOMPARE(pty.readAll(), QByteArray());
            QVERIFY(QFile::exists(lockPath)); // another program's lock is never touched
        } else {
            QVERIFY(!holder);
            QCOMPARE(error, QString());
            QCOMPARE(pty.readAll(), QByteArray("ESC"));
            QVERIFY2(!QFile::exists(lockPath), "a stale lock is removed");
        }
    }

    void ourOwnLockIsHeldOnlyWhileTheActionRuns()
    {
        PseudoTerminal pty;
        const QString ownLock = m_lockDir.filePath(QStringLiteral("LCK..") + QFileInfo(pty.devicePath()).fileName());
        kr52::MSComm comm;
        comm.setDevicePath(pty.devicePath());
        comm.setPortOpen(true);
        QFile lock(ownLock);
        QVERIFY(lock.open(QIODevice::ReadOnly));
        QCOMPARE(lock.readAll(), asciiLock(::getpid()));
        QVERIFY2(!kr52::findPortHolder(pty.devicePath()), "our own lock does not count as another holder");
        comm.setOutput("A");
        comm.setPortOpen(false);
        QVERIFY(!QFile::exists(ownLock));

        // A failed send releases it too: the adapter goes away mid-action.
        comm.setPortOpen(true);
        QVERIFY(QFile::exists(ownLock));
        pty.hangUp();
        QVERIFY_THROWS_EXCEPTION(kr52::PrinterError, comm.setOutput("B"));
        QVERIFY(!comm.portOpen());
        QVERIFY(!QFile::exists(ownLock));

        // And so does a failed open, after the lock was made.
        PseudoTerminal second;
        comm.setDevicePath(second.devicePath());
        comm.setSettings(QStringLiteral("9600,n,8,1.5"));
        QVERIFY_THROWS_EXCEPTION(kr52::PrinterError, comm.setPortOpen(true));
        QCOMPARE(QDir(m_lockDir.path()).entryList(QDir::Files), QStringList());
    }

    // A program that exits with the port still open leaves no lock of its own behind.
    void ourOwnLockGoesAtExit()
    {
        PseudoTerminal pty;
        const pid_t child = ::fork();
        if (child == 0) {
            inForkedChild = true;
            auto *comm = new kr52::MSComm; // never deleted: only the exit cleans up
            comm->setDevicePath(pty.devicePath());
            comm->setPortOpen(true);
            if (QDir(m_lockDir.path()).entryList(QDir::Files).size() != 1)
                std::_Exit(3); // the lock was not made
            std::exit(0);
        }
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0); // the lock was there while open
        QCOMPARE(QDir(m_lockDir.path()).entryList(QDir::Files), QStringList());
    }

    void anotherOpenOfOurPortIsRefused()
    {
        PseudoTerminal pty;
        kr52::MSComm first;
        first.setDevicePath(pty.devicePath());
        first.setPortOpen(true);
        QCOMPARE(sendOverSerial(pty.devicePath(), "X"),
                 QStringLiteral("Could not open %1: The device is in use by %2 (PID %3).")
                     .arg(pty.devicePath(), programName)
                     .arg(::getpid()));
        first.setPortOpen(false);
        QCOMPARE(sendOverSerial(pty.devicePath(), "Y"), QString());
        QCOMPARE(pty.readAll(), QByteArray("Y"));
    }

    void exclusiveModeKeepsOtherUsersOutWhileOpen()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to try the device as another user");
        PseudoTerminal pty;
        QVERIFY(::chmod(QFile::encodeName(pty.devicePath()).constData(), 0666) == 0);
        kr52::MSComm comm;
        comm.setDevicePath(pty.devicePath());
        comm.setPortOpen(true);
        QCOMPARE(openAsNobody(pty.devicePath()), EBUSY);
        comm.setPortOpen(false);
        QCOMPARE(openAsNobody(pty.devicePath()), 0);
    }

    // Our lock must hold our PID whole: a lock we could not write (the disk is full) or wrote
    // only in part names nobody, and others would take it for stale. It is not kept; flock and
    // the terminal's exclusive mode still guard the port, and the action goes on.
    void aLockWeCouldNotWriteIsNotKept_data()
    {
        QTest::addColumn<int>("answer"); // to the write of our PID
        QTest::newRow("disk full") << -ENOSPC;
        QTest::newRow("short write") << 4;
        QTest::newRow("nothing written") << 0;
    }

    void aLockWeCouldNotWriteIsNotKept()
    {
        QFETCH(int, answer);
        PseudoTerminal pty;
        FaultInjection faults(ownLockPath(pty.devicePath()));
        faults.setWriteAnswers({answer});
        kr52::PortLock lock;
        QCOMPARE(lock.claimLockFile(pty.devicePath()), QString());
        QCOMPARE(faults.writeCalls(), 1);
        QCOMPARE(QDir(m_lockDir.path()).entryList(QDir::Files), QStringList());

        QCOMPARE(sendOverSerial(pty.devicePath(), "A"), QString());
        QCOMPARE(pty.readAll(), QByteArray("A"));
    }

    // Another program makes its lock between our look and our own exclusive create, which then
    // meets EEXIST: the port is in use by that program, and its lock stays as it made it.
    void losingTheRaceForTheLockMeansBusy()
    {
        PseudoTerminal pty;
        ChildProcess other;
        QVERIFY(other.isRunning());
        const QString lockPath = ownLockPath(pty.devicePath());
        FaultInjection faults(lockPath);
        faults.beforeNextOpen([&] { QVERIFY(writeFile(lockPath, asciiLock(other.pid()))); });

        QCOMPARE(sendOverSerial(pty.devicePath(), "X"),
                 QStringLiteral("Could not open %1: The device is in use by %2 (PID %3).")
                     .arg(pty.devicePath(), programName)
                     .arg(other.pid()));
        QCOMPARE(pty.readAll(), QByteArray());
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::ReadOnly));
        QCOMPARE(lock.readAll(), asciiLock(other.pid()));
    }

    void anotherProcessHoldingTheDeviceIsNamed_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<bool>("openRefused"); // the open itself fails with EBUSY
        QTest::newRow("serial, flock") << true << false;
        QTest::newRow("parallel, flock") << false << false;
        // A printer driver that allows one open, or a terminal in another user's exclusive mode.
        QTest::newRow("serial, open refused") << true << true;
        QTest::newRow("parallel, open refused") << false << true;
    }

    void anotherProcessHoldingTheDeviceIsNamed()
    {
        QFETCH(bool, serial);
        QFETCH(bool, openRefused);
        PseudoTerminal pty;
        QTemporaryDir dir;
        const QString device = serial ? pty.devicePath() : linktest::makeDeviceFile(dir.path(), QStringLiteral("lp0"));
        ChildProcess holder(device);
        QVERIFY(holder.isRunning());
        std::optional<FaultInjection> faults;
        if (openRefused) {
            faults.emplace(device);
            faults->failOpens(EBUSY);
        }

        const std::optional<kr52::PortHolder> found = kr52::findPortHolder(device);
        QVERIFY(found);
        QCOMPARE(found->pid, qint64(holder.pid()));
        QCOMPARE(found->program, programName);

        const QString busy = QStringLiteral("The device is in use by %1 (PID %2).").arg(programName).arg(holder.pid());
        QCOMPARE(openError(serial, device), busy);
        QCOMPARE(pty.readAll(), QByteArray());

        holder.end();
        QVERIFY(!kr52::findPortHolder(device));
        if (openRefused)
            QCOMPARE(openError(serial, device), QStringLiteral("The device is in use by another program."));
    }

private:
    // Where our own lock for the device is made.
    QString ownLockPath(const QString &device) const
    {
        return QFileInfo(m_lockDir.path()).canonicalFilePath() + QStringLiteral("/LCK..") +
               QFileInfo(device).fileName();
    }

    // The reason an open of the device fails, after "Could not open <port>: ", through the serial
    // control or the parallel port ("LPT1:"); empty when it opened.
    static QString openError(bool serial, const QString &device)
    {
        const QString prefix = serial ? QStringLiteral("Could not open %1: ").arg(device)
                                      : QStringLiteral("Could not open LPT1: (%1): ").arg(device);
        QString message;
        if (serial) {
            message = sendOverSerial(device, "X");
        } else {
            qputenv("KR52_LPT1", device.toLocal8Bit());
            kr52::ParallelPort port;
            try {
                port.open(QStringLiteral("LPT1:"));
            } catch (const kr52::PrinterError &error) {
                message = error.message();
            }
        }
        return message.startsWith(prefix) ? message.mid(prefix.size()) : message;
    }

    // What an open of the device as user "nobody" gives in a child process: 0 or its errno.
    static int openAsNobody(const QString &device)
    {
        const QByteArray path = QFile::encodeName(device);
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(255);
            const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            ::_exit(fd >= 0 ? 0 : errno);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    QTemporaryDir m_lockDir;
};

QTEST_GUILESS_MAIN(tst_portlock)
#include "tst_portlock.moc"
