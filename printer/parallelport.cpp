// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/parallelport.h"

#include "printer/boundedwrite.h"
#include "printer/devicekind.h"
#include "printer/devicemap.h"
#include "printer/heldports.h"
#include "printer/lpstatus.h"
#include "printer/portlock.h"
#include "printer/printererror.h"
#include "printer/systemcalls.h"

#include <QDeadlineTimer>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kr52 {

ParallelPort::~ParallelPort()
{
    discard();
}

void ParallelPort::fail(const QString &action, const QString &reason, bool inDoubt)
{
    discard();
    throw PrinterError(QStringLiteral("Could not %1 %2 (%3): %4").arg(action, m_portName, m_path, reason), inDoubt);
}

void ParallelPort::failWith(const QString &action, int errorNumber)
{
    fail(action, describeOpenFailure(m_portName, m_path, errorNumber));
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
    // A disk given by mistake is refused before it is opened, let alone written to.
    if (isBlockDevice(m_path))
        fail(QStringLiteral("open"), blockDeviceRefusal());
    // O_NONBLOCK keeps the open from waiting on a FIFO that nobody reads; no O_CREAT, so a
    // missing device is reported instead of a file being made in its place; no O_TRUNC, so a
    // file another program holds keeps its contents until the flock is ours.
    const OpenedDevice device = openLockedDevice(m_portName, m_path, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (device.fd < 0)
        fail(QStringLiteral("open"), device.failure);
    m_fd = device.fd;
    holdDescriptor(m_fd, QStringLiteral("%1 (%2)").arg(m_portName, m_path));
    // What the open found may differ from what was looked at before it.
    struct stat info {};
    if (::fstat(m_fd, &info) != 0)
        failWith(QStringLiteral("open"), errno);
    if (S_ISBLK(info.st_mode))
        fail(QStringLiteral("open"), blockDeviceRefusal());
    // A file mapped on purpose holds one action's output, as a printer would have received it.
    if (S_ISREG(info.st_mode) && ::ftruncate(m_fd, 0) != 0)
        failWith(QStringLiteral("open"), errno);
}

QString ParallelPort::writeFailure(int errorNumber) const
{
    // Only now is the printer asked why: a send that works asks nothing.
    const std::optional<int> status = readPrinterStatus(m_fd);
    if (errorNumber == ETIMEDOUT)
        return QStringLiteral("Timed out: %1.").arg(describePrinterStatus(status));
    if (status && statusStopsPrinting(*status)) {
        const QString words = describePrinterStatus(status);
        return words.left(1).toUpper() + words.mid(1) + QLatin1Char('.');
    }
    return describeOpenFailure(m_portName, m_path, errorNumber);
}

void ParallelPort::write(const QByteArray &text)
{
    write(text, SendLimit{QDeadlineTimer(m_writeTimeoutMs)});
}

void ParallelPort::write(const QByteArray &text, const SendLimit &limit)
{
    qsizetype written = 0;
    if (const int error = writeBefore(m_fd, text, limit, &written); error != 0)
        fail(QStringLiteral("write to"), writeFailure(error), written > 0);
    countTextWritten(m_fd);
}

void ParallelPort::discard() noexcept
{
    if (m_fd >= 0) {
        forgetDescriptor(m_fd);
        systemCalls().close(m_fd);
    }
    m_fd = -1;
}

void ParallelPort::close()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    forgetDescriptor(fd);
    if (systemCalls().close(fd) != 0 && errno != EINTR)
        failWith(QStringLiteral("close"), errno);
}

} // namespace kr52
