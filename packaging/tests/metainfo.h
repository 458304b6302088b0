// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The parts of the AppStream metainfo that other files must agree with.
struct Metainfo {
    QString id;
    QString summary;
    QStringList paragraphs; // the description's, with white space collapsed
    QString launchable;     // the desktop entry's file name
    QString newestRelease;  // the first <release>'s version
    QString error;          // when the file could not be read or parsed
};

[[nodiscard]] Metainfo readMetainfo(const QString &path);
