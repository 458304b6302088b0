// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/linklistener.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace kr52::virt {

namespace {

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

LinkListener::LinkListener(int readFd, int keeperFd, const QString &path)
    : m_fd(readFd), m_keeper(keeperFd), m_path(path),
      m_notifier(std::make_unique<QSocketNotifier>(readFd, QSocketNotifier::Read))
{
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &LinkListener::readAvailable);
}

LinkListener::~LinkListener()
{
    m_notifier.reset();
    if (m_keeper >= 0)
        ::close(m_keeper);
    ::close(m_fd);
}

std::unique_ptr<LinkListener> LinkListener::openPseudoTerminal(QString &error)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        error = QStringLiteral("Could not open a pseudo-terminal: %1").arg(systemReason());
        return nullptr;
    }
    const auto fail = [&](const QString &what) {
        error = what + QStringLiteral(": ") + systemReason();
        ::close(master);
        return nullptr;
    };
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return fail(QStringLiteral("Could not unlock a pseudo-terminal"));
    const char *name = ::ptsname(master);
    if (!name)
        return fail(QStringLiteral("Could not name a pseudo-terminal"));
    const QString path = QString::fromLocal8Bit(name);
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0)
        return fail(QStringLiteral("Could not open %1").arg(path));
    // Raw, so that the line passes every byte as it is (no LF to CR LF, no NUL or ESC handling).
    termios raw{};
    bool ready = ::tcgetattr(slave, &raw) == 0;
    if (ready) {
        ::cfmakeraw(&raw);
        ready = ::tcsetattr(slave, TCSANOW, &raw) == 0 &&
                ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) == 0;
    }
    if (!ready) {
        ::close(slave);
        return fail(QStringLiteral("Could not set up %1").arg(path));
    }
    return std::unique_ptr<LinkListener>(new LinkListener(master, slave, path));
}

std::unique_ptr<LinkListener> LinkListener::openFifo(const QString &path, QString &error)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkfifo(name.constData(), 0600) != 0 && errno != EEXIST) {
        error = QStringLiteral("Could not make the FIFO %1: %2").arg(path, systemReason());
        return nullptr;
    }
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || !S_ISFIFO(info.st_mode)) {
        error = QStringLiteral("Could not listen on %1: it exists and is not a FIFO").arg(path);
        return nullptr;
    }
    // Opened for writing too, so that the FIFO never reads as ended when the utility closes it.
    const int fd = ::open(name.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = QStringLiteral("Could not open the FIFO %1: %2").arg(path, systemReason());
        return nullptr;
    }
    return std::unique_ptr<LinkListener>(new LinkListener(fd, -1, path));
}

void LinkListener::readAvailable()
{
    // Reads at most a bounded amount per call, so that a writer that never stops cannot keep the
    // event loop from running; the notifier calls again for the rest.
    constexpr qsizetype perCall = qsizetype{64} * 1024;
    QByteArray bytes;
    while (bytes.size() < perCall) {
        char buffer[4096];
        const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
        if (count > 0) {
            bytes.append(buffer, count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            const QString reason = systemReason();
            m_notifier->setEnabled(false);
            if (!bytes.isEmpty())
                emit received(bytes);
            emit failed(QStringLiteral("Could not read from %1: %2").arg(m_path, reason));
            return;
        }
        break;
    }
    if (!bytes.isEmpty())
        emit received(bytes);
}

} // namespace kr52::virt
