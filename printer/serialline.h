// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/serialsettings.h"

#include <QString>

#include <optional>

namespace kr52 {

// What a terminal's settings say the line runs with, read back from the driver.
struct LineParameters {
    qint32 baudRate = 0;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
};

// Reads the terminal's settings; nothing, with errno set, when fd is not a terminal.
[[nodiscard]] std::optional<LineParameters> readLineParameters(int fd);

// The outcome of configuring a line: the system's error number when the driver refused, or the
// first setting the line does not run with, in words naming it; both empty on success.
struct LineSetup {
    int errorNumber = 0;
    QString notTaken;
    [[nodiscard]] bool succeeded() const { return errorNumber == 0 && notTaken.isEmpty(); }
};

// Puts the terminal in raw mode with the given settings, no flow control and the receiver on,
// at any baud rate the driver takes (not only the standard ones), then reads back what the
// line really runs with.
[[nodiscard]] LineSetup configureLine(int fd, const SerialSettings &settings);

// Waits until the line has sent what is queued (the shift register included).
[[nodiscard]] bool drainLine(int fd);

// Bytes the driver still holds to send; nothing, with errno set, when it cannot tell.
[[nodiscard]] std::optional<int> queuedOutput(int fd);

// Exclusive mode: no other open of the terminal succeeds (except for root) until it is cleared.
[[nodiscard]] bool setExclusive(int fd, bool exclusive);
// Whether the terminal is in exclusive mode; nothing, with errno set, when it cannot tell.
[[nodiscard]] std::optional<bool> isExclusive(int fd);

} // namespace kr52
