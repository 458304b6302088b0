// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/messagecapture.h"

MessageCapture::MessageCapture()
{
    m_previous = kr52::setMessageHandler([this](const QString &title, const QString &text, QMessageBox::Icon icon) {
        m_messages.append({title, text, icon});
    });
}

MessageCapture::~MessageCapture()
{
    kr52::setMessageHandler(m_previous);
}
