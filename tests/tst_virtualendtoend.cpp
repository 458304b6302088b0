// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/mscomm.h"
#include "settings/catalogue.h"
#include "shell/frmMain.h"
#include "support/cataloguerow.h"
#include "support/controls.h"
#include "support/messagecapture.h"
#include "virtual/linklistener.h"
#include "virtual/virtualprinter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>
#include <optional>

using namespace kr52;
using namespace kr52::virt;

namespace {

// The bits each list owns, written out here rather than taken from the catalogue, so that a wrong
// mask in the catalogue shows up as a bit changed outside its list.
const std::map<QString, std::pair<int, quint16>> bitsOfList{
    {"comEmulation", {0x0, 0x0001}},     {"comFF", {0x0, 0x0004}},          {"comSpeed", {0x2, 0x0001}},
    {"comReverse", {0x3, 0x0004}},       {"comEndCode", {0xC, 0x0003}},     {"comPoutSig", {0xD, 0x1000}},
    {"comPout", {0xD, 0x0100}},          {"comIdleAction", {0xD, 0x0001}},  {"comRAMBack", {0xF, 0x0001}},
    {"comCutter", {0x2, 0x0100}},        {"comCharSet", {0x1, 0x000F}},     {"comCPage", {0x3, 0x0300}},
    {"comZStyle", {0x1, 0x0010}},        {"comLFeed", {0x3, 0x0001}},       {"comColumns", {0x3, 0x0010}},
    {"comCRCode", {0x3, 0x0002}},        {"comBMark", {0x1, 0x1100}},       {"comMeasurePower", {0x1, 0x2000}},
    {"comMeasureResume", {0x1, 0x8000}}, {"comDetectPower", {0x1, 0x4000}}, {"comCutPos", {0x2, 0x0800}},
    {"comCComp", {0xE, 0x1FFF}},
};

// What each entry, from index 1 on, leaves in its list's bits, typed from the printer's switch
// layout. "End of Command Code" changes one of its two bits at a time and is checked on its own.
const std::map<QString, QList<quint16>> fieldAfterEntry{
    {"comEmulation", {0x0000, 0x0001}},
    {"comFF", {0x0000, 0x0004}},
    {"comSpeed", {0x0000, 0x0001}},
    {"comReverse", {0x0000, 0x0004}},
    {"comPoutSig", {0x0000, 0x1000}},
    {"comPout", {0x0000, 0x0100}},
    {"comIdleAction", {0x0000, 0x0001}},
    {"comRAMBack", {0x0000, 0x0001}},
    {"comCutter", {0x0100, 0x0000}}, // "Enabled" sets the bit
    {"comCharSet", {0x0, 0x1, 0x2, 0x3, 0x4, 0x5, 0x6, 0x7, 0x8, 0x9, 0xA, 0xB, 0xC}},
    {"comCPage", {0x0000, 0x0100, 0x0200}},
    {"comZStyle", {0x0000, 0x0010}},
    {"comLFeed", {0x0000, 0x0001}},
    {"comColumns", {0x0000, 0x0010}},
    {"comCRCode", {0x0000, 0x0002}},
    {"comBMark", {0x0100, 0x1100, 0x0000}},
    {"comMeasurePower", {0x0000, 0x2000}},
    {"comMeasureResume", {0x8000, 0x0000}}, // "On" sets the bit
    {"comDetectPower", {0x4000, 0x0000}},
    {"comCutPos", {0x0000, 0x0800}},
};

SwitchBank filled(quint16 pattern)
{
    SwitchBank switches;
    for (int i = 0; i < SwitchBank::count; ++i)
        switches.setValue(i, quint16(pattern ^ (i * 0x1111))); // a different pattern on every switch
    return switches;
}

// Fails unless every bit outside allowed (per switch) is as it was.
void verifyOnlyTheseBitsChanged(const SwitchBank &before, const SwitchBank &after,
                                const std::map<int, quint16> &allowed)
{
    for (int i = 0; i < SwitchBank::count; ++i) {
        const auto found = allowed.find(i);
        const quint16 mask = found == allowed.end() ? 0 : found->second;
        QVERIFY2((before.value(i) & ~mask) == (after.value(i) & ~mask),
                 qPrintable(QStringLiteral("switch %1 went from %2 to %3; only bits %4 may change")
                                .arg(QLatin1Char(designatorOf(i)))
                                .arg(hexWord(before.value(i)), hexWord(after.value(i)), hexWord(mask))));
    }
}

} // namespace

