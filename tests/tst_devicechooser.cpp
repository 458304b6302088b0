// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/devicedetection.h"
#include "printer/devicemap.h"
#include "printer/devicestate.h"
#include "printer/remembereddevices.h"
#include "shell/frmMain.h"
#include "support/linkfixture.h"
#include "support/messagecapture.h"
#include "support/pseudoterminal.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

using namespace kr52;

namespace {

QWidget *portDialog()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("frmPort"))
            return window;
    }
    return nullptr;
}

void press(QWidget *window, const char *buttonName)
{
    auto *button = window->findChild<QPushButton *>(QLatin1String(buttonName));
    QVERIFY2(button, buttonName);
    QVERIFY2(button->isVisible(), buttonName);
    QTest::mouseClick(button, Qt::LeftButton);
}

QWidget *configurePort(frmMain &main)
{
    press(&main, "comConfPort");
    return portDialog();
}

// The state line as the operator reads it (it may wrap after any "/").
QString deviceLine(QWidget *dialog)
{
    return dialog->findChild<QLabel *>(QStringLiteral("labDevice"))->text().remove(QChar(0x200B));
}

void selectPort(QWidget *dialog, const QString &port)
{
    dialog->findChild<QComboBox *>(QStringLiteral("cmbPort"))->setCurrentText(port);
}

// "Choose Device..." for the selected port; the chooser it opens.
QWidget *openChooser(QWidget *dialog)
{
    press(dialog, "comChooseDevice");
    auto *chooser = dialog->findChild<QDialog *>(QStringLiteral("frmDevice"));
    return chooser && chooser->isVisible() ? chooser : nullptr;
}

QListWidget *deviceList(QWidget *chooser)
{
    return chooser->findChild<QListWidget *>(QStringLiteral("lstDevices"));
}

QStringList listedPaths(QWidget *chooser)
{
    QStringList paths;
    for (int row = 0; row < deviceList(chooser)->count(); ++row)
        paths << deviceList(chooser)->item(row)->data(Qt::UserRole).toString();
    return paths;
}

void typePath(QWidget *chooser, const QString &path)
{
    auto *box = chooser->findChild<QLineEdit *>(QStringLiteral("txtDevicePath"));
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, path);
}

qint16 cmodeOf(const frmMain &main)
{
    return main.property("cmode").value<qint16>();
}

} // namespace

