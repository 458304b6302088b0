// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/catalogue.h"
#include "support/cataloguerow.h"
#include "support/testfiles.h"
#include "virtual/linklistener.h"
#include "virtual/printerwindow.h"
#include "virtual/selftestimage.h"
#include "virtual/selftestpage.h"
#include "virtual/statefile.h"
#include "virtual/virtualprinter.h"

#include "version.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <tuple>

using namespace kr52;
using namespace kr52::virt;

namespace {

using testsupport::catalogueRow;

using testsupport::writeFile;

const QRgb paperColour = qRgb(250, 249, 244);
const QRgb inkColour = qRgb(24, 24, 24);
constexpr int pageMargin = 16;

bool hasInk(const QImage &image, int y)
{
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        if (qAlpha(pixel) == 255 && qGray(pixel) < 160)
            return true;
    }
    return false;
}

// A rule is a row of ink from margin to margin and paper outside it.
bool isRule(const QImage &image, int y)
{
    if (image.pixel(pageMargin - 1, y) != paperColour || image.pixel(image.width() - pageMargin, y) != paperColour)
        return false;
    for (int x = pageMargin; x < image.width() - pageMargin; ++x)
        if (image.pixel(x, y) != inkColour)
            return false;
    return true;
}

// The first row of each band of printed rows from first to last, rules left out.
QList<int> lineTops(const QImage &image, int first, int last)
{
    QList<int> tops;
    bool inLine = false;
    for (int y = first; y <= last; ++y) {
        const bool ink = hasInk(image, y) && !isRule(image, y);
        if (ink && !inLine)
            tops.append(y);
        inLine = ink;
    }
    return tops;
}

// The distance between neighbouring tops that occurs most often.
int usualPitch(const QList<int> &tops)
{
    std::map<int, int> counts;
    for (qsizetype i = 1; i < tops.size(); ++i)
        ++counts[tops[i] - tops[i - 1]];
    int pitch = 0;
    int most = 0;
    for (const auto &[distance, count] : counts)
        if (count > most)
            std::tie(pitch, most) = std::tie(distance, count);
    return pitch;
}

} // namespace

class tst_virtualselftest : public QObject {
    Q_OBJECT

private slots:
    void decodesTheBits_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("switchIndex");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("expected");

