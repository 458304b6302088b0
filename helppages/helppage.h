// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QTextDocument;

namespace kr52 {

// Reads the RTF page at path into document. Returns an empty text when the page is shown, or
// the reason it could not be read (missing, unreadable, a folder, not a regular file such as a FIFO or a
// device, too large), in which case the
// document keeps what it held.
[[nodiscard]] QString loadHelpPage(const QString &path, QTextDocument &document);

} // namespace kr52
