// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kr52 {

// The folder the window last opened or saved a profile in, kept between runs under [profiles]
// in kr52-config.conf of the configuration folder (apart from devices.conf, which only maps
// ports to devices).

[[nodiscard]] QString profileSettingsFile();

// The remembered folder while it still exists, otherwise the home folder.
[[nodiscard]] QString profileFolder();

// Keeps folder for next time. Returns empty when saved, else why not, naming the file.
[[nodiscard]] QString rememberProfileFolder(const QString &folder);

} // namespace kr52
