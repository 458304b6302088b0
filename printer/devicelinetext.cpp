// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/devicelinetext.h"

namespace kr52 {

namespace {

QString originText(const QString &portName, DeviceOrigin origin)
{
    switch (origin) {
    case DeviceOrigin::Default:
        return QStringLiteral("(default)");
    case DeviceOrigin::Remembered:
        return QStringLiteral("(chosen)");
    case DeviceOrigin::Environment:
        return QStringLiteral("(set by %1 for this run)").arg(overrideVariableFor(portName));
    }
    return {};
}

QString stateText(const DeviceMapping &mapping, const DeviceStatus &status)
{
    switch (status.state) {
    case DeviceState::Ready:
        return status.reason.isEmpty() ? QStringLiteral("Present and ready.")
                                       : QStringLiteral("Present. ") + status.reason;
    case DeviceState::Missing:
        // A chosen device that has gone away: the operator may want the default back.
        return mapping.origin == DeviceOrigin::Remembered
                   ? QStringLiteral("Missing: plug it in, or choose another device or the default.")
                   : QStringLiteral("Missing.");
    case DeviceState::NoPermission:
        return status.group.isEmpty()
                   ? QStringLiteral("No permission to use it.")
                   : QStringLiteral("No permission: join the group \"%1\" and log in again.").arg(status.group);
    case DeviceState::InUse:
        return status.holder.isEmpty() ? QStringLiteral("In use by another program.")
                                       : QStringLiteral("In use by %1.").arg(status.holder);
    case DeviceState::Unusable:
        return status.reason;
    }
    return {};
}

} // namespace

QString deviceStateText(const DeviceMapping &mapping, const DeviceStatus &status)
{
    return stateText(mapping, status);
}

QString deviceLineText(const QString &portName, const DeviceMapping &mapping, const DeviceStatus &status)
{
    return QStringLiteral("%1 is %2 %3. %4")
        .arg(portName, mapping.path, originText(portName, mapping.origin), stateText(mapping, status));
}

} // namespace kr52
