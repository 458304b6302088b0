// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/commanddescription.h"
#include "settings/catalogue.h"
#include "settings/choice.h"
#include "settings/profile.h"
#include "support/cataloguerow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace kr52;

namespace {

QList<Assignment> assignments(const QStringList &texts)
{
    QList<Assignment> list;
    for (const QString &text : texts) {
        QString error;
        if (const auto assignment = splitAssignment(text, QStringLiteral("--set"), error))
            list.append(*assignment);
        else
            list.append({text, {}, error});
    }
    return list;
}

} // namespace

// kr52ctl's choices, profiles and command words, which need no printer.
class tst_ctlchoices : public QObject {
    Q_OBJECT

private slots:
    void choosesOneEntryPerSetting_data()
    {
        QTest::addColumn<QStringList>("sets");
        QTest::addColumn<QString>("listName");
        QTest::addColumn<int>("index");

        QTest::newRow("exact") << QStringList{"Print Speed=Half Speed"} << "comSpeed" << 2;
        QTest::newRow("any case") << QStringList{"print SPEED=half speed"} << "comSpeed" << 2;
        QTest::newRow("blanks around") << QStringList{"  Print Speed =  Full Speed "} << "comSpeed" << 1;
        QTest::newRow("No change named") << QStringList{"Print Speed=No change"} << "comSpeed" << 0;
        QTest::newRow("second caption line")
            << QStringList{"Measure page length (on resume after paper end)=Off"} << "comMeasureResume" << 2;
        QTest::newRow("entry shown without its tab") << QStringList{"Print Columns=50 column"} << "comColumns" << 2;
        QTest::newRow("entry with a typo kept") << QStringList{"Start Position Detect=Dissabled"} << "comBMark" << 3;
        QTest::newRow("other settings stay") << QStringList{"Zero Style=Slash", "Line Spacing=3mm"} << "comCutPos" << 0;
    }

    void choosesOneEntryPerSetting()
    {
        QFETCH(QStringList, sets);
        QFETCH(QString, listName);
        QFETCH(int, index);
        const ChosenSettings chosen = chooseSettings(assignments(sets));
        QVERIFY2(chosen.error.isEmpty(), qPrintable(chosen.error));
        QCOMPARE(int(chosen.indexes.size()), int(settingsCatalogue().size()));
        QCOMPARE(chosen.indexes.at(std::size_t(testsupport::catalogueIndex(listName))), index);
    }

    void matchesUniquely_data()
    {
        QTest::addColumn<QStringList>("candidates");
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("ambiguous");

        const QStringList cases{"Valid", "VALID", "Invalid"};
        QTest::newRow("exact wins over case") << cases << "VALID" << 1 << QStringList{};
        QTest::newRow("two by case") << cases << "valid" << -1 << QStringList{"Valid", "VALID"};
        QTest::newRow("one by case") << cases << "invalid" << 2 << QStringList{};
        QTest::newRow("none") << cases << "Val" << -1 << QStringList{};
    }

    void matchesUniquely()
    {
        QFETCH(QStringList, candidates);
        QFETCH(QString, wanted);
        QFETCH(int, index);
        QFETCH(QStringList, ambiguous);
        QStringList found;
        QCOMPARE(matchChoice(candidates, wanted, found), index);
        QCOMPARE(found, ambiguous);
    }

