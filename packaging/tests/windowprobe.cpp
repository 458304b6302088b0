// SPDX-License-Identifier: GPL-3.0-or-later
// Loaded into the installed kr52-config with LD_PRELOAD: once the main window is up, it presses
// the Help button of one setting and the (hidden) Presets button as a user would, writes what the
// windows show to standard output as JSON, and ends the program. The program itself is unchanged.
#include "probereport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QJsonArray>
#include <QListWidget>
#include <QTextEdit>
#include <QTimer>

namespace {

using probereport::finish;
using probereport::report;

// A window counts only while it is shown.
QWidget *shownWindow(const QString &name)
{
    QWidget *window = probereport::topLevel(name);
    return window && window->isVisible() ? window : nullptr;
}

template <typename T>
T *child(QWidget *window, const QString &name)
{
    T *found = window ? window->findChild<T *>(name) : nullptr;
    if (!found)
        probereport::fail(QStringLiteral("no %1 in %2").arg(name, window ? window->objectName() : "-"));
    return found;
}

void readHelpWindow()
{
    probereport::stopOnMessage();
    QWidget *help = shownWindow(QStringLiteral("frmHelp"));
    report()[QStringLiteral("help")] = child<QTextEdit>(help, QStringLiteral("rtbHelpText"))->toPlainText();
    child<QAbstractButton>(help, QStringLiteral("comDone"))->click();
}

void readPresetsWindow()
{
    probereport::stopOnMessage();
    QJsonArray names;
    const QListWidget *list =
        child<QListWidget>(shownWindow(QStringLiteral("frmPresets")), QStringLiteral("filePresets"));
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    report()[QStringLiteral("presets")] = names;
    finish(0);
}

void probe()
{
    QWidget *main = shownWindow(QStringLiteral("frmMain"));
    // The help window runs its own loop: it is read from there.
    QTimer::singleShot(0, readHelpWindow);
    child<QAbstractButton>(main, QStringLiteral("comHelp(7)"))->click();
    QTimer::singleShot(0, readPresetsWindow);
    child<QAbstractButton>(main, QStringLiteral("comPresets"))->click();
}

// The settings pages' controls come just after the main window's first frame, so the probe
// waits for them, as a user would for the window, a second at most; then it goes on either way.
void probeOnceUp(int triesLeft)
{
    QWidget *main = probereport::topLevel(QStringLiteral("frmMain"));
    if (triesLeft > 0 && !(main && main->findChild<QAbstractButton *>(QStringLiteral("comHelp(7)")))) {
        QTimer::singleShot(10, [triesLeft] { probeOnceUp(triesLeft - 1); });
        return;
    }
    probe();
}

// Runs when the application object is made; the probe starts once its event loop runs.
void schedule()
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            probereport::watchForMessages(20000);
            probeOnceUp(100);
        },
        Qt::QueuedConnection);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(schedule)
