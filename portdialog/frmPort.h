#pragma once

#include <QDialog>

namespace kr52 {
class MSComm;
}

// The port settings dialog. "Use" writes the choice into the main window's cmode and lptport
// properties and into its serial control; "Use" and "Cancel" hide the dialog and show the main
// window again.
class frmPort : public QDialog {
    Q_OBJECT

public:
    frmPort(QWidget *mainWindow, kr52::MSComm *serialControl);

private:
    QWidget *m_mainWindow;
    kr52::MSComm *m_serialControl;
};
