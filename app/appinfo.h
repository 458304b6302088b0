// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "version.h"

#include <QString>

namespace kr52 {

// The reverse-DNS id: the name of the desktop entry, the AppStream metainfo and the icon, so that
// a desktop matches the window to its menu entry.
inline constexpr char applicationId[] = "org.arvel.kr52config";

// The project's version as "major.minor.revision".
[[nodiscard]] inline QString versionText()
{
    return QStringLiteral("%1.%2.%3").arg(versionMajor).arg(versionMinor).arg(versionRevision);
}

} // namespace kr52
