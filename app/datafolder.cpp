// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/datafolder.h"

#include <QDir>
#include <QFileInfo>

namespace kr52 {

QString dataFolder(const QString &programDir)
{
    const QDir program(programDir);
    const bool holdsData = QFileInfo(program.filePath(QStringLiteral("help"))).isDir() &&
                           QFileInfo(program.filePath(QStringLiteral("Presets"))).isDir();
    if (holdsData)
        return QDir::cleanPath(program.absolutePath());
    // The install step computes this from the program folder to the data folder.
    return QDir::cleanPath(program.absoluteFilePath(QStringLiteral(KR52_DATA_FROM_PROGRAM)));
}

} // namespace kr52
