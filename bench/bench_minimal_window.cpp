// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for bench_startup: a plain QWidget of the main window's size, built and measured
// the same way.

#include "bench_startup_probe.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    const auto mainStarted = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    kr52bench::FirstFrameProbe probe(mainStarted);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal window"));
    window.setFixedSize(443, 299);
    probe.watch(&window);
    window.show();
    return QApplication::exec();
}
