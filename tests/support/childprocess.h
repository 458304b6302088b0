// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <sys/types.h>

// Another process for the lock tests: it lives until ended, optionally holding flock(LOCK_EX)
// on a path from before the constructor returns. Its name (/proc/PID/comm) is the test program's.
class ChildProcess {
public:
    explicit ChildProcess(const QString &flockPath = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    [[nodiscard]] bool isRunning() const { return m_pid > 0; }
    [[nodiscard]] pid_t pid() const { return m_pid; }
    // Ends the child and reaps it; returns its PID, which then names a process that is gone.
    pid_t end();

private:
    pid_t m_pid = -1;
};
