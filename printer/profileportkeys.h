// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>

namespace kr52 {

struct PortKeys {
    QMap<QString, QString> keys; // baud, data, stop
    QString error;               // why the settings cannot go into a profile; empty otherwise
};

// The serial control's settings text ("19200,n,8,1") as a profile's [port] keys. A profile
// knows no parity: anything but "n" is refused, as are settings the serial control refuses.
[[nodiscard]] PortKeys portKeysOfSerialSettings(const QString &settingsText);

} // namespace kr52
