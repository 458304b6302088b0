// SPDX-License-Identifier: GPL-3.0-or-later
#include "helppages/helppage.h"

#include "files/boundedfile.h"
#include "helppages/rtfreader.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace kr52 {

namespace {
// Two hundred times the largest real page. Bigger pages are refused: a page this size already
// takes most of a second to lay out, and a stray huge file would fill the memory.
constexpr qint64 maxPageBytes = qint64{1024} * 1024;
} // namespace

QString loadHelpPage(const QString &path, QTextDocument &document)
{
    const FileContents page = readRegularFile(QFile::encodeName(path), maxPageBytes);
    if (page.tooLarge)
        return QStringLiteral("The file is larger than %1 MB.").arg(maxPageBytes / (qint64{1024} * 1024));
    if (!page.error.isEmpty())
        return page.error.endsWith(QLatin1Char('.')) ? page.error : page.error + QLatin1Char('.');
    readRtf(page.bytes, document);
    return {};
}

void growPage(QTextDocument &document, double factor)
{
    if (factor == 1.0)
        return;
    // Gathered first and changed afterwards: a change may merge a run with its neighbours.
    struct Size {
        int from;
        int to;
        double points;
    };
    QList<Size> sizes;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        format.setLeftMargin(format.leftMargin() * factor);
        format.setRightMargin(format.rightMargin() * factor);
        format.setTextIndent(format.textIndent() * factor);
        format.setTopMargin(format.topMargin() * factor);
        format.setBottomMargin(format.bottomMargin() * factor);
        QList<QTextOption::Tab> tabs = format.tabPositions();
        for (QTextOption::Tab &tab : tabs)
            tab.position *= factor;
        format.setTabPositions(tabs);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (const double points = fragment.charFormat().fontPointSize(); points > 0)
                sizes.append({fragment.position(), fragment.position() + fragment.length(), points * factor});
        }
    }
    for (const Size &size : sizes) {
        QTextCharFormat grown;
        grown.setFontPointSize(size.points);
        cursor.setPosition(size.from);
        cursor.setPosition(size.to, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(grown);
    }
    cursor.endEditBlock();
}

QString pageTitle(const QTextDocument &document)
{
    constexpr int longestTitle = 120;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        // Tabs and line breaks inside the first line read as blanks.
        const QString line = block.text().simplified();
        if (!line.isEmpty())
            return line.size() > longestTitle ? line.left(longestTitle - 1) + QChar(0x2026) : line;
    }
    return QStringLiteral("Help");
}

} // namespace kr52
