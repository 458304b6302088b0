// SPDX-License-Identifier: GPL-3.0-or-later
// Loaded into kr52-config with LD_PRELOAD under a Wayland compositor: once the main window is up,
// it opens the port dialog, the presets dialog and a help page in turn as a user would, notes for
// each whether it is shown, whose transient window it is and whether the main window stayed
// shown, closes it, and writes that to standard output as JSON before ending the program.
#include "probereport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWindow>

namespace {

using probereport::fail;
using probereport::finish;
using probereport::report;
using probereport::topLevel;

QAbstractButton *button(const QString &window, const QString &name)
{
    QWidget *owner = topLevel(window);
    auto *found = owner ? owner->findChild<QAbstractButton *>(name) : nullptr;
    if (!found)
        fail(QStringLiteral("no %1 in %2").arg(name, window));
    return found;
}

// What the compositor is told about an open window, and whether the main window stayed up.
void note(const QString &window)
{
    QWidget *main = topLevel(QStringLiteral("frmMain"));
    QWidget *dialog = topLevel(window);
    if (!main || !dialog)
        fail(QStringLiteral("no %1").arg(dialog ? QStringLiteral("frmMain") : window));
    const QWindow *parent = dialog->windowHandle() ? dialog->windowHandle()->transientParent() : nullptr;
    report()[window] = QJsonObject{
        {QStringLiteral("shown"), dialog->isVisible()},
        {QStringLiteral("transientForMain"), parent != nullptr && parent == main->windowHandle()},
        {QStringLiteral("mainShown"), main->isVisible()},
    };
}

void probe()
{
    probereport::watchForMessages(30000);
    report()[QStringLiteral("platform")] = QGuiApplication::platformName();
    button(QStringLiteral("frmMain"), QStringLiteral("comConfPort"))->click();
    note(QStringLiteral("frmPort"));
    button(QStringLiteral("frmPort"), QStringLiteral("Command2"))->click();

    button(QStringLiteral("frmMain"), QStringLiteral("comPresets"))->click();
    note(QStringLiteral("frmPresets"));
    button(QStringLiteral("frmPresets"), QStringLiteral("comPCancel"))->click();

    // The help window runs its own loop: it is looked at from there.
    QTimer::singleShot(200, [] {
        note(QStringLiteral("frmHelp"));
        button(QStringLiteral("frmHelp"), QStringLiteral("comDone"))->click();
        QTimer::singleShot(0, [] { finish(0); });
    });
    button(QStringLiteral("frmMain"), QStringLiteral("comHelp(7)"))->click();
}

// Runs when the application object is made; the probe starts once the main window is up.
void schedule()
{
    QTimer::singleShot(500, QCoreApplication::instance(), probe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(schedule)
