// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/mscomm.h"
#include "shell/frmMain.h"
#include "support/controls.h"
#include "support/linkfixture.h"
#include "support/messagecapture.h"
#include "support/pseudoterminal.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

using namespace linktest;

using Choices = QList<QPair<QString, int>>;
Q_DECLARE_METATYPE(Choices)

namespace {

QByteArray set(char sw, const char *mask)
{
    return switchBytes(sw, '+', mask);
}

QByteArray clear(char sw, const char *mask)
{
    return switchBytes(sw, '-', mask);
}

void choose(frmMain &main, const Choices &choices)
{
    for (const auto &[name, index] : choices) {
        auto *list = main.findChild<QComboBox *>(name);
        QVERIFY2(list, qPrintable(name));
        list->setCurrentIndex(index);
    }
}

void setCutOffsetText(frmMain &main, const QString &text)
{
    auto *box = main.findChild<QLineEdit *>(QStringLiteral("txtCutOffset"));
    QVERIFY(box);
    box->setText(text);
}

const Choices &everyListAtAChoice = longestRunChoices();

// Lets writes to files grow them to at most limit bytes while it lives; past that a write fails.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = limit;
        m_applied = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_saved); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    [[nodiscard]] bool applied() const { return m_applied; }

private:
    rlimit m_saved{};
    bool m_applied = false;
};

} // namespace

// "Use Settings" over a real pseudo-terminal: what each choice sends, in which order.
class tst_usesettings : public QObject {
    Q_OBJECT

private slots:
    void sendsTheChosenCommandsThenTheSelfTest_data()
    {
        QTest::addColumn<Choices>("choices");
        QTest::addColumn<QString>("cutOffset");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray selfTest = linktest::selfTest();

        QTest::newRow("every list at No change") << Choices{} << " 0mm" << selfTest;
        QTest::newRow("Print Speed: Half Speed")
            << Choices{{"comSpeed", 2}} << " 0mm" << bytes("\x1b\x23\x32\x2b\x30\x30\x30\x31\x0a\x00", 10) + selfTest;
        QTest::newRow("Print Speed: Full Speed")
            << Choices{{"comSpeed", 1}} << " 0mm" << bytes("\x1b\x23\x32\x2d\x30\x30\x30\x31\x0a\x00", 10) + selfTest;
        QTest::newRow("End of Command Code: <NUL> clears bit 0")
            << Choices{{"comEndCode", 1}} << "" << clear('C', "0001") + selfTest;
        QTest::newRow("End of Command Code: <GS> sets bit 1")
            << Choices{{"comEndCode", 2}} << "" << set('C', "0002") + selfTest;
        QTest::newRow("Auto Cutter: Enabled sets") << Choices{{"comCutter", 1}} << "" << set('2', "0100") + selfTest;
        QTest::newRow("Auto Cutter: Disabled clears")
            << Choices{{"comCutter", 2}} << "" << clear('2', "0100") + selfTest;
        QTest::newRow("Measure at power on: On clears")
            << Choices{{"comMeasurePower", 1}} << "" << clear('1', "2000") + selfTest;
        QTest::newRow("Measure on resume: On sets")
            << Choices{{"comMeasureResume", 1}} << "" << set('1', "8000") + selfTest;
        QTest::newRow("Detect start position: On sets")
            << Choices{{"comDetectPower", 1}} << "" << set('1', "4000") + selfTest;
        QTest::newRow("Detect start position: Off clears")
            << Choices{{"comDetectPower", 2}} << "" << clear('1', "4000") + selfTest;
        QTest::newRow("Character set: USA")
            << Choices{{"comCharSet", 1}} << "" << clear('1', "000F") + set('1', "0000") + selfTest;
        QTest::newRow("Character set: Latin America")
            << Choices{{"comCharSet", 13}} << "" << clear('1', "000F") + set('1', "000C") + selfTest;
        QTest::newRow("Code table: Japan")
            << Choices{{"comCPage", 3}} << "" << clear('3', "0300") + set('3', "0200") + selfTest;
        QTest::newRow("Black Mark: clear first, then set")
            << Choices{{"comBMark", 1}} << "" << clear('1', "1000") + set('1', "0100") + selfTest;
        QTest::newRow("Label: both bits set") << Choices{{"comBMark", 2}} << "" << set('1', "1100") + selfTest;
        QTest::newRow("Start detect Dissabled: both cleared")
            << Choices{{"comBMark", 3}} << "" << clear('1', "1100") + selfTest;
        QTest::newRow("Print Columns: index, not the TAB")
            << Choices{{"comColumns", 2}} << "" << set('3', "0010") + selfTest;

        const Choices adjust{{"comCComp", 1}};
        QTest::newRow("offset 12.5") << adjust << " 12.5mm"
                                     << clear('E', "1000") + clear('E', "0FFF") + set('E', "0125") + selfTest;
        QTest::newRow("offset -3.5") << adjust << "-3.5mm"
                                     << set('E', "1000") + clear('E', "0FFF") + set('E', "0035") + selfTest;
        QTest::newRow("offset 0") << adjust << " 0mm"
                                  << clear('E', "1000") + clear('E', "0FFF") + set('E', "0000") + selfTest;
        QTest::newRow("offset 29.9") << adjust << " 29.9mm"
                                     << clear('E', "1000") + clear('E', "0FFF") + set('E', "0299") + selfTest;
        QTest::newRow("no number") << adjust << "abc"
                                   << clear('E', "1000") + clear('E', "0FFF") + set('E', "0000") + selfTest;
        QTest::newRow("1.25 rounds to even")
            << adjust << "1.25" << clear('E', "1000") + clear('E', "0FFF") + set('E', "0012") + selfTest;
        QTest::newRow("1.35 rounds up") << adjust << "1.35"
                                        << clear('E', "1000") + clear('E', "0FFF") + set('E', "0014") + selfTest;
        QTest::newRow("1000 or more keeps three digits")
            << adjust << "123.4" << clear('E', "1000") + clear('E', "0FFF") + set('E', "0234") + selfTest;
        QTest::newRow("beyond 16 bits clamps")
            << adjust << "5000" << clear('E', "1000") + clear('E', "0FFF") + set('E', "0299") + selfTest;
        QTest::newRow("beyond 16 bits negative clamps")
            << adjust << "-1E9" << set('E', "1000") + clear('E', "0FFF") + set('E', "0299") + selfTest;
        QTest::newRow("offset not read at No change")
            << Choices{{"comSpeed", 2}} << "99999999" << set('2', "0001") + selfTest;
        QTest::newRow("switch 3 in catalogue order")
            << Choices{{"comCRCode", 2}, {"comColumns", 1}, {"comLFeed", 2}, {"comCPage", 1}, {"comReverse", 2}} << ""
            << set('3', "0004") + clear('3', "0300") + set('3', "0000") + set('3', "0001") + clear('3', "0010") +
                   set('3', "0002") + selfTest;
    }

