// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/responsivesend.h"

#include "printer/printerlink.h"
#include "ui/messagebox.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QWidget>

#include <thread>

namespace kr52 {

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

} // namespace

ResponsiveSend::ResponsiveSend(QWidget *window) : m_window(window) {}

ResponsiveSend::~ResponsiveSend()
{
    delete m_dialog;
}

bool ResponsiveSend::eventFilter(QObject *watched, QEvent *event)
{
    if (!isUserInput(event->type()))
        return false;
    // Only the progress dialog takes input while the action runs.
    const auto *widget = qobject_cast<QWidget *>(watched);
    return widget && !(m_dialog && (widget == m_dialog || m_dialog->isAncestorOf(widget)));
}

void ResponsiveSend::showProgress(int sent, const QString &where)
{
    if (!m_dialog)
        return;
    const int next = sent + 1;
    m_dialog->setLabelText(
        next <= m_settingTotal
            ? QStringLiteral("Sending setting %1 of %2 to %3...").arg(next).arg(m_settingTotal).arg(where)
            : QStringLiteral("Sending the self-test command to %1...").arg(where));
    if (sent < m_commandTotal)
        m_dialog->setValue(sent);
}

SendOutcome ResponsiveSend::run(PrinterLink &link, const SendPlan &plan)
{
    m_settingTotal = int(plan.settingCommands.size());
    m_commandTotal = int(plan.commands().size());
    const QString where = link.description();

    m_dialog = new QProgressDialog(m_window);
    m_dialog->setObjectName(QStringLiteral("sendProgress"));
    m_dialog->setWindowTitle(applicationTitle());
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setRange(0, m_commandTotal);
    m_dialog->setMinimumDuration(progressDelayMs);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    connect(m_dialog, &QProgressDialog::canceled, this, &ResponsiveSend::cancel);
    showProgress(0, where);

    qApp->installEventFilter(this);
    SendOutcome outcome;
    std::thread worker([&] {
        outcome = runSendPlan(
            link, plan,
            [this, where](int sent, int) {
                QMetaObject::invokeMethod(
                    this, [this, sent, where] { showProgress(sent, where); }, Qt::QueuedConnection);
            },
            &m_cancelled);
        m_finished = true;
        // Wakes the waiting loop below.
        QMetaObject::invokeMethod(
            this, [] {}, Qt::QueuedConnection);
    });
    // A loop of our own rather than QEventLoop::exec(): the application quitting meanwhile
    // (the window closed) ends every running exec(), but the action must still be waited for.
    while (!m_finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    worker.join();
    qApp->removeEventFilter(this);
    delete m_dialog;
    return outcome;
}

} // namespace kr52
