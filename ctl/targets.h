// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ctl/commandline.h"

#include <QList>
#include <QMap>
#include <QString>

#include <optional>

namespace kr52::ctl {

// One printer to send to: a port by its name ("COM1:", "LPT2:") or a device by its path.
struct Target {
    QString port;
    QString device;
};

struct Targets {
    QList<Target> printers;
    QString serialSettings; // "9600,n,8,1", checked
    QString error;          // why the port options were refused; empty otherwise
};

// The printers and serial line that options name, checked: ports COM1: .. COM4: and LPT1: ..
// LPT4: (any case, colon optional) and the serial settings as the port dialog accepts them.
[[nodiscard]] Targets resolveTargets(const PortOptions &options);

// A profile's [port] keys (port, device, baud, data, stop) as port options.
[[nodiscard]] PortOptions portOptionsFrom(const QMap<QString, QString> &keys);

// A port option as given, or the profile's default for it.
[[nodiscard]] PortOptions withDefaults(const PortOptions &given, const PortOptions &defaults);

} // namespace kr52::ctl
