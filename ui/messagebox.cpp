// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/messagebox.h"

#include <utility>

namespace kr52 {

namespace {
MessageHandler &currentHandler()
{
    static MessageHandler handler;
    return handler;
}
} // namespace

QString applicationTitle()
{
    return QStringLiteral("Arvel KR52 Configuration Utility");
}

void showMessage(const QString &title, const QString &text, QMessageBox::Icon icon, QWidget *parent)
{
    if (const MessageHandler &handler = currentHandler()) {
        handler(title, text, icon);
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

MessageHandler setMessageHandler(MessageHandler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}

} // namespace kr52
