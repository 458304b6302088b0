#include "settings/catalogue.h"
#include "virtual/linklistener.h"
#include "virtual/selftestimage.h"
#include "virtual/selftestpage.h"
#include "virtual/statefile.h"
#include "virtual/virtualprinter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kr52;
using namespace kr52::virt;

namespace {

const SettingRow &rowNamed(const QString &listName)
{
    for (const SettingRow &row : settingsCatalogue())
        if (row.listName == listName)
            return row;
    qFatal("no list %s", qPrintable(listName));
}

void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
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
        QCOMPARE(decodeSetting(rowNamed(list), switches).value, expected);
    }

    void pageShowsSwitchesAndEverySetting()
    {
        SwitchBank switches;
        switches.setValue(1, 0x4112);
        switches.setValue(14, 0x1035);
        const SelfTestPage page = SelfTestPage::of(switches);
        QCOMPARE(page.settings.size(), settingsCatalogue().size());
        const QStringList lines = page.text().split(QLatin1Char('\n'));
        QVERIFY(lines.contains(QStringLiteral("0: 0000  1: 4112  2: 0000  3: 0000")));
        QVERIFY(lines.contains(QStringLiteral("C: 0000  D: 0000  E: 1035  F: 0000")));
        QVERIFY(lines.contains(QStringLiteral("International Character Set: Germany")));
        QVERIFY(lines.contains(QStringLiteral("Measure page length (on resume after paper end): Off")));
        QVERIFY(lines.contains(QStringLiteral("Start Position Adjustment: -3.5 mm")));

        const QImage image = renderSelfTest(page);
        QCOMPARE(image.width(), rollWidthDots);
        QVERIFY(image.height() > image.width());
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
            printer.receive(QByteArray("\x1b#2+0001\n\0", 10));
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
