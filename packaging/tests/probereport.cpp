// SPDX-License-Identifier: GPL-3.0-or-later
#include "probereport.h"

#include <QApplication>
#include <QJsonDocument>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace probereport {

QJsonObject &report()
{
    static QJsonObject found;
    return found;
}

void finish(int status)
{
    std::fputs(QJsonDocument(report()).toJson(QJsonDocument::Compact).append('\n').constData(), stdout);
    std::fflush(stdout);
    std::_Exit(status);
}

void fail(const QString &why)
{
    report()[QStringLiteral("failure")] = why;
    finish(3);
}

// A message box means a page or folder was not found: its text is reported instead of waiting.
void stopOnMessage()
{
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        report()[QStringLiteral("message")] = box->text();
        finish(4);
    }
}

void watchForMessages(int timeLimitMs)
{
    auto *watch = new QTimer(qApp);
    QObject::connect(watch, &QTimer::timeout, stopOnMessage);
    watch->start(50);
    QTimer::singleShot(timeLimitMs, [] { fail(QStringLiteral("timed out")); });
}

QWidget *topLevel(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name)
            return widget;
    return nullptr;
}

} // namespace probereport
