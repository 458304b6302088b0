// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kr52 {

// The devices the operator chose for port names in the port dialog, kept between runs in
// $XDG_CONFIG_HOME/kr52-config/devices.conf (~/.config/... when the variable is unset), an INI
// file with one key per port under [devices]: COM1=/dev/serial/by-id/..., LPT2=/dev/usb/lp0.
// Only which device a port name means is kept, nothing of the link state.

[[nodiscard]] QString rememberedDevicesFile();

// The remembered device for "COMn:" / "LPTn:"; empty when there is none, the name is not a
// port name, or the entry is not a full path (a hand-edited file).
[[nodiscard]] QString rememberedDeviceFor(const QString &portName);

// Keeps path as portName's device. Returns empty when it was saved, else why not, naming the
// file. Only full paths are taken.
[[nodiscard]] QString rememberDevice(const QString &portName, const QString &path);

// Drops portName's entry, so the port is back on its default device. Returns empty when saved,
// else why not.
[[nodiscard]] QString forgetDevice(const QString &portName);

} // namespace kr52
