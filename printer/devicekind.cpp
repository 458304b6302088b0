// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/devicekind.h"

#include "printer/nativepath.h"

#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace kr52 {

namespace {

// The majors of the pseudo-terminals' slave sides, which sysfs does not list.
constexpr unsigned firstPtySlaveMajor = 136;
constexpr unsigned lastPtySlaveMajor = 143;

// Whether the character device belongs to the terminal layer: sysfs files every terminal device
// it knows under the "tty" class.
bool isTerminal(dev_t device)
{
    const unsigned major = ::major(device);
    if (major >= firstPtySlaveMajor && major <= lastPtySlaveMajor)
        return true;
    const QString subsystem =
        QFileInfo(QStringLiteral("/sys/dev/char/%1:%2/subsystem").arg(major).arg(::minor(device))).canonicalFilePath();
    return subsystem.endsWith(QLatin1String("/tty"));
}

} // namespace

DeviceKind deviceKindOf(const QString &path)
{
    struct stat info {};
    if (::stat(nativePath(path).constData(), &info) != 0)
        return DeviceKind::Missing;
    if (S_ISDIR(info.st_mode))
        return DeviceKind::Folder;
    if (S_ISCHR(info.st_mode))
        return isTerminal(info.st_rdev) ? DeviceKind::Terminal : DeviceKind::CharacterDevice;
    if (S_ISBLK(info.st_mode))
        return DeviceKind::BlockDevice;
    if (S_ISREG(info.st_mode))
        return DeviceKind::RegularFile;
    if (S_ISFIFO(info.st_mode))
        return DeviceKind::Fifo;
    return DeviceKind::Other;
}

bool isBlockDevice(const QString &path)
{
    return deviceKindOf(path) == DeviceKind::BlockDevice;
}

QString blockDeviceRefusal()
{
    return QStringLiteral("This is a disk or other block device, not a printer.");
}

} // namespace kr52
