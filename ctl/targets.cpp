// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/targets.h"

#include "printer/portkinds.h"
#include "printer/serialsettings.h"
#include "printer/serialsettingstext.h"

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

QString orDefault(const QString &given, const QString &fallback)
{
    return given.isEmpty() ? fallback : given;
}

} // namespace

PortOptions portOptionsFrom(const QMap<QString, QString> &keys)
{
    const auto listOf = [&](const QString &key) {
        return keys.contains(key) ? QStringList{keys.value(key)} : QStringList();
    };
    return {listOf(QStringLiteral("port")), listOf(QStringLiteral("device")), keys.value(QStringLiteral("baud")),
            keys.value(QStringLiteral("data")), keys.value(QStringLiteral("stop"))};
}

PortOptions withDefaults(const PortOptions &given, const PortOptions &defaults)
{
    const bool printersGiven = !given.ports.isEmpty() || !given.devices.isEmpty();
    return {printersGiven ? given.ports : defaults.ports, printersGiven ? given.devices : defaults.devices,
            orDefault(given.baud, defaults.baud), orDefault(given.data, defaults.data),
            orDefault(given.stop, defaults.stop)};
}

Targets resolveTargets(const PortOptions &options)
{
    Targets targets;
    for (const QString &given : options.ports) {
        const std::optional<QString> name = portName(given);
        if (!name) {
            targets.error = QStringLiteral("There is no port \"%1\"; the ports are COM1: to COM4: and LPT1: to LPT4:, "
                                           "or name a device with --device PATH.")
                                .arg(given);
            return targets;
        }
        targets.printers.append({*name, {}});
    }
    for (const QString &path : options.devices) {
        if (path.isEmpty()) {
            targets.error = QStringLiteral("--device needs the path of a device, such as /dev/ttyUSB0.");
            return targets;
        }
        targets.printers.append({{}, path});
    }
    const QString text =
        serialSettingsLine(orDefault(options.baud, QStringLiteral("9600")),
                           orDefault(options.data, QStringLiteral("8")), orDefault(options.stop, QStringLiteral("1")));
    const SerialSettingsResult parsed = parseSerialSettings(text);
    if (!parsed.settings)
        targets.error = parsed.error;
    else
        targets.serialSettings = text;
    return targets;
}

} // namespace kr52::ctl
