// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/appinfo.h"
#include "ctl/console.h"
#include "ctl/ctl.h"
#include "printer/heldports.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    // Interrupted mid-send, the port is released before the program ends.
    kr52::releasePortsOnSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kr52ctl"));
    QCoreApplication::setApplicationVersion(kr52::versionText());
    kr52::ctl::StandardConsole console;
    return kr52::ctl::run(QCoreApplication::arguments(), console);
}
