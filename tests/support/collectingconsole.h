// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ctl/console.h"

#include <QStringList>

namespace testsupport {

// kr52ctl's console for tests that run it in their own process: it keeps each line it would
// print, and draws no progress.
class CollectingConsole : public kr52::ctl::Console {
public:
    void out(const QString &line) override { outLines.append(line); }
    void err(const QString &line) override { errLines.append(line); }
    void progress(const QString &, int, int) override {}

    QStringList outLines;
    QStringList errLines;
};

} // namespace testsupport
