#include "presets/frmPresets.h"

frmPresets *frmPresets::create(const QString &programDir, QWidget *mainWindow)
{
    return new frmPresets(programDir, mainWindow);
}

frmPresets::frmPresets(const QString &, QWidget *mainWindow) : m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmPresets"));
}
