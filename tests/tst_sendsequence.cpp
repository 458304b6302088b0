// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/mscomm.h"
#include "printer/parallelport.h"
#include "printer/printererror.h"
#include "printer/printerlink.h"
#include "printer/sendsequence.h"
#include "settings/catalogue.h"
#include "settings/sendplan.h"
#include "support/cataloguerow.h"
#include "support/faultinjection.h"
#include "support/linkfixture.h"
#include "support/pseudoterminal.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <QSet>
#include <QTest>

#include <atomic>
#include <memory>

using namespace kr52;

namespace {

// A link that fails at a chosen step: 0 the open, k the k-th send, -1 the close; -2 never. A
// failing send may say that the port took its text (inDoubt). Each send and the close note the
// deadline they were given; the cancel flag, when given, is raised during the cancelAt-th send.
class FailingLink : public PrinterLink {
public:
    explicit FailingLink(int failAt, bool inDoubt = false) : m_failAt(failAt), m_inDoubt(inDoubt) {}
    void open() override { failIf(0); }
    void send(const QByteArray &text, const SendLimit &limit) override
    {
        deadlines.append(limit.deadline.deadlineNSecs());
        failIf(++m_sends);
        sent.append(text);
        if (m_sends == cancelAt && cancel)
            *cancel = true;
    }
    void close(const SendLimit &limit) override
    {
        deadlines.append(limit.deadline.deadlineNSecs());
        failIf(-1);
    }
    QDeadlineTimer actionDeadline(qsizetype bytes) const override
    {
        deadlineAskedFor = bytes;
        return QDeadlineTimer(1000);
    }
    void discard() noexcept override { ++discards; }
    QString description() const override { return QStringLiteral("test link"); }

    QList<QByteArray> sent;
    QList<qint64> deadlines;
    mutable qsizetype deadlineAskedFor = -1;
    int discards = 0;
    std::atomic_bool *cancel = nullptr;
    int cancelAt = 0;

private:
    void failIf(int step) const
    {
        if (step == m_failAt)
            throw PrinterError(QStringLiteral("Could not reach test link: step %1.").arg(step), m_inDoubt);
    }
    int m_failAt;
    bool m_inDoubt;
    int m_sends = 0;
};

std::vector<int> indexesFor(std::initializer_list<std::pair<const char *, int>> choices)
{
    std::vector<int> indexes(settingsCatalogue().size(), 0);
    for (const auto &[listName, index] : choices)
        if (const int row = testsupport::catalogueIndex(QLatin1String(listName)); row >= 0)
            indexes[std::size_t(row)] = index;
    return indexes;
}

// Three setting commands: Print Speed (one), Character Code Table (two).
SendPlan threeSettings(bool withSelfTest = true)
{
    return planSettings(indexesFor({{"comSpeed", 2}, {"comCPage", 3}}), {}, withSelfTest);
}

// One setting command: Print Speed.
SendPlan oneSetting(bool withSelfTest = true)
{
    return planSettings(indexesFor({{"comSpeed", 2}}), {}, withSelfTest);
}

} // namespace

