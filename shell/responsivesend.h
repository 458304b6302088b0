// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/sendsequence.h"

#include <QObject>
#include <QPointer>

#include <atomic>

class QProgressDialog;
class QWidget;

namespace kr52 {

// Runs one printer action on a worker thread and returns when it has ended, while the window's
// event loop keeps running: it repaints, timers fire, and the window can be closed. Input to
// every other widget is held back meanwhile, so no second action starts over the same link.
// An action still running after progressDelayMs shows a modal progress dialog over the window,
// saying what is being sent and where, whose Cancel stops the action at the next command.
class ResponsiveSend : public QObject {
    Q_OBJECT

public:
    explicit ResponsiveSend(QWidget *window);
    ~ResponsiveSend() override;

    // link and plan must outlive the call; the window's own objects are not touched by the worker.
    [[nodiscard]] SendOutcome run(PrinterLink &link, const SendPlan &plan);
    // Stops the running action at the next command (or sooner, while the link waits).
    void cancel() { m_cancelled = true; }

    static constexpr int progressDelayMs = 500;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showProgress(int sent, const QString &where);

    QWidget *m_window;
    QPointer<QProgressDialog> m_dialog;
    int m_settingTotal = 0;
    int m_commandTotal = 0;
    std::atomic_bool m_cancelled{false};
    std::atomic_bool m_finished{false};
};

} // namespace kr52
