// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/targets.h"

#include "ctl/messages.h"
#include "printer/devicemap.h"
#include "printer/portkinds.h"
#include "printer/serialsettings.h"
#include "printer/serialsettingstext.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/stat.h>

namespace kr52::ctl {

namespace {

// A port the port dialog offers, in any case and with or without its colon.
std::optional<QString> portName(const QString &given)
{
    QString name = given.trimmed().toUpper();
    if (!name.endsWith(QLatin1Char(':')))
        name += QLatin1Char(':');
    const std::optional<PortName> port = parsePortName(name);
    if (!port || !port->offered())
        return std::nullopt;
    return port->text();
}

GivenValue orDefault(const GivenValue &given, const GivenValue &fallback)
{
    return given.origin.isEmpty() ? fallback : given;
}

QString quoted(const QString &text)
{
    return QLatin1Char('"') + visible(text) + QLatin1Char('"');
}

// What stands at a path, in words, for refusals.
QString kindOfFile(const struct stat &info)
{
    if (S_ISREG(info.st_mode))
        return QStringLiteral("a regular file");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("a folder");
    if (S_ISBLK(info.st_mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(info.st_mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a device");
}

// Why path cannot be a --device: anything but a character device or a FIFO would be written
// over. A path with nothing there is left for the open to report.
QString deviceFault(const QString &origin, const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("%1: needs the path of a device, such as /dev/ttyUSB0").arg(origin);
    struct stat info {};
    if (::stat(pathBytes(path).constData(), &info) != 0 || S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))
        return {};
    return QStringLiteral("%1: %2 is %3, and --device takes only a character device or a FIFO, so it was left as "
                          "it is; to capture the bytes in a file, use --output FILE")
        .arg(origin, quoted(path), kindOfFile(info));
}

// Why path cannot be an --output file: it is replaced whole, so only a regular file or a new
// one in a folder that exists.
QString outputFault(const QString &origin, const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("%1: needs the name of a file").arg(origin);
    struct stat info {};
    const QByteArray bytes = pathBytes(path);
    if (::stat(bytes.constData(), &info) == 0) {
        if (S_ISREG(info.st_mode))
            return {};
        return QStringLiteral("%1: %2 is %3, and --output replaces only a regular file; for a device, use --device "
                              "PATH")
            .arg(origin, quoted(path), kindOfFile(info));
    }
    if (errno != ENOENT)
        return QStringLiteral("%1: %2: %3").arg(origin, quoted(path), QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}

// What identifies the device or file at path, however it is named: the device number for a
// device, the file's inode otherwise, and the cleaned absolute path for what is not there.
QString identityOf(const QString &path)
{
    struct stat info {};
    if (::stat(pathBytes(path).constData(), &info) != 0)
        return QStringLiteral("path ") + QDir::cleanPath(QDir::current().absoluteFilePath(path));
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return QStringLiteral("device %1").arg(quint64(info.st_rdev));
    return QStringLiteral("file %1:%2").arg(quint64(info.st_dev)).arg(quint64(info.st_ino));
}

// Each serial value on its own, the others at their defaults, so that a refusal names where
// the faulty one was given.
QString serialValueFault(const GivenValue &baud, const GivenValue &data, const GivenValue &stop)
{
    const GivenValue *values[] = {&baud, &data, &stop};
    const QString defaults[] = {QStringLiteral("9600"), QStringLiteral("8"), QStringLiteral("1")};
    for (int i = 0; i < 3; ++i) {
        if (values[i]->origin.isEmpty())
            continue;
        QString fields[] = {defaults[0], defaults[1], defaults[2]};
        fields[i] = values[i]->text;
        const SerialSettingsResult parsed = parseSerialSettings(serialSettingsLine(fields[0], fields[1], fields[2]));
        if (!parsed.settings)
            return QStringLiteral("%1: %2").arg(values[i]->origin, visible(parsed.error));
        // The serial line is set through termios, which knows one or two stop bits only.
        if (parsed.settings->stopBits == StopBits::OneAndHalf)
            return QStringLiteral("%1: 1.5 stop bits cannot be set on a serial line of this system; the stop bits "
                                  "are 1 or 2")
                .arg(values[i]->origin);
    }
    return {};
}

} // namespace

PortOptions portOptionsFrom(const Profile &profile)
{
    PortOptions options;
    const auto valueOf = [&](const QString &key) {
        return profile.port.contains(key) ? GivenValue{profile.port.value(key), profile.portOrigins.value(key)}
                                          : GivenValue{};
    };
    // A profile names one port or one device; its line order is not kept, and does not matter.
    if (profile.port.contains(QStringLiteral("port")))
        options.targets.append({GivenTarget::Kind::Port, valueOf(QStringLiteral("port"))});
    if (profile.port.contains(QStringLiteral("device")))
        options.targets.append({GivenTarget::Kind::Device, valueOf(QStringLiteral("device"))});
    options.baud = valueOf(QStringLiteral("baud"));
    options.data = valueOf(QStringLiteral("data"));
    options.stop = valueOf(QStringLiteral("stop"));
    return options;
}

PortOptions withDefaults(const PortOptions &given, const PortOptions &defaults)
{
    return {given.targets.isEmpty() ? defaults.targets : given.targets, orDefault(given.baud, defaults.baud),
            orDefault(given.data, defaults.data), orDefault(given.stop, defaults.stop)};
}

Targets resolveTargets(const PortOptions &options)
{
    Targets targets;
    QList<QPair<QString, QString>> seen; // identity, origin
    for (const GivenTarget &given : options.targets) {
        Target target{given.kind, given.value.text, given.value.text};
        QString fault;
        switch (given.kind) {
        case GivenTarget::Kind::Port:
            if (const std::optional<QString> name = portName(given.value.text)) {
                target.name = *name;
                target.devicePath = devicePathFor(*name);
            } else {
                fault = QStringLiteral("%1: there is no such port; the ports are COM1: to COM4: and LPT1: to LPT4:, "
                                       "or name a device with --device PATH")
                            .arg(given.value.origin);
            }
            break;
        case GivenTarget::Kind::Device:
            fault = deviceFault(given.value.origin, given.value.text);
            break;
        case GivenTarget::Kind::Output:
            fault = outputFault(given.value.origin, given.value.text);
            break;
        }
        if (!fault.isEmpty()) {
            targets.error = fault;
            return targets;
        }
        const QString identity = identityOf(target.devicePath);
        for (const auto &[other, origin] : seen) {
            if (other == identity) {
                targets.error = QStringLiteral("%1 and %2 name the same device %3; name each printer once")
                                    .arg(origin, given.value.origin, quoted(target.devicePath));
                return targets;
            }
        }
        seen.append({identity, given.value.origin});
        targets.printers.append(target);
    }
    if (const QString fault = serialValueFault(options.baud, options.data, options.stop); !fault.isEmpty()) {
        targets.error = fault;
        return targets;
    }
    targets.serialSettings =
        serialSettingsLine(options.baud.origin.isEmpty() ? QStringLiteral("9600") : options.baud.text,
                           options.data.origin.isEmpty() ? QStringLiteral("8") : options.data.text,
                           options.stop.origin.isEmpty() ? QStringLiteral("1") : options.stop.text);
    return targets;
}

} // namespace kr52::ctl
