// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/console.h"
#include "ctl/ctl.h"
#include "version.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kr52ctl"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(kr52::versionMajor).arg(kr52::versionMinor).arg(kr52::versionRevision));
    kr52::ctl::StandardConsole console;
    return kr52::ctl::run(QCoreApplication::arguments(), console);
}
