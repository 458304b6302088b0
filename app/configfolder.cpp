// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/configfolder.h"

#include <QDir>
#include <QtGlobal>

namespace kr52 {

QString configFolder()
{
    // A relative XDG_CONFIG_HOME is invalid and is ignored, as other desktop programs do.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!base.startsWith(QLatin1Char('/')))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/kr52-config");
}

} // namespace kr52
