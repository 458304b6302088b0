#pragma once

#include <QString>
#include <QStringList>

namespace kr52 {

// The folder of preset files inside the program's own folder.
[[nodiscard]] QString presetFolder(const QString &programDir);

struct PresetFolderListing {
    bool readable = false;
    QStringList names; // the "*.pre" files, names only, sorted
    QString error;     // when not readable: the system's reason
};

// Lists the preset files of a folder: plain files whose names end in ".pre" in any case, hidden
// ones left out, as the file list of the presets dialog shows them.
[[nodiscard]] PresetFolderListing listPresetFiles(const QString &folder);

} // namespace kr52
