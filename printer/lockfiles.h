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

// The folders of links that name a serial device by its adapter or its socket
// (/dev/serial/by-id and /dev/serial/by-path unless replaced): a lock may carry a link's name.
[[nodiscard]] QStringList deviceLinkDirectories();
void setDeviceLinkDirectories(const QStringList &directories);

struct LockFileState {
    QString path;
    std::optional<qint64> owner; // set when the file names a live process
    // Set when something is in the lock's place that cannot be judged (not a regular file, or
    // a file this user may not read): in words, "cannot be read", "is a FIFO, not a lock file".
    // Such a lock counts as held by another program and is never opened, followed or removed.
    QString problem;
    [[nodiscard]] bool held() const { return owner.has_value() || !problem.isEmpty(); }
};

// Every lock present for the device, under its own name, its symlink target's name, the name of
// every by-id or by-path link to it and, for a device in a folder under /dev, the "pts_3" form;
// the PID may be ASCII text or a 4-byte binary number. Looks without waiting: a lock path is
// examined with lstat, and only a regular file is opened (never following a link) and read,
// with a small bound.
[[nodiscard]] QList<LockFileState> lockFilesFor(const QString &devicePath);

// The name of our own lock for the device, after its real (symlink-resolved) name; empty when
// the device does not exist.
[[nodiscard]] QString ownLockName(const QString &devicePath);

// Makes a lock file at path holding this process's PID in the standard ASCII form (ten
// characters and a newline), failing if one is there. Returns false with errno when it cannot.
[[nodiscard]] bool makeLockFile(const QString &path);

} // namespace kr52
