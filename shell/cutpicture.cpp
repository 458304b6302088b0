#include "shell/cutpicture.h"

#include <QMouseEvent>
#include <QPainter>

namespace kr52 {

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
    : QWidget(parent), m_strip(strip), m_line(new LineControl(this))
{
    setObjectName(QStringLiteral("Picture1"));
    m_line->setObjectName(QStringLiteral("Line1"));
    // Taking the focus on a click lets the cut-offset box validate before the press arrives.
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::SizeVerCursor);
    connect(m_line, &LineControl::changed, this, qOverload<>(&QWidget::update));
}

void CutPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_strip);
    painter.setPen(QPen(m_line->color(), m_line->width()));
    const int y1 = qFloor(m_line->y1() * pixelsPerUnit);
    const int y2 = qFloor(m_line->y2() * pixelsPerUnit);
    painter.drawLine(QPointF(m_line->x1() / unitsPerWidthPixel, y1 + 0.5),
                     QPointF(m_line->x2() / unitsPerWidthPixel, y2 + 0.5));
}

void CutPicture::mousePressEvent(QMouseEvent *event)
{
    emit mouseDown(event->button(), event->modifiers(), float(event->position().x() * unitsPerWidthPixel),
                   float(event->position().y() / pixelsPerUnit));
}

void CutPicture::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMove(event->buttons(), event->modifiers(), float(event->position().x() * unitsPerWidthPixel),
                   float(event->position().y() / pixelsPerUnit));
}

void CutPicture::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseUp(event->button(), event->modifiers(), float(event->position().x() * unitsPerWidthPixel),
                 float(event->position().y() / pixelsPerUnit));
}

} // namespace kr52