// The one send sequence behind "Use Settings", "Print Self Test" and kr52ctl: the words for what
// reached the printer at every point a link can fail.
class tst_sendsequence : public QObject {
    Q_OBJECT

private slots:
    void saysWhatReachedThePrinter_data()
    {
        QTest::addColumn<SendPlan>("plan");
        QTest::addColumn<int>("failAt");
        QTest::addColumn<int>("settingsSent");
        QTest::addColumn<QString>("reached");

        const SendPlan settings = threeSettings();
        const SendPlan none = planSettings({}, {});
        const SendPlan noSelfTest = threeSettings(false);
        const SendPlan selfTest = planSelfTest();
        QTest::newRow("settings: open") << settings << 0 << 0 << "Nothing was sent to the printer.";
        QTest::newRow("settings: first command")
            << settings << 1 << 0
            << "0 of 3 setting commands were sent; the printer may now hold only part of the new settings.";
        QTest::newRow("settings: second command")
            << settings << 2 << 1
            << "1 of 3 setting commands was sent; the printer may now hold only part of the new settings.";
        QTest::newRow("settings: third command")
            << settings << 3 << 2
            << "2 of 3 setting commands were sent; the printer may now hold only part of the new settings.";
        QTest::newRow("settings: self test")
            << settings << 4 << 3 << "All 3 setting commands were sent; the self-test command was not sent.";
        QTest::newRow("settings: close")
            << settings << -1 << 3
            << "All 3 setting commands and the self-test command were sent, but the port did not close cleanly.";
        QTest::newRow("settings: done") << settings << -2 << 3
                                        << "All 3 setting commands and the self-test command were sent.";
        QTest::newRow("no setting: self test")
            << none << 1 << 0 << "No setting command was needed; the self-test command was not sent.";
        QTest::newRow("no setting: close")
            << none << -1 << 0
            << "No setting command was needed; the self-test command was sent, but the port did not close cleanly.";
        QTest::newRow("no self test: close")
            << noSelfTest << -1 << 3 << "All 3 setting commands were sent, but the port did not close cleanly.";
        QTest::newRow("no self test: done") << noSelfTest << -2 << 3 << "All 3 setting commands were sent.";
        QTest::newRow("one setting: self test")
            << oneSetting() << 2 << 1 << "All 1 setting command was sent; the self-test command was not sent.";
        QTest::newRow("one setting: done")
            << oneSetting() << -2 << 1 << "All 1 setting command and the self-test command were sent.";
        QTest::newRow("one setting, no self test: done")
            << oneSetting(false) << -2 << 1 << "All 1 setting command was sent.";
        QTest::newRow("self test: open") << selfTest << 0 << 0 << "Nothing was sent to the printer.";
        QTest::newRow("self test: write") << selfTest << 1 << 0 << "The self-test command was not sent.";
        QTest::newRow("self test: close")
            << selfTest << -1 << 0 << "The self-test command was sent, but the port did not close cleanly.";
    }

    void saysWhatReachedThePrinter()
    {
        QFETCH(SendPlan, plan);
        QFETCH(int, failAt);
        QFETCH(int, settingsSent);
        QFETCH(QString, reached);
        FailingLink link(failAt);
        QList<int> progress;
        const SendOutcome outcome = runSendPlan(link, plan, [&](int sent, int total) {
            QCOMPARE(total, int(plan.commands().size()));
            progress.append(sent);
        });
        QCOMPARE(outcome.reached, reached);
        QCOMPARE(outcome.settingCommandsSent, settingsSent);
        QCOMPARE(outcome.succeeded(), failAt == -2);
        // Nothing is sent after a failure, and a failed link is left discarded.
        QCOMPARE(link.discards, outcome.succeeded() ? 0 : 1);
        QCOMPARE(progress.size(), link.sent.size());
        if (!outcome.succeeded())
            QCOMPARE(outcome.message(), QStringLiteral("Could not reach test link: step %1.\n").arg(failAt) + reached);
    }

    // A failure after the port took the text (a hang-up or time-out while the line drains) leaves
    // that command in doubt; it is not counted as sent, nor as never sent.
    void aCommandThePortTookIsInDoubt_data()
    {
        QTest::addColumn<SendPlan>("plan");
        QTest::addColumn<int>("failAt");
        QTest::addColumn<QString>("reached");
        QTest::newRow("first setting") << threeSettings() << 1
                                       << "0 of 3 setting commands were sent, and the next went to the port but may "
                                          "not have reached the printer whole; the printer may now hold only part of "
                                          "the new settings.";
        QTest::newRow("self test after settings")
            << threeSettings() << 4
            << "All 3 setting commands were sent; the self-test command went to the port but may not have reached "
               "the printer whole.";
        QTest::newRow("self test alone")
            << planSelfTest() << 1
            << "The self-test command went to the port but may not have reached the printer whole.";
    }

    void aCommandThePortTookIsInDoubt()
    {
        QFETCH(SendPlan, plan);
        QFETCH(int, failAt);
        QFETCH(QString, reached);
        FailingLink link(failAt, true);
        const SendOutcome outcome = runSendPlan(link, plan);
        QCOMPARE(outcome.reached, reached);
        QVERIFY(outcome.commandInDoubt);
        QCOMPARE(outcome.settingCommandsSent, failAt - 1);
    }

    // Every command and the close share one deadline, set once for all the plan's bytes.
    void theWholeActionHasOneDeadline()
    {
        FailingLink link(-2);
        const SendPlan plan = threeSettings();
        QVERIFY(runSendPlan(link, plan).succeeded());
        qsizetype bytes = 0;
        for (const PlannedCommand &command : plan.commands())
            bytes += command.bytes.size();
        QCOMPARE(link.deadlineAskedFor, bytes);
        QCOMPARE(link.deadlines.size(), 5);
        QCOMPARE(QSet<qint64>(link.deadlines.begin(), link.deadlines.end()).size(), 1);
    }

