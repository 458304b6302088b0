#include "printer/devicemap.h"

#include <QRegularExpression>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>

namespace kr52 {

namespace {

const QRegularExpression &portPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^(COM|LPT)([1-9]):$"));
    return pattern;
}

} // namespace

QString overrideVariableFor(const QString &portName)
{
    const auto match = portPattern().match(portName);
    return match.hasMatch() ? QStringLiteral("KR52_%1%2").arg(match.captured(1), match.captured(2)) : QString();
}

QString devicePathFor(const QString &portName)
{
    const auto match = portPattern().match(portName);
    if (!match.hasMatch())
        return portName;
    const QString overridden = qEnvironmentVariable(overrideVariableFor(portName).toLatin1().constData());
    if (!overridden.isEmpty())
        return overridden;
    const int number = match.captured(2).toInt();
    return match.captured(1) == QLatin1String("COM") ? QStringLiteral("/dev/ttyS%1").arg(number - 1)
                                                     : QStringLiteral("/dev/lp%1").arg(number - 1);
}

QString serialPortName(int commPort)
{
    return QStringLiteral("COM%1:").arg(commPort);
}

namespace {

QString groupOf(const QString &path)
{
    struct stat info {};
    if (::stat(path.toLocal8Bit().constData(), &info) != 0)
        return {};
    if (const group *entry = ::getgrgid(info.st_gid))
        return QString::fromLocal8Bit(entry->gr_name);
    return QString::number(info.st_gid);
}

} // namespace

QString describeOpenFailure(const QString &portName, const QString &path, int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENODEV: {
        const QString variable = overrideVariableFor(portName);
        if (variable.isEmpty())
            return QStringLiteral("There is no such device. Check that the printer or adapter is plugged in.");
        return QStringLiteral("There is no such device. Check that the printer or adapter is plugged in, or set "
                              "the port's device with the environment variable %1.")
            .arg(variable);
    }
    case EISDIR:
        return QStringLiteral("This is a folder, not a device.");
    case EACCES:
    case EPERM: {
        const QString group = groupOf(path);
        if (group.isEmpty() || group == QLatin1String("root"))
            return QStringLiteral("Permission denied.");
        return QStringLiteral("Permission denied. The device belongs to the group \"%1\": join it "
                              "(sudo usermod -aG %1 $USER) and log in again.")
            .arg(group);
    }
    case EBUSY:
        return QStringLiteral("The device is in use by another program.");
    case ENXIO:
        return QStringLiteral("The device is not ready: nothing is reading from it.");
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
