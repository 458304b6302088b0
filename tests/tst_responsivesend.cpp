// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/mscomm.h"
#include "shell/frmMain.h"
#include "support/linkfixture.h"
#include "support/messagecapture.h"
#include "support/pseudoterminal.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace linktest;

namespace {

constexpr int writeTimeoutMs = 1200;

// What the window did while an action ran: the longest gap between the ticks of a 20 ms timer,
// how often it painted, and what the progress dialog showed.
class Watch : public QObject {
public:
    explicit Watch(frmMain &main) : m_main(main)
    {
        main.installEventFilter(this);
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            longestGapMs = std::max(longestGapMs, m_sinceTick.restart());
            m_main.update();
            if (auto *dialog = m_main.findChild<QProgressDialog *>(); dialog && dialog->isVisible()) {
                shownAfterMs = shownAfterMs < 0 ? m_clock.elapsed() : shownAfterMs;
                modal = dialog->windowModality() == Qt::WindowModal;
                if (auto *label = dialog->findChild<QLabel *>())
                    labels.insert(label->text());
            }
            if (m_act && m_clock.elapsed() >= m_actAtMs)
                std::exchange(m_act, nullptr)();
        });
    }

    // Runs act once, actAtMs after start.
    void at(int actAtMs, std::function<void()> act)
    {
        m_actAtMs = actAtMs;
        m_act = std::move(act);
    }

    void start()
    {
        m_clock.start();
        m_sinceTick.start();
        m_timer.start();
    }

    qint64 elapsed() const { return m_clock.elapsed(); }

    qint64 longestGapMs = 0;
    int paints = 0;
    qint64 shownAfterMs = -1;
    bool modal = false;
    QSet<QString> labels;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }

private:
    frmMain &m_main;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceTick;
    int m_actAtMs = 0;
    std::function<void()> m_act;
};

QPushButton *button(frmMain &main, const char *name)
{
    return main.findChild<QPushButton *>(QString::fromLatin1(name));
}

// Presses the progress dialog's Cancel as the operator does, with the mouse.
void pressCancel(frmMain &main)
{
    auto *dialog = main.findChild<QProgressDialog *>();
    QVERIFY(dialog && dialog->isVisible());
    auto *cancel = dialog->findChild<QPushButton *>();
    QVERIFY(cancel);
    QTest::mouseClick(cancel, Qt::LeftButton);
}

// The main window with "COM1:" on a pseudo-terminal whose output is stopped: the printer takes
// nothing, and each write waits for its timeout.
// Tests name its parts with plain references: clang 14 cannot capture structured bindings in lambdas.
struct StalledWindow {
    PseudoTerminal pty;
    MessageCapture messages;
    frmMain main{QStringLiteral(KR52_PROGRAM_DIR)};

    StalledWindow()
    {
        main.show();
        useSerial(main, 1, pty.devicePath());
        main.serialControl()->setWriteTimeout(writeTimeoutMs);
        pty.stopOutput();
    }
};

} // namespace

// The window while it sends over a line that takes nothing: it keeps running, shows what it is
// sending, can be cancelled or closed, and the action still ends at its deadline.
class tst_responsivesend : public QObject {
    Q_OBJECT

private slots:
    void init() { clearDeviceOverrides(); }

    void aStoppedLineLeavesTheWindowAliveUntilTheDeadline()
    {
        StalledWindow stalled;
        auto &pty = stalled.pty;
        auto &messages = stalled.messages;
        auto &main = stalled.main;
        main.findChild<QComboBox *>(QStringLiteral("comSpeed"))->setCurrentIndex(2);

        Watch watch(main);
        // A second press meanwhile must not start a second action over the same port.
        watch.at(100, [&] { QTest::mouseClick(button(main, "Command4"), Qt::LeftButton); });
        watch.start();
        button(main, "comUse")->click();
        const qint64 tookMs = watch.elapsed();

        QVERIFY2(tookMs >= writeTimeoutMs && tookMs < writeTimeoutMs + 400, qPrintable(QString::number(tookMs)));
        // About 100 ms is the aim; the margin allows for a loaded machine (bench/ has the figure).
        QVERIFY2(watch.longestGapMs < 250, qPrintable(QString::number(watch.longestGapMs)));
        QVERIFY(watch.paints >= 10);
        QVERIFY2(watch.shownAfterMs >= 400 && watch.shownAfterMs < 800,
                 qPrintable(QString::number(watch.shownAfterMs)));
        QVERIFY(watch.modal);
        QCOMPARE(watch.labels,
                 QSet<QString>{QStringLiteral("Sending setting 1 of 1 to COM1: (%1)...").arg(pty.devicePath())});
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().text.startsWith(
                     QStringLiteral("Could not write to COM1: (%1): Timed out").arg(pty.devicePath())),
                 qPrintable(messages.last().text));
        QVERIFY(messages.last().text.endsWith(QStringLiteral(
            "0 of 1 setting commands were sent; the printer may now hold only part of the new settings.")));
        QVERIFY(!main.serialControl()->portOpen());
        QVERIFY(!main.findChild<QProgressDialog *>());
    }

    void aShortActionShowsNoProgress()
    {
        PseudoTerminal pty;
        MessageCapture messages;
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        useSerial(main, 1, pty.devicePath());
        Watch watch(main);
        watch.start();
        button(main, "Command4")->click();
        QCOMPARE(messages.count(), 0);
        QCOMPARE(watch.shownAfterMs, -1);
        QCOMPARE(pty.readAll(), selfTest());
    }

    void cancelStopsTheSendAndSaysWhatReachedThePrinter()
    {
        StalledWindow stalled;
        auto &pty = stalled.pty;
        auto &messages = stalled.messages;
        auto &main = stalled.main;

        Watch watch(main);
        qint64 cancelledAtMs = -1;
        watch.at(700, [&] {
            cancelledAtMs = watch.elapsed();
            pressCancel(main);
        });
        watch.start();
        button(main, "Command4")->click();
        const qint64 afterCancelMs = watch.elapsed() - cancelledAtMs;

        QVERIFY(cancelledAtMs > 0);
        QVERIFY2(afterCancelMs < 250, qPrintable(QString::number(afterCancelMs)));
        QCOMPARE(watch.labels,
                 QSet<QString>{QStringLiteral("Sending the self-test command to COM1: (%1)...").arg(pty.devicePath())});
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, QStringLiteral("Sending to COM1: (%1) was cancelled.\nThe self-test command "
                                                      "was not sent.")
                                           .arg(pty.devicePath()));
        // The port is released: the next action opens it and sends.
        QVERIFY(!main.serialControl()->portOpen());
        pty.resumeOutput();
        messages.clear();
        button(main, "Command4")->click();
        QCOMPARE(messages.count(), 0);
        QCOMPARE(pty.readAll(), selfTest());
    }

    void closingTheWindowMidSendCancelsReleasesAndCloses()
    {
        StalledWindow stalled;
        auto &pty = stalled.pty;
        auto &messages = stalled.messages;
        auto &main = stalled.main;

        Watch watch(main);
        watch.at(200, [&] { main.close(); });
        watch.start();
        button(main, "Command4")->click();

        QVERIFY2(watch.elapsed() < 500, qPrintable(QString::number(watch.elapsed())));
        QVERIFY(!main.isVisible());
        QVERIFY(!main.serialControl()->portOpen());
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.last().text.startsWith(
            QStringLiteral("Sending to COM1: (%1) was cancelled.").arg(pty.devicePath())));
    }
};

QTEST_MAIN(tst_responsivesend)
#include "tst_responsivesend.moc"
