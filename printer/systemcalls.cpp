// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/systemcalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace kr52 {

namespace {

const SystemCalls real{
    [](const char *path, int flags, mode_t mode) { return ::open(path, flags, mode); },
    [](int fd, const void *data, size_t size) { return ::write(fd, data, size); },
    [](pollfd *fds, nfds_t count, int timeoutMs) { return ::poll(fds, count, timeoutMs); },
    [](int fd, unsigned long request, void *argument) { return ::ioctl(fd, request, argument); },
    [](int fd, int operation) { return ::flock(fd, operation); },
    [](int fd) { return ::close(fd); },
};

SystemCalls &current()
{
    static SystemCalls calls = real;
    return calls;
}

} // namespace

const SystemCalls &systemCalls()
{
    return current();
}

const SystemCalls &realSystemCalls()
{
    return real;
}

SystemCalls setSystemCalls(const SystemCalls &calls)
{
    const SystemCalls previous = current();
    current() = calls;
    return previous;
}

} // namespace kr52
