// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/portlock.h"

#include "printer/devicemap.h"
#include "printer/systemcalls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace kr52 {

namespace {

QStringList &lockDirectoryList()
{
    static QStringList directories{QStringLiteral("/run/lock"), QStringLiteral("/var/lock")};
    return directories;
}

// The lock files this process holds, for removal at exit. Never destroyed, so the exit handler
// can still read it after static objects are gone.
std::vector<std::string> &heldLockFiles()
{
    static auto *files = new std::vector<std::string>;
    return *files;
}

void removeHeldLockFilesAtExit()
{
    for (const std::string &file : heldLockFiles())
        ::unlink(file.c_str());
}

void rememberHeld(const QString &file)
{
    static const bool registered = std::atexit(removeHeldLockFilesAtExit) == 0;
    Q_UNUSED(registered);
    heldLockFiles().push_back(QFile::encodeName(file).toStdString());
}

void forgetHeld(const QString &file)
{
    std::vector<std::string> &files = heldLockFiles();
    std::erase(files, QFile::encodeName(file).toStdString());
}

bool isHeldHere(const QString &file)
{
    const std::vector<std::string> &files = heldLockFiles();
    return std::find(files.begin(), files.end(), QFile::encodeName(file).toStdString()) != files.end();
}

// The lock directories that exist, each once (/var/lock is often a link to /run/lock).
QStringList existingLockDirectories()
{
    QStringList found;
    for (const QString &directory : lockDirectoryList()) {
        const QString canonical = QFileInfo(directory).canonicalFilePath();
        if (!canonical.isEmpty() && QFileInfo(canonical).isDir() && !found.contains(canonical))
            found.append(canonical);
    }
    return found;
}

// The names a lock for the device may carry: the base name of the path and of its symlink's
// target, and for a device in a folder under /dev also the form with "_" for "/" ("pts_3").
QStringList lockNamesFor(const QString &devicePath)
{
    QStringList names;
    const QString canonical = QFileInfo(devicePath).canonicalFilePath();
    for (const QString &path : {devicePath, canonical}) {
        if (path.isEmpty())
            continue;
        const QString base = QFileInfo(path).fileName();
        if (!base.isEmpty() && !names.contains(QStringLiteral("LCK..") + base))
            names.append(QStringLiteral("LCK..") + base);
        if (path.startsWith(QLatin1String("/dev/"))) {
            QString nested = path.mid(5);
            nested.replace(QLatin1Char('/'), QLatin1Char('_'));
            if (nested != base && !names.contains(QStringLiteral("LCK..") + nested))
                names.append(QStringLiteral("LCK..") + nested);
        }
    }
    return names;
}

// The owner's PID from a lock file: ten ASCII digits and a newline (blanks allowed, and further
// lines, as some libraries write), or a 4-byte binary number. Nothing for anything else.
std::optional<qint64> lockOwner(const QByteArray &content)
{
    const QByteArray firstLine = content.left(content.indexOf('\n')).trimmed();
    bool isNumber = !firstLine.isEmpty();
    for (char c : firstLine)
        isNumber = isNumber && c >= '0' && c <= '9';
    if (isNumber) {
        const qint64 pid = firstLine.toLongLong(&isNumber);
        return isNumber && pid > 0 ? std::optional<qint64>(pid) : std::nullopt;
    }
    if (content.size() == int(sizeof(std::int32_t))) {
        std::int32_t pid = 0;
        std::memcpy(&pid, content.constData(), sizeof pid);
        return pid > 0 ? std::optional<qint64>(pid) : std::nullopt;
    }
    return std::nullopt;
}

bool processIsAlive(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

PortHolder holderFor(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    const QString program =
        comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : QString();
    return {pid, program};
}

struct LockFileState {
    QString path;
    std::optional<qint64> owner; // set when the file names a live process
};

// Every lock file present for the device, with its live owner if it has one.
QList<LockFileState> lockFilesFor(const QString &devicePath)
{
    QList<LockFileState> found;
    for (const QString &directory : existingLockDirectories()) {
        for (const QString &name : lockNamesFor(devicePath)) {
            QFile file(directory + QLatin1Char('/') + name);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const std::optional<qint64> pid = lockOwner(file.read(64));
            found.append({file.fileName(), pid && processIsAlive(*pid) ? pid : std::nullopt});
        }
    }
    return found;
}

std::optional<PortHolder> liveLockFileHolder(const QString &devicePath)
{
    for (const LockFileState &lock : lockFilesFor(devicePath)) {
        if (lock.owner && !isHeldHere(lock.path))
            return holderFor(*lock.owner);
    }
    return std::nullopt;
}

// Another process's flock or record lock on the device's inode, from /proc/locks.
std::optional<PortHolder> flockHolder(const QString &devicePath)
{
    struct stat info {};
    if (::stat(QFile::encodeName(devicePath).constData(), &info) != 0)
        return std::nullopt;
    const QByteArray inode = QByteArray::number(::major(info.st_dev), 16).rightJustified(2, '0') + ':' +
                             QByteArray::number(::minor(info.st_dev), 16).rightJustified(2, '0') + ':' +
                             QByteArray::number(quint64(info.st_ino));
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return std::nullopt;
    // "1: FLOCK  ADVISORY  WRITE 1234 00:1a:567 0 EOF"; lines with "->" are waiters.
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || fields.contains("->") || fields[5] != inode)
            continue;
        const qint64 pid = fields[4].toLongLong();
        if (pid > 0 && pid != ::getpid())
            return holderFor(pid);
    }
    return std::nullopt;
}

