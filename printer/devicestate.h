// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/devicemap.h"

#include <QString>

#include <functional>
#include <optional>

namespace kr52 {

enum class DeviceState {
    Ready,        // there, and this user may open it
    Missing,      // nothing at that path (an adapter pulled out, a printer switched off)
    NoPermission, // there, but this user may not open it: see group
    InUse,        // another program holds it: see holder
    Unusable,     // there but cannot be used as a device: see reason
};

struct DeviceStatus {
    DeviceState state = DeviceState::Missing;
    QString group;  // NoPermission: the group to join; empty when root's or unknown
    QString holder; // InUse: the program that holds it, where known
    QString reason; // Unusable: the system's reason, in words; Ready: what to know about it, if anything
};

// Who holds a device open: nothing when nobody is known to, a text naming the program when it
// is known to be in use (empty when the program itself is unknown).
using PortHolderLookup = std::function<std::optional<QString>(const QString &devicePath)>;

// The lookup every status uses unless given another; at first it reads the live lock files and
// flocks (findPortHolder) and names the program and its PID.
[[nodiscard]] PortHolderLookup portHolderLookup();
void setPortHolderLookup(PortHolderLookup lookup);

// Whether the device at path can be used for a port of that kind, looked at without disturbing
// it and without waiting. For a serial port only a terminal device will do, and it is only
// looked at (opening it would toggle its modem lines and could change its settings). For a
// printer port a character device, a regular file or a FIFO will do (the last two only as
// mapped on purpose); a character device is opened for writing without blocking and closed at
// once, which is how a busy printer shows; a FIFO is never opened for writing, since its
// reader would see the end of its input.
[[nodiscard]] DeviceStatus deviceStatus(const QString &path, PortKind kind,
                                        const PortHolderLookup &holderOf = portHolderLookup());

} // namespace kr52
