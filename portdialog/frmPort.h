// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kr52 {
class MSComm;
}

// The port settings dialog. "Use" writes the choice into the main window's cmode and lptport
// properties and into its serial control; "Use" and "Cancel" hide the dialog and show the main
// window again. It is created once and only hidden afterwards, so it keeps what was entered.
class frmPort : public QDialog {
    Q_OBJECT

public:
    frmPort(QWidget *mainWindow, kr52::MSComm *serialControl);

public slots:
    // Esc and the window frame's close button end up here: they act as "Cancel", so the main
    // window never stays hidden with nothing of the program on screen.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    // Applies a serial choice; false, with a message shown and nothing changed, when the serial
    // control would refuse the settings text.
    bool useSerialPort();
    // Each entry's tooltip names the device it stands for, as mapped right now.
    void describeDevices();

    QWidget *m_mainWindow;
    kr52::MSComm *m_serialControl;

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QFrame *Line1;
    QComboBox *cmbPort;
    QComboBox *cmbBaud;
    QLineEdit *txtData;
    QLineEdit *txtStop;
    QPushButton *Command1;
    QPushButton *Command2;
};
