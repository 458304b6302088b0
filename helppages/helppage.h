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

// Grows a loaded page by factor: its text sizes, margins, indents and tab stops, so that it
// keeps its proportions in a help window grown with the desktop's text. 1 leaves it as it is.
void growPage(QTextDocument &document, double factor);

// The page's title as its first line of text shows it, cut to a window title's length; "Help"
// for a page without text.
[[nodiscard]] QString pageTitle(const QTextDocument &document);

} // namespace kr52