    void refusesMalformedAssignments_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("no equals") << "Print Speed";
        QTest::newRow("no name") << "=Half Speed";
        QTest::newRow("no entry") << "Print Speed=  ";
    }

    void refusesMalformedAssignments()
    {
        QFETCH(QString, text);
        QString error;
        QVERIFY(!splitAssignment(text, QStringLiteral("x.ini line 2"), error));
        QCOMPARE(error, QStringLiteral("\"%1\" (x.ini line 2) is not of the form NAME=ENTRY, such as \"Print "
                                       "Speed=Half Speed\".")
                            .arg(text));
    }

    void readsAProfile()
    {
        const QByteArray text = "; shop defaults\n"
                                "[Settings]\n"
                                "Print Speed = Half Speed\r\n"
                                "# the cut sits 1.5 mm earlier\n"
                                "Start Position Adjustment=Adjust as below\n"
                                "Cut-Offset=-1.5\n"
                                "\n"
                                "[port]\n"
                                "port=COM2:\n"
                                "baud=19200\n";
        const ProfileResult read = parseProfile(text, QStringLiteral("shop.ini"));
        QVERIFY2(read.profile, qPrintable(read.error));
        QCOMPARE(read.profile->settings.size(), 2);
        QCOMPARE(read.profile->settings[0].name, QStringLiteral("Print Speed"));
        QCOMPARE(read.profile->settings[0].entry, QStringLiteral("Half Speed"));
        QCOMPARE(read.profile->settings[1].origin, QStringLiteral("shop.ini line 5"));
        QCOMPARE(read.profile->cutOffset, QStringLiteral("-1.5"));
        QCOMPARE(read.profile->port.value(QStringLiteral("port")), QStringLiteral("COM2:"));
        QCOMPARE(read.profile->port.value(QStringLiteral("baud")), QStringLiteral("19200"));
    }

    void refusesABrokenProfile_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");

        QTest::newRow("unknown section") << QByteArray("[printer]\n")
                                         << "p.ini line 1: unknown section \"[printer]\"; the sections are [settings] "
                                            "and [port].";
        QTest::newRow("before any section")
            << QByteArray("Print Speed=Half Speed\n")
            << "p.ini line 1: \"Print Speed=Half Speed\" stands before any section; put it under [settings] or [port].";
        QTest::newRow("not NAME=ENTRY") << QByteArray("[settings]\nPrint Speed\n")
                                        << "\"Print Speed\" (p.ini line 2) is not of the form NAME=ENTRY, such as "
                                           "\"Print Speed=Half Speed\".";
        QTest::newRow("cut offset twice")
            << QByteArray("[settings]\ncut-offset=1\ncut-offset=2\n") << "p.ini line 3: the cut offset is given twice.";
        QTest::newRow("unknown port key") << QByteArray("[port]\nparity=e\n")
                                          << "p.ini line 2: unknown key \"parity\" in [port]; the keys are port, "
                                             "device, baud, data, stop.";
        QTest::newRow("port key twice") << QByteArray("[port]\nbaud=9600\nBAUD=19200\n")
                                        << "p.ini line 3: \"baud\" is given twice in [port].";
        QTest::newRow("not UTF-8") << QByteArray("[settings]\nPrint Speed=\xff\n")
                                   << "The profile p.ini is not UTF-8 text.";
    }

    void refusesABrokenProfile()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        const ProfileResult read = parseProfile(text, QStringLiteral("p.ini"));
        QVERIFY(!read.profile);
        QCOMPARE(read.error, error);
    }

    void readsOnlyASmallRegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing"
                                 << "No such file or directory.";
        QTest::newRow("folder") << "folder"
                                << "It is a folder, not a file.";
        QTest::newRow("FIFO") << "fifo"
                              << "not a regular file.";
        QTest::newRow("too large") << "large"
                                   << "it is larger than 1048576 bytes.";
    }

    void readsOnlyASmallRegularFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("profile.ini"));
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(path));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (kind == QLatin1String("large")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(profileSizeLimit + 1));
        }
        const ProfileResult read = readProfile(path);
        QVERIFY(!read.profile);
        QCOMPARE(read.error, QStringLiteral("Could not read the profile %1: %2").arg(path, reason));
    }

    void describesTheBitsOfACommand_data()
    {
        QTest::addColumn<bool>("set");
        QTest::addColumn<QByteArray>("mask");
        QTest::addColumn<QString>("words");
        QTest::newRow("one bit") << true << QByteArray("0001") << "sets bit 0 of switch 1";
        QTest::newRow("two apart") << false << QByteArray("1100") << "clears bits 8, 12 of switch 1";
        QTest::newRow("two together") << true << QByteArray("0003") << "sets bits 0, 1 of switch 1";
        QTest::newRow("a run") << false << QByteArray("0FFF") << "clears bits 0-11 of switch 1";
        QTest::newRow("runs and singles") << true << QByteArray("B00F") << "sets bits 0-3, 12, 13, 15 of switch 1";
        QTest::newRow("top bit") << true << QByteArray("8000") << "sets bit 15 of switch 1";
        QTest::newRow("no bits") << true << QByteArray("0000") << "sets no bits of switch 1";
        QTest::newRow("not hex") << true << QByteArray("00G1") << "sets the bits \"00G1\" of switch 1";
        QTest::newRow("too long") << true << QByteArray("00001") << "sets the bits \"00001\" of switch 1";
    }

    void describesTheBitsOfACommand()
    {
        QFETCH(bool, set);
        QFETCH(QByteArray, mask);
        QFETCH(QString, words);
        QCOMPARE(describeSwitchBits('1', set, mask), words);
    }
};

QTEST_GUILESS_MAIN(tst_ctlchoices)
#include "tst_ctlchoices.moc"
