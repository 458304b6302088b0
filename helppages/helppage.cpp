// SPDX-License-Identifier: GPL-3.0-or-later
#include "helppages/helppage.h"

#include "files/boundedfile.h"
#include "helppages/rtfreader.h"

#include <QFile>

namespace kr52 {

namespace {
// Two hundred times the largest real page. Bigger pages are refused: a page this size already
// takes most of a second to lay out, and a stray huge file would fill the memory.
constexpr qint64 maxPageBytes = 1024 * 1024;
} // namespace

QString loadHelpPage(const QString &path, QTextDocument &document)
{
    const FileContents page = readRegularFile(QFile::encodeName(path), maxPageBytes);
    if (page.tooLarge)
        return QStringLiteral("The file is larger than %1 MB.").arg(maxPageBytes / (1024 * 1024));
    if (!page.error.isEmpty())
        return page.error.endsWith(QLatin1Char('.')) ? page.error : page.error + QLatin1Char('.');
    readRtf(page.bytes, document);
    return {};
}

} // namespace kr52
