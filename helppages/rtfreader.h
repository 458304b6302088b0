// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

class QTextDocument;

namespace kr52 {

// Replaces the contents of document with the rich text in rtf, in one pass over the bytes.
//
// Shown: text in groups with bold, italic, underline, strike-through, font size, text and
// highlight colours from the colour table, fixed-pitch fonts; paragraphs with alignment, indents,
// space before and after and tab stops; line breaks and tabs; Windows-1252 bytes (\'hh) and
// Unicode characters (\uN with its \ucN fallback); bullets, also those of the Symbol font; the
// results of fields, as plain text.
// Left out: the font table's faces, the style sheet, document information, pictures, objects,
// headers and footers, and every destination marked \*. Links are never made live.
//
// It never fails: unbalanced braces, a file cut short, binary bytes, absurd numbers and deep
// nesting give whatever text could be recovered.
void readRtf(const QByteArray &rtf, QTextDocument &document);

} // namespace kr52
