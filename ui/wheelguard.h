// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QComboBox;

namespace kr52 {

// Lets the mouse wheel change a list only while the list has the keyboard focus. Over a list
// without the focus the wheel changes nothing, and the wheel never gives a list the focus, so
// an operator scrolling past a closed list cannot change a printer setting by accident. Clicks
// and keys work as before.
void guardAgainstWheel(QComboBox *list);

} // namespace kr52
