// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace kr52 {

// A button named as in the design. It is never pressed by Enter from another control: only a
// click, or Space while it has the focus, presses it.
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption, const QString &tooltip = {});

// A label named as in the design, in the given font.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QFont &font);

// Puts a window in the middle of the primary screen's free area, as every window opens.
void centreOnScreen(QWidget *window);

} // namespace kr52
