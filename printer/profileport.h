// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>

namespace kr52 {

// A profile's serial values, the [port] keys baud, data and stop, as the serial control takes them.

struct PortKeys {
    QMap<QString, QString> keys; // baud, data, stop
    QString error;               // why the settings cannot go into a profile; empty otherwise
};

// The serial control's settings text ("19200,n,8,1") as a profile's [port] keys. A profile
// knows no parity: anything but "n" is refused, as are settings the serial control refuses.
[[nodiscard]] PortKeys portKeysOfSerialSettings(const QString &settingsText);

// The first of a profile's serial values (port: key -> value) that the serial control refuses,
// each checked with the others at their defaults, as "<origin of its key>: <reason>"; empty when
// all are taken or none is given. Keys other than baud, data and stop are not looked at.
[[nodiscard]] QString serialValuesFault(const QMap<QString, QString> &port, const QMap<QString, QString> &origins);

} // namespace kr52
