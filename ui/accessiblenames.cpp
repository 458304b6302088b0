// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/accessiblenames.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>

namespace kr52 {

QString labelledName(const QWidget *field)
{
    QStringList texts;
    if (const QWidget *parent = field->parentWidget()) {
        for (const QLabel *label : parent->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
            if (label->buddy() == field && !label->text().isEmpty())
                texts << label->text();
        }
    }
    return texts.join(QLatin1Char(' '));
}

namespace {

// A pick-only list as assistive tools see it: named by its labels, valued by its entry, with
// its pop-up list as its one child and "press" / "show menu" opening or closing that pop-up.
class LabelledListAccessible : public QAccessibleWidget {
public:
    explicit LabelledListAccessible(QComboBox *list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return list()->currentText();
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        if (!list()->accessibleName().isEmpty())
            return list()->accessibleName();
        const QString labels = labelledName(list());
        return labels.isEmpty() ? list()->currentText() : labels;
    }

    int childCount() const override { return 1; }

    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == list()->view() ? 0 : -1;
    }

    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QComboBox *list() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *labelledListFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QComboBox"))
        return nullptr;
    auto *list = qobject_cast<QComboBox *>(object);
    // An editable list keeps the platform's own handling of its text field.
    if (!list || list->isEditable())
        return nullptr;
    return new LabelledListAccessible(list);
}

} // namespace

void nameListsByTheirLabels()
{
    static const bool installed = [] {
        QAccessible::installFactory(labelledListFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace kr52
