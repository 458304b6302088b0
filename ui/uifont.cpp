// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/uifont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>

namespace kr52 {

namespace {

// The design face first, then the stand-ins that set every caption at its designed size
// without clipping, in order of preference. Liberation Sans (fonts-liberation2) is the closest
// of Debian's sans faces: 6.4 px a letter at 8.25 points against the design face's 5.8, every
// caption within 97 % of its place. Wider faces (DejaVu Sans, 6.8 px, even condensed) run
// past the longest captions; Liberation Sans Narrow (5.3 px) fits but reads cramped.
const QStringList fullSizeFaces{QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")};

// The window was laid out for "MS Sans Serif", whose letters average under 6 pixels wide at
// 8.25 points. Any other face is set a little smaller if it is wider, so every caption still
// fits the place it was given.
double designWidthScale(const QFont &face)
{
    constexpr double designAverageWidth = 5.8;
    QFont standIn = face;
    standIn.setPointSizeF(8.25);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const double averageWidth = QFontMetricsF(standIn).horizontalAdvance(letters) / letters.size();
    return averageWidth > 0 ? std::min(1.0, designAverageWidth / averageWidth) : 1.0;
}

struct Face {
    QFont font;
    double scale;
};

Face chooseFace()
{
    // Looked up among the installed families: QFontDatabase::hasFamily() runs each name through
    // fontconfig's substitution rules first, which costs about as much at start-up as a font of
    // its own, and Debian's rules only add fallbacks behind these two names.
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : fullSizeFaces) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return {QFont(family), 1.0};
    }
    const QFont platform = QGuiApplication::font();
    return {platform, designWidthScale(platform)};
}

} // namespace

double layoutScale()
{
    // A desktop that names no font of its own gets Qt's 9 points, and the window keeps its
    // designed size there. A desktop whose text is larger gets the window grown in proportion.
    constexpr double designedPoints = 8.25;
    constexpr double platformDefaultPoints = 9.0;
    const double desktopPoints = QGuiApplication::font().pointSizeF();
    return desktopPoints > platformDefaultPoints ? desktopPoints / designedPoints : 1.0;
}

QFont uiFont(double pointSize, bool bold)
{
    static const Face face = chooseFace();
    QFont font = face.font;
    font.setPointSizeF(pointSize * face.scale * layoutScale());
    font.setBold(bold);
    return font;
}

} // namespace kr52
