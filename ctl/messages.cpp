// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/messages.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace kr52::ctl {

namespace {

constexpr char16_t keptByteBase = 0xDC00;

} // namespace

QString argumentText(const QByteArray &bytes)
{
    QString text;
    qsizetype start = 0;
    while (start < bytes.size()) {
        // The longest prefix that is UTF-8, then one byte kept as it is.
        qsizetype end = bytes.size();
        QString decoded;
        for (;; --end) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            decoded = utf8.decode(QByteArrayView(bytes).sliced(start, end - start));
            if (!utf8.hasError() || end == start)
                break;
        }
        text += decoded;
        if (end < bytes.size())
            text += QChar(char16_t(keptByteBase + quint8(bytes[end])));
        start = end + 1;
    }
    return text;
}

QStringList argumentsFrom(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(argumentText(QByteArray(argv[i])));
    return arguments;
}

QByteArray pathBytes(const QString &path)
{
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        // The low half of a character past U+FFFF can fall in the same range: it is no kept byte.
        const bool kept = i < path.size() && path[i].unicode() >= keptByteBase + 0x80 &&
                          path[i].unicode() <= keptByteBase + 0xFF && !(i > 0 && path[i - 1].isHighSurrogate());
        if (i < path.size() && !kept)
            continue;
        bytes += path.mid(start, i - start).toUtf8();
        if (kept)
            bytes += char(path[i].unicode() - keptByteBase);
        start = i + 1;
    }
    return bytes;
}

QString visible(const QString &text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        // A character outside the first plane is two halves that stand together.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            shown += c;
            shown += text[++i];
            continue;
        }
        if (u == '\n')
            shown += QLatin1String("\\n");
        else if (u == '\t')
            shown += QLatin1String("\\t");
        else if (u == '\r')
            shown += QLatin1String("\\r");
        else if (u < 0x20 || u == 0x7F)
            shown += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else if (u >= keptByteBase + 0x80 && u <= keptByteBase + 0xFF)
            shown += QStringLiteral("\\x%1").arg(int(u - keptByteBase), 2, 16, QLatin1Char('0'));
        else if ((u >= 0x80 && u < 0xA0) || c.isSurrogate() || u == 0x2028 || u == 0x2029)
            shown += QStringLiteral("\\u{%1}").arg(int(u), 4, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

QString sentence(const QString &text)
{
    QString trimmed = text.trimmed();
    while (trimmed.endsWith(QLatin1Char('.')))
        trimmed.chop(1);
    if (trimmed.endsWith(QLatin1Char('?')) || trimmed.endsWith(QLatin1Char('!')))
        return trimmed;
    return trimmed + QLatin1Char('.');
}

QString forCommandLine(const QString &message)
{
    static const QRegularExpression windowAdvice(QStringLiteral("choose the device for (\\S+) in \"Configure Port\""));
    QString text = message;
    return text.replace(
        windowAdvice,
        QStringLiteral(
            "name the device with --device PATH instead of \\1 (kr52ctl devices lists the devices there are)"));
}

} // namespace kr52::ctl
