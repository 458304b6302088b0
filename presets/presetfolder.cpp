// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/presetfolder.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace kr52 {

namespace {

struct DirCloser {
    void operator()(DIR *dir) const { ::closedir(dir); }
};

bool isPresetName(const QByteArray &name)
{
    return !name.startsWith('.') && name.size() > 4 && name.right(4).toLower() == ".pre";
}

} // namespace

QString presetFolder(const QString &programDir)
{
    return programDir + QStringLiteral("/Presets");
}

QString presetDisplayName(const QByteArray &fileName)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString name = utf8.decode(fileName);
    if (!utf8.hasError())
        return name;
    QStringDecoder windows1252("windows-1252");
    return windows1252.isValid() ? QString(windows1252.decode(fileName)) : QString::fromLatin1(fileName);
}

PresetFolderListing listPresetFiles(const QString &folder)
{
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(QFile::encodeName(folder).constData()));
    const int folderFd = dir ? ::dirfd(dir.get()) : -1;
    if (folderFd < 0)
        return {false, {}, {}, qt_error_string(errno)};

    struct Entry {
        QString name;
        QByteArray fileName;
    };
    QList<Entry> entries;
    errno = 0;
    while (const dirent *entry = ::readdir(dir.get())) {
        const QByteArray fileName(entry->d_name);
        struct stat target {};
        // Follows links: only what the name finally leads to counts.
        if (isPresetName(fileName) && ::fstatat(folderFd, entry->d_name, &target, 0) == 0 && S_ISREG(target.st_mode))
            entries.append({presetDisplayName(fileName), fileName});
        errno = 0;
    }
    if (errno != 0)
        return {false, {}, {}, qt_error_string(errno)};

    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        const int order = a.name.compare(b.name, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.fileName < b.fileName;
    });
    PresetFolderListing listing{true, {}, {}, {}};
    for (const Entry &entry : entries) {
        listing.names.append(entry.name);
        listing.fileNames.append(entry.fileName);
    }
    return listing;
}

} // namespace kr52
