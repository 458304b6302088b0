// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/appinfo.h"
#include "app/commandline.h"
#include "app/datafolder.h"
#include "printer/heldports.h"
#include "shell/frmMain.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("kr52-config"));
    QApplication::setApplicationVersion(kr52::versionText());

    // The window takes only --profile; --help and --version are answered before any display is needed.
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Configures the KR52 thermal printer's memory switches over a serial port or a parallel/USB "
                       "printer device."));
    kr52::addStandardOptions(options);
    kr52::addProfileOption(options);
    if (const kr52::CommandLineOutcome outcome = kr52::readCommandLine(options, kr52::argumentList(argc, argv));
        !outcome.carryOn)
        return kr52::finish(outcome);
    if (const QString reason = kr52::missingDisplayReason(options); !reason.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(reason));
        return 1;
    }

    // Interrupted mid-send, the port is released before the program ends.
    kr52::releasePortsOnSignals();
    kr52::WindowStartWatch startWatch;
    QApplication app(argc, argv);
    startWatch.end();
    QApplication::setDesktopFileName(QString::fromLatin1(kr52::applicationId));
    // Hidden dialogs do not keep the program alive: closing the main window ends it.
    QApplication::setQuitOnLastWindowClosed(true);
    // The settings pages are built once the window is on screen, so that it appears sooner.
    frmMain window(kr52::dataFolder(QCoreApplication::applicationDirPath()), nullptr,
                   frmMain::SettingsPages::AfterFirstFrame);
    // A profile that cannot be taken is said before the window shows, which then starts as usual.
    if (const std::optional<QString> profile = kr52::profileToOpen(options))
        window.openProfile(*profile);
    window.show();
    return QApplication::exec();
}
