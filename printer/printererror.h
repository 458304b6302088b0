// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

namespace kr52 {

// A failure on the printer link, with the port, the device path and the system's reason already
// put into words for the operator. Thrown by the link and caught once per printer action.
class PrinterError : public std::runtime_error {
public:
    explicit PrinterError(const QString &message, bool commandInDoubt = false)
        : std::runtime_error(message.toStdString()), m_message(message), m_commandInDoubt(commandInDoubt)
    {
    }
    [[nodiscard]] const QString &message() const { return m_message; }
    // The failing text went to the port, wholly or in part, but may not have reached the printer.
    [[nodiscard]] bool commandInDoubt() const { return m_commandInDoubt; }

private:
    QString m_message;
    bool m_commandInDoubt = false;
};

} // namespace kr52
