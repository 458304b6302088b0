// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace kr52 {

// The memory-switch command: ESC "#", switch, "+" or "-", mask, LF, NUL. Neither text is checked
// or changed: a caller that passes a longer or shorter text gets it into the command as it is.
[[nodiscard]] QByteArray switchCommand(char operation, QByteArrayView switchId, QByteArrayView mask);
[[nodiscard]] QByteArray setSwitchBitsCommand(QByteArrayView switchId, QByteArrayView mask);
[[nodiscard]] QByteArray clearSwitchBitsCommand(QByteArrayView switchId, QByteArrayView mask);

// The self-test command: ESC "?", LF, NUL.
[[nodiscard]] QByteArray selfTestCommand();

} // namespace kr52
