// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/childprocess.h"

#include <QFile>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

ChildProcess::ChildProcess(const QString &flockPath)
{
    const QByteArray path = QFile::encodeName(flockPath);
    int ready[2];
    if (::pipe(ready) != 0)
        return;
    m_pid = ::fork();
    if (m_pid == 0) {
        // Only async-signal-safe calls from here on.
        ::close(ready[0]);
        if (!path.isEmpty()) {
            const int fd = ::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
            if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0)
                ::_exit(1);
        }
        // The parent reads "nothing" as a failed start, so a failed write needs no answer here.
        if (::write(ready[1], "r", 1) != 1)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char answer = 0;
    if (m_pid < 0 || ::read(ready[0], &answer, 1) != 1)
        end();
    ::close(ready[0]);
}

ChildProcess::~ChildProcess()
{
    end();
}

pid_t ChildProcess::end()
{
    const pid_t pid = m_pid;
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    m_pid = -1;
    return pid;
}
