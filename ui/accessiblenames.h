// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace kr52 {

// A caption as read aloud: without the "&" that marks its access key ("&&" stays one "&").
[[nodiscard]] QString withoutAccessKey(QString caption);

// The texts of every label whose buddy is field, in the order the labels were made, joined by
// blanks: "Measure page length (at power on)" for a list captioned on two lines.
[[nodiscard]] QString labelledName(const QWidget *field);

// Lets a pick-only list be announced by the labels that caption it, whatever entry it shows,
// with its entry as its text, and every change of entry told as a change of that text.
// Assistive tools on this platform otherwise hear a list's current entry as its name ("No
// change"). A list without such labels, or with an accessible name of its own, keeps that.
// Call before the first list is shown; calling again does nothing.
void nameListsByTheirLabels();

} // namespace kr52
