// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/pseudoterminal.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal(Start start)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return;
    m_path = QString::fromLocal8Bit(::ptsname(m_master));
    m_slaveKeeper = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (start == Start::Raw) {
        termios raw{};
        ::tcgetattr(m_slaveKeeper, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slaveKeeper, TCSANOW, &raw);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal()
{
    if (m_slaveKeeper >= 0)
        ::close(m_slaveKeeper);
    if (m_master >= 0)
        ::close(m_master);
}

QByteArray PseudoTerminal::readAll(int settleMs)
{
    QByteArray received;
    pollfd waitFor{m_master, POLLIN, 0};
    while (::poll(&waitFor, 1, settleMs) > 0) {
        char buffer[4096];
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count <= 0)
            break;
        received.append(buffer, count);
    }
    return received;
}

void PseudoTerminal::stopOutput()
{
    ::tcflow(m_slaveKeeper, TCOOFF);
}

void PseudoTerminal::resumeOutput()
{
    ::tcflow(m_slaveKeeper, TCOON);
}

void PseudoTerminal::hangUp()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
