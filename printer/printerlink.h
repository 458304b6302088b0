// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/boundedwrite.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace kr52 {

class MSComm;
class ParallelPort;

// One printer link as a printer action uses it. Every failure throws PrinterError whose message
// names the port, the device path and the reason; after a failure the caller calls discard().
// Sending and closing wait no longer than the limit of the whole action.
class PrinterLink {
public:
    virtual ~PrinterLink() = default;
    virtual void open() = 0;
    virtual void send(const QByteArray &text, const SendLimit &limit) = 0;
    // Waits, within the limit, until everything sent has left the port, then closes.
    virtual void close(const SendLimit &limit) = 0;
    // When an action that sends this many bytes must have ended, counted from now.
    [[nodiscard]] virtual QDeadlineTimer actionDeadline(qsizetype bytes) const = 0;
    // Leaves the link closed without reporting: the failure has been reported already.
    virtual void discard() noexcept = 0;
    // The port and its device, for result lines: "COM1: (/dev/ttyS0)".
    [[nodiscard]] virtual QString description() const = 0;
};

// The serial control, with whatever port and settings it holds.
class SerialLink : public PrinterLink {
public:
    explicit SerialLink(MSComm &comm) : m_comm(comm) {}
    void open() override;
    void send(const QByteArray &text, const SendLimit &limit) override;
    void close(const SendLimit &limit) override;
    [[nodiscard]] QDeadlineTimer actionDeadline(qsizetype bytes) const override;
    void discard() noexcept override;
    [[nodiscard]] QString description() const override;

private:
    MSComm &m_comm;
};

// The parallel link on portName ("LPT2:", or a path used as it stands).
class ParallelLink : public PrinterLink {
public:
    ParallelLink(ParallelPort &port, const QString &portName) : m_port(port), m_portName(portName) {}
    void open() override;
    void send(const QByteArray &text, const SendLimit &limit) override;
    void close(const SendLimit &limit) override;
    [[nodiscard]] QDeadlineTimer actionDeadline(qsizetype bytes) const override;
    void discard() noexcept override;
    [[nodiscard]] QString description() const override;

private:
    ParallelPort &m_port;
    QString m_portName;
};

// Whether path is a serial device: a character device of the terminal layer, told without
// opening it. Anything else (a printer device, a FIFO, a file, a missing path) is written as the
// parallel link writes, which then reports why it could not be opened.
[[nodiscard]] bool isSerialDevice(const QString &path);

// The link cmode names: serial holds its port and settings already; parallelName is lptport.
// Nothing for LinkMode::None or any other value.
[[nodiscard]] std::unique_ptr<PrinterLink> linkFor(qint16 linkMode, MSComm &serial, ParallelPort &parallel,
                                                   const QString &parallelName);

// The link for a port name or device path: a serial port, or a device that is a serial line,
// goes through serial, set to that port or device and serialSettings (which throws PrinterError
// when refused); anything else through parallel.
[[nodiscard]] std::unique_ptr<PrinterLink> linkFor(const QString &nameOrPath, const QString &serialSettings,
                                                   MSComm &serial, ParallelPort &parallel);

} // namespace kr52
