// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/boundedfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kr52 {

namespace {

int systemOpen(const char *path, int flags)
{
    return ::open(path, flags);
}

OpenCall openCall = systemOpen;

QString systemReason(int error)
{
    return qt_error_string(error);
}

} // namespace

OpenCall setOpenCallForTests(OpenCall call)
{
    const OpenCall previous = openCall;
    openCall = call ? call : systemOpen;
    return previous;
}

OpenedFile openRegularFile(const QByteArray &path)
{
    // Non-blocking: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = openCall(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {nullptr, systemReason(errno)};
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        return {nullptr, systemReason(error)};
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return {nullptr, S_ISDIR(status.st_mode) ? QString(folderReason) : QString(notRegularFileReason)};
    }
    // A regular file never blocks; clearing the flag keeps reads plain for QFile.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {nullptr, file->errorString()};
    }
    return {std::move(file), {}};
}

FileContents readRegularFile(const QByteArray &path, qint64 maxBytes)
{
    OpenedFile opened = openRegularFile(path);
    if (!opened.file)
        return {{}, false, opened.error};
    // One byte past the bound tells a file of exactly maxBytes from a longer one.
    QByteArray bytes = opened.file->read(maxBytes + 1);
    if (opened.file->error() != QFileDevice::NoError)
        return {{}, false, opened.file->errorString()};
    if (bytes.size() > maxBytes)
        return {{}, true, {}};
    return {std::move(bytes), false, {}};
}

} // namespace kr52
