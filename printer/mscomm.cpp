#include "printer/mscomm.h"

#include "printer/devicemap.h"
#include "printer/printererror.h"

#include <QDeadlineTimer>
#include <QFileInfo>

#include <cerrno>
#include <termios.h>
#include <unistd.h>

namespace kr52 {

MSComm::MSComm(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("MSComm1"));
}

MSComm::~MSComm() = default;

void MSComm::setCommPort(int port)
{
    if (m_port.isOpen())
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
    if (open == m_port.isOpen()) {
        if (open)
            fail(QStringLiteral("open"), QStringLiteral("The port is already open."));
        return;
    }
    open ? this->open() : close();
}

QString MSComm::portDescription() const
{
    if (!m_devicePath.isEmpty())
        return m_devicePath;
    return QStringLiteral("%1 (%2)").arg(serialPortName(m_commPort), devicePathFor(serialPortName(m_commPort)));
}

void MSComm::fail(const QString &action, const QString &reason)
{
    discard();
    throw PrinterError(QStringLiteral("Could not %1 %2: %3").arg(action, portDescription(), reason));
}

void MSComm::open()
{
    const QString path = m_devicePath.isEmpty() ? devicePathFor(serialPortName(m_commPort)) : m_devicePath;
    // QSerialPort folds several causes into one error code: tell them apart first, so the
    // operator reads which one it is.
    const QFileInfo info(path);
    if (!info.exists())
        fail(QStringLiteral("open"), describeOpenFailure(serialPortName(m_commPort), path, ENOENT));
    if (info.isDir())
        fail(QStringLiteral("open"), describeOpenFailure(serialPortName(m_commPort), path, EISDIR));
    if (::access(path.toLocal8Bit().constData(), R_OK | W_OK) != 0)
        fail(QStringLiteral("open"), describeOpenFailure(serialPortName(m_commPort), path, errno));

    m_port.setPortName(path);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QString reason = m_port.error() == QSerialPort::PermissionError ? describeOpenFailure(serialPortName(m_commPort), path, EBUSY)
                                                                              : m_port.errorString() + QLatin1Char('.');
        fail(QStringLiteral("open"), reason);
    }
    const bool configured = m_port.setBaudRate(m_settings.baudRate) && m_port.setParity(m_settings.parity) &&
                            m_port.setDataBits(m_settings.dataBits) && m_port.setStopBits(m_settings.stopBits) &&
                            m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured)
        fail(QStringLiteral("set \"%1\" on").arg(m_settingsText), m_port.errorString() + QLatin1Char('.'));
}

void MSComm::discard() noexcept
{
    if (m_port.isOpen())
        m_port.close();
}

void MSComm::close()
{
    drain();
    m_port.close();
}

void MSComm::setOutput(const QByteArray &text)
{
    if (!m_port.isOpen())
        throw PrinterError(QStringLiteral("Could not write to %1: the port is not open.").arg(portDescription()));
    m_lastOutput = text;
    if (m_port.write(text) != text.size())
        fail(QStringLiteral("write to"), m_port.errorString() + QLatin1Char('.'));

    // QSerialPort keeps what it could not write at once in its own buffer; wait until all of it
    // has gone to the device, within the time the bytes need at this baud rate plus a margin.
    const qint64 lineMs = text.size() * 11 * 1000 / qMax(1, m_settings.baudRate);
    QDeadlineTimer deadline(lineMs + m_writeTimeoutMs);
    while (m_port.bytesToWrite() > 0) {
        if (deadline.hasExpired())
            fail(QStringLiteral("write to"),
                 QStringLiteral("Timed out: the device did not take the data. Check the cable, "
                                "the baud rate and that the printer is on line."));
        if (!m_port.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime()))) &&
            m_port.error() != QSerialPort::NoError && m_port.error() != QSerialPort::TimeoutError)
            fail(QStringLiteral("write to"), m_port.errorString() + QLatin1Char('.'));
    }
    drain();
}

void MSComm::drain()
{
    // The bytes are in the kernel's queue now; wait until the UART has sent them. There is no
    // flow control, so this ends once the bytes have gone out at the baud rate.
    if (m_port.isOpen() && ::tcdrain(int(m_port.handle())) != 0 && errno != ENOTTY && errno != EINVAL)
        fail(QStringLiteral("write to"), describeOpenFailure(serialPortName(m_commPort), m_port.portName(), errno));
}

} // namespace kr52
