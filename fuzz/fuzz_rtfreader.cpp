// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF reader takes any bytes: it must never crash, hang or leave characters in the document
// that the document reserves for itself.
#include "harness.h"
#include "helppages/rtfreader.h"

#include <QTextDocument>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using kr52::fuzz::require;
    QTextDocument document;
    kr52::readRtf(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)), document);
    // Raw, the text keeps what the document stores: paragraph separators between blocks.
    const QString text = document.toRawText();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        require(c != QChar::ObjectReplacementCharacter && !(c.unicode() >= 0xFDD0 && c.unicode() <= 0xFDEF),
                "no object or frame marker in the text");
        require(c.unicode() >= 0x20 || c == u'\t', "no control character in the text");
        if (c.isHighSurrogate()) {
            ++i;
            require(i < text.size() && text.at(i).isLowSurrogate(), "a high surrogate has its low one");
        } else {
            require(!c.isLowSurrogate(), "no low surrogate stands alone");
        }
    }
    return 0;
}
