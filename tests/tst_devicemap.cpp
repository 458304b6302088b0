// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/devicelinetext.h"
#include "printer/devicemap.h"
#include "printer/devicestate.h"
#include "printer/mscomm.h"
#include "printer/nativepath.h"
#include "printer/remembereddevices.h"
#include "support/linkfixture.h"
#include "support/pseudoterminal.h"
#include "support/testfiles.h"
#include "support/unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kr52;

Q_DECLARE_METATYPE(kr52::DeviceOrigin)
Q_DECLARE_METATYPE(kr52::DeviceState)
Q_DECLARE_METATYPE(kr52::PortKind)

namespace {

using testsupport::writeFile;

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray stateName(const DeviceStatus &status)
{
    static const char *const names[] = {"ready", "missing", "no permission", "in use", "unusable"};
    return QByteArray(names[int(status.state)]) + '|' + status.group.toUtf8() + '|' + status.holder.toUtf8() + '|' +
           status.reason.toUtf8();
}

PortHolderLookup heldBy(const QString &holder)
{
    return [holder](const QString &) -> std::optional<QString> { return holder; };
}

} // namespace

// Which device a port name stands for, where that comes from, and whether it can be used.
class tst_devicemap : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        linktest::clearDeviceOverrides();
        m_config = std::make_unique<QTemporaryDir>();
        QVERIFY(m_config->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
    }

    void theFileLivesInTheUsersConfigFolder_data()
    {
        QTest::addColumn<QByteArray>("xdgConfigHome");
        QTest::addColumn<QString>("file");
        const QString home = QDir::homePath();
        QTest::newRow("set") << QByteArray("/srv/cfg") << "/srv/cfg/kr52-config/devices.conf";
        QTest::newRow("unset") << QByteArray() << home + "/.config/kr52-config/devices.conf";
        QTest::newRow("relative, so ignored") << QByteArray("cfg") << home + "/.config/kr52-config/devices.conf";
    }

    void theFileLivesInTheUsersConfigFolder()
    {
        QFETCH(QByteArray, xdgConfigHome);
        QFETCH(QString, file);
        if (xdgConfigHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", xdgConfigHome);
        QCOMPARE(rememberedDevicesFile(), file);
    }

    // Environment first, then the remembered device, then the default; a bad entry is ignored.
    void mappingAndItsOrigin_data()
    {
        QTest::addColumn<QByteArray>("fileText");
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QByteArray>("variableValue");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("path");
        QTest::addColumn<DeviceOrigin>("origin");

        const QByteArray com3 = "[devices]\nCOM3=/dev/serial/by-id/usb-A\nLPT2=/dev/usb/lp0\n";
        QTest::newRow("default serial") << QByteArray() << QByteArray() << QByteArray() << "COM1:"
                                        << "/dev/ttyS0" << DeviceOrigin::Default;
        QTest::newRow("default printer") << com3 << QByteArray() << QByteArray() << "LPT4:"
                                         << "/dev/lp3" << DeviceOrigin::Default;
        QTest::newRow("remembered serial") << com3 << QByteArray() << QByteArray() << "COM3:"
                                           << "/dev/serial/by-id/usb-A" << DeviceOrigin::Remembered;
        QTest::newRow("remembered printer") << com3 << QByteArray() << QByteArray() << "LPT2:"
                                            << "/dev/usb/lp0" << DeviceOrigin::Remembered;
        QTest::newRow("variable wins") << com3 << QByteArray("KR52_COM3") << QByteArray("/dev/pts/7") << "COM3:"
                                       << "/dev/pts/7" << DeviceOrigin::Environment;
        QTest::newRow("variable of another port")
            << com3 << QByteArray("KR52_COM2") << QByteArray("/dev/pts/7") << "COM3:"
            << "/dev/serial/by-id/usb-A" << DeviceOrigin::Remembered;
        QTest::newRow("empty variable") << com3 << QByteArray("KR52_COM3") << QByteArray("") << "COM3:"
                                        << "/dev/serial/by-id/usb-A" << DeviceOrigin::Remembered;
        QTest::newRow("relative entry") << QByteArray("[devices]\nCOM1=ttyUSB0\n") << QByteArray() << QByteArray()
                                        << "COM1:"
                                        << "/dev/ttyS0" << DeviceOrigin::Default;
        QTest::newRow("resource entry") << QByteArray("[devices]\nCOM1=:/x\n") << QByteArray() << QByteArray()
                                        << "COM1:"
                                        << "/dev/ttyS0" << DeviceOrigin::Default;
        QTest::newRow("not a settings file")
            << QByteArray("\x01\xff garbage = = [") << QByteArray() << QByteArray() << "COM1:"
            << "/dev/ttyS0" << DeviceOrigin::Default;
        QTest::newRow("a path is itself") << com3 << QByteArray() << QByteArray() << "/dev/usb/lp1"
                                          << "/dev/usb/lp1" << DeviceOrigin::Default;
    }

    void mappingAndItsOrigin()
    {
        QFETCH(QByteArray, fileText);
        QFETCH(QByteArray, variable);
        QFETCH(QByteArray, variableValue);
        QFETCH(QString, port);
        QFETCH(QString, path);
        QFETCH(DeviceOrigin, origin);

        if (!fileText.isNull())
            writeFile(rememberedDevicesFile(), fileText);
        if (!variable.isEmpty())
            qputenv(variable.constData(), variableValue);
        const DeviceMapping mapping = deviceMappingFor(port);
        QCOMPARE(mapping.path, path);
        QCOMPARE(mapping.origin, origin);
        QCOMPARE(devicePathFor(port), path);
        if (!variable.isEmpty())
            qunsetenv(variable.constData());
    }

    void rememberedDevicesAreWrittenAndReadBack()
    {
        QVERIFY(rememberDevice(QStringLiteral("COM3:"), QStringLiteral("/dev/serial/by-id/usb-FTDI-if00")).isEmpty());
        QVERIFY(rememberDevice(QStringLiteral("LPT2:"), QStringLiteral("/dev/usb/lp0")).isEmpty());
        QCOMPARE(QString::fromUtf8(contentOf(m_config->filePath(QStringLiteral("kr52-config/devices.conf")))),
                 QStringLiteral("[devices]\nCOM3=/dev/serial/by-id/usb-FTDI-if00\nLPT2=/dev/usb/lp0\n"));
        QCOMPARE(devicePathFor(QStringLiteral("COM3:")), QStringLiteral("/dev/serial/by-id/usb-FTDI-if00"));

        // A new choice replaces the old; going back to the default drops only that port's entry.
        QVERIFY(rememberDevice(QStringLiteral("COM3:"), QStringLiteral("/dev/ttyACM0")).isEmpty());
        QCOMPARE(devicePathFor(QStringLiteral("COM3:")), QStringLiteral("/dev/ttyACM0"));
        QVERIFY(forgetDevice(QStringLiteral("COM3:")).isEmpty());
        QCOMPARE(deviceMappingFor(QStringLiteral("COM3:")).origin, DeviceOrigin::Default);
        QCOMPARE(devicePathFor(QStringLiteral("LPT2:")), QStringLiteral("/dev/usb/lp0"));

        // Characters the file format gives a meaning of its own come back as they went in.
        const QString odd = QStringLiteral("/tmp/a b,c;d=\"é\"\\[x]");
        QVERIFY(rememberDevice(QStringLiteral("LPT1:"), odd).isEmpty());
        QCOMPARE(devicePathFor(QStringLiteral("LPT1:")), odd);
    }

    void forgettingWithNoFileWritesNothing()
    {
        QVERIFY(forgetDevice(QStringLiteral("COM1:")).isEmpty());
        QVERIFY(!QFileInfo::exists(rememberedDevicesFile()));
    }

    void onlyFullPathsForPortNamesAreKept_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("relative") << "COM1:"
                                  << "ttyUSB0"
                                  << "\"ttyUSB0\" is not a full device path: it must start with \"/\".";
        QTest::newRow("empty") << "COM1:"
                               << ""
                               << "\"\" is not a full device path: it must start with \"/\".";
        QTest::newRow("resource") << "LPT1:"
                                  << ":/art/x"
                                  << "\":/art/x\" is not a full device path: it must start with \"/\".";
        QTest::newRow("not a port") << "PRN"
                                    << "/dev/lp0"
                                    << "\"PRN\" is not a port name.";
        QTest::newRow("port zero") << "COM0:"
                                   << "/dev/ttyS0"
                                   << "\"COM0:\" is not a port name.";
    }

    void onlyFullPathsForPortNamesAreKept()
    {
        QFETCH(QString, port);
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QCOMPARE(rememberDevice(port, path), reason);
        QVERIFY(!QFileInfo::exists(rememberedDevicesFile()));
    }

    void aConfigFolderThatCannotBeMadeIsReported()
    {
        // A plain file where the folder should be: no user, not even root, can make it.
        writeFile(m_config->filePath(QStringLiteral("kr52-config")), "x");
        const QString failure = rememberDevice(QStringLiteral("COM1:"), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(
            failure,
            QStringLiteral("The folder %1 could not be made.").arg(m_config->filePath(QStringLiteral("kr52-config"))));
        QCOMPARE(devicePathFor(QStringLiteral("COM1:")), QStringLiteral("/dev/ttyS0"));
    }

    // The open failures point to where the port's device is set for this run.
    void openFailuresPointToTheDialogOrTheVariable_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QByteArray>("variableValue");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");

        const QString plugIn = "There is no such device. Check that the printer or adapter is plugged in";
        QTest::newRow("missing, default")
            << "LPT3:" << QByteArray() << ENOENT << plugIn + ", or choose the device for LPT3: in \"Configure Port\".";
        QTest::newRow("missing, variable") << "COM1:" << QByteArray("/dev/pts/9") << ENODEV
                                           << plugIn + ", or set another device in the environment variable KR52_COM1, "
                                                       "which maps COM1: for this run.";
        QTest::newRow("missing, a path") << "/dev/usb/lp9" << QByteArray() << ENOENT << plugIn + ".";
        QTest::newRow("no permission, root's device")
            << "COM1:" << QByteArray() << EACCES
            << "Permission denied. If it is the wrong device, choose the device for COM1: in \"Configure Port\".";
        QTest::newRow("no permission, variable")
            << "COM1:" << QByteArray("/dev/pts/9") << EPERM
            << "Permission denied. If it is the wrong device, set another device in the environment variable "
               "KR52_COM1, which maps COM1: for this run.";
        QTest::newRow("in use") << "COM1:" << QByteArray() << EBUSY << "The device is in use by another program.";
    }

    void openFailuresPointToTheDialogOrTheVariable()
    {
        QFETCH(QString, port);
        QFETCH(QByteArray, variableValue);
        QFETCH(int, error);
        QFETCH(QString, reason);
        if (!variableValue.isEmpty())
            qputenv(overrideVariableFor(port).toLatin1().constData(), variableValue);
        QCOMPARE(describeOpenFailure(port, QStringLiteral("/"), error), reason);
    }

    void statesOfDevices_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<PortKind>("kind");
        QTest::addColumn<QString>("holder"); // "-" for nobody known
        QTest::addColumn<QByteArray>("status");

        const QByteArray ready = "ready|||";
        QTest::newRow("plain file, printer") << "file" << PortKind::Printer << "-" << ready;
        const QByteArray notSerial = "unusable|||This is not a serial device.";
        const QByteArray fifo = "ready|||A FIFO: it takes the data while a program reads from it.";
        QTest::newRow("plain file, serial") << "file" << PortKind::Serial << "-" << notSerial;
        QTest::newRow("not a terminal, serial") << "/dev/null" << PortKind::Serial << "-" << notSerial;
        QTest::newRow("missing") << "nothing" << PortKind::Serial << "-" << QByteArray("missing|||");
        QTest::newRow("under a file") << "file/x" << PortKind::Printer << "-" << QByteArray("missing|||");
        QTest::newRow("folder") << "folder" << PortKind::Printer << "-"
                                << QByteArray("unusable|||This is a folder, not a device.");
        // A FIFO is never opened for writing: its reader would see the end of its input.
        QTest::newRow("FIFO, nothing reading") << "fifo" << PortKind::Printer << "-" << fifo;
        QTest::newRow("FIFO with a reader") << "read fifo" << PortKind::Printer << "-" << fifo;
        QTest::newRow("FIFO as a serial line") << "fifo" << PortKind::Serial << "-" << notSerial;
        QTest::newRow("terminal as a printer, not opened") << "pty" << PortKind::Printer << "-" << ready;
        QTest::newRow("pseudo-terminal") << "pty" << PortKind::Serial << "-" << ready;
        QTest::newRow("held by a known program") << "pty" << PortKind::Serial << "kr52-virtual (process 42)"
                                                 << QByteArray("in use||kr52-virtual (process 42)|");
        QTest::newRow("held by someone") << "file" << PortKind::Printer << "" << QByteArray("in use|||");
        QTest::newRow("a missing device is not in use")
            << "nothing" << PortKind::Printer << "someone" << QByteArray("missing|||");
    }

    void statesOfDevices()
    {
        QFETCH(QString, name);
        QFETCH(PortKind, kind);
        QFETCH(QString, holder);
        QFETCH(QByteArray, status);

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        writeFile(folder.filePath(QStringLiteral("file")), "");
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder")));
        QVERIFY(::mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("fifo"))).constData(), 0600) == 0);
        const QByteArray readFifo = QFile::encodeName(folder.filePath(QStringLiteral("read fifo")));
        QVERIFY(::mkfifo(readFifo.constData(), 0600) == 0);
        const int reader = ::open(readFifo.constData(), O_RDONLY | O_NONBLOCK);
        PseudoTerminal pty;
        QVERIFY(pty.isValid());
        const QString path = name == QLatin1String("pty")        ? pty.devicePath()
                             : name.startsWith(QLatin1Char('/')) ? name
                                                                 : folder.filePath(name);

        const PortHolderLookup lookup = holder == QLatin1String("-") ? portHolderLookup() : heldBy(holder);
        QCOMPARE(stateName(deviceStatus(path, kind, lookup)), status);
        // A writer that came and went would have left the reader a hang-up.
        pollfd readerState{reader, POLLIN, 0};
        QCOMPARE(::poll(&readerState, 1, 0), 0);
        ::close(reader);
    }

    // A device whose name is not UTF-8 is used by its exact bytes, from the variable and from
    // the remembered map alike.
    void pathsThatAreNotUtf8()
    {
        PseudoTerminal pty;
        QTemporaryDir dir;
        const QByteArray link = QFile::encodeName(dir.path()) + "/caf\xe9-\xff\xc3printer";
        QCOMPARE(::symlink(QFile::encodeName(pty.devicePath()).constData(), link.constData()), 0);
        QCOMPARE(pathFromNative(nativePath(QStringLiteral("/dev/caf\u00e9"))), QStringLiteral("/dev/caf\u00e9"));
        // A character past U+FFFF beside a kept byte: its low half is no kept byte.
        const QByteArray mixed = "/dev/\xc0u\xf2\x9c\x92\x97#\xd7";
        QCOMPARE(nativePath(pathFromNative(mixed)), mixed);

        qputenv("KR52_COM1", link);
        const QString path = devicePathFor(QStringLiteral("COM1:"));
        QCOMPARE(nativePath(path), link);
        QCOMPARE(stateName(deviceStatus(path, PortKind::Serial, portHolderLookup())), QByteArray("ready|||"));
        MSComm comm;
        comm.setPortOpen(true);
        comm.setOutput("A");
        comm.setPortOpen(false);
        QCOMPARE(pty.readAll(), QByteArray("A"));

        QCOMPARE(rememberDevice(QStringLiteral("COM2:"), path), QString());
        QCOMPARE(nativePath(devicePathFor(QStringLiteral("COM2:"))), link);
    }

    // Run as a user without the rights, so that it holds when the tests run as root too.
    void devicesClosedToThisUser_data()
    {
        QTest::addColumn<bool>("closedFolder");
        QTest::newRow("device of a group, named") << false;
        QTest::newRow("folder on the way closed, no group known") << true;
    }

    void devicesClosedToThisUser()
    {
        QFETCH(bool, closedFolder);

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString device = folder.filePath(QStringLiteral("ttyUSB0"));
        writeFile(device, "");
        const QByteArray nativeDevice = QFile::encodeName(device);
        const bool root = ::geteuid() == 0;
        // As root the device goes to dialout, as the system's serial lines do; the child is nobody.
        if (const group *dialout = ::getgrnam("dialout"); root && dialout)
            QVERIFY(::chown(nativeDevice.constData(), 0, dialout->gr_gid) == 0);
        QVERIFY(::chmod(nativeDevice.constData(), root ? 0660 : 0) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), closedFolder ? 0 : 0755) == 0);

        QString group = QFileInfo(device).group();
        if (closedFolder || group == QLatin1String("root"))
            group.clear();
        const QByteArray seen =
            runUnprivileged([&] { return stateName(deviceStatus(device, PortKind::Serial, portHolderLookup())); });
        ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
        QCOMPARE(seen, "no permission|" + group.toUtf8() + "||");
    }

    // The port dialog's line, word for word, for each state and origin.
    void lineTexts_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("path");
        QTest::addColumn<DeviceOrigin>("origin");
        QTest::addColumn<DeviceState>("state");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("text");

        QTest::newRow("ready, default") << "COM1:"
                                        << "/dev/ttyS0" << DeviceOrigin::Default << DeviceState::Ready << ""
                                        << "COM1: is /dev/ttyS0 (default). Present and ready.";
        QTest::newRow("ready, chosen") << "COM3:"
                                       << "/dev/serial/by-id/usb-A" << DeviceOrigin::Remembered << DeviceState::Ready
                                       << ""
                                       << "COM3: is /dev/serial/by-id/usb-A (chosen). Present and ready.";
        QTest::newRow("ready, variable") << "LPT2:"
                                         << "/tmp/lp" << DeviceOrigin::Environment << DeviceState::Ready << ""
                                         << "LPT2: is /tmp/lp (set by KR52_LPT2 for this run). Present and ready.";
        QTest::newRow("missing, default") << "LPT1:"
                                          << "/dev/lp0" << DeviceOrigin::Default << DeviceState::Missing << ""
                                          << "LPT1: is /dev/lp0 (default). Missing.";
        QTest::newRow("missing, chosen") << "COM2:"
                                         << "/dev/ttyUSB1" << DeviceOrigin::Remembered << DeviceState::Missing << ""
                                         << "COM2: is /dev/ttyUSB1 (chosen). Missing: plug it in, or choose another "
                                            "device or the default.";
        QTest::newRow("no permission, group")
            << "COM1:"
            << "/dev/ttyS0" << DeviceOrigin::Default << DeviceState::NoPermission << "dialout"
            << "COM1: is /dev/ttyS0 (default). No permission: join the group "
               "\"dialout\" and log in again.";
        QTest::newRow("no permission, no group")
            << "LPT1:"
            << "/dev/lp0" << DeviceOrigin::Default << DeviceState::NoPermission << ""
            << "LPT1: is /dev/lp0 (default). No permission to use it.";
        QTest::newRow("in use, known") << "COM1:"
                                       << "/dev/pts/3" << DeviceOrigin::Environment << DeviceState::InUse
                                       << "kr52-virtual"
                                       << "COM1: is /dev/pts/3 (set by KR52_COM1 for this run). In use by "
                                          "kr52-virtual.";
        QTest::newRow("in use, unknown") << "LPT1:"
                                         << "/dev/usb/lp0" << DeviceOrigin::Remembered << DeviceState::InUse << ""
                                         << "LPT1: is /dev/usb/lp0 (chosen). In use by another program.";
        QTest::newRow("unusable") << "LPT1:"
                                  << "/tmp" << DeviceOrigin::Remembered << DeviceState::Unusable
                                  << "This is a folder, not a device."
                                  << "LPT1: is /tmp (chosen). This is a folder, not a device.";
    }

    void lineTexts()
    {
        QFETCH(QString, port);
        QFETCH(QString, path);
        QFETCH(DeviceOrigin, origin);
        QFETCH(DeviceState, state);
        QFETCH(QString, detail);
        QFETCH(QString, text);

        DeviceStatus status{state, {}, {}, {}};
        if (state == DeviceState::NoPermission)
            status.group = detail;
        else if (state == DeviceState::InUse)
            status.holder = detail;
        else
            status.reason = detail;
        QCOMPARE(deviceLineText(port, {path, origin}, status), text);
    }

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

QTEST_GUILESS_MAIN(tst_devicemap)
#include "tst_devicemap.moc"
