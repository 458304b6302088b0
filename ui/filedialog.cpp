// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/filedialog.h"

#include <QDir>
#include <QFileDialog>

#include <utility>

namespace kr52 {

namespace {

FileDialogHandler &currentHandler()
{
    static FileDialogHandler handler;
    return handler;
}

} // namespace

QString askForFile(const FileRequest &request, QWidget *parent)
{
    if (const FileDialogHandler &handler = currentHandler())
        return handler(request);
    QFileDialog dialog(parent, request.title, request.folder, QStringLiteral("Profiles (*.ini);;All files (*)"));
    const bool saving = request.purpose == FileRequest::Purpose::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (saving) {
        dialog.setDefaultSuffix(QStringLiteral("ini"));
        if (!request.suggestedName.isEmpty())
            dialog.selectFile(QDir(request.folder).filePath(request.suggestedName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

FileDialogHandler setFileDialogHandler(FileDialogHandler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}

} // namespace kr52
