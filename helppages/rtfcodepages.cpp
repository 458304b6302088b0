// SPDX-License-Identifier: GPL-3.0-or-later
#include "helppages/rtfcodepages.h"

#include <algorithm>
#include <iterator>

namespace kr52 {

namespace {

struct CharsetEntry {
    int charset;
    int codePage;
};

constexpr CharsetEntry charsets[] = {
    {77, 10000}, // Mac Roman
    {128, 932},  // Shift JIS
    {129, 949},  // Hangul
    {134, 936},  // GB 2312
    {136, 950},  // Big5
    {161, 1253}, // Greek
    {162, 1254}, // Turkish
    {163, 1258}, // Vietnamese
    {177, 1255}, // Hebrew
    {178, 1256}, // Arabic
    {186, 1257}, // Baltic
    {204, 1251}, // Cyrillic
    {222, 874},  // Thai
    {238, 1250}, // Central European
    {254, 437},  // PC 437
    {255, 850},  // OEM
};

struct CodePageEntry {
    int codePage;
    const char *name;
};

constexpr CodePageEntry codePageNames[] = {
    {437, "IBM437"},        {850, "IBM850"},        {874, "windows-874"},   {932, "Shift_JIS"},
    {936, "GBK"},           {949, "windows-949"},   {950, "Big5"},          {1250, "windows-1250"},
    {1251, "windows-1251"}, {1252, "windows-1252"}, {1253, "windows-1253"}, {1254, "windows-1254"},
    {1255, "windows-1255"}, {1256, "windows-1256"}, {1257, "windows-1257"}, {1258, "windows-1258"},
    {10000, "macintosh"},
};

} // namespace

int charsetCodePage(int charset)
{
    const auto *found = std::find_if(std::begin(charsets), std::end(charsets),
                                     [charset](const CharsetEntry &entry) { return entry.charset == charset; });
    return found == std::end(charsets) ? 0 : found->codePage;
}

QStringDecoder *CodePageDecoders::decoder(int codePage)
{
    auto found = m_decoders.find(codePage);
    if (found == m_decoders.end()) {
        const auto *entry =
            std::find_if(std::begin(codePageNames), std::end(codePageNames),
                         [codePage](const CodePageEntry &candidate) { return candidate.codePage == codePage; });
        QStringDecoder made = entry == std::end(codePageNames) ? QStringDecoder() : QStringDecoder(entry->name);
        found = m_decoders.emplace(codePage, std::move(made)).first;
    }
    return found->second.isValid() ? &found->second : nullptr;
}

bool CodePageDecoders::canDecode(int codePage)
{
    return decoder(codePage) != nullptr;
}

QString CodePageDecoders::decode(int codePage, QByteArrayView bytes)
{
    QStringDecoder *pageDecoder = decoder(codePage);
    if (!pageDecoder)
        return QString(bytes.size(), QChar(0xFFFD));
    // The system's decoders keep a double-byte character cut short for the next call, or drop it;
    // a line end after the bytes (never part of a character here) makes it show, and the state
    // is cleared for the next run of bytes. Bytes a page does not define come back as SUB.
    QByteArray terminated(bytes.data(), bytes.size());
    terminated.append('\n');
    QString text = pageDecoder->decode(terminated);
    pageDecoder->resetState();
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    text.replace(QChar(0x1A), QChar(0xFFFD));
    return text;
}

} // namespace kr52