// The real main window sends over a real pseudo-terminal to the virtual printer, which reads the
// other side: what the page decodes is what the printer's switches hold.
class tst_virtualendtoend : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<LinkListener> link;
    std::unique_ptr<VirtualPrinter> printer;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<MessageCapture> messages;
    QLineEdit *cutOffsetBox = nullptr;
    std::optional<SelfTestPage> lastPage;
    int pages = 0;

    QComboBox *list(const QString &name) const { return testsupport::control<QComboBox>(main.get(), name); }

    // Presses the button and waits for the self-test page that ends every action.
    void press(const char *button)
    {
        const int before = pages;
        QVERIFY(testsupport::press(main.get(), QLatin1String(button)));
        QCOMPARE(messages->count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(pages, before + 1, 5000);
    }

    void useSettings() { press("comUse"); }

    void setOnly(const QString &listName, int index)
    {
        for (const SettingRow &row : settingsCatalogue())
            list(row.listName)->setCurrentIndex(row.listName == listName ? index : 0);
    }

    const DecodedSetting &decoded(const QString &listName) const
    {
        static const DecodedSetting none;
        const int row = testsupport::catalogueIndex(listName);
        return row < 0 || !lastPage ? none : lastPage->settings.at(std::size_t(row));
    }

private slots:
    void initTestCase()
    {
        QString error;
        link = LinkListener::openPseudoTerminal(error);
        QVERIFY2(link, qPrintable(error));
        qputenv("KR52_COM1", link->devicePath().toLocal8Bit());
        printer = std::make_unique<VirtualPrinter>();
        connect(link.get(), &LinkListener::received, printer.get(), &VirtualPrinter::receive);
        connect(link.get(), &LinkListener::failed, this, [](const QString &message) { QFAIL(qPrintable(message)); });
        connect(printer.get(), &VirtualPrinter::bytesIgnored, this,
                [](const QString &report) { QFAIL(qPrintable(report)); });
        connect(printer.get(), &VirtualPrinter::selfTestPrinted, this, [this](const SelfTestPage &page) {
            lastPage = page;
            ++pages;
        });

        main = std::make_unique<frmMain>(QStringLiteral(KR52_PROGRAM_DIR));
        main->setProperty("cmode", QVariant::fromValue<qint16>(1));
        main->serialControl()->setCommPort(1);
        messages = std::make_unique<MessageCapture>();
        cutOffsetBox = testsupport::control<QLineEdit>(main.get(), QStringLiteral("txtCutOffset"));
        QVERIFY(cutOffsetBox);
        for (const SettingRow &row : settingsCatalogue()) {
            QVERIFY2(list(row.listName), qPrintable(row.listName));
            // Every entry of every list with fixed bits has its value in the table above.
            if (row.kind != RowKind::CutOffset && row.listName != QLatin1String("comEndCode"))
                QCOMPARE(fieldAfterEntry.at(row.listName).size(), row.entries.size() - 1);
        }
    }

    void cleanupTestCase()
    {
        messages.reset();
        main.reset();
    }

    void everyEntryDecodesBack_data()
    {
        QTest::addColumn<QString>("listName");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("cutOffset");
        QTest::addColumn<quint16>("pattern");
        QTest::addColumn<QString>("offsetRead");
        QTest::addColumn<int>("field"); // the list's bits afterwards; -1 where checked apart

        // The cut offset as the adjuster writes it or as typed, as switch E holds it (the sign in
        // bit 12, then three decimal digits of tenths of a millimetre) and as the page reads it.
        struct Offset {
            const char *typed;
            int stored;
            const char *read;
        };
        const std::vector<Offset> offsets{
            {"-3.5mm", 0x1035, "-3.5 mm"},   {" 12.5mm", 0x0125, "12.5 mm"}, {" 29.9mm", 0x0299, "29.9 mm"},
            {"-29.9mm", 0x1299, "-29.9 mm"}, {" 0mm", 0x0000, "0.0 mm"},     {" .4mm", 0x0004, "0.4 mm"},
            {"-.1mm", 0x1001, "-0.1 mm"},    {"1.25", 0x0012, "1.2 mm"},     {"abc", 0x0000, "0.0 mm"}};
        const std::vector<std::pair<const char *, quint16>> patterns{
            {"cleared", 0x0000}, {"set", 0xFFFF}, {"mixed", 0xA5C3}};
        for (const auto &[patternName, pattern] : patterns) {
            for (const SettingRow &row : settingsCatalogue()) {
                if (row.kind == RowKind::CutOffset) {
                    for (const Offset &offset : offsets)
                        QTest::addRow("%s %s %s", patternName, qPrintable(row.listName), offset.typed)
                            << row.listName << 1 << QString::fromLatin1(offset.typed) << pattern
                            << QString::fromLatin1(offset.read) << offset.stored;
                    continue;
                }
                const auto field = fieldAfterEntry.find(row.listName);
                for (int index = 1; index < row.entries.size(); ++index)
                    QTest::addRow("%s %s %s", patternName, qPrintable(row.listName),
                                  qPrintable(row.entries.at(index).trimmed()))
                        << row.listName << index << QString() << pattern << QString()
                        << (field == fieldAfterEntry.end() ? -1 : int(field->second.value(index - 1, 0xFFFF)));
            }
        }
    }

    void everyEntryDecodesBack()
    {
        QFETCH(QString, listName);
        QFETCH(int, index);
        QFETCH(QString, cutOffset);
        QFETCH(quint16, pattern);
        QFETCH(QString, offsetRead);
        QFETCH(int, field);

        const SwitchBank before = filled(pattern);
        printer->setSwitches(before);
        setOnly(listName, index);
        if (!cutOffset.isNull())
            cutOffsetBox->setText(cutOffset);
        useSettings();

        const SwitchBank after = printer->switches();
        const auto [switchIndex, bits] = bitsOfList.at(listName);
        verifyOnlyTheseBitsChanged(before, after, {{switchIndex, bits}});
        if (field >= 0)
            QCOMPARE(hexWord(after.value(switchIndex) & bits), hexWord(quint16(field)));

        const DecodedSetting &setting = decoded(listName);
        if (cutOffset.isNull()) {
            const QString entry = list(listName)->itemText(index).trimmed();
            QVERIFY2(setting.entries.contains(entry), qPrintable(setting.label + ": " + setting.value));
            // Only "End of Command Code" can leave bits that fit both its entries; there the bits
            // are checked as they stand: "<NUL>" clears bit 0, "<GS>" sets bit 1.
            if (listName == QLatin1String("comEndCode"))
                QCOMPARE(after.value(0xC) & 0x3,
                         index == 1 ? before.value(0xC) & 0x2 : (before.value(0xC) & 0x1) | 0x2);
            else
                QCOMPARE(setting.entries.size(), 1);
        } else {
            QCOMPARE(setting.value, offsetRead);
        }
    }

    void multiBitFieldsHoldTheirLastValue_data()
    {
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QList<int>>("indexes");
        QTest::addColumn<QStringList>("cutOffsets");
        QTest::addColumn<quint16>("fieldValue");
        QTest::addColumn<QString>("expected");

        QTest::newRow("Germany then Spain #2")
            << "comCharSet" << QList<int>{3, 12} << QStringList() << quint16(0x000B) << "Spain #2";
        QTest::newRow("Latin America then USA")
            << "comCharSet" << QList<int>{13, 1} << QStringList() << quint16(0x0000) << "USA";
        QTest::newRow("Japan then IBM") << "comCPage" << QList<int>{3, 2} << QStringList() << quint16(0x0100) << "IBM";
        QTest::newRow("IBM then USA & Europe")
            << "comCPage" << QList<int>{2, 1} << QStringList() << quint16(0x0000) << "USA & Europe";
        QTest::newRow("-3.5 then 12.5") << "comCComp" << QList<int>{1, 1} << QStringList{"-3.5mm", " 12.5mm"}
                                        << quint16(0x0125) << "12.5 mm";
        QTest::newRow("12.5 then -3.5") << "comCComp" << QList<int>{1, 1} << QStringList{" 12.5mm", "-3.5mm"}
                                        << quint16(0x1035) << "-3.5 mm";
        QTest::newRow("29.9 then 0") << "comCComp" << QList<int>{1, 1} << QStringList{" 29.9mm", " 0mm"}
                                     << quint16(0x0000) << "0.0 mm";
        QTest::newRow("label then black mark")
            << "comBMark" << QList<int>{2, 1} << QStringList() << quint16(0x0100) << "Black Mark/Reflective Sensor";
        QTest::newRow("black mark then off")
            << "comBMark" << QList<int>{1, 3} << QStringList() << quint16(0x0000) << "Dissabled";
    }

    void multiBitFieldsHoldTheirLastValue()
    {
        QFETCH(QString, listName);
        QFETCH(QList<int>, indexes);
        QFETCH(QStringList, cutOffsets);
        QFETCH(quint16, fieldValue);
        QFETCH(QString, expected);

        for (quint16 pattern : {quint16(0x0000), quint16(0xFFFF)}) {
            const SwitchBank before = filled(pattern);
            printer->setSwitches(before);
            for (qsizetype step = 0; step < indexes.size(); ++step) {
                setOnly(listName, indexes[step]);
                if (!cutOffsets.isEmpty())
                    cutOffsetBox->setText(cutOffsets[step]);
                useSettings();
            }
            const auto [switchIndex, bits] = bitsOfList.at(listName);
            QCOMPARE(hexWord(printer->switches().value(switchIndex) & bits), hexWord(fieldValue));
            QCOMPARE(decoded(listName).value, expected);
            verifyOnlyTheseBitsChanged(before, printer->switches(), {{switchIndex, bits}});
        }
    }

    // All twenty-two lists at once: every one reads back, and the bits that no list writes keep
    // whatever they held.
    void allListsAtOnce()
    {
        std::map<int, quint16> written;
        for (const auto &[name, place] : bitsOfList)
            written[place.first] |= place.second;

        for (quint16 pattern : {quint16(0x0000), quint16(0xFFFF), quint16(0x5A3C)}) {
            const SwitchBank before = filled(pattern);
            printer->setSwitches(before);
            for (const SettingRow &row : settingsCatalogue())
                list(row.listName)->setCurrentIndex(int(row.entries.size()) - 1);
            cutOffsetBox->setText(QStringLiteral("-7.5mm"));
            useSettings();

            verifyOnlyTheseBitsChanged(before, printer->switches(), written);
            for (const SettingRow &row : settingsCatalogue()) {
                const DecodedSetting &setting = decoded(row.listName);
                QVERIFY2(setting.entries.contains(row.entries.last().trimmed()),
                         qPrintable(setting.label + ": " + setting.value));
            }
            QCOMPARE(decoded(QStringLiteral("comCComp")).value, QStringLiteral("-7.5 mm"));
        }
    }

    void noChangeAndPrintSelfTestTouchNothing()
    {
        const SwitchBank before = filled(0x9B6D);
        printer->setSwitches(before);
        setOnly(QString(), 0);
        useSettings();
        QVERIFY(printer->switches() == before);
        press("Command4");
        QVERIFY(printer->switches() == before);
        QVERIFY(lastPage);
        QCOMPARE(lastPage->switches, before);
    }

    // The parallel link: "LPT1:" mapped to a FIFO the printer listens on.
    void parallelLinkThroughFifo()
    {
        QTemporaryDir folder;
        QString error;
        const std::unique_ptr<LinkListener> fifo =
            LinkListener::openFifo(folder.filePath(QStringLiteral("lpt1")), error);
        QVERIFY2(fifo, qPrintable(error));
        connect(fifo.get(), &LinkListener::received, printer.get(), &VirtualPrinter::receive);
        qputenv("KR52_LPT1", QFile::encodeName(fifo->devicePath()));
        main->setProperty("cmode", QVariant::fromValue<qint16>(2));
        main->setProperty("lptport", QStringLiteral("LPT1:"));

        printer->setSwitches(SwitchBank());
        setOnly(QStringLiteral("comCharSet"), 12);
        useSettings();
        main->setProperty("cmode", QVariant::fromValue<qint16>(1));
        QCOMPARE(decoded(QStringLiteral("comCharSet")).value, QStringLiteral("Spain #2"));
        QCOMPARE(printer->switches().value(1), quint16(0x000B));
    }
};

QTEST_MAIN(tst_virtualendtoend)
#include "tst_virtualendtoend.moc"
