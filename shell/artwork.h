// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

class QWidget;

namespace kr52 {

// A PNG picture of the window's own, read as PNG only. Qt's reader otherwise loads every
// installed image format plugin to ask whether it reads PNG better than Qt itself does; the
// window's pictures never need them, and loading them slowed the window's start.
[[nodiscard]] QPixmap pngPicture(const QString &path);

// The window icon at 16, 32 and 48 pixels.
[[nodiscard]] QIcon windowIconPictures();

// The printer picture for the label that shows it: the drawing rendered for the label's size and
// the screen's pixel ratio, so that it is sharp at any scale and on any desktop text size. At the
// designed size on a screen of ratio 1, the usual case, the same drawing rendered ahead.
[[nodiscard]] QPixmap printerPicture(const QWidget *label);
// The printer drawing rendered ahead at its designed size; a null image if it is missing.
[[nodiscard]] QImage printerRenderedAhead();

} // namespace kr52
