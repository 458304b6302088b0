// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/devicestate.h"
#include "printer/lockfiles.h"
#include "printer/mscomm.h"
#include "printer/parallelport.h"
#include "printer/portlock.h"
#include "printer/printererror.h"
#include "support/childprocess.h"
#include "support/faultinjection.h"
#include "support/linkfixture.h"
#include "support/pseudoterminal.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
bool inForkedChild = false;
} // namespace

// The leak checker asks this at exit. A child forked from this threaded test process holds the
// other threads' memory with no thread left to reach it, which the checker would report as
// leaks of Qt's and GLib's; the child only exits to show that our exit handler removes the lock.
// The name is the leak checker's own, reserved as it is.
// NOLINTNEXTLINE(clang-diagnostic-reserved-identifier)
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

using testsupport::writeFile;

// Whether the terminal is in exclusive mode, asked through a descriptor of the test's own.
bool isExclusive(const QString &device)
{
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int exclusive = 0;
    const bool asked = fd >= 0 && ::ioctl(fd, TIOCGEXCL, &exclusive) == 0;
    if (fd >= 0)
        ::close(fd);
    return asked && exclusive != 0;
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
        // Cut to 32 bits it would be PID 1, which is alive.
        QTest::newRow("PID beyond the range of PIDs") << "huge" << true << "target" << false;
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
                                                 {"huge", "4294967297\n"},
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

    // Whatever stands in a lock's place that is not a regular file, and a lock that cannot be
    // read, keeps the port closed: it is named, and neither waited on, followed nor removed.
    void locksThatCannotBeJudgedMeanBusy_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("words");
        QTest::newRow("FIFO") << "fifo"
                              << "is a FIFO, not a lock file";
        QTest::newRow("link to a live lock") << "link"
                                             << "is a symbolic link, not a lock file";
        QTest::newRow("dangling link") << "dangling"
                                       << "is a symbolic link, not a lock file";
        QTest::newRow("folder") << "folder"
                                << "is a folder, not a lock file";
        QTest::newRow("unreadable file") << "unreadable"
                                         << "cannot be read";
    }

    void locksThatCannotBeJudgedMeanBusy()
    {
        QFETCH(QString, kind);
        QFETCH(QString, words);
        PseudoTerminal pty;
        QTemporaryDir elsewhere;
        const QString lockPath = m_lockDir.filePath(QStringLiteral("LCK..") + QFileInfo(pty.devicePath()).fileName());
        const QByteArray nativeLock = QFile::encodeName(lockPath);
        const QString target = elsewhere.filePath(QStringLiteral("target"));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(nativeLock.constData(), 0644), 0);
        if (kind == QLatin1String("link")) {
            QVERIFY(writeFile(target, asciiLock(::getppid())));
            QVERIFY(QFile::link(target, lockPath));
        }
        if (kind == QLatin1String("dangling"))
            QVERIFY(QFile::link(target, lockPath));
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(lockPath));
        if (kind == QLatin1String("unreadable"))
            QVERIFY(writeFile(lockPath, asciiLock(::getppid())));
        FaultInjection faults(lockPath);
        if (kind == QLatin1String("unreadable"))
            faults.failOpens(EACCES); // as for another user's lock at mode 0600

        const QString busy =
            QStringLiteral("The device is in use by another program: the lock file %1 %2.").arg(lockPath, words);
        QCOMPARE(sendOverSerial(pty.devicePath(), "ESC"),
                 QStringLiteral("Could not open %1: %2").arg(pty.devicePath(), busy));
        QCOMPARE(pty.readAll(), QByteArray());
        const std::optional<kr52::PortHolder> holder = kr52::findPortHolder(pty.devicePath());
        QVERIFY(holder);
        QCOMPARE(kr52::describeBusyDevice(holder), busy);
        const kr52::DeviceStatus status = kr52::deviceStatus(pty.devicePath(), kr52::PortKind::Serial);
        QCOMPARE(status.state, kr52::DeviceState::InUse);

        // Left as it was found, and nothing made through it.
        QVERIFY(QFileInfo(lockPath).isSymLink() ==
                (kind == QLatin1String("link") || kind == QLatin1String("dangling")));
        QVERIFY(QFileInfo::exists(lockPath) || kind == QLatin1String("dangling"));
        if (kind == QLatin1String("dangling"))
            QVERIFY2(!QFileInfo::exists(target), "the link's target was created");
        if (kind == QLatin1String("link")) {
            QFile file(target);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), asciiLock(::getppid()));
        }
    }

    // A lock named after a by-id link counts when the device is opened by its own name.
    void aLockOnAByIdLinkCounts()
    {
        PseudoTerminal pty;
        QTemporaryDir byId;
        const QString link = byId.filePath(QStringLiteral("usb-Arvel_KR52-if00-port0"));
        QVERIFY(QFile::link(pty.devicePath(), link));
        kr52::setDeviceLinkDirectories({byId.path()});
        ChildProcess owner;
        QVERIFY(
            writeFile(m_lockDir.filePath(QStringLiteral("LCK..usb-Arvel_KR52-if00-port0")), asciiLock(owner.pid())));

        const QString error = sendOverSerial(pty.devicePath(), "ESC");
        kr52::setDeviceLinkDirectories({QStringLiteral("/dev/serial/by-id"), QStringLiteral("/dev/serial/by-path")});
        QCOMPARE(error, QStringLiteral("Could not open %1: The device is in use by %2 (PID %3).")
                            .arg(pty.devicePath(), programName)
                            .arg(owner.pid()));
        QCOMPARE(pty.readAll(), QByteArray());
    }

    // The kernel lets root past another program's exclusive mode, so the link asks for it; and it
    // never clears exclusive mode it did not set.
    void anotherProgramsExclusiveModeMeansBusyForRootToo()
    {
        PseudoTerminal pty;
        const int holder = ::open(QFile::encodeName(pty.devicePath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(holder >= 0);
        QCOMPARE(::ioctl(holder, TIOCEXCL), 0);
        QCOMPARE(sendOverSerial(pty.devicePath(), "ESC"),
                 QStringLiteral("Could not open %1: The port is held in exclusive mode by another program.")
                     .arg(pty.devicePath()));
        QCOMPARE(pty.readAll(), QByteArray());
        int exclusive = 0;
        QCOMPARE(::ioctl(holder, TIOCGEXCL, &exclusive), 0);
        QCOMPARE(exclusive, 1);
        QCOMPARE(::ioctl(holder, TIOCNXCL), 0);
        ::close(holder);
        QCOMPARE(sendOverSerial(pty.devicePath(), "ESC"), QString());
        QCOMPARE(pty.readAll(), QByteArray("ESC"));
    }

    // Our own exclusive mode lasts exactly as long as the port is open, whatever ends it.
    void ourExclusiveModeIsClearedOnCloseAndFailure()
    {
        PseudoTerminal pty;
        kr52::MSComm comm;
        comm.setDevicePath(pty.devicePath());
        comm.setPortOpen(true);
        QVERIFY(isExclusive(pty.devicePath()));
        comm.setPortOpen(false);
        QVERIFY(!isExclusive(pty.devicePath()));

        {
            FaultInjection faults(pty.devicePath());
            comm.setPortOpen(true);
            faults.setWriteAnswers({-EIO});
            QVERIFY_THROWS_EXCEPTION(kr52::PrinterError, comm.setOutput("A"));
        }
        QVERIFY(!comm.portOpen());
        QVERIFY(!isExclusive(pty.devicePath()));
    }

    // A disk named as the parallel device is refused before it is opened.
    void aBlockDeviceIsNotAPrinter()
    {
        QTemporaryDir dir;
        const QString disk = dir.filePath(QStringLiteral("ram0"));
        QCOMPARE(::mknod(QFile::encodeName(disk).constData(), S_IFBLK | 0600, ::makedev(1, 0)), 0);
        qputenv("KR52_LPT1", QFile::encodeName(disk));
        kr52::ParallelPort port;
        FaultInjection faults(disk);
        faults.failOpens(EIO); // an open would be refused loudly, as a write would not
        try {
            port.open(QStringLiteral("LPT1:"));
            QFAIL("a block device was opened");
        } catch (const kr52::PrinterError &error) {
            QCOMPARE(error.message(), QStringLiteral("Could not open LPT1: (%1): This is a disk or other block device, "
                                                     "not a printer.")
                                          .arg(disk));
        }
        QCOMPARE(kr52::deviceStatus(disk, kr52::PortKind::Printer).reason,
                 QStringLiteral("This is a disk or other block device, not a printer."));
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

        // The reason given is the write's own, whatever errno held before: a leftover EEXIST
        // would be taken for another program's lock made in between.
        faults.setWriteAnswers({answer});
        errno = EEXIST;
        QVERIFY(!kr52::makeLockFile(ownLockPath(pty.devicePath())));
        QCOMPARE(errno, ENOSPC);
        QCOMPARE(QDir(m_lockDir.path()).entryList(QDir::Files), QStringList());
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
        const QByteArray kept("another program's output");
        if (!serial)
            QVERIFY(writeFile(device, kept));
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
        if (!serial)
            QCOMPARE(linktest::fileContent(device), kept); // not emptied before the lock was looked at

        holder.end();
        QVERIFY(!kr52::findPortHolder(device));
        // A terminal refuses an open, with nobody else known, only for its exclusive mode.
        if (openRefused)
            QCOMPARE(openError(serial, device), serial ? QStringLiteral("The port is held in exclusive mode by another "
                                                                        "program.")
                                                       : QStringLiteral("The device is in use by another program."));
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
