// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/profilefolder.h"

#include "app/configfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace kr52 {

namespace {

const QString folderKey = QStringLiteral("profiles/folder");

} // namespace

QString profileSettingsFile()
{
    return configFolder() + QStringLiteral("/kr52-config.conf");
}

QString profileFolder()
{
    const QString file = profileSettingsFile();
    const QString folder =
        QFileInfo::exists(file) ? QSettings(file, QSettings::IniFormat).value(folderKey).toString() : QString();
    return folder.startsWith(QLatin1Char('/')) && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

QString rememberProfileFolder(const QString &folder)
{
    const QString file = profileSettingsFile();
    if (!QDir().mkpath(configFolder()))
        return QStringLiteral("The folder %1 could not be made.").arg(configFolder());
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() == QSettings::NoError) {
        settings.setValue(folderKey, folder);
        settings.sync();
    }
    if (settings.status() == QSettings::NoError)
        return {};
    return settings.status() == QSettings::FormatError
               ? QStringLiteral("%1 is not a settings file this program can read.").arg(file)
               : QStringLiteral("%1 could not be written.").arg(file);
}

} // namespace kr52
