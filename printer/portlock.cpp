// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/portlock.h"

#include "printer/devicemap.h"
#include "printer/heldports.h"
#include "printer/lockfiles.h"
#include "printer/nativepath.h"
#include "printer/systemcalls.h"

#include <QFile>

#include <cerrno>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kr52 {

namespace {

PortHolder holderFor(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    const QString program =
        comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : QString();
    return {pid, program, {}};
}

PortHolder holderFor(const LockFileState &lock)
{
    if (lock.owner)
        return holderFor(*lock.owner);
    return {0, {}, QStringLiteral("the lock file %1 %2").arg(lock.path, lock.problem)};
}

std::optional<PortHolder> liveLockFileHolder(const QString &devicePath)
{
    for (const LockFileState &lock : lockFilesFor(devicePath)) {
        if (lock.held() && !isLockFileHeld(lock.path))
            return holderFor(lock);
    }
    return std::nullopt;
}

// Another process's flock or record lock on the device's inode, from /proc/locks.
std::optional<PortHolder> flockHolder(const QString &devicePath)
{
    struct stat info {};
    if (::stat(nativePath(devicePath).constData(), &info) != 0)
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
    if (!holder->lockFile.isEmpty())
        return QStringLiteral("The device is in use by another program: %1.").arg(holder->lockFile);
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
            if (lock.held())
                return describeBusyDevice(holderFor(lock));
            // Stale (a regular file naming no live process): removed where we may; where we may
            // not, it is ignored and the open goes on.
            ::unlink(nativePath(lock.path).constData());
        }
        if (directories.isEmpty() || ownName.isEmpty())
            return {};
        const QString path = directories.first() + QLatin1Char('/') + ownName;
        if (makeLockFile(path)) {
            m_lockFile = path;
            holdLockFile(path);
            return {};
        }
        // No room for a lock of our own (a read-only or foreign lock folder, or a stale lock we
        // could not remove): flock and the terminal's exclusive mode still keep others out.
        if (errno != EEXIST)
            return {};
    }
    return {};
}

QString describeExclusiveHolder()
{
    return QStringLiteral("The port is held in exclusive mode by another program.");
}

OpenedDevice openLockedDevice(const QString &portName, const QString &path, int flags, DeviceUse use)
{
    const SystemCalls &calls = systemCalls();
    const int fd = calls.open(nativePath(path).constData(), flags, 0);
    if (fd < 0) {
        const int error = errno;
        if (error != EBUSY)
            return {-1, describeOpenFailure(portName, path, error)};
        const std::optional<PortHolder> holder = findPortHolder(path);
        return {-1, !holder && use == DeviceUse::SerialLine ? describeExclusiveHolder() : describeBusyDevice(holder)};
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
    forgetLockFile(m_lockFile);
    ::unlink(nativePath(m_lockFile).constData());
    m_lockFile.clear();
}

} // namespace kr52
