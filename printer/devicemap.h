#pragma once

#include <QString>

namespace kr52 {

// "COMn:" is /dev/ttyS<n-1> and "LPTn:" is /dev/lp<n-1>, unless the environment variable
// KR52_COMn or KR52_LPTn names another device (a USB adapter, a USB printer, a pseudo-terminal).
// Any other name is returned as it stands, so a path can be used directly.
[[nodiscard]] QString devicePathFor(const QString &portName);

// "COM1:" .. "COM4:" for a serial port number.
[[nodiscard]] QString serialPortName(int commPort);

// "KR52_COM1" for "COM1:", "KR52_LPT2" for "LPT2:"; empty for any other name.
[[nodiscard]] QString overrideVariableFor(const QString &portName);

// The reason an open of portName's device at path failed, in words for the operator, from errno:
// no such device, a folder, no permission (with the device's group to join), in use, and so on.
[[nodiscard]] QString describeOpenFailure(const QString &portName, const QString &path, int errorNumber);

} // namespace kr52