    // A cancel stops the run before the next command; the port is left discarded and the words
    // say what went out.
    void cancelStopsAtTheNextCommand()
    {
        FailingLink link(-2);
        std::atomic_bool cancelled{false};
        link.cancel = &cancelled;
        link.cancelAt = 2;
        QList<int> progress;
        const SendOutcome outcome = runSendPlan(
            link, threeSettings(), [&](int sent, int) { progress.append(sent); }, &cancelled);
        QVERIFY(outcome.cancelled);
        QCOMPARE(link.sent.size(), 2);
        QCOMPARE(progress, QList<int>({1, 2}));
        QCOMPARE(link.discards, 1);
        QCOMPARE(outcome.message(),
                 QStringLiteral("Sending to test link was cancelled.\n2 of 3 setting commands were sent; the printer "
                                "may now hold only part of the new settings."));
    }

    // A printer that takes one command every 400 ms, on either link: each command alone would
    // pass its own 600 ms limit, but the action ends at its one deadline, with the count right.
    void aSlowDeviceEndsAtTheActionDeadline_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::newRow("serial") << true;
        QTest::newRow("parallel") << false;
    }

    void aSlowDeviceEndsAtTheActionDeadline()
    {
        QFETCH(bool, serial);
        constexpr int writeTimeoutMs = 600;
        PseudoTerminal pty;
        QTemporaryDir folder;
        MSComm comm;
        ParallelPort port;
        std::unique_ptr<PrinterLink> link;
        QString device;
        if (serial) {
            device = pty.devicePath();
            comm.setDevicePath(device);
            comm.setWriteTimeout(writeTimeoutMs);
            link = std::make_unique<SerialLink>(comm);
        } else {
            device = linktest::makeDeviceFile(folder.path(), QStringLiteral("lp0"));
            port.setWriteTimeout(writeTimeoutMs);
            link = std::make_unique<ParallelLink>(port, device);
        }
        FaultInjection faults(device);
        faults.setTakesOneWriteEvery(400);
        const SendPlan plan = threeSettings();
        qsizetype bytes = 0;
        for (const PlannedCommand &command : plan.commands())
            bytes += command.bytes.size();
        const qint64 lineMs = serial ? bytes * 11 * 1000 / 9600 : 0;

        QElapsedTimer clock;
        clock.start();
        const SendOutcome outcome = runSendPlan(*link, plan);
        const qint64 tookMs = clock.elapsed();
        QCOMPARE(outcome.settingCommandsSent, 2);
        QVERIFY2(outcome.reason.contains(QStringLiteral("Timed out")), qPrintable(outcome.reason));
        QCOMPARE(outcome.reached, QStringLiteral("2 of 3 setting commands were sent; the printer may now hold only "
                                                 "part of the new settings."));
        QVERIFY2(tookMs >= writeTimeoutMs && tookMs < writeTimeoutMs + lineMs + 250,
                 qPrintable(QStringLiteral("took %1 ms").arg(tookMs)));
    }

    void sendsInCatalogueOrderThenTheSelfTest()
    {
        FailingLink link(-2);
        QVERIFY(runSendPlan(link, threeSettings()).succeeded());
        const QList<QByteArray> expected{QByteArray("\x1b#2+0001\n", 9) + '\0', QByteArray("\x1b#3-0300\n", 9) + '\0',
                                         QByteArray("\x1b#3+0200\n", 9) + '\0', QByteArray("\x1b?\n", 3) + '\0'};
        QCOMPARE(link.sent, expected);
    }

    void readsTheCutOffsetOnlyWhenAdjusting()
    {
        const QString offset = QStringLiteral("-3.5mm");
        QCOMPARE(planSettings(indexesFor({{"comCComp", 0}}), offset).settingCommands.size(), 0);
        const SendPlan adjusting = planSettings(indexesFor({{"comCComp", 1}}), offset);
        QCOMPARE(adjusting.settingCommands.size(), 3);
        QCOMPARE(adjusting.settingCommands.last().bytes, QByteArray("\x1b#E+0035\n", 9) + '\0');
    }
};

QTEST_GUILESS_MAIN(tst_sendsequence)
#include "tst_sendsequence.moc"
