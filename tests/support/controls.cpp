// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"

#include <QAbstractButton>
#include <QApplication>

namespace testsupport {

QWidget *shownWindow(const QString &name)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible())
            return window;
    }
    return nullptr;
}

bool press(QWidget *window, const QString &name)
{
    auto *button = window ? window->findChild<QAbstractButton *>(name) : nullptr;
    if (!button || !button->isVisibleTo(window)) {
        QTest::qFail(qPrintable(QStringLiteral("no shown button named %1 in %2")
                                    .arg(name, window ? window->objectName() : QStringLiteral("a missing window"))),
                     __FILE__, __LINE__);
        return false;
    }
    button->click();
    return true;
}

} // namespace testsupport
