// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/boundedwrite.h"

#include <QByteArray>
#include <QString>

namespace kr52 {

// The parallel link: the device of "LPT1:" .. "LPT4:" (or a USB printer, or a file in tests)
// opened for writing and held with an flock while open. Each text is written unchanged and at
// once, so an error shows at the write that caused it. Opening never waits: a FIFO with no
// reader or a busy device fails at once, and a device that stops taking data fails after the
// write timeout, with the printer's own status in words where it gives one.
class ParallelPort {
public:
    ParallelPort() = default;
    ~ParallelPort();
    ParallelPort(const ParallelPort &) = delete;
    ParallelPort &operator=(const ParallelPort &) = delete;

    void open(const QString &portName);
    void write(const QByteArray &text);
    // Writes text within the limit of the action it belongs to. A failure after the device took
    // part of it says so (PrinterError::commandInDoubt).
    void write(const QByteArray &text, const SendLimit &limit);
    void close();
    // Closes without reporting: for leaving the link closed after a failure already reported.
    void discard() noexcept;
    [[nodiscard]] bool isOpen() const { return m_fd >= 0; }

    void setWriteTimeout(int milliseconds) { m_writeTimeoutMs = milliseconds; }
    [[nodiscard]] int writeTimeout() const { return m_writeTimeoutMs; }

private:
    [[noreturn]] void fail(const QString &action, const QString &reason, bool inDoubt = false);
    [[noreturn]] void failWith(const QString &action, int errorNumber);
    [[nodiscard]] QString writeFailure(int errorNumber) const;

    int m_fd = -1;
    QString m_portName;
    QString m_path;
    int m_writeTimeoutMs = 5000;
};

} // namespace kr52
