// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t nobody = 65534;

} // namespace

QByteArray runUnprivileged(const std::function<QByteArray()> &work)
{
    if (::geteuid() != 0)
        return work();
    int channel[2];
    if (::pipe(channel) != 0)
        return QByteArrayLiteral("pipe failed");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        QByteArray answer = QByteArrayLiteral("could not become nobody");
        if (::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0)
            answer = work();
        const ssize_t written = ::write(channel[1], answer.constData(), size_t(answer.size()));
        ::_exit(written == answer.size() ? 0 : 1);
    }
    ::close(channel[1]);
    QByteArray answer;
    char buffer[1024];
    ssize_t count = 0;
    while ((count = ::read(channel[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, count);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return answer;
}
