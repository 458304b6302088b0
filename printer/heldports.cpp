// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/heldports.h"

#include "printer/nativepath.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/ioctl.h>
#include <unistd.h>

namespace kr52 {

namespace {

// Fixed slots filled on the main thread and read by the handlers: a slot is used only once its
// flag is set, and the flag is cleared before the slot is reused, so a handler never reads half
// a path. The real system calls are used on purpose: they run after a test's replacements are
// gone, and from a signal handler.
constexpr std::size_t slotCount = 8;
constexpr std::size_t textSize = 512;

struct LockSlot {
    std::atomic<bool> used{false};
    std::array<char, textSize> path{};
};

struct PortSlot {
    std::atomic<bool> used{false};
    std::atomic<int> fd{-1};
    std::atomic<bool> exclusive{false};
    std::atomic<int> textsWritten{0};
    std::array<char, textSize> description{};
};

std::array<LockSlot, slotCount> lockSlots;
std::array<PortSlot, slotCount> portSlots;

bool copyInto(std::array<char, textSize> &target, const QByteArray &text)
{
    if (text.size() >= qsizetype(textSize))
        return false;
    std::memcpy(target.data(), text.constData(), size_t(text.size()) + 1);
    return true;
}

PortSlot *portSlotFor(int fd)
{
    for (PortSlot &slot : portSlots) {
        if (slot.used && slot.fd == fd)
            return &slot;
    }
    return nullptr;
}

// Async-signal-safe: only ioctl, close and unlink.
void releaseEverything() noexcept
{
    for (PortSlot &slot : portSlots) {
        if (!slot.used)
            continue;
        if (slot.exclusive)
            ::ioctl(slot.fd, TIOCNXCL);
        ::close(slot.fd);
        slot.used = false;
    }
    for (LockSlot &slot : lockSlots) {
        if (slot.used)
            ::unlink(slot.path.data());
        slot.used = false;
    }
}

void registerExitHandler()
{
    static const bool registered = std::atexit(releaseEverything) == 0;
    Q_UNUSED(registered);
}

void writeText(const char *text) noexcept
{
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, text, left);
        if (written <= 0)
            return;
        text += written;
        left -= std::size_t(written);
    }
}

void writeNumber(int number) noexcept
{
    char digits[16];
    int at = int(sizeof digits) - 1;
    digits[at] = '\0';
    do {
        digits[--at] = char('0' + number % 10);
        number /= 10;
    } while (number > 0 && at > 0);
    writeText(digits + at);
}

const char *signalName(int signalNumber) noexcept
{
    switch (signalNumber) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    default:
        return "SIGHUP";
    }
}

// "kr52ctl: stopped by SIGTERM while sending to COM1: (/dev/ttyS0); 3 texts had been written to
// the port, the printer may hold only part of what was meant for it. The port was released."
void reportInterruptedSends(int signalNumber) noexcept
{
    for (const PortSlot &slot : portSlots) {
        if (!slot.used)
            continue;
        writeText(program_invocation_short_name);
        writeText(": stopped by ");
        writeText(signalName(signalNumber));
        writeText(" while sending to ");
        writeText(slot.description.data());
        const int written = slot.textsWritten;
        if (written == 0) {
            writeText("; nothing had been written to the port. The port was released.\n");
            continue;
        }
        writeText("; ");
        writeNumber(written);
        writeText(written == 1 ? " command had" : " commands had");
        writeText(" been written to the port, so the printer may hold only part of what was meant for it. "
                  "The port was released.\n");
    }
}

extern "C" void releaseAndEnd(int signalNumber)
{
    const int savedErrno = errno;
    reportInterruptedSends(signalNumber);
    releaseEverything();
    // End as the signal would have, so the parent sees which signal it was.
    std::signal(signalNumber, SIG_DFL);
    errno = savedErrno;
    ::raise(signalNumber);
}

} // namespace

void holdLockFile(const QString &path)
{
    registerExitHandler();
    for (LockSlot &slot : lockSlots) {
        if (!slot.used && copyInto(slot.path, nativePath(path))) {
            slot.used = true;
            return;
        }
    }
}

void forgetLockFile(const QString &path) noexcept
{
    const QByteArray bytes = nativePath(path);
    for (LockSlot &slot : lockSlots) {
        if (slot.used && bytes == slot.path.data())
            slot.used = false;
    }
}

bool isLockFileHeld(const QString &path)
{
    const QByteArray bytes = nativePath(path);
    for (const LockSlot &slot : lockSlots) {
        if (slot.used && bytes == slot.path.data())
            return true;
    }
    return false;
}

void holdDescriptor(int fd, const QString &description)
{
    registerExitHandler();
    for (PortSlot &slot : portSlots) {
        if (slot.used)
            continue;
        if (!copyInto(slot.description, nativePath(description)))
            copyInto(slot.description, QByteArrayLiteral("the port"));
        slot.fd = fd;
        slot.exclusive = false;
        slot.textsWritten = 0;
        slot.used = true;
        return;
    }
}

void markExclusive(int fd, bool exclusive) noexcept
{
    if (PortSlot *slot = portSlotFor(fd))
        slot->exclusive = exclusive;
}

void countTextWritten(int fd) noexcept
{
    if (PortSlot *slot = portSlotFor(fd))
        ++slot->textsWritten;
}

void forgetDescriptor(int fd) noexcept
{
    if (PortSlot *slot = portSlotFor(fd))
        slot->used = false;
}

void releasePortsOnSignals()
{
    registerExitHandler();
    struct sigaction action {};
    action.sa_handler = releaseAndEnd;
    sigemptyset(&action.sa_mask);
    // One handler at a time: a second signal waits until the first has released everything.
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&action.sa_mask, signalNumber);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signalNumber, &action, nullptr);
}

} // namespace kr52
