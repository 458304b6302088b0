// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/devicemap.h"
#include "protocol/commands.h"
#include "settings/catalogue.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

using namespace kr52;

// Command bytes and the catalogue's own consistency, without a link.
class tst_commands : public QObject {
    Q_OBJECT

private slots:
    void commandLayout()
    {
        QCOMPARE(setSwitchBitsCommand("2", "0001"), QByteArray("\x1b#2+0001\n\0", 10));
        QCOMPARE(clearSwitchBitsCommand("E", "0FFF"), QByteArray("\x1b#E-0FFF\n\0", 10));
        QCOMPARE(setSwitchBitsCommand("1", "0000").size(), 10); // a mask of no bits is still a command
        QCOMPARE(selfTestCommand(), QByteArray("\x1b?\n\0", 4));
        // Texts go in as they are: nothing padded, cut or raised to upper case.
        QCOMPARE(setSwitchBitsCommand("e", "12345"), QByteArray("\x1b#e+12345\n\0", 11));
        QCOMPARE(clearSwitchBitsCommand("", "1"), QByteArray("\x1b#-1\n\0", 6));
    }

    void everyRowWritesOnlyItsOwnSwitch()
    {
        std::set<QString> names;
        std::set<int> helpIndexes;
        for (const SettingRow &row : settingsCatalogue()) {
            QVERIFY(names.insert(row.listName).second);
            QVERIFY(helpIndexes.insert(row.helpIndex).second);
            QCOMPARE(row.entries.first(), QStringLiteral("No change"));
            QVERIFY(commandsFor(row, 0, u"12mm").isEmpty());
            QVERIFY(commandsFor(row, int(row.entries.size()), u"12mm").isEmpty() || row.kind != RowKind::Fixed);
            for (int index = 1; index < row.entries.size(); ++index) {
                const QList<SwitchCommand> commands = commandsFor(row, index, u" 12.3mm");
                QVERIFY2(!commands.isEmpty(), qPrintable(row.listName));
                for (const SwitchCommand &command : commands) {
                    QCOMPARE(command.switchId, row.switchId);
                    QCOMPARE(command.mask.size(), 4);
                }
            }
        }
        QCOMPARE(int(helpIndexes.size()), 22);
        QCOMPARE(*helpIndexes.rbegin(), 21);
    }

    void cutOffsetTenths_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("tenths");
        QTest::newRow("shown value") << " 12.3mm" << 123;
        QTest::newRow("negative") << "-3.5mm" << -35;
        QTest::newRow("half to even down") << "1.25" << 12;
        QTest::newRow("half to even up") << "1.35" << 14;
        QTest::newRow("no number") << "mm" << 0;
        QTest::newRow("largest in 16 bits") << "3276.7" << 32767;
        QTest::newRow("past 16 bits clamps") << "3276.8" << 299;
        QTest::newRow("past 16 bits negative clamps") << "-3276.9" << -299;
        QTest::newRow("infinite clamps") << "1E999" << 299;
    }

    void cutOffsetTenths()
    {
        QFETCH(QString, text);
        QFETCH(int, tenths);
        QCOMPARE(kr52::cutOffsetTenths(text), tenths);
    }

    void deviceMapping()
    {
        qunsetenv("KR52_COM1");
        qunsetenv("KR52_LPT4");
        QCOMPARE(devicePathFor(QStringLiteral("COM1:")), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(devicePathFor(QStringLiteral("COM4:")), QStringLiteral("/dev/ttyS3"));
        QCOMPARE(devicePathFor(QStringLiteral("LPT1:")), QStringLiteral("/dev/lp0"));
        QCOMPARE(devicePathFor(QStringLiteral("LPT4:")), QStringLiteral("/dev/lp3"));
        qputenv("KR52_COM1", "/dev/ttyUSB0");
        qputenv("KR52_LPT4", "/dev/usb/lp0");
        QCOMPARE(devicePathFor(QStringLiteral("COM1:")), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(devicePathFor(QStringLiteral("LPT4:")), QStringLiteral("/dev/usb/lp0"));
        QCOMPARE(devicePathFor(QStringLiteral("COM2:")), QStringLiteral("/dev/ttyS1"));
        qunsetenv("KR52_COM1");
        qunsetenv("KR52_LPT4");
    }

    // The reasons the operator reads when a device cannot be opened, word for word.
    void openFailuresInWords_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<QString>("reason");

        QTest::newRow("in use") << "COM1:" << EBUSY << "The device is in use by another program.";
        // A missing device points to where the port's device is chosen.
        QTest::newRow("missing port device")
            << "LPT3:" << ENOENT
            << "There is no such device. Check that the printer or adapter is plugged in, or choose the device for "
               "LPT3: in \"Configure Port\".";
        QTest::newRow("no such port device")
            << "COM2:" << ENODEV
            << "There is no such device. Check that the printer or adapter is plugged in, or choose the device for "
               "COM2: in \"Configure Port\".";
        QTest::newRow("missing, a path for a port")
            << "/dev/usb/lp9" << ENOENT << "There is no such device. Check that the printer or adapter is plugged in.";
        QTest::newRow("folder") << "COM1:" << EISDIR << "This is a folder, not a device.";
        QTest::newRow("nothing behind the name") << "LPT1:" << ENXIO
                                                 << "There is no device behind this name: check that the printer or "
                                                    "adapter is plugged in and switched on.";
        QTest::newRow("timed out") << "LPT1:" << ETIMEDOUT << "Timed out.";
        QTest::newRow("the system's words") << "COM1:" << ENOSPC << "No space left on device.";
    }

    void openFailuresInWords()
    {
        QFETCH(QString, port);
        QFETCH(int, errorNumber);
        QFETCH(QString, reason);
        QCOMPARE(describeOpenFailure(port, QStringLiteral("/nonexistent/device"), errorNumber), reason);
    }

    // The same error number means nobody reads it when the path is a FIFO.
    void aFifoWithoutReaderSaysSo()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(describeOpenFailure(QStringLiteral("LPT1:"), fifo, ENXIO),
                 QStringLiteral("The device is not ready: nothing is reading from it."));
    }

    void permissionNamesTheGroupToJoin()
    {
        const QString com1 = QStringLiteral("COM1:");
        // No permission names the device's group to join.
        QTemporaryFile device;
        QVERIFY(device.open());
        const group *entry = ::getgrnam("dialout");
        if (!entry || ::chown(device.fileName().toLocal8Bit().constData(), uid_t(-1), entry->gr_gid) != 0)
            QSKIP("needs the dialout group and the right to hand a file to it");
        QCOMPARE(describeOpenFailure(com1, device.fileName(), EACCES),
                 QStringLiteral("Permission denied. The device belongs to the group \"dialout\": join it (sudo usermod "
                                "-aG dialout $USER) and log in again. If it is the wrong device, choose the device for "
                                "COM1: in \"Configure Port\"."));
    }
};

QTEST_GUILESS_MAIN(tst_commands)
#include "tst_commands.moc"
