// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace kr52::ctl {

class Console;

// kr52ctl's exit statuses.
enum ExitStatus { Done = 0, Failed = 1, Refused = 2 };

// Runs kr52ctl with arguments (the program name first), writing to console; returns the exit
// status. Everything the command line names is checked before any port is opened.
[[nodiscard]] int run(const QStringList &arguments, Console &console);

} // namespace kr52::ctl
