// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>

#include <atomic>

namespace kr52 {

// What bounds one printer action: the deadline of the whole action, and an optional flag that
// another thread raises to cancel it. Every wait of the action checks both.
struct SendLimit {
    QDeadlineTimer deadline;
    const std::atomic_bool *cancelled = nullptr;

    [[nodiscard]] bool isCancelled() const { return cancelled && cancelled->load(); }
};

// How often a wait looks at the cancel flag: Cancel takes effect within this.
inline constexpr int cancelCheckMs = 50;

// Writes all of text to a non-blocking descriptor before the limit's deadline. While the device
// takes nothing it waits in poll and, when poll says "ready" but the device still answers EAGAIN
// (as the parallel printer driver always does), sleeps a growing step, so the wait costs next to
// no processor time. Returns 0 once everything is written, ETIMEDOUT at the deadline, ECANCELED
// when the action was cancelled, or the system's error number of the write or poll that failed.
// taken, when given, receives how many bytes the device took.
[[nodiscard]] int writeBefore(int fd, const QByteArray &text, const SendLimit &limit, qsizetype *taken = nullptr);

} // namespace kr52
