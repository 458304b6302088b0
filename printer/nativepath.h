// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace kr52 {

// Device paths are bytes, and not every name in /dev or in a variable is UTF-8. A path is held as
// text with each byte that is not part of valid UTF-8 kept as the lone code point U+DC80..U+DCFF
// (which valid UTF-8 never yields), so the bytes come back exactly when the device is opened.

[[nodiscard]] QString pathFromNative(const QByteArray &bytes);
[[nodiscard]] QByteArray nativePath(const QString &path);

// The real path of path with links resolved, or empty when it cannot be found.
[[nodiscard]] QString canonicalPath(const QString &path);

} // namespace kr52
