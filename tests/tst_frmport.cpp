// SPDX-License-Identifier: GPL-3.0-or-later
#include "portdialog/frmPort.h"
#include "printer/mscomm.h"
#include "shell/frmMain.h"
#include "ui/accessiblenames.h"
#include "ui/messagebox.h"
#include "support/linkfixture.h"
#include "support/messagecapture.h"
#include "support/pseudoterminal.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

namespace {

qint16 cmodeOf(const frmMain &main)
{
    return main.property("cmode").value<qint16>();
}

QString lptportOf(const frmMain &main)
{
    return main.property("lptport").toString();
}

QWidget *shownDialog()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("frmPort"))
            return window;
    }
    return nullptr;
}

void click(QWidget *window, const char *buttonName)
{
    auto *button = window->findChild<QPushButton *>(QLatin1String(buttonName));
    QVERIFY2(button, buttonName);
    QTest::mouseClick(button, Qt::LeftButton);
}

// "Configure Port" on the main window; the dialog it shows.
QWidget *configurePort(frmMain &main)
{
    click(&main, "comConfPort");
    return shownDialog();
}

// The named control of the dialog. A missing one fails the test and stands in with a spare
// control, so that the rest of the program's tests still run and report.
template <typename Control>
Control *control(QWidget *dialog, const char *name)
{
    if (auto *found = dialog ? dialog->findChild<Control *>(QLatin1String(name)) : nullptr)
        return found;
    QTest::qFail(qPrintable(QStringLiteral("no control named %1").arg(QLatin1String(name))), __FILE__, __LINE__);
    auto *spare = new Control(dialog);
    if (!dialog)
        spare->deleteLater();
    return spare;
}

QComboBox *portList(QWidget *dialog)
{
    return control<QComboBox>(dialog, "cmbPort");
}
QComboBox *baudList(QWidget *dialog)
{
    return control<QComboBox>(dialog, "cmbBaud");
}
QLineEdit *dataBox(QWidget *dialog)
{
    return control<QLineEdit>(dialog, "txtData");
}
QLineEdit *stopBox(QWidget *dialog)
{
    return control<QLineEdit>(dialog, "txtStop");
}

void type(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// Fills the dialog and presses "Use".
void choose(QWidget *dialog, const QString &port, const QString &baud = QStringLiteral("9600"),
            const QString &data = QStringLiteral("8"), const QString &stop = QStringLiteral("1"))
{
    portList(dialog)->setCurrentText(port);
    baudList(dialog)->setCurrentText(baud);
    type(dataBox(dialog), data);
    type(stopBox(dialog), stop);
    click(dialog, "Command1");
}

} // namespace

// The port settings dialog, driven from the main window's "Configure Port" button.
class tst_frmport : public QObject {
    Q_OBJECT

private slots:
    void init() { linktest::clearDeviceOverrides(); }

