// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace kr52 {

// The title of every message box that has none of its own.
[[nodiscard]] QString applicationTitle();

// Every message of the program goes through here: a QMessageBox with one OK button.
void showMessage(const QString &title, const QString &text, QMessageBox::Icon icon, QWidget *parent = nullptr);

// Replaces the message boxes, for tests that want to see title, text and icon without a modal
// loop. An empty handler brings the real boxes back. Returns the handler it replaced.
using MessageHandler = std::function<void(const QString &title, const QString &text, QMessageBox::Icon icon)>;
MessageHandler setMessageHandler(MessageHandler handler);

} // namespace kr52
