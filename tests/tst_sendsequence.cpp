// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/printererror.h"
#include "printer/printerlink.h"
#include "printer/sendsequence.h"
#include "settings/catalogue.h"
#include "settings/sendplan.h"
#include "support/cataloguerow.h"

#include <QTest>

using namespace kr52;

namespace {

// A link that fails at a chosen step: 0 the open, k the k-th send, -1 the close; -2 never.
class FailingLink : public PrinterLink {
public:
    explicit FailingLink(int failAt) : m_failAt(failAt) {}
    void open() override { failIf(0); }
    void send(const QByteArray &text) override
    {
        failIf(++m_sends);
        sent.append(text);
    }
    void close() override { failIf(-1); }
    void discard() noexcept override { ++discards; }
    QString description() const override { return QStringLiteral("test link"); }

    QList<QByteArray> sent;
    int discards = 0;

private:
    void failIf(int step) const
    {
        if (step == m_failAt)
            throw PrinterError(QStringLiteral("Could not reach test link: step %1.").arg(step));
    }
    int m_failAt;
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
