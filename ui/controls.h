// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace kr52 {

// A button named as in the design. Enter or Space presses it while it has the focus; in a
// dialog, Enter elsewhere presses only the dialog's default button. An "&" in the caption marks
// its access key (Alt+letter) and shows as an underline only.
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption, const QString &tooltip = {});

// A label named as in the design, in the given font.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QFont &font);

// Sets a placed list's font just small enough that its longest entry shows whole in the closed
// list; a list whose entries fit keeps the window's font.
void fitEntriesIn(QComboBox *list);

} // namespace kr52
