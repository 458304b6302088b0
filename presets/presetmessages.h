// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kr52 {

// The texts of the presets dialog's messages. Two-line messages join their lines with one LF.

// The warning when a selected file's header lacks the magic; fileName is the name as listed.
[[nodiscard]] QString incorrectPresetTitle();
[[nodiscard]] QString incorrectPresetText(const QString &fileName);

// The message when "Use" finds the header invalid; it carries the application title.
[[nodiscard]] QString corruptPresetText();

// A preset file that could not be opened or read, with the system's reason.
[[nodiscard]] QString unreadablePresetText(const QString &path, const QString &reason);

// The Presets folder could not be listed, with the system's reason.
[[nodiscard]] QString unreadablePresetFolderText(const QString &folder, const QString &reason);

} // namespace kr52
