// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ctl/commandline.h"
#include "settings/profile.h"

#include <QList>
#include <QString>

namespace kr52::ctl {

// One printer to send to, checked: a port by its name ("COM1:"), a device, or an output file.
struct Target {
    GivenTarget::Kind kind = GivenTarget::Kind::Port;
    QString name;       // "COM1:", or the path as given
    QString devicePath; // what the name means: the port's device, or the path itself
};

struct Targets {
    QList<Target> printers; // in the order given
    QString serialSettings; // "9600,n,8,1", checked
    QString error;          // why the port options were refused, with where they came from
};

// The printers and serial line that options name, checked before anything is opened: ports
// COM1: .. COM4: and LPT1: .. LPT4: (any case, colon optional); devices that are character
// devices or FIFOs (a file, folder or block device is never written over); output files that
// are regular files or new; no device named twice, however named; and serial settings this
// system can run.
[[nodiscard]] Targets resolveTargets(const PortOptions &options);

// A profile's [port] keys (port, device, baud, data, stop) as port options, each with its line.
[[nodiscard]] PortOptions portOptionsFrom(const Profile &profile);

// The port options given on the command line, each taking the place of the profile's: targets
// given replace the profile's targets, and so does each serial value.
[[nodiscard]] PortOptions withDefaults(const PortOptions &given, const PortOptions &defaults);

} // namespace kr52::ctl
