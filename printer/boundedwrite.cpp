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

int remainingMs(const QDeadlineTimer &deadline)
{
    return int(std::clamp<qint64>(deadline.remainingTime(), 0, 24 * 3600 * 1000));
}

} // namespace

int writeBefore(int fd, const QByteArray &text, const QDeadlineTimer &deadline)
{
    const SystemCalls &calls = systemCalls();
    const char *next = text.constData();
    qsizetype left = text.size();
    int idleStepMs = 0; // grows while poll says "ready" and the device takes nothing
    while (left > 0) {
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
            return errno;
        if (deadline.hasExpired())
            return ETIMEDOUT;
        if (idleStepMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(idleStepMs, remainingMs(deadline))));
        pollfd waitFor{fd, POLLOUT, 0};
        const int ready = calls.poll(&waitFor, 1, remainingMs(deadline));
        if (ready == 0)
            return ETIMEDOUT;
        if (ready < 0 && errno != EINTR)
            return errno;
        if (ready > 0)
            idleStepMs = std::clamp(idleStepMs * 2, 1, longestIdleStepMs);
    }
    return 0;
}

} // namespace kr52
