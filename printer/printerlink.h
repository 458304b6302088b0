// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace kr52 {

class MSComm;
class ParallelPort;

// One printer link as a printer action uses it. Every failure throws PrinterError whose message
// names the port, the device path and the reason; after a failure the caller calls discard().
class PrinterLink {
public:
    virtual ~PrinterLink() = default;
    virtual void open() = 0;
    virtual void send(const QByteArray &text) = 0;
    virtual void close() = 0;
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
    void send(const QByteArray &text) override;
    void close() override;
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
    void send(const QByteArray &text) override;
    void close() override;
    void discard() noexcept override;
    [[nodiscard]] QString description() const override;

private:
    ParallelPort &m_port;
    QString m_portName;
};

// Whether path is a serial device: a character device that opens as a terminal. Anything else
// (a printer device, a FIFO, a file, a path that cannot be opened) is written as the parallel
// link writes, which then reports why it could not be opened.
[[nodiscard]] bool isSerialDevice(const QString &path);

} // namespace kr52
