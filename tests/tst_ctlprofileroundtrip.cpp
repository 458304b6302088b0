// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/console.h"
#include "ctl/ctl.h"
#include "printer/mscomm.h"
#include "settings/catalogue.h"
#include "shell/frmMain.h"
#include "support/collectingconsole.h"
#include "support/controls.h"
#include "support/linkfixture.h"
#include "support/messagecapture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace kr52;

namespace {

using TestConsole = testsupport::CollectingConsole;

using Choices = QList<QPair<QString, int>>;

// What "Use Settings" sends for the window's choices, written to a printer device file.
QByteArray useSettingsBytes(frmMain &window, const QString &folder)
{
    const QString device = linktest::makeDeviceFile(folder, QStringLiteral("lp"));
    linktest::useParallel(window, 1, device);
    MessageCapture messages;
    testsupport::press(&window, QStringLiteral("comUse"));
    if (messages.count() != 0)
        return messages.last().text.toUtf8();
    return linktest::fileContent(device);
}

// The bytes kr52ctl's dry run of apply prints for the profile, from the hex at each line's start.
QByteArray dryRunBytes(const QString &profile, QStringList &errors)
{
    TestConsole console;
    const int status = ctl::run({"kr52ctl", "apply", profile, "--dry-run"}, console);
    errors = console.errLines;
    if (status != ctl::Done)
        return {};
    QByteArray bytes;
    for (const QString &line : console.outLines)
        bytes += QByteArray::fromHex(line.section(QStringLiteral("  "), 0, 0).toLatin1());
    return bytes;
}

void choose(frmMain &window, const Choices &choices, const QString &cutOffset)
{
    for (const auto &[name, index] : choices)
        window.findChild<QComboBox *>(name)->setCurrentIndex(index);
    window.findChild<QLineEdit *>(QStringLiteral("txtCutOffset"))->setText(cutOffset);
}

} // namespace

// Choices made in the window, saved as a profile: kr52ctl applies exactly the bytes "Use
// Settings" sends, and the window opens the profile to the same choices.
class tst_ctlprofileroundtrip : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { linktest::clearDeviceOverrides(); }

    void appliesWhatTheWindowSends_data()
    {
        QTest::addColumn<Choices>("choices");
        QTest::addColumn<QString>("cutOffset");

        QTest::newRow("every list at No change") << Choices{} << " 0mm";
        for (const SettingRow &row : settingsCatalogue()) {
            if (row.kind == RowKind::CutOffset)
                continue;
            for (int index = 1; index < row.entries.size(); ++index)
                QTest::addRow("%s: %s", qPrintable(row.listName), qPrintable(row.entries[index].trimmed()))
                    << Choices{{row.listName, index}} << "5";
        }
        const Choices adjust{{"comCComp", 1}};
        for (const char *offset : {"-29.9mm", " 29.9mm", " 0mm", "-.1mm", " .1mm", " 12.5mm", "-3"})
            QTest::addRow("cut offset %s", offset) << adjust << offset;
        // Typed past the limits: the window takes the limit before it saves or sends.
        QTest::newRow("typed 40") << adjust << "40";
        QTest::newRow("typed -1e9") << adjust << "-1e9";
        QTest::newRow("typed 1.25") << adjust << "1.25";
        QTest::newRow("typed abc") << adjust << "abc";
        QTest::newRow("every list at a choice") << linktest::longestRunChoices() << linktest::longestRunCutOffset;
    }

    void appliesWhatTheWindowSends()
    {
        QFETCH(Choices, choices);
        QFETCH(QString, cutOffset);
        QTemporaryDir dir;
        const QString profile = dir.filePath(QStringLiteral("shop.ini"));
        frmMain window(QStringLiteral(KR52_PROGRAM_DIR));
        choose(window, choices, cutOffset);
        MessageCapture messages;
        QVERIFY(window.saveProfile(profile));
        QCOMPARE(messages.count(), 0);
        const QByteArray sent = useSettingsBytes(window, dir.path());
        QVERIFY(sent.endsWith(linktest::selfTest()));

        QStringList errors;
        QCOMPARE(dryRunBytes(profile, errors), sent);
        QCOMPARE(errors, QStringList());

        // Opened in a fresh window, the profile gives the same choices and sends the same.
        frmMain opened(QStringLiteral(KR52_PROGRAM_DIR));
        QVERIFY(opened.openProfile(profile));
        QCOMPARE(messages.count(), 0);
        QCOMPARE(useSettingsBytes(opened, dir.path()), sent);
    }

    void appliesTheSerialSettingsItWasSavedWith()
    {
        QTemporaryDir dir;
        const QString profile = dir.filePath(QStringLiteral("serial.ini"));
        frmMain window(QStringLiteral(KR52_PROGRAM_DIR));
        window.setProperty("cmode", QVariant::fromValue<qint16>(1));
        window.serialControl()->setProperty("Settings", QStringLiteral("19200,n,7,2"));
        choose(window, {{"comSpeed", 2}}, QString());
        QVERIFY(window.saveProfile(profile));
        QStringList errors;
        QCOMPARE(dryRunBytes(profile, errors), linktest::switchBytes('2', '+', "0001") + linktest::selfTest());
        QCOMPARE(errors, QStringList());
    }
};

QTEST_MAIN(tst_ctlprofileroundtrip)
#include "tst_ctlprofileroundtrip.moc"
