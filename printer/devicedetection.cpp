// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/devicedetection.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>
#include <QStringList>

#include <algorithm>

namespace kr52 {

namespace {

DeviceSource &currentSource()
{
    static DeviceSource source = systemDeviceSource();
    return source;
}

QList<SerialPortEntry> systemSerialPorts()
{
    QList<SerialPortEntry> entries;
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
        SerialPortEntry entry{port.systemLocation(), port.description(), port.manufacturer(), port.serialNumber(), {}};
        if (port.hasVendorIdentifier() && port.hasProductIdentifier())
            entry.usbId = std::pair{port.vendorIdentifier(), port.productIdentifier()};
        entries.append(entry);
    }
    return entries;
}

// Device -> its by-id link, both as canonical paths would give them.
QHash<QString, QString> stableSerialNames(const QString &deviceFolder)
{
    QHash<QString, QString> names;
    const QDir byId(deviceFolder + QStringLiteral("/serial/by-id"));
    for (const QFileInfo &link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString target = link.canonicalFilePath();
        if (link.isSymLink() && !target.isEmpty() && !names.contains(target))
            names.insert(target, link.absoluteFilePath());
    }
    return names;
}

QString serialDetails(const SerialPortEntry &entry)
{
    QStringList parts;
    for (const QString &part : {entry.description, entry.manufacturer})
        if (!part.isEmpty())
            parts << part;
    if (!entry.serialNumber.isEmpty())
        parts << QStringLiteral("serial number %1").arg(entry.serialNumber);
    if (entry.usbId)
        parts << QStringLiteral("USB %1:%2")
                     .arg(entry.usbId->first, 4, 16, QLatin1Char('0'))
                     .arg(entry.usbId->second, 4, 16, QLatin1Char('0'));
    return parts.join(QStringLiteral(", "));
}

// Device names end in their number: lp2 comes before lp10, whatever the locale's collation.
void sortByNumber(QStringList &paths)
{
    const auto split = [](const QString &path) {
        qsizetype digits = path.size();
        while (digits > 0 && path[digits - 1].isDigit())
            --digits;
        return std::pair{path.left(digits), path.mid(digits).toULongLong()};
    };
    std::stable_sort(paths.begin(), paths.end(),
                     [&](const QString &a, const QString &b) { return split(a) < split(b); });
}

QList<DetectedDevice> serialDevices(const DeviceSource &source)
{
    QList<DetectedDevice> devices;
    if (!source.serialPorts)
        return devices;
    const QHash<QString, QString> stable = stableSerialNames(source.deviceFolder);
    QList<SerialPortEntry> entries = source.serialPorts();
    QStringList order;
    QHash<QString, SerialPortEntry> byPath;
    for (const SerialPortEntry &entry : entries) {
        order << entry.path;
        byPath.insert(entry.path, entry);
    }
    sortByNumber(order);
    for (const QString &path : order) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        devices.append({stable.value(canonical, path), path, serialDetails(byPath.value(path))});
    }
    return devices;
}

QList<DetectedDevice> printerDevices(const DeviceSource &source)
{
    QList<DetectedDevice> devices;
    for (const QString &folderName : {source.deviceFolder + QStringLiteral("/usb"), source.deviceFolder}) {
        const QDir folder(folderName);
        QStringList paths;
        // Device nodes and FIFOs are "system" entries to QDir; plain files stand in for devices too.
        for (const QFileInfo &entry : folder.entryInfoList({QStringLiteral("lp*")}, QDir::System | QDir::Files))
            paths << entry.absoluteFilePath();
        sortByNumber(paths);
        for (const QString &path : paths)
            devices.append({path, path, {}});
    }
    return devices;
}

} // namespace

DeviceSource systemDeviceSource()
{
    return {QStringLiteral("/dev"), systemSerialPorts};
}

DeviceSource deviceSource()
{
    return currentSource();
}

void setDeviceSource(DeviceSource source)
{
    currentSource() = std::move(source);
}

QList<DetectedDevice> detectDevices(PortKind kind, const DeviceSource &source)
{
    return kind == PortKind::Serial ? serialDevices(source) : printerDevices(source);
}

} // namespace kr52
