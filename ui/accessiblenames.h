// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace kr52 {

// The texts of every label whose buddy is field, in the order the labels were made, joined by
// blanks: "Measure page length (at power on)" for a list captioned on two lines.
[[nodiscard]] QString labelledName(const QWidget *field);

// Lets a pick-only list be announced by the labels that caption it, whatever entry it shows.
// Assistive tools on this platform otherwise hear a list's current entry as its name ("No
// change"). A list without such labels, or with an accessible name of its own, keeps that.
// Call before the first list is shown; calling again does nothing.
void nameListsByTheirLabels();

} // namespace kr52
