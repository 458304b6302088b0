// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/console.h"

#include <cstdio>
#include <unistd.h>

namespace kr52::ctl {

namespace {

void write(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
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
    write(stdout, line + QLatin1Char('\n'));
}

void StandardConsole::err(const QString &line)
{
    clearProgress();
    write(stderr, line + QLatin1Char('\n'));
}

void StandardConsole::progress(const QString &target, int sent, int total)
{
    if (!m_showsProgress)
        return;
    write(stderr, QStringLiteral("\r\033[K%1: %2 of %3 commands sent").arg(target).arg(sent).arg(total));
    m_progressShown = true;
}

} // namespace kr52::ctl
