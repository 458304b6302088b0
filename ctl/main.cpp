// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/appinfo.h"
#include "ctl/console.h"
#include "ctl/ctl.h"
#include "ctl/messages.h"
#include "printer/heldports.h"

#include <QCoreApplication>

#include <csignal>

int main(int argc, char *argv[])
{
    // A reader that goes away (kr52ctl ... | head -1) must not end a run part-way through a
    // fleet; the failed writes are reported at the end instead.
    std::signal(SIGPIPE, SIG_IGN);
    // Interrupted mid-send, the port is released before the program ends.
    kr52::releasePortsOnSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kr52ctl"));
    QCoreApplication::setApplicationVersion(kr52::versionText());
    kr52::ctl::StandardConsole console;
    // The arguments as the system gave them, so that a file name that is not UTF-8 still opens.
    return kr52::ctl::run(kr52::ctl::argumentsFrom(argc, argv), console);
}
