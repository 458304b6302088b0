// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kr52 {

// The folder of preset files inside the program's own folder.
[[nodiscard]] QString presetFolder(const QString &programDir);

struct PresetFolderListing {
    bool readable = false;
    QStringList names;           // the "*.pre" files as shown, names only, sorted
    QList<QByteArray> fileNames; // the same files as the system names them, in the same order
    QString error;               // when not readable: the system's reason
};

// Lists the preset files of a folder: names ending in ".pre" in any case whose target, after
// following links, is a regular file (a FIFO or a device would stall or never end), hidden ones
// left out, sorted by name whatever the case. Names are 8-bit text: one that is not UTF-8 is shown
// decoded as Windows-1252 and opened by its bytes.
[[nodiscard]] PresetFolderListing listPresetFiles(const QString &folder);

// A file name as the system gives it, as the list shows it.
[[nodiscard]] QString presetDisplayName(const QByteArray &fileName);

} // namespace kr52
