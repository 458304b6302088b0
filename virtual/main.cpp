// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/appinfo.h"
#include "app/commandline.h"
#include "virtual/linklistener.h"
#include "virtual/printerwindow.h"
#include "virtual/selftestimage.h"
#include "virtual/statefile.h"
#include "virtual/virtualprinter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <cstdio>
#include <memory>

using namespace kr52::virt;

namespace {

void say(const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void complain(const QString &text)
{
    std::fputs(qPrintable(QStringLiteral("kr52-virtual: ") + text + QLatin1Char('\n')), stderr);
    std::fflush(stderr);
}

QString defaultStateFile()
{
    const QString stateHome =
        qEnvironmentVariable("XDG_STATE_HOME", QDir::homePath() + QStringLiteral("/.local/state"));
    return stateHome + QStringLiteral("/kr52-virtual/switches");
}

// Without a display, or when no window is wanted, Qt draws offscreen (the page still needs fonts).
void chooseOffscreenWhenHeadless(bool noWindow)
{
    const bool display = qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if ((noWindow || !display) && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

bool writePathFile(const QString &path, const QString &devicePath)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(QFile::encodeName(devicePath) + '\n') >= 0 && file.commit())
        return true;
    complain(QStringLiteral("Could not write %1: %2").arg(path, file.errorString()));
    return false;
}

void printText(const SelfTestPage &page)
{
    std::fputs(qPrintable(page.text()), stdout);
    std::fflush(stdout);
}

// Draws the page to pngPath, making its folder when needed; reports where it went or why not.
bool drawPage(const QImage &image, const QString &pngPath)
{
    const QFileInfo file(pngPath);
    QImageWriter writer(pngPath, "png");
    if (!QDir().mkpath(file.absolutePath())) {
        complain(QStringLiteral("Could not make the folder %1 for the self-test page").arg(file.absolutePath()));
        return false;
    }
    if (!writer.write(image)) {
        complain(QStringLiteral("Could not write the self-test page to %1: %2").arg(pngPath, writer.errorString()));
        return false;
    }
    say(QStringLiteral("Self-test page drawn to %1").arg(file.absoluteFilePath()));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("kr52-virtual"));
    QApplication::setApplicationVersion(kr52::versionText());

    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("A virtual KR52: reads memory-switch and self-test commands from a pseudo-terminal (the serial "
                       "link) or a FIFO (the parallel link), keeps the sixteen switches in a state file and prints "
                       "self-test pages as text and as a PNG."));
    kr52::addStandardOptions(options);
    const QCommandLineOption stateOption(
        QStringLiteral("state"), QStringLiteral("Keep the switches in <file> (default %1).").arg(defaultStateFile()),
        QStringLiteral("file"), defaultStateFile());
    const QCommandLineOption resetOption(QStringLiteral("reset"), QStringLiteral("Start with every switch at 0000."));
    const QCommandLineOption fifoOption(
        QStringLiteral("fifo"),
        QStringLiteral("Listen on the FIFO <path> (made if missing) instead of a pseudo-terminal."),
        QStringLiteral("path"));
    const QCommandLineOption pathFileOption(QStringLiteral("path-file"),
                                            QStringLiteral("Write the device path to <file> once listening."),
                                            QStringLiteral("file"));
    const QCommandLineOption pngOption(
        QStringLiteral("png"),
        QStringLiteral("Draw self-test pages to <file> (default: selftest.png beside the state file)."),
        QStringLiteral("file"));
    const QCommandLineOption noWindowOption(QStringLiteral("no-window"),
                                            QStringLiteral("Show no window, even with a display."));
    const QCommandLineOption selfTestOption(
        QStringLiteral("selftest"), QStringLiteral("Print the self-test page of the stored switches and stop."));
    options.addOptions(
        {stateOption, resetOption, fifoOption, pathFileOption, pngOption, noWindowOption, selfTestOption});
    // Read before the application exists, so that --help and --version need no display.
    if (const kr52::CommandLineOutcome outcome = kr52::readCommandLine(options, kr52::argumentList(argc, argv));
        !outcome.carryOn)
        return kr52::finish(outcome);
    chooseOffscreenWhenHeadless(options.isSet(noWindowOption) || options.isSet(selfTestOption));
    QApplication app(argc, argv);

    VirtualPrinter printer;
    const QString statePath = options.value(stateOption);
    const QString pngPath = options.isSet(pngOption)
                                ? options.value(pngOption)
                                : QFileInfo(statePath).absolutePath() + QStringLiteral("/selftest.png");
    if (options.isSet(resetOption)) {
        if (const QString error = saveState(statePath, SwitchBank()); !error.isEmpty()) {
            complain(error);
            return 1;
        }
    }
    if (const QString error = printer.useStateFile(statePath); !error.isEmpty()) {
        complain(error + QStringLiteral(" (start with --reset to begin again from 0000)"));
        return 1;
    }
    if (options.isSet(selfTestOption)) {
        const SelfTestPage page = SelfTestPage::of(printer.switches());
        printText(page);
        return drawPage(renderSelfTest(page), pngPath) ? 0 : 1;
    }

    QString error;
    const std::unique_ptr<LinkListener> link = options.isSet(fifoOption)
                                                   ? LinkListener::openFifo(options.value(fifoOption), error)
                                                   : LinkListener::openPseudoTerminal(error);
    if (!link) {
        complain(error);
        return 1;
    }

    std::unique_ptr<PrinterWindow> window;
    if (!options.isSet(noWindowOption) && QGuiApplication::platformName() != QLatin1String("offscreen") &&
        QGuiApplication::platformName() != QLatin1String("minimal")) {
        window = std::make_unique<PrinterWindow>(link->devicePath());
        window->showSwitches(printer.switches());
        QObject::connect(&printer, &VirtualPrinter::switchesChanged, window.get(),
                         [&] { window->showSwitches(printer.switches()); });
        window->show();
    }
    // Closing the window does not stop the printer: the utility may still be writing to it.
    QApplication::setQuitOnLastWindowClosed(false);

    QObject::connect(link.get(), &LinkListener::received, &printer, &VirtualPrinter::receive);
    QObject::connect(link.get(), &LinkListener::failed, &app, [](const QString &message) {
        complain(message);
        QCoreApplication::exit(1);
    });
    QObject::connect(&printer, &VirtualPrinter::commandApplied, &app, &say);
    QObject::connect(&printer, &VirtualPrinter::bytesIgnored, &app, &complain);
    QObject::connect(&printer, &VirtualPrinter::stateNotSaved, &app, &complain);
    QObject::connect(&printer, &VirtualPrinter::selfTestPrinted, &app, [&](const SelfTestPage &page) {
        printText(page);
        const QImage image = renderSelfTest(page);
        drawPage(image, pngPath);
        if (window)
            window->showPage(image);
    });

    say(QStringLiteral("Virtual KR52 listening on %1; switches kept in %2").arg(link->devicePath(), statePath));
    if (!options.isSet(fifoOption))
        say(QStringLiteral("Point the utility's COM1: at it with: export KR52_COM1=%1").arg(link->devicePath()));
    if (options.isSet(pathFileOption) && !writePathFile(options.value(pathFileOption), link->devicePath()))
        return 1;
    return QApplication::exec();
}
