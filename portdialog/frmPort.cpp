// SPDX-License-Identifier: GPL-3.0-or-later
#include "portdialog/frmPort.h"

#include "portdialog/deviceline.h"
#include "printer/serialsettingstext.h"
#include "printer/devicemap.h"
#include "printer/mscomm.h"
#include "printer/portkinds.h"
#include "printer/printererror.h"
#include "printer/serialsettings.h"
#include "ui/accessiblenames.h"
#include "ui/controls.h"
#include "ui/messagebox.h"
#include "ui/twips.h"
#include "ui/uifont.h"
#include "ui/wheelguard.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>

using namespace kr52;

namespace {

QLabel *makeCaption(QWidget *dialog, const QString &name, const QString &text)
{
    return makeLabel(dialog, name, text, uiFont(9.75));
}

// Each port entry carries its number (Qt::UserRole) and the cmode value of its kind.
constexpr int linkModeRole = Qt::UserRole + 1;

QComboBox *makeList(QWidget *dialog, const QString &name, const QStringList &entries)
{
    auto *list = new QComboBox(dialog);
    list->setObjectName(name);
    list->setEditable(false);
    list->addItems(entries);
    return list;
}

QLineEdit *makeTextBox(QWidget *dialog, const QString &name)
{
    auto *box = new QLineEdit(dialog);
    box->setObjectName(name);
    return box;
}

} // namespace

frmPort::frmPort(QWidget *mainWindow, MSComm *serialControl)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_mainWindow(mainWindow), m_serialControl(serialControl)
{
    setObjectName(QStringLiteral("frmPort"));
    setWindowTitle(QStringLiteral("Port Settings"));
    setFont(uiFont());
    setModal(false);
    setSizeGripEnabled(false);
    // The designed 2115 twips, grown downwards by the device line.
    setFixedSize(px(2280), px(2115 + DeviceLine::heightInTwips));

    Label1 = makeCaption(this, QStringLiteral("Label1"), QStringLiteral("&Port"));
    placeInTwips(Label1, 60, 60, 612, 252);
    Label2 = makeCaption(this, QStringLiteral("Label2"), QStringLiteral("&Baud Rate"));
    placeInTwips(Label2, 60, 540, 1032, 252);
    Label3 = makeCaption(this, QStringLiteral("Label3"), QStringLiteral("&Data Bits"));
    placeInTwips(Label3, 60, 900, 1032, 252);
    Label4 = makeCaption(this, QStringLiteral("Label4"), QStringLiteral("&Stop Bits"));
    placeInTwips(Label4, 60, 1260, 1032, 252);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setGeometry(px(60), px(420), px(2220) - px(60), 1);

    cmbPort = makeList(this, QStringLiteral("cmbPort"), {});
    for (const PortKindInfo &kind : portKinds()) {
        for (int number = 1; number <= kind.offered; ++number) {
            cmbPort->addItem(PortName{&kind, number}.text(), number);
            cmbPort->setItemData(cmbPort->count() - 1, kind.linkMode, linkModeRole);
        }
    }
    placeInTwips(cmbPort, 1080, 60, 1152, 288);
    cmbBaud = makeList(this, QStringLiteral("cmbBaud"),
                       {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("33600")});
    placeInTwips(cmbBaud, 1080, 540, 1152, 288);
    txtData = makeTextBox(this, QStringLiteral("txtData"));
    placeInTwips(txtData, 1080, 900, 1152, 288);
    txtStop = makeTextBox(this, QStringLiteral("txtStop"));
    placeInTwips(txtStop, 1080, 1260, 1152, 288);

    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("&Use"));
    placeInTwips(Command1, 60, 1740, 912, 312);
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("&Cancel"));
    placeInTwips(Command2, 1320, 1740, 912, 312);
    // Enter in a field or list uses the settings, as "Use" does.
    Command1->setDefault(true);

    // Each field is named by its caption; the lists change on the wheel only with the focus.
    nameListsByTheirLabels();
    Label1->setBuddy(cmbPort);
    Label2->setBuddy(cmbBaud);
    Label3->setBuddy(txtData);
    Label4->setBuddy(txtStop);
    guardAgainstWheel(cmbPort);
    guardAgainstWheel(cmbBaud);

    setTabOrder(cmbPort, cmbBaud);
    setTabOrder(cmbBaud, txtData);
    setTabOrder(txtData, txtStop);
    setTabOrder(txtStop, Command2);
    setTabOrder(Command2, Command1);

    auto *deviceLine = new DeviceLine(this, cmbPort, 2160);
    setTabOrder(Command1, deviceLine->chooseButton());
    connect(deviceLine, &DeviceLine::mappingChanged, this, &frmPort::describeDevices);

    connect(Command1, &QPushButton::clicked, this, &frmPort::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPort::Command2_Click);
    connect(cmbPort, &QComboBox::currentIndexChanged, this,
            [this](int index) { cmbPort->setToolTip(cmbPort->itemData(index, Qt::ToolTipRole).toString()); });

    centreOnScreen(this);

    Form_Load();
}

void frmPort::Form_Load()
{
    cmbPort->setCurrentIndex(4);
    cmbBaud->setCurrentIndex(0);
    txtData->setText(QStringLiteral("8"));
    txtStop->setText(QStringLiteral("1"));
    describeDevices();
}

void frmPort::showEvent(QShowEvent *event)
{
    // The focus is drawn from the start, not only after the first Tab.
    setAttribute(Qt::WA_KeyboardFocusChange);
    describeDevices();
    QDialog::showEvent(event);
}

void frmPort::describeDevices()
{
    for (int i = 0; i < cmbPort->count(); ++i) {
        const QString entry = cmbPort->itemText(i);
        cmbPort->setItemData(i, QStringLiteral("%1 is %2").arg(entry, devicePathFor(entry)), Qt::ToolTipRole);
    }
    cmbPort->setToolTip(cmbPort->itemData(cmbPort->currentIndex(), Qt::ToolTipRole).toString());
}

void frmPort::Command1_Click()
{
    const auto linkMode = qint16(cmbPort->currentData(linkModeRole).toInt());
    if (linkMode == LinkMode::Serial) {
        if (!useSerialPort())
            return;
    } else {
        m_mainWindow->setProperty("lptport", cmbPort->currentText());
    }
    m_mainWindow->setProperty("cmode", QVariant::fromValue<qint16>(linkMode));
    hide();
    m_mainWindow->show();
}

bool frmPort::useSerialPort()
{
    const QString settings = serialSettingsText(cmbBaud->currentText(), txtData->text(), txtStop->text());
    // Checked before anything is set, so a refused text leaves the port number as it was too.
    QString refusal = parseSerialSettings(settings).error;
    if (refusal.isEmpty()) {
        try {
            m_serialControl->setCommPort(cmbPort->currentData().toInt());
            m_serialControl->setSettings(settings);
            return true;
        } catch (const PrinterError &error) {
            // Only the port number can still be refused here (an open port), before anything is set.
            refusal = error.message();
        }
    }
    showMessage(applicationTitle(),
                refusal + QStringLiteral("\nNothing was changed: correct the field and press \"Use\" again."),
                QMessageBox::Warning, this);
    return false;
}

void frmPort::Command2_Click()
{
    hide();
    m_mainWindow->show();
}

void frmPort::reject()
{
    Command2_Click();
}
