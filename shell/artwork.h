// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
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

// A vector drawing rendered for the control's size and the screen's pixel ratio, so that it is
// sharp at any scale and on any desktop text size.
[[nodiscard]] QPixmap drawnAtSize(const QString &drawing, const QWidget *control);

} // namespace kr52