    void sendsTheChosenCommandsThenTheSelfTest()
    {
        QFETCH(Choices, choices);
        QFETCH(QString, cutOffset);
        QFETCH(QByteArray, expected);
        PseudoTerminal pty;
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        useSerial(main, 1, pty.devicePath());
        choose(main, choices);
        setCutOffsetText(main, cutOffset);
        MessageCapture messages;
        testsupport::press(&main, QStringLiteral("comUse"));
        QCOMPARE(messages.count(), 0);
        QVERIFY(!main.serialControl()->portOpen());
        QCOMPARE(pty.readAll(), expected);
    }

    void longestRunMatchesTheGoldenFile()
    {
        QFile golden(QStringLiteral(KR52_TEST_DATA "/usesettings/longest-run.bin"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        PseudoTerminal pty;
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        useSerial(main, 1, pty.devicePath());
        choose(main, everyListAtAChoice);
        setCutOffsetText(main, QString::fromLatin1(longestRunCutOffset));
        testsupport::press(&main, QStringLiteral("comUse"));
        QCOMPARE(pty.readAll(), golden.readAll());
        // The selections stay, so a second click sends the same run again.
        testsupport::press(&main, QStringLiteral("comUse"));
        golden.seek(0);
        QCOMPARE(pty.readAll(), golden.readAll());
    }

    void writeFailingMidRunStopsAndCountsWhatWasSent()
    {
        QTemporaryDir dir;
        const QString device = makeDeviceFile(dir.path(), QStringLiteral("lp"));
        QVERIFY(!device.isEmpty());
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        useParallel(main, 2, device);
        choose(main, everyListAtAChoice);
        setCutOffsetText(main, QString::fromLatin1(longestRunCutOffset));

        // The device takes three commands, then every write fails.
        MessageCapture messages;
        {
            FileSizeLimit limit(30);
            QVERIFY(limit.applied());
            testsupport::press(&main, QStringLiteral("comUse"));
        }

        QCOMPARE(messages.count(), 1);
        const QString text = messages.last().text;
        QVERIFY2(text.contains(QStringLiteral("LPT2:")) && text.contains(device), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("3 of 27 setting commands were sent; the printer may now hold only "
                                              "part of the new settings")),
                 qPrintable(text));
        QCOMPARE(messages.last().icon, QMessageBox::Warning);
        QFile golden(QStringLiteral(KR52_TEST_DATA "/usesettings/longest-run.bin"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(fileContent(device), golden.read(30));

        // Nothing is left open: the next action reaches the device again.
        messages.clear();
        testsupport::press(&main, QStringLiteral("Command4"));
        QCOMPARE(messages.count(), 0);
        QCOMPARE(fileContent(device), selfTest());
    }

    // The warning's second line says exactly what reached the printer, wherever the link failed.
    void failureSaysWhatReachedThePrinter_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<Choices>("choices");
        QTest::addColumn<bool>("parallel");
        QTest::addColumn<int>("sizeLimit"); // -1: the device is missing
        QTest::addColumn<QString>("reached");

        const int settingBytes =
            int(QFile(QStringLiteral(KR52_TEST_DATA "/usesettings/longest-run.bin")).size()) - int(selfTest().size());
        const QString nothing = QStringLiteral("Nothing was sent to the printer.");
        QTest::newRow("Use Settings, serial open")
            << QByteArray("comUse") << everyListAtAChoice << false << -1 << nothing;
        QTest::newRow("Use Settings, parallel open")
            << QByteArray("comUse") << everyListAtAChoice << true << -1 << nothing;
        QTest::newRow("Use Settings, first command")
            << QByteArray("comUse") << everyListAtAChoice << true << 0
            << "0 of 27 setting commands were sent; the printer may now hold only part of the new settings.";
        QTest::newRow("Use Settings, self test after all 27")
            << QByteArray("comUse") << everyListAtAChoice << true << settingBytes
            << "All 27 setting commands were sent; the self-test command was not sent.";
        QTest::newRow("Use Settings, self test with nothing to set")
            << QByteArray("comUse") << Choices{} << true << 0
            << "No setting command was needed; the self-test command was not sent.";
        QTest::newRow("Print Self Test, serial open") << QByteArray("Command4") << Choices{} << false << -1 << nothing;
        QTest::newRow("Print Self Test, parallel open") << QByteArray("Command4") << Choices{} << true << -1 << nothing;
        QTest::newRow("Print Self Test, write")
            << QByteArray("Command4") << everyListAtAChoice << true << 0 << "The self-test command was not sent.";
    }

    void failureSaysWhatReachedThePrinter()
    {
        QFETCH(QByteArray, button);
        QFETCH(Choices, choices);
        QFETCH(bool, parallel);
        QFETCH(int, sizeLimit);
        QFETCH(QString, reached);
        QTemporaryDir dir;
        const QString device = sizeLimit < 0 ? dir.filePath(QStringLiteral("unplugged"))
                                             : makeDeviceFile(dir.path(), QStringLiteral("lp"));
        QVERIFY(!device.isEmpty());
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        parallel ? useParallel(main, 1, device) : useSerial(main, 1, device);
        choose(main, choices);
        setCutOffsetText(main, QString::fromLatin1(longestRunCutOffset));
        MessageCapture messages;
        {
            FileSizeLimit limit(rlim_t(qMax(0, sizeLimit)));
            QVERIFY(sizeLimit < 0 || limit.applied());
            testsupport::press(&main, QString::fromLatin1(button.constData()));
        }
        QCOMPARE(messages.count(), 1);
        const MessageCapture::Message &message = messages.last();
        QCOMPARE(message.icon, QMessageBox::Warning);
        QCOMPARE(message.title, QStringLiteral("Arvel KR52 Configuration Utility"));
        const QStringList lines = message.text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        // The first line is the link's reason, naming the port and its device.
        QVERIFY2(lines[0].startsWith(QStringLiteral("Could not ")) && lines[0].contains(device), qPrintable(lines[0]));
        QCOMPARE(lines[1], reached);
    }
};

QTEST_MAIN(tst_usesettings)
#include "tst_usesettings.moc"
