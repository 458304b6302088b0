// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/faultinjection.h"

#include "printer/systemcalls.h"

#include <QFile>

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>
#include <linux/lp.h>
#include <utility>

FaultInjection *FaultInjection::s_active = nullptr;

namespace {

kr52::SystemCalls previousCalls;

} // namespace

FaultInjection::FaultInjection(const QString &path) : m_path(QFile::encodeName(path))
{
    Q_ASSERT(!s_active);
    s_active = this;
    kr52::SystemCalls calls = kr52::realSystemCalls();
    calls.open = &FaultInjection::open;
    calls.write = &FaultInjection::write;
    calls.poll = &FaultInjection::poll;
    calls.ioctl = &FaultInjection::ioctl;
    calls.close = &FaultInjection::close;
    previousCalls = kr52::setSystemCalls(calls);
}

FaultInjection::~FaultInjection()
{
    kr52::setSystemCalls(previousCalls);
    s_active = nullptr;
}

void FaultInjection::setWriteAnswers(const QList<int> &answers, bool repeatLast)
{
    m_writeAnswers = answers;
    m_repeatLast = repeatLast;
}

void FaultInjection::failOpens(int errorNumber)
{
    m_openError = errorNumber;
}

void FaultInjection::beforeNextOpen(std::function<void()> action)
{
    m_beforeOpen = std::move(action);
}

void FaultInjection::setPollAlwaysReady()
{
    m_pollReady = true;
}

void FaultInjection::setTakesOneWriteEvery(int intervalMs)
{
    m_takeEveryMs = intervalMs;
    m_sinceTaken.invalidate();
}

void FaultInjection::setPrinterStatus(int status)
{
    m_status = status;
}

void FaultInjection::answerIoctl(unsigned long request, int result, int errorNumber)
{
    m_ioctlAnswers.insert(request, {result, errorNumber});
}

int FaultInjection::open(const char *path, int flags, mode_t mode)
{
    FaultInjection &self = *s_active;
    const bool onPath = self.m_path == path;
    if (onPath && self.m_openError != 0) {
        errno = self.m_openError;
        return -1;
    }
    if (onPath && self.m_beforeOpen)
        std::exchange(self.m_beforeOpen, {})();
    const int fd = kr52::realSystemCalls().open(path, flags, mode);
    if (fd >= 0 && onPath)
        self.m_fds.append(fd);
    return fd;
}

ssize_t FaultInjection::write(int fd, const void *data, size_t size)
{
    FaultInjection &self = *s_active;
    if (self.m_takeEveryMs > 0 && self.m_fds.contains(fd)) {
        ++self.m_writeCalls;
        if (self.m_sinceTaken.isValid() && !self.m_sinceTaken.hasExpired(self.m_takeEveryMs)) {
            errno = EAGAIN;
            return -1;
        }
        self.m_sinceTaken.start();
        return kr52::realSystemCalls().write(fd, data, size);
    }
    if (!self.m_fds.contains(fd) || self.m_writeAnswers.isEmpty())
        return kr52::realSystemCalls().write(fd, data, size);
    ++self.m_writeCalls;
    if (self.m_repeatLast && self.m_writeCalls > spinLimit) {
        errno = ELOOP;
        return -1;
    }
    const int answer = self.m_repeatLast && self.m_writeAnswers.size() == 1 ? self.m_writeAnswers.first()
                                                                            : self.m_writeAnswers.takeFirst();
    if (answer < 0) {
        errno = -answer;
        return -1;
    }
    return kr52::realSystemCalls().write(fd, data, qMin(size, size_t(answer)));
}

int FaultInjection::poll(pollfd *fds, unsigned long count, int timeoutMs)
{
    if (count == 1 && s_active->m_pollReady && s_active->m_fds.contains(fds[0].fd)) {
        fds[0].revents = POLLOUT;
        return 1;
    }
    return kr52::realSystemCalls().poll(fds, count, timeoutMs);
}

int FaultInjection::ioctl(int fd, unsigned long request, void *argument)
{
    FaultInjection &self = *s_active;
    if (!self.m_fds.contains(fd))
        return kr52::realSystemCalls().ioctl(fd, request, argument);
    self.m_ioctlRequests.append(request);
    if (request == LPGETSTATUS)
        ++self.m_statusQueries;
    if (request == TCSETS2)
        self.m_lineFlags = static_cast<const termios2 *>(argument)->c_cflag;
    if (request == LPGETSTATUS && self.m_status) {
        *static_cast<int *>(argument) = *self.m_status;
        return 0;
    }
    if (const auto answer = self.m_ioctlAnswers.constFind(request); answer != self.m_ioctlAnswers.cend()) {
        errno = answer->errorNumber;
        return answer->result;
    }
    return kr52::realSystemCalls().ioctl(fd, request, argument);
}

int FaultInjection::close(int fd)
{
    s_active->m_fds.removeOne(fd);
    return kr52::realSystemCalls().close(fd);
}
