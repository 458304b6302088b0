// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kr52 {

// What this process holds of the ports it sends to, kept where an exit handler and a signal
// handler can still reach it: our lock files, and each open descriptor with whether we set the
// terminal's exclusive mode on it. At exit, and on SIGINT, SIGTERM or SIGHUP once
// releasePortsOnSignals() has been called, exclusive mode is cleared, the descriptors are closed
// (which drops their flock) and the lock files are removed.

// Remembers our lock file at path until forgetLockFile.
void holdLockFile(const QString &path);
void forgetLockFile(const QString &path) noexcept;
[[nodiscard]] bool isLockFileHeld(const QString &path);

// Remembers an open port until forgetDescriptor: description names it in the line a signal
// writes ("COM1: (/dev/ttyS0)").
void holdDescriptor(int fd, const QString &description);
// After exclusive mode was set on fd (or cleared again).
void markExclusive(int fd, bool exclusive) noexcept;
// Counts one text handed whole to the port, for the line a signal writes.
void countTextWritten(int fd) noexcept;
void forgetDescriptor(int fd) noexcept;

// From now on SIGINT, SIGTERM and SIGHUP release everything held, write one line to standard
// error naming the port and how many texts had been written to it (when a port was open), and
// then end the program as the signal would have. Both programs call it once at start.
void releasePortsOnSignals();

} // namespace kr52
