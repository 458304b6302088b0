// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace kr52 {

// What the program asks the operator for with a file dialog.
struct FileRequest {
    enum class Purpose { Open, Save };
    Purpose purpose = Purpose::Open;
    QString title;
    QString folder;        // where the dialog starts
    QString suggestedName; // for saving: the name offered in that folder
};

// Every file dialog of the program goes through here: Qt's file dialog for profiles ("*.ini"),
// which for saving adds ".ini" to a bare name and asks before replacing a file. Returns the
// chosen path, or empty when the operator cancelled.
[[nodiscard]] QString askForFile(const FileRequest &request, QWidget *parent = nullptr);

// Replaces the dialogs, for tests that choose a path without a modal loop. An empty handler
// brings the real dialogs back. Returns the handler it replaced.
using FileDialogHandler = std::function<QString(const FileRequest &request)>;
FileDialogHandler setFileDialogHandler(FileDialogHandler handler);

} // namespace kr52
