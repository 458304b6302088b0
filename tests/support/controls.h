// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

// Finding windows and controls by their object names, and pressing buttons. A missing window or
// control fails the running test with its name and never crashes it: where a control is asked
// for, a spare one stands in, so the rest of the test function runs on harmlessly and the
// program's other tests still report.
namespace testsupport {

// The shown top-level window named name, or nullptr.
[[nodiscard]] QWidget *shownWindow(const QString &name);

// The child of parent named name, of type Control. A missing one (or a missing parent) fails
// the test and returns a spare control owned by parent, or deleted once control returns to the
// event loop.
template <typename Control>
Control *control(QObject *parent, const QString &name)
{
    if (auto *found = parent ? parent->findChild<Control *>(name) : nullptr)
        return found;
    QTest::qFail(qPrintable(QStringLiteral("no %1 named %2 in %3")
                                .arg(QLatin1String(Control::staticMetaObject.className()), name,
                                     parent ? parent->objectName() : QStringLiteral("a missing window"))),
                 __FILE__, __LINE__);
    auto *parentWidget = qobject_cast<QWidget *>(parent);
    auto *spare = new Control(parentWidget);
    if (!parentWidget)
        spare->deleteLater();
    return spare;
}

// Clicks the button named name in window; a missing one, or one hidden in its window, fails the
// test (the user could not press it). The window itself need not be shown. Returns whether it
// was clicked.
bool press(QWidget *window, const QString &name);

} // namespace testsupport