        QTest::newRow("speed clear") << "comSpeed" << 2 << 0x0000 << "Full Speed";
        QTest::newRow("speed set") << "comSpeed" << 2 << 0x0001 << "Half Speed";
        QTest::newRow("speed, other bits ignored") << "comSpeed" << 2 << 0xFFFE << "Full Speed";
        QTest::newRow("cutter set is enabled") << "comCutter" << 2 << 0x0100 << "Enabled";
        QTest::newRow("resume set is on") << "comMeasureResume" << 1 << 0x8000 << "On";
        QTest::newRow("power set is off") << "comMeasurePower" << 1 << 0x2000 << "Off";
        QTest::newRow("detect set is on") << "comDetectPower" << 1 << 0x4000 << "On";
        QTest::newRow("columns without the TAB") << "comColumns" << 3 << 0x0010 << "50 column";
        QTest::newRow("character set USA") << "comCharSet" << 1 << 0xFFF0 << "USA";
        QTest::newRow("character set Spain #2") << "comCharSet" << 1 << 0x000B << "Spain #2";
        QTest::newRow("character set Latin America") << "comCharSet" << 1 << 0x000C << "Latin America";
        QTest::newRow("character set beyond the list")
            << "comCharSet" << 1 << 0x000D << "no entry matches (switch 1, bits 000F = 000D)";
        QTest::newRow("code table IBM") << "comCPage" << 3 << 0x0100 << "IBM";
        QTest::newRow("code table both bits")
            << "comCPage" << 3 << 0x0300 << "no entry matches (switch 3, bits 0300 = 0300)";
        QTest::newRow("black mark") << "comBMark" << 1 << 0x0100 << "Black Mark/Reflective Sensor";
        QTest::newRow("label") << "comBMark" << 1 << 0x1100 << "Label/Transmissive Sensor";
        QTest::newRow("detection off") << "comBMark" << 1 << 0x0000 << "Dissabled";
        QTest::newRow("detection bit 12 alone")
            << "comBMark" << 1 << 0x1000 << "no entry matches (switch 1, bits 1100 = 1000)";
        QTest::newRow("end code NUL") << "comEndCode" << 12 << 0x0000 << "<NUL>";
        QTest::newRow("end code GS with bit 0") << "comEndCode" << 12 << 0x0003 << "<GS>";
        // "<NUL>" clears bit 0 and "<GS>" sets bit 1: after "<GS>" on a cleared switch both fit.
        QTest::newRow("end code after GS")
            << "comEndCode" << 12 << 0x0002 << "<NUL> or <GS> (switch C, bits 0003 = 0002)";
        QTest::newRow("end code bit 0 alone")
            << "comEndCode" << 12 << 0x0001 << "no entry matches (switch C, bits 0003 = 0001)";
        QTest::newRow("offset -3.5") << "comCComp" << 14 << 0x1035 << "-3.5 mm";
        QTest::newRow("offset 12.5") << "comCComp" << 14 << 0x0125 << "12.5 mm";
        QTest::newRow("offset 29.9") << "comCComp" << 14 << 0x0299 << "29.9 mm";
        QTest::newRow("offset zero") << "comCComp" << 14 << 0x0000 << "0.0 mm";
        QTest::newRow("offset below a millimetre") << "comCComp" << 14 << 0x1007 << "-0.7 mm";
        QTest::newRow("offset, bits 13-15 ignored") << "comCComp" << 14 << 0xE012 << "1.2 mm";
        QTest::newRow("offset not decimal")
            << "comCComp" << 14 << 0x00A0 << "no entry matches (switch E, bits 1FFF = 00A0)";
        QTest::newRow("offset minus zero")
            << "comCComp" << 14 << 0x1000 << "no entry matches (switch E, bits 1FFF = 1000)";
    }

    void decodesTheBits()
    {
        QFETCH(QString, list);
        QFETCH(int, switchIndex);
        QFETCH(int, value);
        QFETCH(QString, expected);

        SwitchBank switches;
        switches.setValue(switchIndex, quint16(value));
        QCOMPARE(decodeSetting(catalogueRow(list), switches).value, expected);
    }

    void pageShowsSwitchesAndEverySetting()
    {
        SwitchBank switches;
        switches.setValue(1, 0x4112);
        switches.setValue(14, 0x1035);
        const SelfTestPage page = SelfTestPage::of(switches);
        QCOMPARE(page.settings.size(), settingsCatalogue().size());
        const QStringList lines = page.text().split(QLatin1Char('\n'));
        const QString rule(40, QLatin1Char('-'));
        const QString version = QStringLiteral("Virtual printer, kr52-config %1.%2.%3")
                                    .arg(versionMajor)
                                    .arg(versionMinor)
                                    .arg(versionRevision);
        QCOMPARE(lines.mid(0, 9),
                 QStringList({"KR52 SELF TEST", version, rule, "Memory switches", "0: 0000  1: 4112  2: 0000  3: 0000",
                              "4: 0000  5: 0000  6: 0000  7: 0000", "8: 0000  9: 0000  A: 0000  B: 0000",
                              "C: 0000  D: 0000  E: 1035  F: 0000", rule}));
        QCOMPARE(lines.mid(9, 2), QStringList({"Settings", "Printer Command Mode: Arvel Page Mode"}));
        QVERIFY(lines.contains(QStringLiteral("International Character Set: Germany")));
        QVERIFY(lines.contains(QStringLiteral("Measure page length (on resume after paper end): Off")));
        QCOMPARE(lines.mid(lines.size() - 3),
                 QStringList({"Start Position Adjustment: -3.5 mm", rule, ""})); // ends with a line feed
        QCOMPARE(lines.size(), 11 + 21 + 2);
    }

    // The picture: three rules across the paper with room around them, the switch lines one
    // under the other, the settings a little further apart, and a torn bottom edge.
    void pictureKeepsItsRulesAndSpacing()
    {
        SwitchBank switches;
        switches.setValue(1, 0x4112);
        const QImage image = renderSelfTest(SelfTestPage::of(switches));
        QCOMPARE(image.width(), rollWidthDots);

        QList<int> rules;
        for (int y = 0; y < image.height(); ++y)
            if (isRule(image, y) && (y == 0 || !isRule(image, y - 1)))
                rules.append(y);
        QCOMPARE(rules.size(), 3);
        for (const int top : rules) {
            QVERIFY2(isRule(image, top + 1) && !isRule(image, top + 2), qPrintable(QString::number(top)));
            for (int y = top - 8; y < top; ++y)
                QVERIFY2(!hasInk(image, y), qPrintable(QStringLiteral("row %1 above the rule at %2").arg(y).arg(top)));
            for (int y = top + 2; y < top + 12; ++y)
                QVERIFY2(!hasInk(image, y), qPrintable(QStringLiteral("row %1 below the rule at %2").arg(y).arg(top)));
        }

        QCOMPARE(lineTops(image, 0, rules[0]).size(), 2); // the title and "virtual printer"
        const QList<int> switchPart = lineTops(image, rules[0], rules[1]);
        QCOMPARE(switchPart.size(), 5); // its heading and four lines
        const QList<int> switchLines = switchPart.mid(1);
        const int linePitch = usualPitch(switchLines);
        QCOMPARE(switchLines.last() - switchLines.first(), 3 * linePitch);
        QCOMPARE(switchPart[1] - switchPart[0], linePitch + 4);
        const QList<int> settingsPart = lineTops(image, rules[1], rules[2]);
        QVERIFY2(settingsPart.size() >= 23, qPrintable(QString::number(settingsPart.size())));
        QCOMPARE(usualPitch(settingsPart), linePitch + 4);
        QCOMPARE(lineTops(image, rules[2], image.height() - 1).size(), 1); // the end line

        // The torn edge: its teeth are cut out of the paper, down to the last row.
        const int bottom = image.height() - 1;
        QCOMPARE(qAlpha(image.pixel(1, bottom - 1)), 0);
        QCOMPARE(qAlpha(image.pixel(20, bottom)), 0);
        QCOMPARE(image.pixel(rollWidthDots / 2, bottom - 12), paperColour);
    }

    // The window shows bit 15 on the left and bit 0 on the right, the value in hex beside them,
    // and marks the bits the last change set or cleared.
    void windowShowsEveryBit()
    {
        PrinterWindow window(QStringLiteral("/dev/pts/7"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Virtual KR52 on /dev/pts/7"));
        auto *table = window.findChild<QTableWidget *>();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 16);
        QCOMPARE(table->columnCount(), 17);
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("15"));
        QCOMPARE(table->horizontalHeaderItem(15)->text(), QStringLiteral("0"));
        QCOMPARE(table->horizontalHeaderItem(16)->text(), QStringLiteral("Hex"));
        QCOMPARE(table->verticalHeaderItem(10)->text(), QStringLiteral("Switch A"));

        SwitchBank switches;
        switches.setValue(1, 0x8004);
        switches.setValue(14, 0x1035);
        window.showSwitches(switches);
        const auto rowText = [&](int row) {
            QString bits;
            for (int column = 0; column < 16; ++column)
                bits += table->item(row, column)->text();
            return bits + QLatin1Char(' ') + table->item(row, 16)->text();
        };
        QCOMPARE(rowText(0), QStringLiteral("0000000000000000 0000"));
        QCOMPARE(rowText(1), QStringLiteral("1000000000000100 8004"));
        QCOMPARE(rowText(14), QStringLiteral("0001000000110101 1035"));
        QCOMPARE(table->item(1, 0)->background(), QBrush()); // nothing marked on the first showing

        switches.setValue(1, 0x8002);
        window.showSwitches(switches);
        QCOMPARE(rowText(1), QStringLiteral("1000000000000010 8002"));
        const QBrush marked(QColor(255, 230, 150));
        for (int column = 0; column < 16; ++column) {
            const bool changed = column == 13 || column == 14; // bits 2 and 1
            QCOMPARE(table->item(1, column)->background(), changed ? marked : QBrush());
            QCOMPARE(table->item(14, column)->background(), QBrush());
        }
    }

    void stateFileRoundTrip()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("new/folder/switches"));
        QVERIFY(loadState(path).switches == SwitchBank()); // never stored: all 0000
        SwitchBank switches;
        for (int i = 0; i < SwitchBank::count; ++i)
            switches.setValue(i, quint16(0x1111 * i + 0xA));
        QCOMPARE(saveState(path, switches), QString());
        QVERIFY(loadState(path).switches == switches);
    }

    void stateFileErrorsNameTheFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bad line") << QByteArray("# switches\n0=0000\n1=12\n") << "line 3: expected a switch";
        QTest::newRow("twice") << QByteArray("2=0001\n2=0000\n") << "line 2: switch 2 is given twice";
        QTest::newRow("no such switch") << QByteArray("G=0001\n") << "line 1";
    }

    void stateFileErrorsNameTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("switches"));
        writeFile(path, content);
        const StateLoad loaded = loadState(path);
        QVERIFY(!loaded.switches);
        QVERIFY2(loaded.error.startsWith(path) && loaded.error.contains(expected), qPrintable(loaded.error));
    }

    // A state file that cannot be read is left alone: the printer does not take it over and
    // later commands do not overwrite it with switches it never held.
    void unreadableStateFileIsNotOverwritten()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("switches"));
        writeFile(path, "1=000B\nnonsense\n");
        VirtualPrinter printer;
        QVERIFY(printer.useStateFile(path).contains(path));
        QCOMPARE(printer.stateFile(), QString());
        printer.receive(QByteArray("\x1b#2+0001\n\0", 10));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("1=000B\nnonsense\n"));
    }

    void printerKeepsSwitchesInItsStateFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("switches"));
        writeFile(path, "1=000B\n");
        {
            VirtualPrinter printer;
            QCOMPARE(printer.useStateFile(path), QString());
            QCOMPARE(printer.switches().value(1), quint16(0x000B));
            // As the printer does, the change is stored before the page that shows it is printed.
            QByteArray storedAtPrinting;
            connect(&printer, &VirtualPrinter::selfTestPrinted, this, [&] {
                QFile file(path);
                if (file.open(QIODevice::ReadOnly))
                    storedAtPrinting = file.readAll();
            });
            printer.receive(QByteArray("\x1b#2+0001\n\0\x1b?\n\0", 14));
            QVERIFY2(storedAtPrinting.contains("\n2=0001\n"), storedAtPrinting.constData());
        }
        VirtualPrinter restarted;
        QCOMPARE(restarted.useStateFile(path), QString());
        QCOMPARE(restarted.switches().value(1), quint16(0x000B));
        QCOMPARE(restarted.switches().value(2), quint16(0x0001));
    }

    // A path that holds something else is never taken over as the parallel link.
    void fifoRefusesAPlainFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("lpt1"));
        writeFile(path, "keep me");
        QString error;
        QVERIFY(!LinkListener::openFifo(path, error));
        QVERIFY2(error.contains(path) && error.contains(QLatin1String("not a FIFO")), qPrintable(error));
        QVERIFY(!LinkListener::openFifo(folder.filePath(QStringLiteral("no/such/folder/lpt1")), error));
        QVERIFY2(error.contains(QLatin1String("no/such/folder/lpt1")), qPrintable(error));
    }

    void unsavedStateIsReported()
    {
        QTemporaryDir folder;
        const QString blocker = folder.filePath(QStringLiteral("file"));
        writeFile(blocker, "");
        VirtualPrinter printer;
        // The state file's folder would have to be made inside a plain file.
        QCOMPARE(printer.useStateFile(blocker + QStringLiteral("/switches")), QString());
        QStringList reports;
        connect(&printer, &VirtualPrinter::stateNotSaved, this, [&](const QString &message) { reports << message; });
        printer.receive(QByteArray("\x1b#2+0001\n\0", 10));
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports.first().contains(blocker), qPrintable(reports.first()));
        QCOMPARE(printer.switches().value(2), quint16(0x0001));
    }
};

QTEST_MAIN(tst_virtualselftest)
#include "tst_virtualselftest.moc"
