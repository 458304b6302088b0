// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/profile.h"

#include <QString>

namespace kr52::ctl {

// Reads the profile apply names: "-" is standard input, anything else a file named by the
// bytes kr52ctl was given (see pathBytes). Both are bounded by profileSizeLimit; messages name
// the file (or "standard input") and the line.
[[nodiscard]] ProfileResult readProfileInput(const QString &path);

} // namespace kr52::ctl
