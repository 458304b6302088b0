// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/commands.h"

namespace kr52 {

namespace {
constexpr char ESC = 27;
constexpr char LF = 10;
constexpr char NUL = 0;
} // namespace

QByteArray switchCommand(char operation, QByteArrayView switchId, QByteArrayView mask)
{
    QByteArray command;
    command.reserve(4 + switchId.size() + mask.size());
    command.append(ESC).append('#').append(switchId).append(operation).append(mask);
    // The NUL belongs to the command: append it as a byte so the length counts it.
    command.append(LF).append(NUL);
    return command;
}

QByteArray setSwitchBitsCommand(QByteArrayView switchId, QByteArrayView mask)
{
    return switchCommand('+', switchId, mask);
}

QByteArray clearSwitchBitsCommand(QByteArrayView switchId, QByteArrayView mask)
{
    return switchCommand('-', switchId, mask);
}

QByteArray selfTestCommand()
{
    QByteArray command;
    command.append(ESC).append('?').append(LF).append(NUL);
    return command;
}

} // namespace kr52
