// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick bench/run holds bench_startup to: a bare tabbed Qt window. A plain window of the
// main window's size with a tab control of the same size and the same five pages, each holding
// one label, built and measured the same way and using nothing of the project's.

#include "bench_startup_probe.h"

#include <QApplication>
#include <QLabel>
#include <QTabWidget>

int main(int argc, char *argv[])
{
    const auto mainStarted = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    kr52bench::FirstFrameProbe probe(mainStarted);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tabbed window"));
    window.setFixedSize(443, 299);
    auto *tabs = new QTabWidget(&window);
    tabs->setGeometry(4, 4, 437, 293);
    for (const char *caption : {"&Main", "&General", "C&haracters", "&Tickets", "&Alignment"}) {
        auto *page = new QWidget;
        auto *label =
            new QLabel(QStringLiteral("Page %1").arg(QString::fromLatin1(caption).remove(QLatin1Char('&'))), page);
        label->move(12, 12);
        tabs->addTab(page, QString::fromLatin1(caption));
    }
    probe.watch(&window);
    window.show();
    return QApplication::exec();
}
