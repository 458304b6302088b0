// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/frmPresets.h"

#include "presets/presetfile.h"
#include "presets/presetmessages.h"
#include "ui/controls.h"
#include "ui/messagebox.h"
#include "ui/twips.h"
#include "ui/uifont.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using namespace kr52;

frmPresets *frmPresets::create(const QString &programDir, QWidget *mainWindow)
{
    const QString folder = presetFolder(programDir);
    const PresetFolderListing listing = listPresetFiles(folder);
    if (!listing.readable) {
        showMessage(applicationTitle(), unreadablePresetFolderText(folder, listing.error), QMessageBox::Warning,
                    mainWindow);
        return nullptr;
    }
    return new frmPresets(folder, listing, mainWindow);
}

frmPresets::frmPresets(const QString &folder, const PresetFolderListing &listing, QWidget *mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_folder(folder), m_mainWindow(mainWindow), filePresets(new QListWidget(this)),
      comPUse(makeButton(this, QStringLiteral("comPUse"), QStringLiteral("Use"))),
      comPSave(makeButton(this, QStringLiteral("comPSave"), QStringLiteral("Save New"))),
      comPCancel(makeButton(this, QStringLiteral("comPCancel"), QStringLiteral("Cancel"))), labPDesc(new QLabel(this))
{
    setObjectName(QStringLiteral("frmPresets"));
    setWindowTitle(QStringLiteral("Preset Settings"));
    setFont(uiFont());
    setFixedSize(px(4965), px(2895));

    filePresets->setObjectName(QStringLiteral("filePresets"));
    filePresets->setSelectionMode(QAbstractItemView::SingleSelection);
    placeInTwips(filePresets, 0, 0, 2295, 2430);
    connect(filePresets, &QListWidget::itemSelectionChanged, this, &frmPresets::filePresets_Click);

    placeInTwips(comPUse, 60, 2520, 975, 315);
    connect(comPUse, &QPushButton::clicked, this, &frmPresets::comPUse_Click);
    // "Save New" is laid out but never shown and does nothing.
    placeInTwips(comPSave, 1140, 2520, 975, 315);
    comPSave->hide();
    placeInTwips(comPCancel, 3960, 2520, 975, 315);
    connect(comPCancel, &QPushButton::clicked, this, &frmPresets::comPCancel_Click);

    labPDesc->setObjectName(QStringLiteral("labPDesc"));
    // A description is the file's text, never markup to interpret.
    labPDesc->setTextFormat(Qt::PlainText);
    labPDesc->setWordWrap(true);
    labPDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeInTwips(labPDesc, 2280, 0, 2655, 2415);

    setTabOrder(filePresets, comPUse);
    setTabOrder(comPUse, comPSave);
    setTabOrder(comPSave, comPCancel);

    centreOnScreen(this);

    Form_Load(listing);
}

void frmPresets::Form_Load(const PresetFolderListing &listing)
{
    for (qsizetype i = 0; i < listing.names.size(); ++i) {
        auto *item = new QListWidgetItem(listing.names[i], filePresets);
        item->setData(Qt::UserRole, listing.fileNames[i]);
    }
}

QString frmPresets::selectedName() const
{
    const QList<QListWidgetItem *> selected = filePresets->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

QString frmPresets::selectedPath() const
{
    return m_folder + QLatin1Char('/') + selectedName();
}

QByteArray frmPresets::selectedFilePath() const
{
    const QList<QListWidgetItem *> selected = filePresets->selectedItems();
    const QByteArray fileName = selected.isEmpty() ? QByteArray() : selected.first()->data(Qt::UserRole).toByteArray();
    return QFile::encodeName(m_folder) + '/' + fileName;
}

void frmPresets::filePresets_Click()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    const PresetDescription read = readPresetDescription(selectedFilePath());
    switch (read.outcome) {
    case PresetDescription::Outcome::Read:
        labPDesc->setText(read.description);
        break;
    case PresetDescription::Outcome::NotAPreset:
        showMessage(incorrectPresetTitle(), incorrectPresetText(name), QMessageBox::Warning, this);
        break;
    case PresetDescription::Outcome::Unreadable:
        showMessage(applicationTitle(), unreadablePresetText(selectedPath(), read.error), QMessageBox::Warning, this);
        break;
    }
}

void frmPresets::comPUse_Click()
{
    if (selectedName().isEmpty())
        return;
    const PresetHeader check = checkPresetHeader(selectedFilePath());
    switch (check.outcome) {
    case PresetHeader::Outcome::Valid:
        break;
    case PresetHeader::Outcome::Corrupt:
        showMessage(applicationTitle(), corruptPresetText(), QMessageBox::NoIcon, this);
        break;
    case PresetHeader::Outcome::Unreadable:
        showMessage(applicationTitle(), unreadablePresetText(selectedPath(), check.error), QMessageBox::Warning, this);
        break;
    }
}

void frmPresets::comPCancel_Click()
{
    hide();
    m_mainWindow->show();
}

void frmPresets::reject()
{
    comPCancel_Click();
}
