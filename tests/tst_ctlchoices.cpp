// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/profileport.h"
#include "protocol/commanddescription.h"
#include "settings/catalogue.h"
#include "settings/choice.h"
#include "settings/profile.h"
#include "settings/profilechoices.h"
#include "settings/profilewriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace kr52;

namespace {

int rowOf(const char *listName)
{
    const auto &catalogue = settingsCatalogue();
    for (std::size_t row = 0; row < catalogue.size(); ++row)
        if (catalogue[row].listName == QLatin1String(listName))
            return int(row);
    return -1;
}

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

Assignment setting(const char *name, const QString &entry)
{
    return {QString::fromUtf8(name), entry, {}};
}

Profile profileOf(const QList<Assignment> &settings, const std::optional<QString> &cutOffset,
                  const QMap<QString, QString> &port)
{
    Profile profile;
    profile.settings = settings;
    profile.cutOffset = cutOffset;
    profile.port = port;
    return profile;
}

// The parts of a profile that its text carries: not where each line came from.
void compareProfiles(const Profile &read, const Profile &written)
{
    QCOMPARE(read.settings.size(), written.settings.size());
    for (qsizetype i = 0; i < read.settings.size(); ++i) {
        QCOMPARE(read.settings[i].name, written.settings[i].name);
        QCOMPARE(read.settings[i].entry, written.settings[i].entry);
    }
    QCOMPARE(read.cutOffset, written.cutOffset);
    QCOMPARE(read.port, written.port);
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
        QCOMPARE(chosen.indexes[std::size_t(rowOf(listName.toLatin1().constData()))], index);
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
        QCOMPARE(read.profile->cutOffsetOrigin, QStringLiteral("shop.ini line 6"));
        QCOMPARE(read.profile->portOrigins.value(QStringLiteral("baud")), QStringLiteral("shop.ini line 10"));
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

    void writesWhatItReadsBack_data()
    {
        QTest::addColumn<Profile>("profile");
        QTest::addColumn<QString>("comment");

        QTest::newRow("empty") << Profile() << QString();
        QTest::newRow("one setting") << profileOf({setting("Print Speed", "Half Speed")}, {}, {}) << "by hand";
        QTest::newRow("entry with = and inner blanks")
            << profileOf({setting("Print Speed", "a = b\tc")}, {}, {}) << QString();
        QTest::newRow("not ASCII") << profileOf({setting("Zeichensatz", "Größe €")}, {}, {}) << "Größe";
        QTest::newRow("cut offset only") << profileOf({}, QStringLiteral("-29.9"), {}) << QString();
        QTest::newRow("port keys") << profileOf({}, {},
                                                {{"stop", "1.5"},
                                                 {"baud", "19200"},
                                                 {"data", "7"},
                                                 {"port", "COM2:"},
                                                 {"device", "/dev/serial/by-id/usb-x =y"}})
                                   << QString();
        QTest::newRow("comment of several lines, with brackets and =")
            << profileOf({setting("Auto Cutter", "Enabled")}, QStringLiteral("1.5"), {{"baud", "9600"}})
            << "[port]\r\nbaud=1\n\n# x";
        Profile everySetting;
        for (const SettingRow &row : settingsCatalogue())
            everySetting.settings.append({settingName(row), entryName(row.entries.last()), {}});
        QTest::newRow("every setting at its last entry") << everySetting << "all";
    }

    void writesWhatItReadsBack()
    {
        QFETCH(Profile, profile);
        QFETCH(QString, comment);
        const ProfileText written = formatProfile(profile, comment);
        QVERIFY2(written.text, qPrintable(written.error));
        const ProfileResult read = parseProfile(*written.text, QStringLiteral("w.ini"));
        QVERIFY2(read.profile, qPrintable(read.error));
        compareProfiles(*read.profile, profile);
    }

    void writesPlainText()
    {
        const Profile profile =
            profileOf({setting("Print Speed", "Half Speed"), setting("Start Position Adjustment", "Adjust as below")},
                      QStringLiteral("-1.5"), {{"stop", "1"}, {"baud", "19200"}, {"data", "8"}});
        const ProfileText written = formatProfile(profile, QStringLiteral("kr52-config 1.0, 2026-12-07 15:00"));
        QVERIFY2(written.text, qPrintable(written.error));
        QCOMPARE(*written.text, QByteArray("; kr52-config 1.0, 2026-12-07 15:00\n"
                                           "[settings]\n"
                                           "Print Speed=Half Speed\n"
                                           "Start Position Adjustment=Adjust as below\n"
                                           "cut-offset=-1.5\n"
                                           "\n"
                                           "[port]\n"
                                           "baud=19200\n"
                                           "data=8\n"
                                           "stop=1\n"));
    }

    void refusesWhatTheFormatCannotHold_data()
    {
        QTest::addColumn<Profile>("profile");
        QTest::addColumn<QString>("error");

        QTest::newRow("line break in an entry")
            << profileOf({setting("Print Speed", "Half\nSpeed")}, {}, {})
            << "the entry \"Half\\nSpeed\" holds a line break, which a profile cannot hold.";
        QTest::newRow("carriage return in a name")
            << profileOf({setting("Print\rSpeed", "Half Speed")}, {}, {})
            << "the name \"Print\\rSpeed\" holds a line break, which a profile cannot hold.";
        QTest::newRow("blank at an entry's end")
            << profileOf({setting("Print Speed", "Half ")}, {}, {})
            << "the entry \"Half \" has blanks at its ends, which a profile drops.";
        QTest::newRow("tab before a name")
            << profileOf({setting("\tPrint Speed", "Half")}, {}, {})
            << "the name \"\tPrint Speed\" has blanks at its ends, which a profile drops.";
        QTest::newRow("lone surrogate") << profileOf({setting("Print Speed", QString(QChar(0xd800)))}, {}, {})
                                        << "the entry \"" + QString(QChar(0xd800)) + "\" is not valid Unicode text.";
        QTest::newRow("empty entry") << profileOf({setting("Print Speed", "")}, {}, {})
                                     << "an empty entry cannot be written to a profile.";
        QTest::newRow("= in a name") << profileOf({setting("a=b", "c")}, {}, {})
                                     << "the name \"a=b\" holds \"=\", which ends a name in a profile.";
        QTest::newRow("name like a comment") << profileOf({setting("; x", "c")}, {}, {})
                                             << "the name \"; x\" would start a comment or a section in a profile.";
        QTest::newRow("name like a section") << profileOf({setting("[port", "]")}, {}, {})
                                             << "the name \"[port\" would start a comment or a section in a profile.";
        QTest::newRow("setting named like the cut offset")
            << profileOf({setting("Cut-Offset", "1")}, {}, {})
            << "a setting named \"Cut-Offset\" would be read as the cut offset.";
        QTest::newRow("blank cut offset") << profileOf({}, QStringLiteral(" 1"), {})
                                          << "the cut offset \" 1\" has blanks at its ends, which a profile drops.";
        QTest::newRow("unknown port key") << profileOf({}, {}, {{"parity", "e"}})
                                          << "\"parity\" is no key of [port]; the keys are port, device, baud, data, "
                                             "stop.";
        QTest::newRow("device path with a line break")
            << profileOf({}, {}, {{"device", "/dev/a\nb"}})
            << "the value of device \"/dev/a\\nb\" holds a line break, which a profile cannot hold.";
    }

    void refusesWhatTheFormatCannotHold()
    {
        QFETCH(Profile, profile);
        QFETCH(QString, error);
        const ProfileText written = formatProfile(profile, {});
        QVERIFY(!written.text);
        QCOMPARE(written.error, QStringLiteral("The profile cannot be written: ") + error);
    }

    void makesAProfileOfTheChoices_data()
    {
        QTest::addColumn<QStringList>("sets");
        QTest::addColumn<QString>("cutOffsetText");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QString>("cutOffset"); // "none" when left out

        QTest::newRow("nothing chosen") << QStringList{} << "5" << QStringList{} << "none";
        QTest::newRow("catalogue order, entries without their tabs")
            << QStringList{"Print Columns=50 column", "Print Speed=Half Speed"} << ""
            << QStringList{"Print Speed=Half Speed", "Print Columns=50 column"} << "none";
        QTest::newRow("cut offset as the printer gets it")
            << QStringList{"Start Position Adjustment=Adjust as below"} << " 1.25mm"
            << QStringList{"Start Position Adjustment=Adjust as below"} << "1.2";
        QTest::newRow("negative limit") << QStringList{"Start Position Adjustment=Adjust as below"} << "-29.9"
                                        << QStringList{"Start Position Adjustment=Adjust as below"} << "-29.9";
        QTest::newRow("positive limit") << QStringList{"Start Position Adjustment=Adjust as below"} << "29.9"
                                        << QStringList{"Start Position Adjustment=Adjust as below"} << "29.9";
        QTest::newRow("below one") << QStringList{"Start Position Adjustment=Adjust as below"} << "-.3"
                                   << QStringList{"Start Position Adjustment=Adjust as below"} << "-0.3";
        QTest::newRow("not a number") << QStringList{"Start Position Adjustment=Adjust as below"} << "abc"
                                      << QStringList{"Start Position Adjustment=Adjust as below"} << "0.0";
    }

    void makesAProfileOfTheChoices()
    {
        QFETCH(QStringList, sets);
        QFETCH(QString, cutOffsetText);
        QFETCH(QStringList, written);
        QFETCH(QString, cutOffset);
        const ChosenSettings chosen = chooseSettings(assignments(sets));
        QVERIFY2(chosen.error.isEmpty(), qPrintable(chosen.error));
        const Profile profile = profileOfChoices(chosen.indexes, cutOffsetText);
        QStringList lines;
        for (const Assignment &assignment : profile.settings)
            lines.append(assignment.name + QLatin1Char('=') + assignment.entry);
        QCOMPARE(lines, written);
        QCOMPARE(profile.cutOffset.value_or(QStringLiteral("none")), cutOffset);
        QVERIFY(profile.port.isEmpty());
    }

    void turnsSerialSettingsIntoPortKeys_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("keys"); // baud,data,stop or the error
        QTest::newRow("plain") << "19200,n,8,1"
                               << "19200,8,1";
        QTest::newRow("one and a half") << "9600,N,7,1.5"
                                        << "9600,7,1.5";
        QTest::newRow("two, with blanks") << " 4800 , n , 5 , 2 "
                                          << "4800,5,2";
        QTest::newRow("parity") << "9600,e,8,1"
                                << "The serial settings \"9600,e,8,1\" use parity, which a profile cannot hold; a "
                                   "profile's port runs without parity.";
    }

