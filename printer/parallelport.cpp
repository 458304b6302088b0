#include "printer/parallelport.h"

#include "printer/devicemap.h"
#include "printer/printererror.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace kr52 {

ParallelPort::~ParallelPort()
{
    discard();
}

void ParallelPort::fail(const QString &action, int errorNumber)
{
    discard();
    throw PrinterError(QStringLiteral("Could not %1 %2 (%3): %4")
                           .arg(action, m_portName, m_path, describeOpenFailure(m_portName, m_path, errorNumber)));
}

void ParallelPort::open(const QString &portName)
{
    // A reader that goes away (SIGPIPE) or a file grown past its size limit (SIGXFSZ) must fail
    // the write with an error the operator sees, not end the program.
    static const bool signalsIgnored = [] {
        std::signal(SIGPIPE, SIG_IGN);
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    Q_UNUSED(signalsIgnored);
    m_portName = portName;
    m_path = devicePathFor(portName);
    // O_NONBLOCK keeps the open from waiting on a FIFO that nobody reads; no O_CREAT, so a
    // missing device is reported instead of a file being made in its place.
    m_fd = ::open(m_path.toLocal8Bit().constData(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0)
        fail(QStringLiteral("open"), errno);
}

void ParallelPort::write(const QByteArray &text)
{
    const char *next = text.constData();
    qsizetype left = text.size();
    QDeadlineTimer deadline(m_writeTimeoutMs);
    while (left > 0) {
        const ssize_t written = ::write(m_fd, next, size_t(left));
        if (written > 0) {
            next += written;
            left -= written;
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN)
            fail(QStringLiteral("write to"), errno);
        pollfd waitFor{m_fd, POLLOUT, 0};
        const int ready = ::poll(&waitFor, 1, int(deadline.remainingTime()));
        if (ready == 0)
            fail(QStringLiteral("write to"), ETIMEDOUT);
        if (ready < 0 && errno != EINTR)
            fail(QStringLiteral("write to"), errno);
    }
}

void ParallelPort::discard() noexcept
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void ParallelPort::close()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw PrinterError(
            QStringLiteral("Could not close %1 (%2): %3").arg(m_portName, m_path, describeOpenFailure(m_portName, m_path, errno)));
}

} // namespace kr52
