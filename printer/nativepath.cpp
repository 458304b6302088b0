// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/nativepath.h"

#include <cstdlib>
#include <memory>

namespace kr52 {

namespace {

constexpr char16_t escapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at bytes[at], or 0 when the byte starts none.
int validSequenceAt(const QByteArray &bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return uchar(bytes.at(i)); };
    const uchar lead = byte(at);
    int length = 0;
    uchar low = 0x80;
    uchar high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    }
    return length;
}

// The low half of a character past U+FFFF can fall in the same range: it is no kept byte.
bool isEscapedByte(const QString &text, qsizetype at)
{
    const char16_t c = text.at(at).unicode();
    return c >= escapeBase + 0x80 && c <= escapeBase + 0xFF && !(at > 0 && text.at(at - 1).isHighSurrogate());
}

} // namespace

QString pathFromNative(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        if (uchar(bytes.at(at)) < 0x80) {
            text.append(QLatin1Char(bytes.at(at++)));
            continue;
        }
        if (const int length = validSequenceAt(bytes, at); length > 0) {
            text.append(QString::fromUtf8(bytes.constData() + at, length));
            at += length;
            continue;
        }
        text.append(QChar(char16_t(escapeBase + uchar(bytes.at(at++)))));
    }
    return text;
}

QByteArray nativePath(const QString &path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype runStart = 0;
    for (qsizetype at = 0; at <= path.size(); ++at) {
        if (at < path.size() && !isEscapedByte(path, at))
            continue;
        bytes.append(QStringView(path).mid(runStart, at - runStart).toUtf8());
        if (at < path.size())
            bytes.append(char(path.at(at).unicode() - escapeBase));
        runStart = at + 1;
    }
    return bytes;
}

QString canonicalPath(const QString &path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(nativePath(path).constData(), nullptr),
                                                               &std::free);
    return resolved ? pathFromNative(QByteArray(resolved.get())) : QString();
}

} // namespace kr52
