// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/accessiblenames.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>

#include <algorithm>

namespace kr52 {

QString withoutAccessKey(QString caption)
{
    // "&&" is a literal ampersand; any other "&" only marks the letter after it.
    for (qsizetype at = caption.indexOf(QLatin1Char('&')); at >= 0 && at < caption.size();
         at = caption.indexOf(QLatin1Char('&'), at + 1))
        caption.remove(at, 1);
    return caption;
}

QString labelledName(const QWidget *field)
{
    QStringList texts;
    if (const QWidget *parent = field->parentWidget()) {
        for (const QLabel *label : parent->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
            if (label->buddy() == field && !label->text().isEmpty())
                texts << withoutAccessKey(label->text());
        }
    }
    return texts.join(QLatin1Char(' '));
}

namespace {

// A pick-only list as assistive tools see it: named by its labels, with its entry as its text
// (read-only, the caret at its start) and as its value, its pop-up list as its one child, and
// "press" / "show menu" opening or closing that pop-up. The platform bridge passes a list's
// text on but not its value, so the text is what a screen reader reads for the entry.
class LabelledListAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LabelledListAccessible(QComboBox *list)
        : QAccessibleWidget(list, QAccessible::ComboBox), m_announced(list->currentText())
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

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

    // Tells assistive tools that the entry's text was replaced, old words by new, and marks the
    // entry as the selected item of the pop-up list too, if the list has made it.
    void announceEntry()
    {
        if (QAbstractItemView *popup = list()->findChild<QAbstractItemView *>())
            selectEntryIn(popup);
        const QString entry = list()->currentText();
        if (entry == m_announced)
            return;
        QAccessibleTextUpdateEvent event(list(), 0, m_announced, entry);
        m_announced = entry;
        QAccessible::updateAccessibility(&event);
    }

    int childCount() const override { return 1; }

    QAccessibleInterface *child(int index) const override
    {
        if (index != 0)
            return nullptr;
        // The pop-up is made when first asked for: every list has one, and making 22 of them
        // cost the window a seventh of its start-up.
        QAbstractItemView *popup = list()->view();
        selectEntryIn(popup);
        return QAccessible::queryAccessibleInterface(popup);
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

    // The entry as read-only text.
    QString text(int startOffset, int endOffset) const override
    {
        const QString entry = list()->currentText();
        const qsizetype from = std::clamp<qsizetype>(startOffset, 0, entry.size());
        const qsizetype to = endOffset < 0 ? entry.size() : std::clamp<qsizetype>(endOffset, from, entry.size());
        return entry.mid(from, to - from);
    }
    int characterCount() const override { return int(list()->currentText().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    QComboBox *list() const { return static_cast<QComboBox *>(widget()); }

    // The pop-up list selects the entry only when it opens; selected whenever a tool reaches it,
    // the entry's item is the list's selected child for tools that look there.
    void selectEntryIn(QAbstractItemView *popup) const
    {
        const QModelIndex entry =
            list()->model()->index(list()->currentIndex(), list()->modelColumn(), list()->rootModelIndex());
        if (popup->selectionModel() && popup->currentIndex() != entry)
            popup->selectionModel()->setCurrentIndex(entry, QItemSelectionModel::ClearAndSelect);
    }

    QString m_announced; // the entry assistive tools were last told of
};

QAccessibleInterface *labelledListFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QComboBox"))
        return nullptr;
    auto *list = qobject_cast<QComboBox *>(object);
    // An editable list keeps the platform's own handling of its text field.
    if (!list || list->isEditable())
        return nullptr;
    auto *accessible = new LabelledListAccessible(list);
    // Only once the first tool asks is anyone listening; from then on every change is told.
    QObject::connect(list, &QComboBox::currentTextChanged, list, [list] {
        if (auto *known = dynamic_cast<LabelledListAccessible *>(QAccessible::queryAccessibleInterface(list)))
            known->announceEntry();
    });
    return accessible;
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
