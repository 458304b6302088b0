// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kr52 {

// A program that holds a device.
struct PortHolder {
    qint64 pid = 0;  // 0 when only a lock that cannot be judged shows it (see lockFile)
    QString program; // from /proc/PID/comm; empty when it cannot be read
    // A lock that cannot be judged, in words: "the lock file /run/lock/LCK..ttyS0 is a FIFO,
    // not a lock file"; empty otherwise.
    QString lockFile;
};

// Who holds the device: a live standard lock file for it or for the target of its symlink
// (the PID as ASCII text or as a 4-byte binary number), or else an flock held by another
// process. Nothing when it looks free. Looks only: stale locks stay where they are.
[[nodiscard]] std::optional<PortHolder> findPortHolder(const QString &devicePath);

// "The device is in use by minicom (PID 1234)."; without a known holder, "The device is in use
// by another program.", and for a lock that cannot be judged, "The device is in use by another
// program: the lock file /run/lock/LCK..ttyS0 cannot be read."
[[nodiscard]] QString describeBusyDevice(const std::optional<PortHolder> &holder);

// A device opened for one printer action, or why it could not be.
struct OpenedDevice {
    int fd = -1;
    QString failure; // the reason in words when fd is -1
};

// What a device is opened as: a refusal of a serial line that names no holder comes from its
// exclusive mode, and says so.
enum class DeviceUse { Printer, SerialLine };

// "The port is held in exclusive mode by another program."
[[nodiscard]] QString describeExclusiveHolder();

// Opens the device at path with flags and takes flock(LOCK_EX | LOCK_NB) on it, which goes with
// the descriptor when it is closed. A device that another process holds (by flock, or by the
// terminal's exclusive mode) gives a reason naming the holder where it is known; any other
// failure is worded for portName by describeOpenFailure.
[[nodiscard]] OpenedDevice openLockedDevice(const QString &portName, const QString &path, int flags,
                                            DeviceUse use = DeviceUse::Printer);

// Holds a serial device for one printer action the way other programs expect: a standard lock
// file of our own, released by release(), by the destructor and, should the program exit with
// a port open, at exit.
class PortLock {
public:
    PortLock() = default;
    ~PortLock() { release(); }
    PortLock(const PortLock &) = delete;
    PortLock &operator=(const PortLock &) = delete;

    // Before the device is opened: a live lock file for it means busy and gives the reason in
    // words, naming its holder; a stale one (its process is gone, or it names none) is removed
    // where allowed and otherwise ignored. Then makes our own lock file. Empty when the device
    // may be opened.
    [[nodiscard]] QString claimLockFile(const QString &devicePath);

    // Removes our lock file.
    void release() noexcept;

private:
    QString m_lockFile;
};

} // namespace kr52
