// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/parity.h"

#include <QString>

#include <optional>

namespace kr52 {

enum class StopBits { One, OneAndHalf, Two };

// The serial control's settings text, "baud,parity,data,stop" such as "9600,n,8,1".
struct SerialSettings {
    qint32 baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8; // 5 to 8
    StopBits stopBits = StopBits::One;
};

struct SerialSettingsResult {
    std::optional<SerialSettings> settings;
    QString error; // which field is wrong and what is allowed; empty when settings is set
};

// Strict: a positive whole baud rate, parity n/e/o/m/s, data bits 5 to 8, stop bits 1, 1.5 or 2.
// Fields may carry blanks around them; nothing else is accepted.
[[nodiscard]] SerialSettingsResult parseSerialSettings(const QString &text);

// The stop bits as the settings text writes them: "1", "1.5" or "2".
[[nodiscard]] QString stopBitsText(StopBits stopBits);

} // namespace kr52
