// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/values.h"

#include "ctl/messages.h"
#include "settings/catalogue.h"

#include <cmath>
#include <cstdlib>

namespace kr52::ctl {

QString cutOffsetRefusal(const QString &origin, const QString &text)
{
    return QStringLiteral("%1: the cut offset \"%2\" is not a number of millimetres from -29.9 to 29.9 (such as "
                          "-1.5 or 12)")
        .arg(origin, visible(text));
}

QString cutOffsetText(int tenths)
{
    return QStringLiteral("%1%2.%3")
        .arg(tenths < 0 ? QStringLiteral("-") : QString())
        .arg(std::abs(tenths) / 10)
        .arg(std::abs(tenths) % 10);
}

} // namespace kr52::ctl
