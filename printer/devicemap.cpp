// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/devicemap.h"

#include "printer/nativepath.h"
#include "printer/remembereddevices.h"

#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>

namespace kr52 {

namespace {

QString environmentDeviceFor(const QString &portName)
{
    // The variable's bytes are the path, whether or not they are UTF-8.
    return pathFromNative(qgetenv(overrideVariableFor(portName).toLatin1().constData()));
}

// What the operator can do about a device that is missing or refused, in the one place that
// decides the port's device for this run.
QString whereToChange(const QString &portName)
{
    if (!isMappedPortName(portName))
        return {};
    if (!environmentDeviceFor(portName).isEmpty())
        return QStringLiteral("set another device in the environment variable %1, which maps %2 for this run.")
            .arg(overrideVariableFor(portName), portName);
    return QStringLiteral("choose the device for %1 in \"Configure Port\".").arg(portName);
}

} // namespace

bool isMappedPortName(const QString &portName)
{
    return parsePortName(portName).has_value();
}

PortKind portKindOf(const QString &portName)
{
    const std::optional<PortName> port = parsePortName(portName);
    return port ? port->kind->kind : PortKind::Printer;
}

QString overrideVariableFor(const QString &portName)
{
    const std::optional<PortName> port = parsePortName(portName);
    return port ? port->variable() : QString();
}

QString defaultDevicePathFor(const QString &portName)
{
    const std::optional<PortName> port = parsePortName(portName);
    return port ? port->defaultDevice() : portName;
}

DeviceMapping deviceMappingFor(const QString &portName)
{
    if (!isMappedPortName(portName))
        return {portName, DeviceOrigin::Default};
    if (const QString overridden = environmentDeviceFor(portName); !overridden.isEmpty())
        return {overridden, DeviceOrigin::Environment};
    if (const QString remembered = rememberedDeviceFor(portName); !remembered.isEmpty())
        return {remembered, DeviceOrigin::Remembered};
    return {defaultDevicePathFor(portName), DeviceOrigin::Default};
}

QString devicePathFor(const QString &portName)
{
    return deviceMappingFor(portName).path;
}

QString serialPortName(int commPort)
{
    return PortName{&portKindInfo(PortKind::Serial), commPort}.text();
}

QString deviceGroupOf(const QString &path)
{
    struct stat info {};
    if (::stat(nativePath(path).constData(), &info) != 0)
        return {};
    if (const group *entry = ::getgrgid(info.st_gid))
        return QString::fromLocal8Bit(entry->gr_name);
    return QString::number(info.st_gid);
}

QString describeOpenFailure(const QString &portName, const QString &path, int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENODEV: {
        const QString change = whereToChange(portName);
        if (change.isEmpty())
            return QStringLiteral("There is no such device. Check that the printer or adapter is plugged in.");
        return QStringLiteral("There is no such device. Check that the printer or adapter is plugged in, or ") + change;
    }
    case EISDIR:
        return QStringLiteral("This is a folder, not a device.");
    case EACCES:
    case EPERM: {
        const QString group = deviceGroupOf(path);
        QString reason = QStringLiteral("Permission denied.");
        if (!group.isEmpty() && group != QLatin1String("root"))
            reason = QStringLiteral("Permission denied. The device belongs to the group \"%1\": join it "
                                    "(sudo usermod -aG %1 $USER) and log in again.")
                         .arg(group);
        if (const QString change = whereToChange(portName); !change.isEmpty())
            reason += QStringLiteral(" If it is the wrong device, ") + change;
        return reason;
    }
    case EBUSY:
        return QStringLiteral("The device is in use by another program.");
    case ENXIO: {
        // A FIFO answers so when nobody reads it; a device, when nothing is behind its name.
        struct stat info {};
        if (::stat(nativePath(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode))
            return QStringLiteral("The device is not ready: nothing is reading from it.");
        return QStringLiteral("There is no device behind this name: check that the printer or adapter is plugged in "
                              "and switched on.");
    }
    case ETIMEDOUT:
        return QStringLiteral("Timed out.");
    case EIO:
        return QStringLiteral("The device went away: check the cable or adapter.");
    case ENOTTY:
        return QStringLiteral("This is not a serial device.");
    default:
        return QString::fromLocal8Bit(std::strerror(errorNumber)) + QLatin1Char('.');
    }
}

} // namespace kr52
