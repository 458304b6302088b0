// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/lockfiles.h"

#include "printer/systemcalls.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kr52 {

namespace {

QStringList &lockDirectoryList()
{
    static QStringList directories{QStringLiteral("/run/lock"), QStringLiteral("/var/lock")};
    return directories;
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

} // namespace

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
            QFile file(directory + QLatin1Char('/') + name);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const std::optional<qint64> pid = lockOwner(file.read(64));
            found.append({file.fileName(), pid && processIsAlive(*pid) ? pid : std::nullopt});
        }
    }
    return found;
}

QString ownLockName(const QString &devicePath)
{
    const QString name = QFileInfo(QFileInfo(devicePath).canonicalFilePath()).fileName();
    return name.isEmpty() ? QString() : QStringLiteral("LCK..") + name;
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

} // namespace kr52
