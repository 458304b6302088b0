// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace kr52 {

// The standard lock files for devices: "LCK..<name>" in a lock folder, holding the owner's PID.

// Where lock files are looked for and made: /run/lock and /var/lock unless replaced (tests point
// it at a folder of their own).
[[nodiscard]] QStringList lockDirectories();
void setLockDirectories(const QStringList &directories);

// The lock folders that exist, each once (/var/lock is often a link to /run/lock).
[[nodiscard]] QStringList existingLockDirectories();

struct LockFileState {
    QString path;
    std::optional<qint64> owner; // set when the file names a live process
};

// Every lock file present for the device, under its own name, its symlink target's name and,
// for a device in a folder under /dev, the "pts_3" form; the PID may be ASCII text or a 4-byte
// binary number.
[[nodiscard]] QList<LockFileState> lockFilesFor(const QString &devicePath);

// The name of our own lock for the device, after its real (symlink-resolved) name; empty when
// the device does not exist.
[[nodiscard]] QString ownLockName(const QString &devicePath);

// Makes a lock file at path holding this process's PID in the standard ASCII form (ten
// characters and a newline), failing if one is there. Returns false with errno when it cannot.
[[nodiscard]] bool makeLockFile(const QString &path);

} // namespace kr52
