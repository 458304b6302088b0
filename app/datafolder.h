// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kr52 {

// The folder that holds help/ and Presets/: the program's own folder when it holds both (a build
// tree), else the shared data folder of an installed tree, found relative to the program's folder
// (../share/kr52-config in the standard layout) so that a tree installed under any prefix, or
// moved, still finds its data.
[[nodiscard]] QString dataFolder(const QString &programDir);

} // namespace kr52
