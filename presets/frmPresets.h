#pragma once

#include <QDialog>

// The presets dialog: lists the preset files of the program's Presets folder and shows the
// description of the one selected.
class frmPresets : public QDialog {
    Q_OBJECT

public:
    // Creates the dialog and reads the folder; when the folder cannot be read, shows a message
    // and returns nullptr.
    static frmPresets *create(const QString &programDir, QWidget *mainWindow);

private:
    frmPresets(const QString &programDir, QWidget *mainWindow);
    QWidget *m_mainWindow;
};
