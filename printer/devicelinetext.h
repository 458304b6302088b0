// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/devicemap.h"
#include "printer/devicestate.h"

#include <QString>

namespace kr52 {

// The port dialog's line about the chosen entry's device: which device, where that comes from,
// and whether it can be used, e.g. "COM3: is /dev/ttyUSB0 (chosen). Present and ready."
[[nodiscard]] QString deviceLineText(const QString &portName, const DeviceMapping &mapping, const DeviceStatus &status);

// The state part of that line alone: "Present and ready.", "In use by cupsd (PID 812).".
[[nodiscard]] QString deviceStateText(const DeviceMapping &mapping, const DeviceStatus &status);

} // namespace kr52
