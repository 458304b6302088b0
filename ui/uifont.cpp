#include "ui/uifont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>

namespace kr52 {

namespace {

const QString designFace = QStringLiteral("MS Sans Serif");

// The window was laid out for "MS Sans Serif", whose letters average under 6 pixels wide at
// 8.25 points. A wider stand-in face is set a little smaller, so every caption still fits the
// place it was given.
double standInScale()
{
    constexpr double designAverageWidth = 5.8;
    QFont standIn = QGuiApplication::font();
    standIn.setPointSizeF(8.25);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const double averageWidth = QFontMetricsF(standIn).horizontalAdvance(letters) / letters.size();
    return averageWidth > 0 ? std::min(1.0, designAverageWidth / averageWidth) : 1.0;
}

} // namespace

QFont uiFont(double pointSize, bool bold)
{
    static const bool hasDesignFace = QFontDatabase::hasFamily(designFace);
    static const double scale = hasDesignFace ? 1.0 : standInScale();
    QFont font = hasDesignFace ? QFont(designFace) : QGuiApplication::font();
    font.setPointSizeF(pointSize * scale);
    font.setBold(bold);
    return font;
}

} // namespace kr52
