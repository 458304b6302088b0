// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kr52 {

// What a device path names, after links, told from its metadata alone: nothing is opened, so a
// serial line's modem lines and settings stay as they are and no FIFO sees a writer come and go.
enum class DeviceKind {
    Missing,
    Folder,
    Terminal,        // a character device of the terminal layer: a serial line or pseudo-terminal
    CharacterDevice, // any other character device, such as a printer
    BlockDevice,     // a disk or a partition: never a printer
    RegularFile,
    Fifo,
    Other, // a socket
};

// The kind at path, or Missing (with errno) when it cannot be looked at.
[[nodiscard]] DeviceKind deviceKindOf(const QString &path);

[[nodiscard]] bool isBlockDevice(const QString &path);

// "This is a disk or other block device, not a printer."
[[nodiscard]] QString blockDeviceRefusal();

} // namespace kr52