    void firstShowingPresentsTheInitialValues()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!main.isVisible());
        QVERIFY(!dialog->parentWidget());
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Port Settings"));
        QCOMPARE(dialog->size(), QSize(152, 251)); // the designed 141 px and the device line below
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());

        QComboBox *port = portList(dialog);
        QVERIFY(!port->isEditable());
        QStringList entries;
        for (int i = 0; i < port->count(); ++i)
            entries << port->itemText(i);
        QCOMPARE(entries, QStringList({"COM1:", "COM2:", "COM3:", "COM4:", "LPT1:", "LPT2:", "LPT3:", "LPT4:"}));
        QCOMPARE(port->currentIndex(), 4);

        QComboBox *baud = baudList(dialog);
        QVERIFY(!baud->isEditable());
        QCOMPARE(baud->count(), 3);
        QCOMPARE(baud->itemText(2), QStringLiteral("33600"));
        QCOMPARE(baud->currentText(), QStringLiteral("9600"));
        QCOMPARE(dataBox(dialog)->text(), QStringLiteral("8"));
        QCOMPARE(stopBox(dialog)->text(), QStringLiteral("1"));
        QCOMPARE(kr52::withoutAccessKey(control<QPushButton>(dialog, "Command1")->text()), QStringLiteral("Use"));
        QCOMPARE(kr52::withoutAccessKey(control<QPushButton>(dialog, "Command2")->text()), QStringLiteral("Cancel"));
    }

    void tabOrderRunsDownTheFieldsThenCancelThenUse()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);

        QStringList tabOrder;
        QWidget *widget = portList(dialog);
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                tabOrder << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != portList(dialog));
        QCOMPARE(tabOrder,
                 QStringList({"cmbPort", "cmbBaud", "txtData", "txtStop", "Command2", "Command1", "comChooseDevice"}));
    }

    void useAtOnceChoosesTheFirstParallelPort()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.serialControl()->setCommPort(4);
        main.serialControl()->setSettings(QStringLiteral("19200,e,7,2"));
        main.setProperty("lptport", QStringLiteral("LPT3:"));
        main.show();
        QWidget *dialog = configurePort(main);
        click(dialog, "Command1");

        QCOMPARE(cmodeOf(main), qint16(2));
        QCOMPARE(lptportOf(main), QStringLiteral("LPT1:"));
        QCOMPARE(main.serialControl()->commPort(), 4);
        QCOMPARE(main.serialControl()->settings(), QStringLiteral("19200,e,7,2"));
        QVERIFY(!dialog->isVisible());
        QVERIFY(main.isVisible());
    }

    void useWithASerialPort_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<int>("commPort");
        QTest::addColumn<QString>("settings");

        QTest::newRow("COM3: with the initial values") << "COM3:"
                                                       << "9600"
                                                       << "8"
                                                       << "1" << 3 << "9600,n,8,1";
        QTest::newRow("COM1: at 33600") << "COM1:"
                                        << "33600"
                                        << "8"
                                        << "1" << 1 << "33600,n,8,1";
        QTest::newRow("blanks around data bits") << "COM4:"
                                                 << "9600"
                                                 << "  7  "
                                                 << "2" << 4 << "9600,n,7,2";
        QTest::newRow("blanks on both boxes") << "COM2:"
                                              << "19200"
                                              << " 7"
                                              << "2 " << 2 << "19200,n,7,2";
    }

    void useWithASerialPort()
    {
        QFETCH(QString, port);
        QFETCH(QString, baud);
        QFETCH(QString, data);
        QFETCH(QString, stop);
        QFETCH(int, commPort);
        QFETCH(QString, settings);

        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.setProperty("lptport", QStringLiteral("LPT3:"));
        main.show();
        QWidget *dialog = configurePort(main);
        MessageCapture messages;
        choose(dialog, port, baud, data, stop);

        QCOMPARE(messages.count(), 0);
        QCOMPARE(main.serialControl()->commPort(), commPort);
        QCOMPARE(main.serialControl()->settings(), settings);
        QCOMPARE(cmodeOf(main), qint16(1));
        QCOMPARE(lptportOf(main), QStringLiteral("LPT3:"));
        QVERIFY(!dialog->isVisible());
        QVERIFY(main.isVisible());
    }

    // Refused settings texts: a message naming the field, nothing applied, the dialog stays.
    void refusedSettingsChangeNothing_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QStringList>("named");

        QTest::newRow("empty data bits") << ""
                                         << "1" << QStringList{"\"9600,n,,1\"", "data bits", "5, 6, 7 or 8"};
        QTest::newRow("nine data bits") << "9"
                                        << "1" << QStringList{"data bits \"9\"", "5, 6, 7 or 8"};
        QTest::newRow("blank stop bits") << "8"
                                         << "   " << QStringList{"stop bits \"\"", "1, 1.5 or 2"};
        QTest::newRow("three stop bits") << "8"
                                         << "3" << QStringList{"stop bits \"3\"", "1, 1.5 or 2"};
        QTest::newRow("a comma too many") << "8,1"
                                          << "1" << QStringList{"four fields"};
    }

    void refusedSettingsChangeNothing()
    {
        QFETCH(QString, data);
        QFETCH(QString, stop);
        QFETCH(QStringList, named);

        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        choose(configurePort(main), QStringLiteral("COM2:"), QStringLiteral("19200"), QStringLiteral("7"),
               QStringLiteral("2"));
        choose(configurePort(main), QStringLiteral("LPT3:"));
        QCOMPARE(cmodeOf(main), qint16(2));

        QWidget *dialog = configurePort(main);
        MessageCapture messages;
        choose(dialog, QStringLiteral("COM4:"), QStringLiteral("9600"), data, stop);

        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, kr52::applicationTitle());
        QCOMPARE(messages.last().icon, QMessageBox::Warning);
        for (const QString &part : named)
            QVERIFY2(messages.last().text.contains(part), qPrintable(messages.last().text));
        QCOMPARE(cmodeOf(main), qint16(2));
        QCOMPARE(lptportOf(main), QStringLiteral("LPT3:"));
        QCOMPARE(main.serialControl()->commPort(), 2);
        QCOMPARE(main.serialControl()->settings(), QStringLiteral("19200,n,7,2"));
        QVERIFY(dialog->isVisible());
        QVERIFY(!main.isVisible());

        // Corrected, the same dialog applies it.
        type(dataBox(dialog), QStringLiteral("8"));
        type(stopBox(dialog), QStringLiteral("1"));
        click(dialog, "Command1");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(cmodeOf(main), qint16(1));
        QCOMPARE(main.serialControl()->commPort(), 4);
        QCOMPARE(main.serialControl()->settings(), QStringLiteral("9600,n,8,1"));
        QVERIFY(!dialog->isVisible());
        QVERIFY(main.isVisible());
    }

    void cancelKeepsTheEditsButAppliesNothing()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        portList(dialog)->setCurrentText(QStringLiteral("COM2:"));
        baudList(dialog)->setCurrentText(QStringLiteral("19200"));
        type(dataBox(dialog), QStringLiteral("7"));
        click(dialog, "Command2");

        QCOMPARE(cmodeOf(main), qint16(0));
        QCOMPARE(lptportOf(main), QStringLiteral("LPT1:"));
        QCOMPARE(main.serialControl()->commPort(), 1);
        QCOMPARE(main.serialControl()->settings(), QStringLiteral("9600,n,8,1"));
        QVERIFY(!dialog->isVisible());
        QVERIFY(main.isVisible());

        QCOMPARE(configurePort(main), dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!main.isVisible());
        QCOMPARE(portList(dialog)->currentText(), QStringLiteral("COM2:"));
        QCOMPARE(baudList(dialog)->currentText(), QStringLiteral("19200"));
        QCOMPARE(dataBox(dialog)->text(), QStringLiteral("7"));
    }

    void serialThenParallelKeepsTheSerialValues()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        choose(configurePort(main), QStringLiteral("COM2:"), QStringLiteral("19200"), QStringLiteral("7"),
               QStringLiteral("2"));
        choose(configurePort(main), QStringLiteral("LPT4:"));
        QCOMPARE(cmodeOf(main), qint16(2));
        QCOMPARE(lptportOf(main), QStringLiteral("LPT4:"));
        QCOMPARE(main.serialControl()->commPort(), 2);
        QCOMPARE(main.serialControl()->settings(), QStringLiteral("19200,n,7,2"));

        // And back: the last parallel device stays, only cmode says which one is in force.
        choose(configurePort(main), QStringLiteral("COM3:"), QStringLiteral("19200"), QStringLiteral("7"),
               QStringLiteral("2"));
        QCOMPARE(cmodeOf(main), qint16(1));
        QCOMPARE(lptportOf(main), QStringLiteral("LPT4:"));
        QCOMPARE(main.serialControl()->commPort(), 3);
    }

    void laterShowingsNeverReset()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        choose(dialog, QStringLiteral("COM4:"), QStringLiteral("33600"), QStringLiteral("7"), QStringLiteral("2"));
        for (int showing = 2; showing <= 3; ++showing) {
            QCOMPARE(configurePort(main), dialog);
            QCOMPARE(portList(dialog)->currentText(), QStringLiteral("COM4:"));
            QCOMPARE(baudList(dialog)->currentText(), QStringLiteral("33600"));
            QCOMPARE(dataBox(dialog)->text(), QStringLiteral("7"));
            QCOMPARE(stopBox(dialog)->text(), QStringLiteral("2"));
            click(dialog, "Command2");
        }
    }

    void closingActsAsCancel_data()
    {
        QTest::addColumn<bool>("throughFrame");
        QTest::newRow("window frame") << true;
        QTest::newRow("Esc") << false;
    }

    void closingActsAsCancel()
    {
        QFETCH(bool, throughFrame);

        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        portList(dialog)->setCurrentText(QStringLiteral("COM2:"));
        QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
        if (throughFrame) {
            QVERIFY(dialog->windowHandle());
            QVERIFY(dialog->windowHandle()->close());
        } else {
            QTest::keyClick(dataBox(dialog), Qt::Key_Escape);
        }
        QCoreApplication::processEvents();

        QVERIFY(!dialog->isVisible());
        QVERIFY(main.isVisible());
        QCOMPARE(lastWindowClosed.count(), 0);
        QCOMPARE(cmodeOf(main), qint16(0));
        QCOMPARE(main.serialControl()->commPort(), 1);
        QCOMPARE(configurePort(main), dialog);
        QCOMPARE(portList(dialog)->currentText(), QStringLiteral("COM2:"));
    }

    void entriesNameTheirDevices()
    {
        qputenv("KR52_COM1", "/dev/ttyUSB7");
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QWidget *dialog = configurePort(main);
        QComboBox *port = portList(dialog);
        QCOMPARE(port->itemData(0, Qt::ToolTipRole).toString(), QStringLiteral("COM1: is /dev/ttyUSB7"));
        QCOMPARE(port->itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("COM2: is /dev/ttyS1"));
        QCOMPARE(port->itemData(5, Qt::ToolTipRole).toString(), QStringLiteral("LPT2: is /dev/lp1"));
        QCOMPARE(port->toolTip(), QStringLiteral("LPT1: is /dev/lp0"));
        port->setCurrentIndex(0);
        QCOMPARE(port->toolTip(), QStringLiteral("COM1: is /dev/ttyUSB7"));

        // A mapping changed while the dialog was hidden shows on its next showing.
        click(dialog, "Command2");
        qputenv("KR52_LPT2", "/dev/usb/lp0");
        configurePort(main);
        QCOMPARE(port->itemData(5, Qt::ToolTipRole).toString(), QStringLiteral("LPT2: is /dev/usb/lp0"));
    }

    void selfTestReachesTheChosenSerialPort()
    {
        PseudoTerminal pty;
        QVERIFY(pty.isValid());
        qputenv("KR52_COM2", pty.devicePath().toLocal8Bit());
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        MessageCapture messages;
        choose(configurePort(main), QStringLiteral("COM2:"));
        click(&main, "Command4");

        QCOMPARE(messages.count(), 0);
        QCOMPARE(pty.readAll(), linktest::selfTest());
    }

    void selfTestReachesTheChosenParallelDevice()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("lp1"));
        QFile device(path);
        QVERIFY(device.open(QIODevice::WriteOnly));
        device.close();
        qputenv("KR52_LPT2", path.toLocal8Bit());
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        MessageCapture messages;
        choose(configurePort(main), QStringLiteral("LPT2:"));
        click(&main, "Command4");

        QCOMPARE(messages.count(), 0);
        QVERIFY(device.open(QIODevice::ReadOnly));
        QCOMPARE(device.readAll(), linktest::selfTest());
    }
};

QTEST_MAIN(tst_frmport)
#include "tst_frmport.moc"
