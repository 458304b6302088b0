// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

class QTextDocument;

namespace kr52 {

// The least contrast that body text needs to be read comfortably (WCAG 2 level AA).
inline constexpr double readableContrast = 4.5;

// What a colour that must be adjusted is given: a little more than the least, so that no
// rounding on the way to the screen takes it below.
inline constexpr double adjustedContrast = 4.6;

// The relative luminance of an sRGB colour, 0 for black to 1 for white.
[[nodiscard]] double relativeLuminance(const QColor &colour);

// The contrast ratio of two colours, from 1 (the same) to 21 (black on white).
[[nodiscard]] double contrastRatio(const QColor &a, const QColor &b);

// colour itself if it has at least readableContrast against background; otherwise the colour of
// the same hue and saturation, lightened or darkened (away from the background) until it has
// adjustedContrast, measured in 8 bits a channel as it is shown.
[[nodiscard]] QColor readableOn(const QColor &colour, const QColor &background);

// Gives every text colour a page sets its own readable form against background, the viewer's:
// the page's colour where it already reads, the nearest readable one otherwise. Text over a
// background of its own is measured against that. The page's colours are kept in the
// document, so calling it again for another background starts from them, not from the last
// adjustment. Text in the viewer's own colour is left alone.
void makeColoursReadable(QTextDocument &document, const QColor &background);

} // namespace kr52
