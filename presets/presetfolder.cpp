#include "presets/presetfolder.h"

#include <QDir>
#include <QFile>

#include <filesystem>
#include <system_error>

namespace kr52 {

QString presetFolder(const QString &programDir)
{
    return programDir + QStringLiteral("/Presets");
}

PresetFolderListing listPresetFiles(const QString &folder)
{
    // QDir gives an empty list for a folder it cannot read; opening it first tells why.
    std::error_code error;
    const std::filesystem::directory_iterator probe(QFile::encodeName(folder).toStdString(), error);
    if (error)
        return {false, {}, QString::fromStdString(error.message())};
    const QDir dir(folder, QStringLiteral("*.pre"), QDir::Name | QDir::IgnoreCase, QDir::Files);
    return {true, dir.entryList(), {}};
}

} // namespace kr52
