// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/cutpicture.h"

#include "shell/cutpictureaccessible.h"
#include "ui/uifont.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace kr52 {

namespace {

// The keys that move the line, in tenths of a millimetre: up is towards the torn top edge.
struct StepKey {
    Qt::Key key;
    int tenths;
};
constexpr StepKey stepKeys[] = {
    {Qt::Key_Up, -1},
    {Qt::Key_Down, 1},
    {Qt::Key_PageUp, -10},
    {Qt::Key_PageDown, 10},
};

constexpr int focusMarkWidth = 2;

} // namespace

void LineControl::setHeight(double y)
{
    m_y1 = y;
    m_y2 = y;
    emit changed();
}

void LineControl::setEnds(double x1, double x2)
{
    m_x1 = x1;
    m_x2 = x2;
    emit changed();
}

CutPicture::CutPicture(const QPixmap &strip, QWidget *parent)
    : QWidget(parent), m_strip(strip), m_scale(layoutScale()), m_line(new LineControl(this))
{
    setObjectName(QStringLiteral("Picture1"));
    m_line->setObjectName(QStringLiteral("Line1"));
    // Taking the focus on a click lets the cut-offset box validate before the press arrives;
    // Tab reaches it too, for the keys that move the line.
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::SizeVerCursor);
    connect(m_line, &LineControl::changed, this, qOverload<>(&QWidget::update));
    describeCutPicturesAsSliders();
}

namespace {

// The adjuster works in tenths of a millimetre; this drops the noise of single precision.
double inTenths(double millimetres)
{
    return std::round(millimetres * 10.0) / 10.0;
}

} // namespace

void CutPicture::setOffset(double millimetres, const QString &text)
{
    m_offset = inTenths(millimetres);
    if (text == m_offsetText)
        return;
    m_offsetText = text;
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, m_offset);
        QAccessible::updateAccessibility(&event);
    }
}

void CutPicture::setOffsetRange(double lowest, double highest)
{
    m_lowest = inTenths(lowest);
    m_highest = inTenths(highest);
}

void CutPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(QPointF(0, 0), QSizeF(m_strip.size()) / m_strip.devicePixelRatio() * m_scale), m_strip,
                       QRectF(m_strip.rect()));
    if (hasFocus()) {
        // Drawn inside the edges: the picture has exactly the strip's size and place.
        painter.setPen(
            QPen(palette().color(QPalette::Highlight), focusMarkWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(QRectF(rect()).adjusted(focusMarkWidth / 2.0, focusMarkWidth / 2.0, -focusMarkWidth / 2.0,
                                                 -focusMarkWidth / 2.0));
    }
    // The line in the strip's own pixels, grown with the window.
    painter.scale(m_scale, m_scale);
    painter.setPen(QPen(m_line->color(), m_line->width()));
    // The nearest row: a height read from pointer row r comes back as r give or take a rounding
    // error, which flooring would put on the row above.
    const int y1 = int(std::lround(m_line->y1() * pixelsPerUnit));
    const int y2 = int(std::lround(m_line->y2() * pixelsPerUnit));
    painter.drawLine(QPointF(m_line->x1() / unitsPerWidthPixel, y1 + 0.5),
                     QPointF(m_line->x2() / unitsPerWidthPixel, y2 + 0.5));
}

void CutPicture::mousePressEvent(QMouseEvent *event)
{
    emit mouseDown(event->button(), event->modifiers(), float(event->position().x() / m_scale * unitsPerWidthPixel),
                   float(event->position().y() / m_scale / pixelsPerUnit));
}

void CutPicture::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMove(event->buttons(), event->modifiers(), float(event->position().x() / m_scale * unitsPerWidthPixel),
                   float(event->position().y() / m_scale / pixelsPerUnit));
}

void CutPicture::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Home) {
        emit offsetHome();
        return;
    }
    for (const StepKey &step : stepKeys) {
        if (event->key() == step.key) {
            emit offsetStep(step.tenths);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void CutPicture::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseUp(event->button(), event->modifiers(), float(event->position().x() / m_scale * unitsPerWidthPixel),
                 float(event->position().y() / m_scale / pixelsPerUnit));
}

} // namespace kr52
