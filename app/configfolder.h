// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kr52 {

// The program's configuration folder: $XDG_CONFIG_HOME/kr52-config, or ~/.config/kr52-config
// when the variable is unset or not a full path. It may not exist yet.
[[nodiscard]] QString configFolder();

} // namespace kr52
