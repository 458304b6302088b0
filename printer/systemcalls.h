// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <poll.h>
#include <sys/types.h>

namespace kr52 {

// The system calls the printer links and the port locks make, in one table so that tests can
// answer with the faults real devices give (EAGAIN for ever, EIO, short writes, status words)
// without the hardware. Each call behaves as the system's own: -1 and errno on failure.
struct SystemCalls {
    int (*open)(const char *path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void *data, size_t size);
    int (*poll)(pollfd *fds, nfds_t count, int timeoutMs);
    int (*ioctl)(int fd, unsigned long request, void *argument);
    int (*flock)(int fd, int operation);
    int (*close)(int fd);
};

// The calls in use: the system's own unless a test replaced them.
[[nodiscard]] const SystemCalls &systemCalls();
// The system's own calls, for a replacement to pass on what it does not change.
[[nodiscard]] const SystemCalls &realSystemCalls();
// Puts calls in place and returns the ones they replace.
SystemCalls setSystemCalls(const SystemCalls &calls);

} // namespace kr52