    void turnsSerialSettingsIntoPortKeys()
    {
        QFETCH(QString, settings);
        QFETCH(QString, keys);
        const PortKeys port = portKeysOfSerialSettings(settings);
        if (!port.error.isEmpty()) {
            QCOMPARE(port.error, keys);
            return;
        }
        QCOMPARE(QStringList({port.keys.value("baud"), port.keys.value("data"), port.keys.value("stop")})
                     .join(QLatin1Char(',')),
                 keys);
        QCOMPARE(port.keys.size(), 3);
    }

    void takesTheChoicesOfAWholeProfile_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("listName"); // the one list that must not be at "No change"
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("cutOffsetTenths"); // 1000: none given

        QTest::newRow("one setting, the rest at No change")
            << QByteArray("[settings]\nprint speed=half speed\n") << "comSpeed" << 2 << 1000;
        QTest::newRow("cut offset with Adjust as below")
            << QByteArray("[settings]\nStart Position Adjustment=Adjust as below\ncut-offset=-1.25\n") << "comCComp"
            << 1 << -12;
        QTest::newRow("serial values and port names are no choices")
            << QByteArray("[settings]\nAuto Cutter=Enabled\n[port]\nport=COM9:\nbaud=19200\ndata=7\nstop=2\n")
            << "comCutter" << 1 << 1000;
    }

    void takesTheChoicesOfAWholeProfile()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, listName);
        QFETCH(int, index);
        QFETCH(int, cutOffsetTenths);
        const ProfileResult read = parseProfile(text, QStringLiteral("p.ini"));
        QVERIFY2(read.profile, qPrintable(read.error));
        const ProfileChoices choices = choicesOfProfile(*read.profile);
        QVERIFY2(choices.error.isEmpty(), qPrintable(choices.error));
        std::vector<int> expected(settingsCatalogue().size(), 0);
        expected[std::size_t(rowOf(listName.toLatin1().constData()))] = index;
        QCOMPARE(choices.indexes, expected);
        QCOMPARE(choices.cutOffsetTenths.value_or(1000), cutOffsetTenths);
    }

    void refusesAProfileWithAnyFault_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");

        QTest::newRow("unknown entry lists the entries")
            << QByteArray("[settings]\n\nPrint Speed=Quick\n")
            << "\"Print Speed\" has no entry \"Quick\" (p.ini line 3). Its entries are:\n  No change\n  Full Speed\n  "
               "Half Speed";
        QTest::newRow("a later line is checked too")
            << QByteArray("[settings]\nPrint Speed=Half Speed\nPrint Sped=Full Speed\n")
            << "There is no setting \"Print Sped\" (p.ini line 3). The settings are:";
        QTest::newRow("cut offset with a unit")
            << QByteArray("[settings]\nStart Position Adjustment=Adjust as below\ncut-offset=1.5mm\n")
            << "p.ini line 3: the cut offset \"1.5mm\" is not a number of millimetres from -29.9 to 29.9, such as "
               "-1.5.";
        QTest::newRow("cut offset past the limit")
            << QByteArray("[settings]\nStart Position Adjustment=Adjust as below\ncut-offset=30\n")
            << "p.ini line 3: the cut offset \"30\" is not a number of millimetres from -29.9 to 29.9, such as -1.5.";
        QTest::newRow("cut offset without Adjust as below")
            << QByteArray("[settings]\ncut-offset=1\n")
            << "p.ini line 2: a cut offset is sent only with \"Start Position Adjustment=Adjust as below\"; add it, or "
               "leave the cut offset out.";
        QTest::newRow("Adjust as below without a cut offset")
            << QByteArray("[settings]\nPrint Speed=Half Speed\nstart position adjustment=adjust as below\n")
            << "p.ini line 3: \"Start Position Adjustment=Adjust as below\" needs the cut offset in mm: add "
               "cut-offset=MM under [settings].";
    }

    void refusesAProfileWithAnyFault()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        const ProfileResult read = parseProfile(text, QStringLiteral("p.ini"));
        QVERIFY2(read.profile, qPrintable(read.error));
        const ProfileChoices choices = choicesOfProfile(*read.profile);
        QVERIFY2(choices.error.startsWith(error), qPrintable(choices.error));
    }

    void namesTheLineOfABadSerialValue_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error"); // its start; empty when every value is taken

        QTest::newRow("all taken") << QByteArray("[port]\nbaud=19200\ndata=7\nstop=1.5\nport=COM9:\n") << "";
        QTest::newRow("baud rate") << QByteArray("[settings]\n[port]\ndata=7\nbaud=fast\n")
                                   << "p.ini line 4: The serial settings \"fast,n,8,1\" are not valid: the baud rate "
                                      "\"fast\" must be";
        QTest::newRow("stop bits") << QByteArray("[port]\nstop=3\n")
                                   << "p.ini line 2: The serial settings \"9600,n,8,3\" are not valid: the stop bits "
                                      "\"3\" must be 1, 1.5 or 2.";
    }

    void namesTheLineOfABadSerialValue()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        const ProfileResult read = parseProfile(text, QStringLiteral("p.ini"));
        QVERIFY2(read.profile, qPrintable(read.error));
        const QString fault = serialValuesFault(read.profile->port, read.profile->portOrigins);
        QVERIFY2(error.isEmpty() ? fault.isEmpty() : fault.startsWith(error), qPrintable(fault));
    }

    void readsOnlyPlainCutOffsetsWithinTheLimits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("tenths"); // 1000: refused
        for (const auto &[text, tenths] :
             std::initializer_list<std::pair<const char *, int>>{{"-1.5", -15},
                                                                 {"12", 120},
                                                                 {".5", 5},
                                                                 {"+3.", 30},
                                                                 {"-29.9", -299},
                                                                 {"29.9", 299},
                                                                 {"1.25", 12},
                                                                 {"1.35", 14},
                                                                 {"29.94", 299},
                                                                 {"-0", 0},
                                                                 {"29.96", 1000},
                                                                 {"30", 1000},
                                                                 {"-30", 1000},
                                                                 {"1e1", 1000},
                                                                 {"1.5mm", 1000},
                                                                 {"1,5", 1000},
                                                                 {"", 1000},
                                                                 {".", 1000},
                                                                 {"- 1", 1000},
                                                                 {"abc", 1000},
                                                                 {" 1", 1000},
                                                                 {"1e400", 1000},
                                                                 {"99999999999999999999", 1000}})
            QTest::newRow(text) << QString::fromLatin1(text) << tenths;
    }

    void readsOnlyPlainCutOffsetsWithinTheLimits()
    {
        QFETCH(QString, text);
        QFETCH(int, tenths);
        QCOMPARE(strictCutOffsetTenths(text).value_or(1000), tenths);
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
