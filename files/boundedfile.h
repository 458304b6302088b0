// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QLatin1StringView>
#include <QString>

#include <memory>

namespace kr52 {

// Files that come from beside the program (help pages, presets) are opened one way: read-only and
// non-blocking, so a FIFO or a device never stalls the window; after following links, anything
// but a regular file is refused; and reads stop at a bound the caller gives.

// The reason given for a FIFO, a device, a socket and the like.
inline constexpr QLatin1StringView notRegularFileReason("not a regular file");
// The reason given for a folder.
inline constexpr QLatin1StringView folderReason("It is a folder, not a file.");

struct OpenedFile {
    std::unique_ptr<QFile> file; // open for reading; null on failure
    QString error;               // on failure: the system's reason, or one of the reasons above
};

// Opens the file at path, given as the bytes the system names it by.
[[nodiscard]] OpenedFile openRegularFile(const QByteArray &path);

struct FileContents {
    QByteArray bytes;
    bool tooLarge = false; // the file holds more than the bound; bytes is empty
    QString error;         // the reason it could not be opened or read; empty on success
};

// Reads the whole file at path when it holds at most maxBytes.
[[nodiscard]] FileContents readRegularFile(const QByteArray &path, qint64 maxBytes);

// Tests reproduce failures they cannot cause otherwise (as root every file is readable) by
// replacing the system call that opens a file; it returns a descriptor, or -1 with errno set.
using OpenCall = int (*)(const char *path, int flags);
// Installs call (nullptr restores the system's) and returns the one it replaces.
OpenCall setOpenCallForTests(OpenCall call);

} // namespace kr52
