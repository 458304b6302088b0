// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>

class QWidget;

// What a probe preloaded into kr52-config found, written as one line of JSON to standard output
// when it ends the program. The status tells how it ended: 0 when it saw all it looked for, 3 when
// something it looked for was missing or it ran out of time, 4 when a message box came instead.
namespace probereport {

QJsonObject &report();

// Writes the report and ends the program at once, with status.
[[noreturn]] void finish(int status);

// Ends the program with why in the report under "failure".
[[noreturn]] void fail(const QString &why);

// When a message box is open, ends the program with its text in the report under "message".
void stopOnMessage();

// From now on, a message box ends the program with its text in the report under "message"
// instead of waiting for a click, and the program ends with a failure after timeLimitMs.
void watchForMessages(int timeLimitMs);

// The top-level window named name, or null.
[[nodiscard]] QWidget *topLevel(const QString &name);

} // namespace probereport
