// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/selftestimage.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace kr52::virt {

namespace {

constexpr int margin = 16;
constexpr int tearDepth = 10;
const QColor paper(250, 249, 244);
const QColor ink(24, 24, 24);

QFont printerFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// Lays the page out once to measure it and once to draw it, so the strip is exactly as long as
// what is printed on it.
int layOut(const SelfTestPage &page, QPainter *painter)
{
    const QFont title = printerFont(30, true);
    const QFont normal = printerFont(17, false);
    const QFont bold = printerFont(17, true);
    const int width = rollWidthDots - 2 * margin;
    int y = margin;

    const auto text = [&](const QFont &font, const QString &line, int flags) {
        const QFontMetrics metrics(font);
        const QRect box = metrics.boundingRect(QRect(margin, y, width, 10000), flags | Qt::TextWordWrap, line);
        if (painter) {
            painter->setFont(font);
            painter->drawText(QRect(margin, y, width, box.height()), flags | Qt::TextWordWrap, line);
        }
        y += box.height();
    };
    // A setting's label on the left and its value on the right, on one line where both fit.
    const auto setting = [&](const QString &label, const QString &value) {
        const int gap = QFontMetrics(normal).horizontalAdvance(QStringLiteral("  "));
        if (QFontMetrics(normal).horizontalAdvance(label) + gap + QFontMetrics(bold).horizontalAdvance(value) > width) {
            text(normal, label, Qt::AlignLeft);
            text(bold, value, Qt::AlignRight);
            return;
        }
        const int top = y;
        text(normal, label, Qt::AlignLeft);
        y = top;
        text(bold, value, Qt::AlignRight);
    };
    const auto rule = [&] {
        y += 8;
        if (painter)
            painter->fillRect(margin, y, width, 2, ink);
        y += 12;
    };

    text(title, page.title(), Qt::AlignHCenter);
    text(normal, QStringLiteral("virtual printer"), Qt::AlignHCenter);
    rule();
    text(bold, QStringLiteral("MEMORY SWITCHES"), Qt::AlignLeft);
    y += 4;
    for (const QString &line : page.switchLines())
        text(normal, line, Qt::AlignHCenter);
    rule();
    text(bold, QStringLiteral("SETTINGS"), Qt::AlignLeft);
    for (const DecodedSetting &decoded : page.settings) {
        y += 4;
        setting(decoded.label, decoded.value);
    }
    rule();
    text(normal, QStringLiteral("*** END OF SELF TEST ***"), Qt::AlignHCenter);
    return y + margin + tearDepth;
}

void drawTornEdge(QPainter &painter, int height)
{
    QPainterPath tooth;
    tooth.moveTo(0, height);
    for (int x = 0; x <= rollWidthDots; x += 2 * tearDepth) {
        tooth.lineTo(x, height - tearDepth);
        tooth.lineTo(x + tearDepth, height);
    }
    tooth.closeSubpath();
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillPath(tooth, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

} // namespace

QImage renderSelfTest(const SelfTestPage &page)
{
    const int height = layOut(page, nullptr);
    QImage image(rollWidthDots, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(paper);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(ink);
    layOut(page, &painter);
    drawTornEdge(painter, height);
    painter.end();
    return image;
}

} // namespace kr52::virt
