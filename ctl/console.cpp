// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace kr52::ctl {

namespace {

// Writes the whole text, NUL bytes included; returns errno on failure, 0 on success.
int write(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) != size_t(bytes.size()) ||
        std::fflush(stream) != 0) {
        const int error = errno;
        std::clearerr(stream);
        return error != 0 ? error : EIO;
    }
    return 0;
}

} // namespace

StandardConsole::StandardConsole() : m_showsProgress(::isatty(STDERR_FILENO) == 1) {}

void StandardConsole::clearProgress()
{
    if (m_progressShown)
        write(stderr, QStringLiteral("\r\033[K"));
    m_progressShown = false;
}

void StandardConsole::out(const QString &line)
{
    clearProgress();
    if (const int error = write(stdout, line + QLatin1Char('\n')); error != 0 && m_outputFault.isEmpty())
        m_outputFault = QStringLiteral("Standard output could not be written: %1.")
                            .arg(QString::fromLocal8Bit(std::strerror(error)));
}

void StandardConsole::err(const QString &line)
{
    clearProgress();
    // Nothing is left to report a failure of standard error on.
    (void)write(stderr, line + QLatin1Char('\n'));
}

void StandardConsole::progress(const QString &target, int sent, int total)
{
    if (!m_showsProgress)
        return;
    (void)write(stderr, QStringLiteral("\r\033[K%1: %2 of %3 commands sent").arg(target).arg(sent).arg(total));
    m_progressShown = true;
}

} // namespace kr52::ctl
