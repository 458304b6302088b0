// SPDX-License-Identifier: GPL-3.0-or-later
#include "helppages/readablecolours.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace kr52 {

namespace {

// Where a fragment keeps the colour its page gave it, once that has been adjusted.
constexpr int pageColourProperty = QTextFormat::UserProperty + 52;

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double relativeLuminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor &colour, const QColor &background)
{
    if (contrastRatio(colour, background) >= readableContrast)
        return colour;
    // Away from the background: darker on a light one, lighter on a dark one. White and black
    // give the most a background allows; the one with more contrast decides the direction.
    const bool lighten = contrastRatio(Qt::white, background) > contrastRatio(Qt::black, background);
    const QColor hsl = colour.toHsl();
    // The colour is shown with 8 bits a channel: each trial is measured as it will be shown.
    const auto shownAt = [&hsl](double lightness) {
        return QColor::fromRgba(
            QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), float(lightness), hsl.alphaF()).rgba());
    };
    double passing = lighten ? 1.0 : 0.0;
    double failing = hsl.lightnessF();
    // Lightness moves the luminance one way only, so halving finds the nearest readable step.
    for (int step = 0; step < 16; ++step) {
        const double middle = (passing + failing) / 2;
        (contrastRatio(shownAt(middle), background) >= adjustedContrast ? passing : failing) = middle;
    }
    return shownAt(passing);
}

void makeColoursReadable(QTextDocument &document, const QColor &background)
{
    // Gathered first and changed afterwards: a change may merge a run with its neighbours.
    struct Change {
        int from;
        int to;
        QTextCharFormat format;
    };
    QList<Change> changes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            QColor own;
            if (format.hasProperty(pageColourProperty))
                own = format.property(pageColourProperty).value<QColor>();
            else if (format.hasProperty(QTextFormat::ForegroundBrush))
                own = format.foreground().color();
            if (!own.isValid())
                continue;
            const bool ownBackground = format.background().style() != Qt::NoBrush;
            const QColor readable = readableOn(own, ownBackground ? format.background().color() : background);
            if (readable == format.foreground().color())
                continue;
            QTextCharFormat change;
            change.setForeground(readable);
            change.setProperty(pageColourProperty, own);
            changes.append({fragment.position(), fragment.position() + fragment.length(), change});
        }
    }
    if (changes.isEmpty())
        return;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const Change &change : changes) {
        cursor.setPosition(change.from);
        cursor.setPosition(change.to, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(change.format);
    }
    cursor.endEditBlock();
}

} // namespace kr52
