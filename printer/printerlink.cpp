// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/printerlink.h"

#include "printer/devicekind.h"
#include "printer/devicemap.h"
#include "printer/mscomm.h"
#include "printer/parallelport.h"
#include "printer/portkinds.h"

namespace kr52 {

void SerialLink::open()
{
    m_comm.setPortOpen(true);
}

void SerialLink::send(const QByteArray &text, const SendLimit &limit)
{
    m_comm.write(text, limit);
}

void SerialLink::close(const SendLimit &limit)
{
    m_comm.closeWithin(limit);
}

QDeadlineTimer SerialLink::actionDeadline(qsizetype bytes) const
{
    return m_comm.deadlineFor(bytes);
}

void SerialLink::discard() noexcept
{
    m_comm.discard();
}

QString SerialLink::description() const
{
    return m_comm.portDescription();
}

void ParallelLink::open()
{
    m_port.open(m_portName);
}

void ParallelLink::send(const QByteArray &text, const SendLimit &limit)
{
    m_port.write(text, limit);
}

void ParallelLink::close(const SendLimit &)
{
    // Each write has handed its bytes to the driver already; there is no line to drain.
    m_port.close();
}

QDeadlineTimer ParallelLink::actionDeadline(qsizetype) const
{
    // No line rate to allow for: the driver takes the bytes as fast as the printer does.
    return QDeadlineTimer(m_port.writeTimeout());
}

void ParallelLink::discard() noexcept
{
    m_port.discard();
}

QString ParallelLink::description() const
{
    const QString path = devicePathFor(m_portName);
    return path == m_portName ? path : QStringLiteral("%1 (%2)").arg(m_portName, path);
}

bool isSerialDevice(const QString &path)
{
    // Told without opening it: an open would pass its locks by, toggle its modem lines, and
    // fail on a line another program holds in exclusive mode.
    return deviceKindOf(path) == DeviceKind::Terminal;
}

std::unique_ptr<PrinterLink> linkFor(qint16 linkMode, MSComm &serial, ParallelPort &parallel,
                                     const QString &parallelName)
{
    switch (linkMode) {
    case LinkMode::Serial:
        return std::make_unique<SerialLink>(serial);
    case LinkMode::Parallel:
        return std::make_unique<ParallelLink>(parallel, parallelName);
    default:
        return nullptr;
    }
}

std::unique_ptr<PrinterLink> linkFor(const QString &nameOrPath, const QString &serialSettings, MSComm &serial,
                                     ParallelPort &parallel)
{
    const std::optional<PortName> port = parsePortName(nameOrPath);
    const bool serialLine = port ? port->kind->kind == PortKind::Serial : isSerialDevice(nameOrPath);
    if (!serialLine)
        return linkFor(LinkMode::Parallel, serial, parallel, nameOrPath);
    if (port)
        serial.setCommPort(port->number);
    else
        serial.setDevicePath(nameOrPath);
    serial.setSettings(serialSettings);
    return linkFor(LinkMode::Serial, serial, parallel, nameOrPath);
}

} // namespace kr52
