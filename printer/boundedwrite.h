// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>

namespace kr52 {

// Writes all of text to a non-blocking descriptor before the deadline. While the device takes
// nothing it waits in poll and, when poll says "ready" but the device still answers EAGAIN (as
// the parallel printer driver always does), sleeps a growing step, so the wait costs next to no
// processor time. Returns 0 once everything is written, ETIMEDOUT at the deadline, or the
// system's error number of the write or poll that failed.
[[nodiscard]] int writeBefore(int fd, const QByteArray &text, const QDeadlineTimer &deadline);

} // namespace kr52
