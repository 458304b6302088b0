// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/presetmessages.h"

namespace kr52 {

QString incorrectPresetTitle()
{
    return QStringLiteral("Incorrect Preset File");
}

QString incorrectPresetText(const QString &fileName)
{
    return QStringLiteral("The preset '") + fileName +
           QStringLiteral(
               "' does not appear to be a preset file.\n"
               "  This may be a corrupt file or it may require a more revent version of the Arvel KR86 Setup utility.");
}

QString corruptPresetText()
{
    return QStringLiteral("Corrupt preset file");
}

QString unreadablePresetText(const QString &path, const QString &reason)
{
    return QStringLiteral("The preset file '%1' could not be read.\n%2").arg(path, reason);
}

QString unreadablePresetFolderText(const QString &folder, const QString &reason)
{
    return QStringLiteral("The presets folder '%1' could not be read.\n%2").arg(folder, reason);
}

} // namespace kr52