// Writes our lock in the standard ASCII form. Returns false with errno when it cannot be made.
bool makeLockFile(const QString &path)
{
    const SystemCalls &calls = systemCalls();
    const int fd =
        calls.open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const QByteArray content = QByteArray::number(qint64(::getpid())).rightJustified(10, ' ') + '\n';
    const bool written = calls.write(fd, content.constData(), size_t(content.size())) == content.size();
    const int writeError = errno;
    if (calls.close(fd) != 0 || !written) {
        ::unlink(QFile::encodeName(path).constData());
        errno = written ? errno : writeError;
        return false;
    }
    return true;
}

} // namespace

QStringList lockDirectories()
{
    return lockDirectoryList();
}

void setLockDirectories(const QStringList &directories)
{
    lockDirectoryList() = directories;
}

std::optional<PortHolder> findPortHolder(const QString &devicePath)
{
    if (std::optional<PortHolder> holder = liveLockFileHolder(devicePath))
        return holder;
    return flockHolder(devicePath);
}

QString describeBusyDevice(const std::optional<PortHolder> &holder)
{
    if (!holder)
        return QStringLiteral("The device is in use by another program.");
    if (holder->program.isEmpty())
        return QStringLiteral("The device is in use by another program (PID %1).").arg(holder->pid);
    return QStringLiteral("The device is in use by %1 (PID %2).").arg(holder->program).arg(holder->pid);
}

QString PortLock::claimLockFile(const QString &devicePath)
{
    release();
    const QStringList directories = existingLockDirectories();
    const QString ownName = QStringLiteral("LCK..") + QFileInfo(QFileInfo(devicePath).canonicalFilePath()).fileName();
    // A second pass covers a lock that another program made between our look and our own lock.
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (const LockFileState &lock : lockFilesFor(devicePath)) {
            if (lock.owner)
                return describeBusyDevice(holderFor(*lock.owner));
            // Stale: removed where we may; where we may not, it is ignored and the open goes on.
            ::unlink(QFile::encodeName(lock.path).constData());
        }
        if (directories.isEmpty() || ownName == QLatin1String("LCK.."))
            return {};
        const QString path = directories.first() + QLatin1Char('/') + ownName;
        if (makeLockFile(path)) {
            m_lockFile = path;
            rememberHeld(path);
            return {};
        }
        // No room for a lock of our own (a read-only or foreign lock folder, or a stale lock we
        // could not remove): flock and the terminal's exclusive mode still keep others out.
        if (errno != EEXIST)
            return {};
    }
    return {};
}

OpenedDevice openLockedDevice(const QString &portName, const QString &path, int flags)
{
    const SystemCalls &calls = systemCalls();
    const int fd = calls.open(QFile::encodeName(path).constData(), flags, 0);
    if (fd < 0) {
        const int error = errno;
        return {-1,
                error == EBUSY ? describeBusyDevice(findPortHolder(path)) : describeOpenFailure(portName, path, error)};
    }
    if (calls.flock(fd, LOCK_EX | LOCK_NB) == 0)
        return {fd, {}};
    const int error = errno;
    calls.close(fd);
    return {-1,
            error == EWOULDBLOCK ? describeBusyDevice(flockHolder(path)) : describeOpenFailure(portName, path, error)};
}

void PortLock::release() noexcept
{
    if (m_lockFile.isEmpty())
        return;
    ::unlink(QFile::encodeName(m_lockFile).constData());
    forgetHeld(m_lockFile);
    m_lockFile.clear();
}

} // namespace kr52
