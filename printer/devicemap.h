// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/portkinds.h"

#include <QString>

namespace kr52 {

// Where the device a port name stands for comes from.
enum class DeviceOrigin {
    Default,     // "COMn:" is /dev/ttyS<n-1>, "LPTn:" is /dev/lp<n-1>
    Remembered,  // chosen in the port dialog and kept in the user's configuration
    Environment, // KR52_COMn / KR52_LPTn, for this run only
};

struct DeviceMapping {
    QString path;
    DeviceOrigin origin = DeviceOrigin::Default;
};

// "COMn:" and "LPTn:" map to a device: the environment variable KR52_COMn or KR52_LPTn when it
// is set, else the device remembered for that port, else the default. Any other name is
// returned as it stands, so a path can be used directly. Every caller that opens a port goes
// through here.
[[nodiscard]] QString devicePathFor(const QString &portName);

// The same device with where it comes from.
[[nodiscard]] DeviceMapping deviceMappingFor(const QString &portName);

// /dev/ttyS<n-1> for "COMn:", /dev/lp<n-1> for "LPTn:"; any other name as it stands.
[[nodiscard]] QString defaultDevicePathFor(const QString &portName);

// True for "COM1:" .. "COM9:" and "LPT1:" .. "LPT9:".
[[nodiscard]] bool isMappedPortName(const QString &portName);

// The kind a port name stands for; a printer for anything that is not a serial port name.
[[nodiscard]] PortKind portKindOf(const QString &portName);

// "COM1:" .. "COM4:" for a serial port number.
[[nodiscard]] QString serialPortName(int commPort);

// "KR52_COM1" for "COM1:", "KR52_LPT2" for "LPT2:"; empty for any other name.
[[nodiscard]] QString overrideVariableFor(const QString &portName);

// The reason an open of portName's device at path failed, in words for the operator, from errno:
// no such device, a folder, no permission (with the device's group to join), in use, and so on.
// The missing-device and permission reasons point to "Configure Port", or to the environment
// variable when that is what maps the port for this run.
[[nodiscard]] QString describeOpenFailure(const QString &portName, const QString &path, int errorNumber);

// The group a device belongs to, by name; empty when it cannot be read.
[[nodiscard]] QString deviceGroupOf(const QString &path);

} // namespace kr52
