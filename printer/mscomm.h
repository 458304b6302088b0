// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/boundedwrite.h"
#include "printer/portlock.h"
#include "printer/serialsettings.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>

namespace kr52 {

// The serial control of the main window. CommPort picks "COM1:" to "COM4:", Settings holds the
// line parameters as text, PortOpen opens and closes the port, and each text assigned to Output
// is written whole and handed to the line before the assignment returns, so closing right after
// the last write loses nothing. Every failure throws PrinterError naming the port, the device
// path and the reason; the port is left closed after a failed open or write.
//
// While open, the port is held as other programs expect: a standard lock file, an flock on the
// descriptor and the terminal's exclusive mode; a port that another program holds is not opened.
class MSComm : public QObject {
    Q_OBJECT
    Q_PROPERTY(int CommPort READ commPort WRITE setCommPort)
    Q_PROPERTY(QString Settings READ settings WRITE setSettings)
    Q_PROPERTY(bool PortOpen READ portOpen WRITE setPortOpen)
    Q_PROPERTY(QByteArray Output READ output WRITE setOutput)

public:
    explicit MSComm(QObject *parent = nullptr);
    ~MSComm() override;

    [[nodiscard]] int commPort() const { return m_commPort; }
    void setCommPort(int port);

    [[nodiscard]] QString settings() const { return m_settingsText; }
    // Refuses a text that does not parse, naming the wrong field; the old settings stay.
    void setSettings(const QString &text);

    [[nodiscard]] bool portOpen() const { return m_fd >= 0; }
    void setPortOpen(bool open);

    // The last text written.
    [[nodiscard]] QByteArray output() const { return m_lastOutput; }
    void setOutput(const QByteArray &text);

    // Writes text and waits until the line has sent it, within the limit of the action it belongs
    // to. A failure after the port took any of it says so (PrinterError::commandInDoubt).
    void write(const QByteArray &text, const SendLimit &limit);
    // Waits, within the limit, until the line has sent everything, then closes.
    void closeWithin(const SendLimit &limit);
    // When an action writing bytes must end: their time at the baud rate plus the write timeout.
    [[nodiscard]] QDeadlineTimer deadlineFor(qsizetype bytes) const;

    // Closes without draining or reporting: for leaving the port closed after a failure that
    // has already been reported.
    void discard() noexcept;

    // How long a write may wait for the line before it counts as timed out, beyond the time the
    // bytes need at the baud rate.
    void setWriteTimeout(int milliseconds) { m_writeTimeoutMs = milliseconds; }

    // When not empty, the port opens this device instead of the one its port number maps to.
    void setDevicePath(const QString &path) { m_devicePath = path; }

    // The port name and the device it maps to, for messages: "COM1: (/dev/ttyS0)"; just the
    // device path when one was set.
    [[nodiscard]] QString portDescription() const;

private:
    [[nodiscard]] QString devicePath() const;
    [[nodiscard]] QString mappedPortName() const;
    void open();
    void close();
    void releaseDescriptor() noexcept;
    [[noreturn]] void fail(const QString &action, const QString &reason, bool inDoubt = false);
    [[noreturn]] void failWith(const QString &action, int errorNumber, bool inDoubt = false);
    void waitUntilSent(const SendLimit &limit);

    int m_fd = -1;
    bool m_exclusive = false; // we set the terminal's exclusive mode and must clear it
    PortLock m_lock;
    int m_commPort = 1;
    QString m_devicePath;
    QString m_settingsText = QStringLiteral("9600,n,8,1");
    SerialSettings m_settings;
    QByteArray m_lastOutput;
    int m_writeTimeoutMs = 5000;
};

} // namespace kr52
