// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "presets/presetfolder.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

// The presets dialog: lists the preset files of the program's Presets folder, shows the
// description of the one selected, and checks its header on "Use" without applying anything.
// It has no owner; while it is shown the main window is hidden, and leaving it shows the main
// window again.
class frmPresets : public QDialog {
    Q_OBJECT

public:
    // Creates the dialog and lists the folder once; when the folder cannot be read, shows a
    // message naming it and the reason and returns nullptr.
    static frmPresets *create(const QString &programDir, QWidget *mainWindow);

public slots:
    // Closing from the window frame or with Esc is "Cancel".
    void reject() override;

private:
    frmPresets(const QString &folder, const kr52::PresetFolderListing &listing, QWidget *mainWindow);

    void Form_Load(const kr52::PresetFolderListing &listing);
    // The name selected in the file list as shown, or nothing.
    [[nodiscard]] QString selectedName() const;
    // The selected file's path as shown in messages, and as the system names it for opening.
    [[nodiscard]] QString selectedPath() const;
    [[nodiscard]] QByteArray selectedFilePath() const;

    void filePresets_Click();
    void comPUse_Click();
    void comPCancel_Click();

    QString m_folder;
    QWidget *m_mainWindow;
    QListWidget *filePresets;
    QPushButton *comPUse;
    QPushButton *comPSave;
    QPushButton *comPCancel;
    QLabel *labPDesc;
};
