// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <map>

namespace kr52 {

// The code page a font's \fcharset stands for, or 0 where the document's own (\ansicpg) applies:
// ANSI, the default, and sets this reader does not know.
[[nodiscard]] int charsetCodePage(int charset);

// Decodes bytes written in a Windows code page through Qt's string decoders: the single-byte
// pages 874 and 1250 to 1258, the East Asian double-byte pages 932, 936, 949 and 950, and the
// DOS and Mac pages 437, 850 and 10000. Each decoder is made once per reader.
class CodePageDecoders {
public:
    // Whether the code page is one of those above and the system can decode it.
    [[nodiscard]] bool canDecode(int codePage);
    // The text of bytes (all 0x80 and up) in a code page canDecode accepted; a byte sequence the
    // page does not define, or one cut short, shows as U+FFFD.
    [[nodiscard]] QString decode(int codePage, QByteArrayView bytes);

private:
    QStringDecoder *decoder(int codePage);

    std::map<int, QStringDecoder> m_decoders; // invalid ones too, so each is looked for once
};

} // namespace kr52
