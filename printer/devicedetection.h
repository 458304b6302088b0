// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/devicemap.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

namespace kr52 {

// One serial port as the system describes it.
struct SerialPortEntry {
    QString path; // /dev/ttyUSB0
    QString description;
    QString manufacturer;
    QString serialNumber;
    std::optional<std::pair<quint16, quint16>> usbId; // vendor, product
};

// Where devices are found: the device folder (printers under usb/lp* and lp*, stable serial
// names under serial/by-id/) and the system's list of serial ports. Tests build both.
struct DeviceSource {
    QString deviceFolder;
    std::function<QList<SerialPortEntry>()> serialPorts;
};

// /dev and QSerialPortInfo.
[[nodiscard]] DeviceSource systemDeviceSource();
// The source the device chooser lists from: the system's, unless a test set another.
[[nodiscard]] DeviceSource deviceSource();
void setDeviceSource(DeviceSource source);

struct DetectedDevice {
    QString path;       // the name to keep: the stable by-id link where there is one
    QString systemPath; // the device itself, e.g. /dev/ttyUSB0
    QString details;    // description, maker, serial number, USB vendor:product, where known

    friend bool operator==(const DetectedDevice &, const DetectedDevice &) = default;
};

// The devices a port of that kind can use: for serial ports the system's list, each under its
// by-id name where it has one; for printers usb/lp* then lp*, in number order.
[[nodiscard]] QList<DetectedDevice> detectDevices(PortKind kind, const DeviceSource &source = deviceSource());

} // namespace kr52
