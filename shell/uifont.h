#pragma once

#include <QFont>

namespace kr52 {

// The window's face, "MS Sans Serif", at the given size; where the platform lacks it, its own
// dialog font stands in.
[[nodiscard]] QFont uiFont(double pointSize = 8.25, bool bold = false);

} // namespace kr52
