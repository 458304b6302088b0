// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/tabpage.h"

namespace kr52 {

TabPage::TabPage(QWidget *tabControl) : m_tabControl(tabControl), m_canvas(new QWidget(this))
{
    m_canvas->setObjectName(QStringLiteral("canvas"));
    m_canvas->resize(tabControl->size());
}

void TabPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    alignCanvas();
}

void TabPage::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    alignCanvas();
}

void TabPage::alignCanvas()
{
    m_canvas->move(-mapTo(m_tabControl, QPoint(0, 0)));
}

} // namespace kr52
