// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/mscomm.h"

#include "printer/boundedwrite.h"
#include "printer/devicekind.h"
#include "printer/devicemap.h"
#include "printer/heldports.h"
#include "printer/printererror.h"
#include "printer/serialline.h"
#include "printer/systemcalls.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <thread>

namespace kr52 {

namespace {

QString lineTimedOut()
{
    return QStringLiteral("Timed out: the device did not take the data. Check the cable, the baud rate and that the "
                          "printer is on line.");
}

} // namespace

MSComm::MSComm(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("MSComm1"));
}

MSComm::~MSComm()
{
    discard();
}

void MSComm::setCommPort(int port)
{
    if (portOpen())
        fail(QStringLiteral("change the port number of"), QStringLiteral("The port is open."));
    if (port < 1 || port > 4)
        throw PrinterError(QStringLiteral("Invalid port number %1: the serial ports are COM1: to COM4:.").arg(port));
    m_commPort = port;
}

void MSComm::setSettings(const QString &text)
{
    const SerialSettingsResult parsed = parseSerialSettings(text);
    if (!parsed.settings)
        throw PrinterError(parsed.error);
    m_settings = *parsed.settings;
    m_settingsText = text;
}

void MSComm::setPortOpen(bool open)
{
    if (open == portOpen()) {
        if (open)
            fail(QStringLiteral("open"), QStringLiteral("The port is already open."));
        return;
    }
    open ? this->open() : close();
}

QString MSComm::devicePath() const
{
    return m_devicePath.isEmpty() ? devicePathFor(serialPortName(m_commPort)) : m_devicePath;
}

QString MSComm::mappedPortName() const
{
    // A device set directly has no port variable to suggest in messages.
    return m_devicePath.isEmpty() ? serialPortName(m_commPort) : QString();
}

QString MSComm::portDescription() const
{
    if (!m_devicePath.isEmpty())
        return m_devicePath;
    return QStringLiteral("%1 (%2)").arg(serialPortName(m_commPort), devicePath());
}

void MSComm::fail(const QString &action, const QString &reason, bool inDoubt)
{
    discard();
    throw PrinterError(QStringLiteral("Could not %1 %2: %3").arg(action, portDescription(), reason), inDoubt);
}

void MSComm::failWith(const QString &action, int errorNumber, bool inDoubt)
{
    fail(action, describeOpenFailure(mappedPortName(), devicePath(), errorNumber), inDoubt);
}

void MSComm::open()
{
    const QString path = devicePath();
    // Tell a missing device and a folder apart before looking at locks for them.
    const DeviceKind kind = deviceKindOf(path);
    if (kind == DeviceKind::Missing)
        failWith(QStringLiteral("open"), ENOENT);
    if (kind == DeviceKind::Folder)
        failWith(QStringLiteral("open"), EISDIR);
    if (const QString busy = m_lock.claimLockFile(path); !busy.isEmpty())
        fail(QStringLiteral("open"), busy);

    const OpenedDevice device =
        openLockedDevice(mappedPortName(), path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, DeviceUse::SerialLine);
    if (device.fd < 0)
        fail(QStringLiteral("open"), device.failure);
    m_fd = device.fd;
    holdDescriptor(m_fd, portDescription());
    if (!readLineParameters(m_fd))
        failWith(QStringLiteral("open"), errno);
    // Root opens a terminal whatever its exclusive mode: ask whether another program set it.
    const std::optional<bool> heldExclusively = isExclusive(m_fd);
    if (!heldExclusively)
        failWith(QStringLiteral("open"), errno);
    if (*heldExclusively)
        fail(QStringLiteral("open"), describeExclusiveHolder());
    if (!setExclusive(m_fd, true))
        failWith(QStringLiteral("open"), errno);
    m_exclusive = true;
    markExclusive(m_fd, true);
    const LineSetup setup = configureLine(m_fd, m_settings);
    if (setup.errorNumber != 0)
        failWith(QStringLiteral("set \"%1\" on").arg(m_settingsText), setup.errorNumber);
    if (!setup.notTaken.isEmpty())
        fail(QStringLiteral("set \"%1\" on").arg(m_settingsText), setup.notTaken);
}

// Clears our exclusive mode (never another program's) and forgets the descriptor; the caller
// closes it.
void MSComm::releaseDescriptor() noexcept
{
    if (m_exclusive)
        (void)setExclusive(m_fd, false);
    m_exclusive = false;
    forgetDescriptor(m_fd);
}

void MSComm::discard() noexcept
{
    if (m_fd >= 0) {
        releaseDescriptor();
        systemCalls().close(m_fd);
    }
    m_fd = -1;
    m_lock.release();
}

void MSComm::close()
{
    closeWithin(SendLimit{QDeadlineTimer(m_writeTimeoutMs)});
}

void MSComm::closeWithin(const SendLimit &limit)
{
    if (!portOpen())
        throw PrinterError(QStringLiteral("Could not close %1: the port is not open.").arg(portDescription()));
    waitUntilSent(limit);
    const int fd = m_fd;
    releaseDescriptor();
    m_fd = -1;
    m_lock.release();
    if (systemCalls().close(fd) != 0 && errno != EINTR)
        failWith(QStringLiteral("close"), errno);
}

QDeadlineTimer MSComm::deadlineFor(qsizetype bytes) const
{
    // Start, data bits, parity and stop bits: at most eleven bit times a byte.
    const qint64 lineMs = bytes * 11 * 1000 / qMax(1, m_settings.baudRate);
    return QDeadlineTimer(lineMs + m_writeTimeoutMs);
}

void MSComm::setOutput(const QByteArray &text)
{
    write(text, SendLimit{deadlineFor(text.size())});
}

void MSComm::write(const QByteArray &text, const SendLimit &limit)
{
    if (!portOpen())
        throw PrinterError(QStringLiteral("Could not write to %1: the port is not open.").arg(portDescription()));
    m_lastOutput = text;
    qsizetype written = 0;
    if (const int error = writeBefore(m_fd, text, limit, &written); error != 0) {
        if (error != ETIMEDOUT)
            failWith(QStringLiteral("write to"), error, written > 0);
        fail(QStringLiteral("write to"), lineTimedOut(), written > 0);
    }
    countTextWritten(m_fd);
    waitUntilSent(limit);
}

void MSComm::waitUntilSent(const SendLimit &limit)
{
    // The bytes are in the driver's queue; wait, bounded, until the UART has sent them, so that
    // closing right afterwards loses nothing. There is no flow control, so the queue empties at
    // the baud rate; the final drain then only waits for the last character on the wire. Any
    // failure from here on leaves the last text in doubt: the port took it, the printer may not.
    for (;;) {
        const std::optional<int> queued = queuedOutput(m_fd);
        if (!queued)
            failWith(QStringLiteral("write to"), errno, true);
        if (*queued == 0)
            break;
        if (limit.isCancelled())
            failWith(QStringLiteral("write to"), ECANCELED, true);
        if (limit.deadline.hasExpired())
            fail(QStringLiteral("write to"), lineTimedOut(), true);
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::clamp<qint64>(limit.deadline.remainingTime(), 1, 10)));
    }
    if (!drainLine(m_fd))
        failWith(QStringLiteral("write to"), errno, true);
}

} // namespace kr52
