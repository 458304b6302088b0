// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace kr52::ctl {

class Console;

// kr52ctl's exit statuses.
enum ExitStatus { Done = 0, Failed = 1, Refused = 2 };

// Runs kr52ctl with arguments (the program name first), writing to console; returns the exit
// status. Everything the command line names is checked before any port is opened.
[[nodiscard]] int run(const QStringList &arguments, Console &console);

// A refusal as kr52ctl prints it: control characters escaped, one full stop at its end; a list
// of choices keeps its lines.
[[nodiscard]] QString shownMessage(const QString &message);

} // namespace kr52::ctl
