// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

namespace kr52 {

// A failure on the printer link, with the port, the device path and the system's reason already
// put into words for the operator. Thrown by the link and caught once per printer action.
class PrinterError : public std::runtime_error {
public:
    explicit PrinterError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    [[nodiscard]] const QString &message() const { return m_message; }

private:
    QString m_message;
};

} // namespace kr52
