// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/outputfile.h"

#include "ctl/messages.h"
#include "printer/printererror.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kr52::ctl {

OutputFileLink::~OutputFileLink()
{
    discard();
}

void OutputFileLink::fail(const QString &what, int errorNumber)
{
    discard();
    throw PrinterError(QStringLiteral("The file \"%1\" could not be written (%2): %3.")
                           .arg(visible(m_path), what, QString::fromLocal8Bit(std::strerror(errorNumber))));
}

void OutputFileLink::open()
{
    const QByteArray path = pathBytes(m_path);
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
    m_temporaryPath = folder + "/." + path.mid(slash + 1) + ".XXXXXX";
    m_fd = ::mkostemp(m_temporaryPath.data(), O_CLOEXEC);
    if (m_fd < 0) {
        const int error = errno;
        m_temporaryPath.clear();
        fail(QStringLiteral("creating a file in its folder"), error);
    }
    // A new file gets the permissions any new file gets; a replaced one keeps its own.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(path.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(m_fd, mode) != 0)
        fail(QStringLiteral("setting its permissions"), errno);
}

void OutputFileLink::send(const QByteArray &text, const SendLimit &)
{
    qsizetype written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(m_fd, text.constData() + written, size_t(text.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail(QStringLiteral("writing"), errno);
        written += n;
    }
}

void OutputFileLink::close(const SendLimit &)
{
    if (::fsync(m_fd) != 0)
        fail(QStringLiteral("writing"), errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        m_fd = -1;
        fail(QStringLiteral("writing"), errno);
    }
    if (::rename(m_temporaryPath.constData(), pathBytes(m_path).constData()) != 0)
        fail(QStringLiteral("replacing it"), errno);
    m_temporaryPath.clear();
}

QDeadlineTimer OutputFileLink::actionDeadline(qsizetype) const
{
    return QDeadlineTimer(QDeadlineTimer::Forever);
}

void OutputFileLink::discard() noexcept
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporaryPath.isEmpty())
        ::unlink(m_temporaryPath.constData());
    m_temporaryPath.clear();
}

QString OutputFileLink::description() const
{
    return QStringLiteral("file %1").arg(visible(m_path));
}

QString replaceFile(const QString &path, const QByteArray &bytes)
{
    OutputFileLink file(path);
    try {
        file.open();
        const SendLimit noLimit{QDeadlineTimer(QDeadlineTimer::Forever)};
        file.send(bytes, noLimit);
        file.close(noLimit);
    } catch (const PrinterError &error) {
        return error.message();
    }
    return {};
}

} // namespace kr52::ctl
