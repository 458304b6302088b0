// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/messagebox.h"

#include <QList>

// Collects the program's message boxes instead of showing them, for as long as it lives.
class MessageCapture {
public:
    struct Message {
        QString title;
        QString text;
        QMessageBox::Icon icon;
    };

    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    [[nodiscard]] const QList<Message> &messages() const { return m_messages; }
    [[nodiscard]] int count() const { return int(m_messages.size()); }
    [[nodiscard]] const Message &last() const { return m_messages.last(); }
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
    kr52::MessageHandler m_previous;
};
