// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace kr52 {

void centreOnScreen(QWidget *window, const QWidget *owner)
{
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        window->move(screen->availableGeometry().center() - window->rect().center());
}

void keepOver(QWidget *dialog, QWidget *mainWindow)
{
    // Both need their platform windows for the link; making them early changes nothing else.
    dialog->winId();
    mainWindow->winId();
    dialog->windowHandle()->setTransientParent(mainWindow->windowHandle());
    if (!mainWindowHidesForDialogs())
        dialog->setWindowModality(Qt::WindowModal);
}

bool mainWindowHidesForDialogs()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace kr52
