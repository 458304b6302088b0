#include "portdialog/frmPort.h"

frmPort::frmPort(QWidget *mainWindow, kr52::MSComm *serialControl)
    : m_mainWindow(mainWindow), m_serialControl(serialControl)
{
    setObjectName(QStringLiteral("frmPort"));
}
