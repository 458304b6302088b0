// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/devicelist.h"

#include "ctl/messages.h"
#include "printer/devicedetection.h"
#include "printer/devicelinetext.h"
#include "printer/devicestate.h"
#include "printer/portkinds.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kr52::ctl {

namespace {

struct Kind {
    PortKind kind;
    QString word;    // in JSON
    QString heading; // in the listing
};

const QList<Kind> kinds{{PortKind::Serial, QStringLiteral("serial"), QStringLiteral("Serial ports:")},
                        {PortKind::Printer, QStringLiteral("printer"), QStringLiteral("Printer devices:")}};

QString stateWord(DeviceState state)
{
    switch (state) {
    case DeviceState::Ready:
        return QStringLiteral("ready");
    case DeviceState::Missing:
        return QStringLiteral("missing");
    case DeviceState::NoPermission:
        return QStringLiteral("no-permission");
    case DeviceState::InUse:
        return QStringLiteral("in-use");
    case DeviceState::Unusable:
        return QStringLiteral("unusable");
    }
    return {};
}

QString originWord(DeviceOrigin origin)
{
    switch (origin) {
    case DeviceOrigin::Default:
        return QStringLiteral("default");
    case DeviceOrigin::Remembered:
        return QStringLiteral("chosen");
    case DeviceOrigin::Environment:
        return QStringLiteral("environment");
    }
    return {};
}

QList<PortName> offeredPorts()
{
    QList<PortName> ports;
    for (const Kind &kind : kinds)
        for (int number = 1; number <= portKindInfo(kind.kind).offered; ++number)
            ports.append({&portKindInfo(kind.kind), number});
    return ports;
}

} // namespace

QString devicesListing()
{
    QString text = QStringLiteral("Ports:\n");
    for (const PortName &port : offeredPorts()) {
        const DeviceMapping mapping = deviceMappingFor(port.text());
        text += QStringLiteral("  %1\n").arg(
            visible(deviceLineText(port.text(), mapping, deviceStatus(mapping.path, port.kind->kind))));
    }
    for (const Kind &kind : kinds) {
        text += kind.heading + QLatin1Char('\n');
        const QList<DetectedDevice> found = detectDevices(kind.kind);
        if (found.isEmpty())
            text += QStringLiteral("  none found\n");
        for (const DetectedDevice &device : found) {
            const DeviceMapping mapping{device.path, DeviceOrigin::Default};
            const QString name = device.systemPath.isEmpty() || device.systemPath == device.path
                                     ? device.path
                                     : QStringLiteral("%1 (%2)").arg(device.path, device.systemPath);
            text += QStringLiteral("  %1: %2")
                        .arg(visible(name), visible(deviceStateText(mapping, deviceStatus(device.path, kind.kind))));
            if (!device.details.isEmpty())
                text += QStringLiteral(" %1").arg(visible(device.details));
            text += QLatin1Char('\n');
        }
    }
    return text;
}

QByteArray devicesJson()
{
    QJsonArray ports;
    for (const PortName &port : offeredPorts()) {
        const DeviceMapping mapping = deviceMappingFor(port.text());
        const DeviceStatus status = deviceStatus(mapping.path, port.kind->kind);
        ports.append(QJsonObject{{QStringLiteral("port"), port.text()},
                                 {QStringLiteral("path"), visible(mapping.path)},
                                 {QStringLiteral("origin"), originWord(mapping.origin)},
                                 {QStringLiteral("state"), stateWord(status.state)},
                                 {QStringLiteral("words"), visible(deviceStateText(mapping, status))}});
    }
    QJsonArray devices;
    for (const Kind &kind : kinds) {
        for (const DetectedDevice &device : detectDevices(kind.kind)) {
            const DeviceStatus status = deviceStatus(device.path, kind.kind);
            devices.append(QJsonObject{
                {QStringLiteral("kind"), kind.word},
                {QStringLiteral("path"), visible(device.path)},
                {QStringLiteral("systemPath"), visible(device.systemPath)},
                {QStringLiteral("details"), visible(device.details)},
                {QStringLiteral("state"), stateWord(status.state)},
                {QStringLiteral("words"), visible(deviceStateText({device.path, DeviceOrigin::Default}, status))}});
        }
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("ports"), ports}, {QStringLiteral("devices"), devices}})
        .toJson(QJsonDocument::Indented);
}

} // namespace kr52::ctl
