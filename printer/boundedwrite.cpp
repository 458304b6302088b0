// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/boundedwrite.h"

#include "printer/systemcalls.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace kr52 {

namespace {

constexpr int longestIdleStepMs = 64;

// The next wait: never past the deadline, and short enough to see a cancel in time.
int nextWaitMs(const SendLimit &limit)
{
    const int remaining = int(std::clamp<qint64>(limit.deadline.remainingTime(), 0, qint64{24} * 3600 * 1000));
    return limit.cancelled ? std::min(remaining, cancelCheckMs) : remaining;
}

} // namespace

int writeBefore(int fd, const QByteArray &text, const SendLimit &limit, qsizetype *taken)
{
    const SystemCalls &calls = systemCalls();
    const char *next = text.constData();
    qsizetype left = text.size();
    int idleStepMs = 0; // grows while poll says "ready" and the device takes nothing
    const auto result = [&](int error) {
        if (taken)
            *taken = text.size() - left;
        return error;
    };
    while (left > 0) {
        if (limit.isCancelled())
            return result(ECANCELED);
        const ssize_t written = calls.write(fd, next, size_t(left));
        if (written > 0) {
            next += written;
            left -= written;
            idleStepMs = 0;
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return result(errno);
        if (limit.deadline.hasExpired())
            return result(ETIMEDOUT);
        if (idleStepMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(idleStepMs, nextWaitMs(limit))));
        pollfd waitFor{fd, POLLOUT, 0};
        const int ready = calls.poll(&waitFor, 1, nextWaitMs(limit));
        if (ready < 0 && errno != EINTR)
            return result(errno);
        if (ready > 0)
            idleStepMs = std::clamp(idleStepMs * 2, 1, longestIdleStepMs);
        // A poll that ran out is looked at again at the top: cancelled, expired or still waiting.
    }
    return result(0);
}

} // namespace kr52
