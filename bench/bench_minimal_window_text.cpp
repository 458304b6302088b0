// SPDX-License-Identifier: GPL-3.0-or-later
// A second yardstick for bench_startup: the minimal window with one line of text. Any window that
// shows text loads the font configuration and rasterises glyphs; the plain minimal window never
// does, so this one tells how much of the main window's cost is text as such.

#include "bench_startup_probe.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    const auto mainStarted = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    kr52bench::FirstFrameProbe probe(mainStarted);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal window with text"));
    window.setFixedSize(443, 299);
    auto *label = new QLabel(QStringLiteral("Arvel KR52 Setup Utility"), &window);
    label->move(12, 12);
    probe.watch(&window);
    window.show();
    return QApplication::exec();
}
