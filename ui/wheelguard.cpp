// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/wheelguard.h"

#include <QComboBox>
#include <QEvent>

namespace kr52 {

namespace {

class WheelGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        auto *list = static_cast<QComboBox *>(watched);
        if (list->hasFocus())
            return false;
        // Taken here, so neither the list nor anything under it moves.
        event->accept();
        return true;
    }
};

} // namespace

void guardAgainstWheel(QComboBox *list)
{
    // A list takes the focus from a click or Tab, never from the wheel: a wheel turned over a
    // list would otherwise focus it first and then change it.
    list->setFocusPolicy(Qt::StrongFocus);
    list->installEventFilter(new WheelGuard(list));
}

} // namespace kr52
