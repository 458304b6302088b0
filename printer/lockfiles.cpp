// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/lockfiles.h"

#include "printer/nativepath.h"
#include "printer/systemcalls.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kr52 {

namespace {

QStringList &lockDirectoryList()
{
    static QStringList directories{QStringLiteral("/run/lock"), QStringLiteral("/var/lock")};
    return directories;
}

QStringList &deviceLinkDirectoryList()
{
    static QStringList directories{QStringLiteral("/dev/serial/by-id"), QStringLiteral("/dev/serial/by-path")};
    return directories;
}

// The by-id and by-path links that lead to the same device as devicePath.
QStringList linksToDevice(const QString &canonical)
{
    QStringList links;
    if (canonical.isEmpty())
        return links;
    for (const QString &directory : deviceLinkDirectoryList()) {
        const QDir folder(directory);
        for (const QString &name : folder.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
            const QString link = folder.filePath(name);
            if (canonicalPath(link) == canonical)
                links.append(link);
        }
    }
    return links;
}

// The names a lock for the device may carry: the base name of the path, of its symlink's target
// and of every by-id or by-path link to it, and for a device in a folder under /dev also the
// form with "_" for "/" ("pts_3").
QStringList lockNamesFor(const QString &devicePath)
{
    QStringList names;
    const QString canonical = canonicalPath(devicePath);
    for (const QString &path : QStringList{devicePath, canonical} + linksToDevice(canonical)) {
        if (path.isEmpty())
            continue;
        const QString base = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
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
        // A number no process can have is garbage, not another process's PID cut short.
        const qint64 pid = firstLine.toLongLong(&isNumber);
        return isNumber && pid > 0 && pid <= INT_MAX ? std::optional<qint64>(pid) : std::nullopt;
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

QString kindOfNonFile(mode_t mode)
{
    if (S_ISLNK(mode))
        return QStringLiteral("a symbolic link");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

QString cannotBeRead()
{
    return QStringLiteral("cannot be read");
}

QString notALockFile(mode_t mode)
{
    return QStringLiteral("is %1, not a lock file").arg(kindOfNonFile(mode));
}

// What is at a lock path, judged without waiting and without following a link: nothing when no
// lock is there.
std::optional<LockFileState> examineLock(const QString &path)
{
    const QByteArray bytes = nativePath(path);
    struct stat info {};
    if (::lstat(bytes.constData(), &info) != 0)
        return errno == ENOENT ? std::nullopt : std::optional<LockFileState>({path, std::nullopt, cannotBeRead()});
    if (!S_ISREG(info.st_mode))
        return LockFileState{path, std::nullopt, notALockFile(info.st_mode)};
    // O_NOFOLLOW and O_NONBLOCK: whatever replaced the file since lstat is neither followed nor
    // waited on.
    const SystemCalls &calls = systemCalls();
    const int fd = calls.open(bytes.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        return LockFileState{path, std::nullopt, errno == ELOOP ? notALockFile(S_IFLNK) : cannotBeRead()};
    }
    LockFileState lock{path, std::nullopt, {}};
    if (::fstat(fd, &info) != 0) {
        lock.problem = cannotBeRead();
    } else if (!S_ISREG(info.st_mode)) {
        lock.problem = notALockFile(info.st_mode);
    } else {
        char content[64];
        const ssize_t size = ::read(fd, content, sizeof content);
        if (size < 0) {
            lock.problem = cannotBeRead();
        } else {
            const std::optional<qint64> pid = lockOwner(QByteArray(content, int(size)));
            lock.owner = pid && processIsAlive(*pid) ? pid : std::nullopt;
        }
    }
    calls.close(fd);
    return lock;
}

} // namespace

QStringList deviceLinkDirectories()
{
    return deviceLinkDirectoryList();
}

void setDeviceLinkDirectories(const QStringList &directories)
{
    deviceLinkDirectoryList() = directories;
}

QStringList lockDirectories()
{
    return lockDirectoryList();
}

void setLockDirectories(const QStringList &directories)
{
    lockDirectoryList() = directories;
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

// Every lock file present for the device, with its live owner if it has one.
QList<LockFileState> lockFilesFor(const QString &devicePath)
{
    QList<LockFileState> found;
    for (const QString &directory : existingLockDirectories()) {
        for (const QString &name : lockNamesFor(devicePath)) {
            if (std::optional<LockFileState> lock = examineLock(directory + QLatin1Char('/') + name))
                found.append(*lock);
        }
    }
    return found;
}

QString ownLockName(const QString &devicePath)
{
    const QString canonical = canonicalPath(devicePath);
    const QString name = canonical.mid(canonical.lastIndexOf(QLatin1Char('/')) + 1);
    return name.isEmpty() ? QString() : QStringLiteral("LCK..") + name;
}

// Writes our lock in the standard ASCII form. Returns false with errno when it cannot be made.
bool makeLockFile(const QString &path)
{
    const SystemCalls &calls = systemCalls();
    const int fd = calls.open(nativePath(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const QByteArray content = QByteArray::number(qint64(::getpid())).rightJustified(10, ' ') + '\n';
    const ssize_t wrote = calls.write(fd, content.constData(), size_t(content.size()));
    const bool written = wrote == content.size();
    // A short write sets no errno of its own: the file system had no room for the rest.
    const int writeError = wrote < 0 ? errno : ENOSPC;
    if (calls.close(fd) != 0 || !written) {
        ::unlink(nativePath(path).constData());
        errno = written ? errno : writeError;
        return false;
    }
    return true;
}

} // namespace kr52
