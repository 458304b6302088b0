// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace kr52 {

// The window's face, "MS Sans Serif", at the given size. Where the platform lacks it, the first
// installed stand-in whose captions fit their places at the designed sizes takes its place
// ("Liberation Sans"); where none is installed, the platform's dialog font stands in, scaled to
// take no more room than the design face would.
// Grown by layoutScale() where the desktop's text is larger than the designed 8.25 points.
[[nodiscard]] QFont uiFont(double pointSize = 8.25, bool bold = false);

// How much larger than designed the windows are laid out: the desktop's text size over the
// designed 8.25 points where the desktop sets its text larger than Qt's own 9 points, else 1.
// Read when each window is built, so a window always matches itself.
[[nodiscard]] double layoutScale();

} // namespace kr52
