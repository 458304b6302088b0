// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/choice.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <optional>

namespace kr52 {

// A settings profile: a small INI text kept beside a shop's other configuration.
//
//   [settings]
//   Print Speed=Half Speed
//   Start Position Adjustment=Adjust as below
//   cut-offset=-1.5
//   [port]
//   port=COM1:
//   baud=19200
//
// Lines starting with ";" or "#" and blank lines are skipped. The [port] keys are defaults that
// the command line overrides.
struct Profile {
    QList<Assignment> settings; // in file order, not yet matched against the catalogue
    std::optional<QString> cutOffset;
    QMap<QString, QString> port; // key (one of profilePortKeys) -> value
    // Where the cut offset and each [port] key stand ("shop.ini line 6"), for messages.
    QString cutOffsetOrigin;
    QMap<QString, QString> portOrigins;
};

// port, device, baud, data, stop.
[[nodiscard]] const QStringList &profilePortKeys();

struct ProfileResult {
    std::optional<Profile> profile;
    QString error; // the file, the line and what is wrong; empty when profile is set
};

// Reads text as a profile; name is used in origins and messages.
[[nodiscard]] ProfileResult parseProfile(const QByteArray &text, const QString &name);

// The largest profile read; anything larger is refused.
inline constexpr qint64 profileSizeLimit = qint64{1024} * 1024;

// Reads the profile file at path: only a regular file no larger than profileSizeLimit.
[[nodiscard]] ProfileResult readProfile(const QString &path);

} // namespace kr52
