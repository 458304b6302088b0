#include "helpviewer/frmHelp.h"

frmHelp::frmHelp(const QString &programDir, QWidget *owner) : QDialog(owner), m_programDir(programDir)
{
    setObjectName(QStringLiteral("frmHelp"));
}

bool frmHelp::SetHelpFile(qint16)
{
    return false;
}

bool frmHelp::ShowFAQ()
{
    return false;
}

bool frmHelp::ShowManual()
{
    return false;
}
