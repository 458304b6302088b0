// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace kr52 {

// Puts a window in the middle of a screen's free area, as every window opens: the screen its owner
// is on, or the primary screen for a window opened without one. Where the program cannot place
// its windows (Wayland) the compositor places them instead.
void centreOnScreen(QWidget *window, const QWidget *owner = nullptr);

// Makes dialog a transient window of mainWindow, so that the window manager or the Wayland
// compositor places it over the main window and keeps it above it.
void keepOver(QWidget *dialog, QWidget *mainWindow);

// False where the program cannot place its windows itself (Wayland): there a hidden window comes
// back wherever the compositor puts it, so the main window stays shown, blocked, while a dialog
// is open instead of being hidden.
[[nodiscard]] bool mainWindowHidesForDialogs();

} // namespace kr52
