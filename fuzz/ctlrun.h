// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the harnesses that run kr52ctl in their own process share: the test support's console,
// which keeps each line kr52ctl would print, and the check that a printed line is safe to show.
#include "support/collectingconsole.h"

#include <QString>

namespace kr52::fuzz {

using testsupport::CollectingConsole;

// Whether line holds no control character and no half of a character.
[[nodiscard]] inline bool shownWhole(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
        if (c.isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

} // namespace kr52::fuzz
