// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/devicestate.h"

#include "printer/devicekind.h"
#include "printer/nativepath.h"
#include "printer/portlock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kr52 {

namespace {

PortHolderLookup &currentLookup()
{
    // Live standard lock files and flocks tell who holds a device.
    static PortHolderLookup lookup = [](const QString &path) -> std::optional<QString> {
        const std::optional<PortHolder> holder = findPortHolder(path);
        if (!holder)
            return std::nullopt;
        if (!holder->lockFile.isEmpty())
            return QStringLiteral("another program: %1").arg(holder->lockFile);
        return holder->program.isEmpty() ? QStringLiteral("the program with PID %1").arg(holder->pid)
                                         : QStringLiteral("%1 (PID %2)").arg(holder->program).arg(holder->pid);
    };
    return lookup;
}

DeviceStatus noPermission(const QString &path)
{
    QString group = deviceGroupOf(path);
    if (group == QLatin1String("root"))
        group.clear();
    return {DeviceState::NoPermission, group, {}, {}};
}

DeviceStatus unusable(const QString &path, int errorNumber)
{
    return {DeviceState::Unusable, {}, {}, describeOpenFailure(QString(), path, errorNumber)};
}

// What the system says when the device is opened for writing without waiting.
DeviceStatus probeByOpening(const QString &path)
{
    const int fd = ::open(nativePath(path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return {DeviceState::Ready, {}, {}, {}};
    }
    const int error = errno;
    switch (error) {
    case EBUSY:
        return {DeviceState::InUse, {}, {}, {}};
    case EACCES:
    case EPERM:
        return noPermission(path);
    case ENOENT:
    case ENODEV:
        return {};
    default:
        return unusable(path, error);
    }
}

// Whether a device of this kind can serve a port of that kind at all, in words when it cannot.
QString unsuitableReason(DeviceKind device, PortKind kind)
{
    if (device == DeviceKind::BlockDevice)
        return blockDeviceRefusal();
    if (kind == PortKind::Serial)
        return device == DeviceKind::Terminal ? QString() : describeOpenFailure(QString(), QString(), ENOTTY);
    if (device == DeviceKind::Other)
        return QStringLiteral("This is not a device, a file or a FIFO.");
    return {};
}

} // namespace

PortHolderLookup portHolderLookup()
{
    return currentLookup();
}

void setPortHolderLookup(PortHolderLookup lookup)
{
    currentLookup() = std::move(lookup);
}

DeviceStatus deviceStatus(const QString &path, PortKind kind, const PortHolderLookup &holderOf)
{
    const QByteArray bytes = nativePath(path);
    struct stat info {};
    if (::stat(bytes.constData(), &info) != 0) {
        const int error = errno;
        if (error == EACCES)
            return noPermission(path); // a folder on the way is closed to this user
        if (error == ENOENT || error == ENOTDIR)
            return {};
        return unusable(path, error);
    }
    if (S_ISDIR(info.st_mode))
        return unusable(path, EISDIR);
    const int wanted = kind == PortKind::Serial ? R_OK | W_OK : W_OK;
    if (::access(bytes.constData(), wanted) != 0) {
        const int error = errno;
        return error == EACCES || error == EPERM ? noPermission(path) : unusable(path, error);
    }
    const DeviceKind device = deviceKindOf(path);
    if (const QString reason = unsuitableReason(device, kind); !reason.isEmpty())
        return {DeviceState::Unusable, {}, {}, reason};

    if (holderOf) {
        if (const std::optional<QString> holder = holderOf(path))
            return {DeviceState::InUse, {}, *holder, {}};
    }
    if (device == DeviceKind::Fifo)
        return {DeviceState::Ready, {}, {}, QStringLiteral("A FIFO: it takes the data while a program reads from it.")};
    return device == DeviceKind::CharacterDevice ? probeByOpening(path) : DeviceStatus{DeviceState::Ready, {}, {}, {}};
}

} // namespace kr52
