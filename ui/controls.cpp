// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QWidget>

namespace kr52 {

namespace {

QString widestText(const QComboBox *list)
{
    QString widest;
    int width = -1;
    for (int i = 0; i < list->count(); ++i) {
        if (const int w = list->fontMetrics().horizontalAdvance(list->itemText(i)); w > width) {
            width = w;
            widest = list->itemText(i);
        }
    }
    return widest;
}

} // namespace

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption, const QString &tooltip)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tooltip);
    button->setAutoDefault(true);
    return button;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    return label;
}

void fitEntriesIn(QComboBox *list)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    // The style draws the entry one pixel in from each side of its field.
    const int room =
        list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list).width() - 2;
    const QString widest = widestText(list);
    QFont font = list->font();
    if (room <= 0 || QFontMetrics(font).horizontalAdvance(widest) <= room)
        return;
    // Letter widths do not shrink exactly in proportion: a twentieth of a point at a time.
    while (font.pointSizeF() > 1 && QFontMetrics(font).horizontalAdvance(widest) > room)
        font.setPointSizeF(font.pointSizeF() - 0.05);
    list->setFont(font);
}

} // namespace kr52
