// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the real main window, built as kr52-config builds it: time to its first frame and
// peak memory (see bench/run).

#include "bench_startup_probe.h"
#include "shell/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    const auto mainStarted = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    kr52bench::FirstFrameProbe probe(mainStarted);
    frmMain window(QCoreApplication::applicationDirPath(), nullptr, frmMain::SettingsPages::AfterFirstFrame);
    probe.watch(&window);
    window.show();
    return QApplication::exec();
}