// The port dialog's device line and the device chooser, against devices in a folder the test
// builds and a configuration folder of its own.
class tst_devicechooser : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        linktest::clearDeviceOverrides();
        m_config = std::make_unique<QTemporaryDir>();
        m_dev = std::make_unique<QTemporaryDir>();
        QVERIFY(m_config->isValid() && m_dev->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
        m_serialPorts.clear();
        setDeviceSource({m_dev->path(), [this] { return m_serialPorts; }});
        setPortHolderLookup([](const QString &) -> std::optional<QString> { return std::nullopt; });
    }

    void cleanup() { setDeviceSource(systemDeviceSource()); }

    // What each state reads like in the dialog, following the selection at once.
    void lineFollowsTheSelection_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("device"); // in the test's device folder
        QTest::addColumn<QString>("text");   // DEV is the device folder

        QTest::newRow("ready") << "COM2:"
                               << "ttyUSB0"
                               << "COM2: is DEV/ttyUSB0 (set by KR52_COM2 for this run). Present and ready.";
        QTest::newRow("missing") << "LPT3:"
                                 << "lp9"
                                 << "LPT3: is DEV/lp9 (set by KR52_LPT3 for this run). Missing.";
        QTest::newRow("folder") << "LPT1:"
                                << "usb"
                                << "LPT1: is DEV/usb (set by KR52_LPT1 for this run). This is a folder, not a "
                                   "device.";
        QTest::newRow("nothing reading") << "LPT2:"
                                         << "fifo"
                                         << "LPT2: is DEV/fifo (set by KR52_LPT2 for this run). The device is not "
                                            "ready: nothing is reading from it.";
        QTest::newRow("in use") << "COM4:"
                                << "held"
                                << "COM4: is DEV/held (set by KR52_COM4 for this run). In use by kr52-virtual.";
    }

    void lineFollowsTheSelection()
    {
        QFETCH(QString, port);
        QFETCH(QString, device);
        QFETCH(QString, text);

        QVERIFY(QDir(m_dev->path()).mkdir(QStringLiteral("usb")));
        QVERIFY(!linktest::makeDeviceFile(m_dev->path(), QStringLiteral("ttyUSB0")).isEmpty());
        QVERIFY(!linktest::makeDeviceFile(m_dev->path(), QStringLiteral("held")).isEmpty());
        QVERIFY(::mkfifo(QFile::encodeName(m_dev->filePath(QStringLiteral("fifo"))).constData(), 0600) == 0);
        const QString held = m_dev->filePath(QStringLiteral("held"));
        setPortHolderLookup([held](const QString &path) -> std::optional<QString> {
            return path == held ? std::optional<QString>(QStringLiteral("kr52-virtual")) : std::nullopt;
        });
        qputenv(overrideVariableFor(port).toLatin1().constData(), QFile::encodeName(m_dev->filePath(device)));

        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        selectPort(dialog, port);
        QCOMPARE(deviceLine(dialog), QString(text).replace("DEV", m_dev->path()));
    }

    // Plugged in or pulled out while the dialog is shown, within about a second; not looked at
    // while it is hidden.
    void lineStaysCurrentOnlyWhileShown()
    {
        const QString device = m_dev->filePath(QStringLiteral("ttyUSB0"));
        qputenv("KR52_COM1", QFile::encodeName(device));
        const QString prefix = QStringLiteral("COM1: is %1 (set by KR52_COM1 for this run). ").arg(device);

        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        selectPort(dialog, QStringLiteral("COM1:"));
        QCOMPARE(deviceLine(dialog), prefix + "Missing.");
        QVERIFY(!linktest::makeDeviceFile(m_dev->path(), QStringLiteral("ttyUSB0")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(deviceLine(dialog), prefix + "Present and ready.", 2500);

        press(dialog, "Command2");
        QVERIFY(QFile::remove(device));
        QTest::qWait(1500);
        QCOMPARE(deviceLine(dialog), prefix + "Present and ready.");
        QCOMPARE(configurePort(main), dialog);
        QCOMPARE(deviceLine(dialog), prefix + "Missing.");
    }

    void chooserListsTheDevicesOfThePortsKind_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("caption");
        QTest::newRow("serial") << "COM2:" << QStringList{"serial/by-id/usb-FTDI-if00-port0", "ttyUSB1"}
                                << "&Serial ports on this computer:";
        QTest::newRow("printer") << "LPT1:" << QStringList{"usb/lp0", "lp0"} << "&Printer devices on this computer:";
    }

    void chooserListsTheDevicesOfThePortsKind()
    {
        QFETCH(QString, port);
        QFETCH(QStringList, listed);
        QFETCH(QString, caption);

        const QString dev = QDir(m_dev->path()).canonicalPath();
        for (const char *name : {"ttyUSB0", "ttyUSB1", "lp0"})
            QVERIFY(!linktest::makeDeviceFile(dev, QString::fromLatin1(name)).isEmpty());
        QVERIFY(QDir(dev).mkpath(QStringLiteral("usb")) && QDir(dev).mkpath(QStringLiteral("serial/by-id")));
        QVERIFY(!linktest::makeDeviceFile(dev + "/usb", "lp0").isEmpty());
        QVERIFY(QFile::link(dev + "/ttyUSB0", dev + "/serial/by-id/usb-FTDI-if00-port0"));
        m_serialPorts = {{dev + "/ttyUSB0", "FT232R USB UART", "FTDI", "", std::nullopt},
                         {dev + "/ttyUSB1", "", "", "", std::nullopt}};

        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        selectPort(dialog, port);
        QWidget *chooser = openChooser(dialog);
        QVERIFY(chooser);
        QCOMPARE(chooser->windowTitle(), QStringLiteral("Device for %1").arg(port));
        QStringList expected;
        for (const QString &name : listed)
            expected << dev + "/" + name;
        QCOMPARE(listedPaths(chooser), expected);
        QCOMPARE(chooser->findChild<QLabel *>(QStringLiteral("labDevices"))->text(), caption);
        // It starts from the port's current device, which none of these is; the list taking the
        // focus selects its first row, and the path box shows what is highlighted.
        QCOMPARE(chooser->findChild<QLineEdit *>(QStringLiteral("txtDevicePath"))->text(), devicePathFor(port));
        QApplication::setActiveWindow(chooser);
        deviceList(chooser)->setFocus();
        QTRY_VERIFY(deviceList(chooser)->hasFocus());
        QCOMPARE(deviceList(chooser)->selectedItems().size(), 1);
        QCOMPARE(deviceList(chooser)->currentRow(), 0);
        QCOMPARE(chooser->findChild<QLineEdit *>(QStringLiteral("txtDevicePath"))->text(), expected.first());

        // A device plugged in while the chooser is open joins the list.
        QVERIFY(!linktest::makeDeviceFile(dev, "lp1").isEmpty());
        m_serialPorts.append({dev + "/ttyACM0", "", "", "", std::nullopt});
        QTRY_COMPARE_WITH_TIMEOUT(listedPaths(chooser).size(), expected.size() + 1, 2500);
    }

    // "Use" remembers the device, touches no link state, and the dialog says so at once.
    void choosingADeviceRemembersIt()
    {
        const QString dev = QDir(m_dev->path()).canonicalPath();
        QVERIFY(!linktest::makeDeviceFile(dev, "ttyUSB3").isEmpty());
        m_serialPorts = {{dev + "/ttyUSB3", "", "", "", std::nullopt}};

        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        selectPort(dialog, QStringLiteral("COM2:"));
        QWidget *chooser = openChooser(dialog);
        deviceList(chooser)->setCurrentRow(0);
        press(chooser, "comUseDevice");

        QVERIFY(!chooser->isVisible());
        QCOMPARE(rememberedDeviceFor(QStringLiteral("COM2:")), dev + "/ttyUSB3");
        QCOMPARE(deviceLine(dialog), QStringLiteral("COM2: is %1/ttyUSB3 (chosen). Present and ready.").arg(dev));
        auto *ports = dialog->findChild<QComboBox *>(QStringLiteral("cmbPort"));
        QCOMPARE(ports->itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("COM2: is %1/ttyUSB3").arg(dev));
        QVERIFY(dialog->isVisible());
        QCOMPARE(cmodeOf(main), qint16(0));
        QCOMPARE(main.property("lptport").toString(), QStringLiteral("LPT1:"));
    }

    // From the keyboard: the focused list has a highlighted row, Enter uses exactly that row
    // (whatever the path box held), Enter in the path box presses "Use", and Tab runs along the
    // buttons as they stand.
    void theKeyboardUsesWhatIsHighlighted()
    {
        const QString dev = QDir(m_dev->path()).canonicalPath();
        for (const char *name : {"ttyUSB0", "ttyUSB1"})
            QVERIFY(!linktest::makeDeviceFile(dev, QString::fromLatin1(name)).isEmpty());
        m_serialPorts = {{dev + "/ttyUSB0", "", "", "", std::nullopt}, {dev + "/ttyUSB1", "", "", "", std::nullopt}};

        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        selectPort(dialog, QStringLiteral("COM2:"));
        QWidget *chooser = openChooser(dialog);
        QVERIFY(chooser);
        QApplication::setActiveWindow(chooser);
        QVERIFY(QTest::qWaitForWindowActive(chooser));
        auto *use = chooser->findChild<QPushButton *>(QStringLiteral("comUseDevice"));
        QVERIFY(use->isDefault());

        auto *path = chooser->findChild<QLineEdit *>(QStringLiteral("txtDevicePath"));
        path->setFocus();
        const QStringList tabOrder{"comDefaultDevice", "comUseDevice", "comCancelDevice"};
        for (const QString &next : tabOrder) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }

        typePath(chooser, dev + "/ttyUSB9");
        deviceList(chooser)->setFocus();
        QTRY_VERIFY(deviceList(chooser)->hasFocus());
        QTest::keyClick(deviceList(chooser), Qt::Key_Down);
        QCOMPARE(deviceList(chooser)->currentRow(), 1);
        QCOMPARE(path->text(), dev + "/ttyUSB1");
        const MessageCapture messages;
        QTest::keyClick(deviceList(chooser), Qt::Key_Return);
        QVERIFY(!chooser->isVisible());
        QCOMPARE(rememberedDeviceFor(QStringLiteral("COM2:")), dev + "/ttyUSB1");
        QCOMPARE(messages.count(), 0);

        // Enter in the path box presses the default button, "Use".
        QTRY_VERIFY(!dialog->findChild<QDialog *>(QStringLiteral("frmDevice")));
        chooser = openChooser(dialog);
        QVERIFY(chooser);
        QApplication::setActiveWindow(chooser);
        QVERIFY(QTest::qWaitForWindowActive(chooser));
        typePath(chooser, dev + "/ttyUSB0");
        QTest::keyClick(chooser->findChild<QLineEdit *>(QStringLiteral("txtDevicePath")), Qt::Key_Return);
        QVERIFY(!chooser->isVisible());
        QCOMPARE(rememberedDeviceFor(QStringLiteral("COM2:")), dev + "/ttyUSB0");
    }

    // Typed paths lose outer blanks; a path that is not a full one is refused, nothing is kept.
    void typedPaths_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("message");
        QTest::newRow("full path") << " /dev/ttyUSB9 "
                                   << "/dev/ttyUSB9"
                                   << "";
        QTest::newRow("relative") << "ttyUSB9"
                                  << ""
                                  << "The device for COM1: was not changed. \"ttyUSB9\" is not a full device path: it "
                                     "must start with \"/\".";
        QTest::newRow("blank") << "   "
                               << ""
                               << "The device for COM1: was not changed. \"\" is not a full device path: it must "
                                  "start with \"/\".";
    }

    void typedPaths()
    {
        QFETCH(QString, typed);
        QFETCH(QString, remembered);
        QFETCH(QString, message);

        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        selectPort(dialog, QStringLiteral("COM1:"));
        QWidget *chooser = openChooser(dialog);
        MessageCapture messages;
        typePath(chooser, typed);
        press(chooser, "comUseDevice");

        QCOMPARE(rememberedDeviceFor(QStringLiteral("COM1:")), remembered);
        QCOMPARE(chooser->isVisible(), !message.isEmpty());
        QCOMPARE(messages.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(messages.last().text, message);
            QCOMPARE(messages.last().icon, QMessageBox::Warning);
        }
    }

    // A remembered device that has gone shows as missing; "Default" brings the standard one back.
    void aRememberedDeviceThatIsGoneLeadsBackToTheDefault()
    {
        QVERIFY(rememberDevice(QStringLiteral("LPT2:"), m_dev->filePath(QStringLiteral("usb/lp4"))).isEmpty());
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        selectPort(dialog, QStringLiteral("LPT2:"));
        QCOMPARE(deviceLine(dialog), QStringLiteral("LPT2: is %1/usb/lp4 (chosen). Missing: plug it in, or choose "
                                                    "another device or the default.")
                                         .arg(m_dev->path()));
        QWidget *chooser = openChooser(dialog);
        QCOMPARE(chooser->findChild<QLabel *>(QStringLiteral("labDeviceNote"))->text(),
                 QStringLiteral("The default for LPT2: is /dev/lp1."));
        press(chooser, "comDefaultDevice");
        QVERIFY(!chooser->isVisible());
        QCOMPARE(rememberedDeviceFor(QStringLiteral("LPT2:")), QString());
        QVERIFY(deviceLine(dialog).startsWith(QStringLiteral("LPT2: is /dev/lp1 (default). ")));
    }

    // The variable still wins for the run, and both the line and the chooser say so.
    void theVariableWinsOverTheChoice()
    {
        const QString virtualPrinter = m_dev->filePath(QStringLiteral("pty"));
        QVERIFY(!linktest::makeDeviceFile(m_dev->path(), QStringLiteral("pty")).isEmpty());
        qputenv("KR52_COM1", QFile::encodeName(virtualPrinter));
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        selectPort(dialog, QStringLiteral("COM1:"));
        QWidget *chooser = openChooser(dialog);
        QCOMPARE(chooser->findChild<QLabel *>(QStringLiteral("labDeviceNote"))->text(),
                 QStringLiteral("The default for COM1: is /dev/ttyS0. KR52_COM1 is set for this run: it wins over "
                                "the device chosen here until it is unset."));
        typePath(chooser, QStringLiteral("/dev/ttyUSB0"));
        press(chooser, "comUseDevice");

        QCOMPARE(rememberedDeviceFor(QStringLiteral("COM1:")), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(devicePathFor(QStringLiteral("COM1:")), virtualPrinter);
        QCOMPARE(deviceLine(dialog),
                 QStringLiteral("COM1: is %1 (set by KR52_COM1 for this run). Present and ready.").arg(virtualPrinter));
    }

    // Chosen in the chooser, used, and still meant after a restart, with no port chosen.
    void aChosenPseudoTerminalIsUsedAndRemembered()
    {
        PseudoTerminal pty;
        QVERIFY(pty.isValid());
        m_serialPorts = {{pty.devicePath(), "pseudo-terminal", "", "", std::nullopt}};
        MessageCapture messages;
        {
            frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
            main.show();
            QWidget *dialog = configurePort(main);
            selectPort(dialog, QStringLiteral("COM3:"));
            QWidget *chooser = openChooser(dialog);
            QCOMPARE(listedPaths(chooser), QStringList{pty.devicePath()});
            deviceList(chooser)->setCurrentRow(0);
            press(chooser, "comUseDevice");
            press(dialog, "Command1");
            QCOMPARE(cmodeOf(main), qint16(1));
            press(&main, "comUse");
            QCOMPARE(messages.count(), 0);
            QCOMPARE(pty.readAll(), linktest::selfTest());
        }
        frmMain restarted(QStringLiteral(KR52_PROGRAM_DIR));
        restarted.show();
        QCOMPARE(cmodeOf(restarted), qint16(0));
        QCOMPARE(restarted.property("lptport").toString(), QStringLiteral("LPT1:"));
        QCOMPARE(devicePathFor(QStringLiteral("COM3:")), pty.devicePath());
        QWidget *dialog = configurePort(restarted);
        selectPort(dialog, QStringLiteral("COM3:"));
        QCOMPARE(deviceLine(dialog), QStringLiteral("COM3: is %1 (chosen). Present and ready.").arg(pty.devicePath()));
    }

private:
    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<QTemporaryDir> m_dev;
    QList<SerialPortEntry> m_serialPorts;
};

QTEST_MAIN(tst_devicechooser)
#include "tst_devicechooser.moc"
