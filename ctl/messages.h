// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kr52::ctl {

// Arguments as the system gave them. Bytes that are not UTF-8 (a file name from an older
// system) are kept as the lone surrogates U+DC80 .. U+DCFF, so pathBytes gives them back exactly.
[[nodiscard]] QStringList argumentsFrom(int argc, char *argv[]);
[[nodiscard]] QString argumentText(const QByteArray &bytes);
[[nodiscard]] QByteArray pathBytes(const QString &path);

// text with control characters, kept bytes and other unprintable characters written as \n, \t,
// \xNN or \u{NNNN}, so that a message stays one line and shows what the file or argument holds.
[[nodiscard]] QString visible(const QString &text);

// text ending in exactly one full stop (or the "?" or "!" it has).
[[nodiscard]] QString sentence(const QString &text);

// A link's failure message for the command line: where the window's advice names its own
// dialog, the command line's way of choosing a device is named instead.
[[nodiscard]] QString forCommandLine(const QString &message);

} // namespace kr52::ctl
