// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/portlock.h"

#include "printer/devicemap.h"
#include "printer/lockfiles.h"
#include "printer/systemcalls.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace kr52 {

namespace {

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

PortHolder holderFor(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    const QString program =
        comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : QString();
    return {pid, program};
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

} // namespace

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
    const QString ownName = ownLockName(devicePath);
    // A second pass covers a lock that another program made between our look and our own lock.
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (const LockFileState &lock : lockFilesFor(devicePath)) {
            if (lock.owner)
                return describeBusyDevice(holderFor(*lock.owner));
            // Stale: removed where we may; where we may not, it is ignored and the open goes on.
            ::unlink(QFile::encodeName(lock.path).constData());
        }
        if (directories.isEmpty() || ownName.isEmpty())
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
