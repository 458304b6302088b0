// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace kr52 {

// The window's face, "MS Sans Serif", at the given size. Where the platform lacks it, the first
// installed stand-in whose captions fit their places at the designed sizes takes its place
// ("Liberation Sans"); where none is installed, the platform's dialog font stands in, scaled to
// take no more room than the design face would.
[[nodiscard]] QFont uiFont(double pointSize = 8.25, bool bold = false);

} // namespace kr52
