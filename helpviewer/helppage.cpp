#include "helpviewer/helppage.h"

#include "helpviewer/rtfreader.h"
#include "settings/numbers.h"

#include <QFile>
#include <QFileInfo>

namespace kr52 {

namespace {
// Far above any real page; keeps a device or a stray huge file from filling the memory.
constexpr qint64 maxPageBytes = 16 * 1024 * 1024;
} // namespace

QString helpTopicPath(const QString &programDir, qint16 item)
{
    // The number text carries a leading blank for zero and up: trimmed, 7 gives "help7.rtf".
    return programDir + QStringLiteral("/help/help") + (numberText(int(item)) + QStringLiteral(".rtf")).trimmed();
}

QString faqPagePath(const QString &programDir)
{
    return programDir + QStringLiteral("/help/faq.rtf");
}

QString manualPagePath(const QString &programDir)
{
    return programDir + QStringLiteral("/help/manual.rtf");
}

QString loadHelpPage(const QString &path, QTextDocument &document)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("It is a folder, not a file.");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString() + QLatin1Char('.');
    const QByteArray rtf = file.read(maxPageBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return file.errorString() + QLatin1Char('.');
    if (rtf.size() > maxPageBytes)
        return QStringLiteral("The file is larger than %1 MB.").arg(maxPageBytes / (1024 * 1024));
    readRtf(rtf, document);
    return {};
}

} // namespace kr52
