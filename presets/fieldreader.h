// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

class QIODevice;

namespace kr52 {

// Takes comma-separated fields one at a time from 8-bit text, reading no further than the field
// asked for. Spaces before a field are skipped. A field that opens with a double quote runs to
// the next double quote, line ends and commas included; the quotes are dropped, and so is
// anything between the closing quote and the comma or line end after it. Any other field runs
// up to the next comma or line end and loses its trailing spaces. A comma right after another
// delimiter, or a blank line, is an empty field. Lines end in CR LF, LF or CR alone; the last
// line needs no line end. Bytes are taken as Latin-1, NUL and control bytes included.
//
// No field takes more than maxFieldBytes bytes of the text, the spaces before it and anything
// after a closing quote counted: a longer one is cut there and reported by lastFieldCut(), and
// the reader is left inside it. So a file of any size, or one with no delimiter at all, costs at
// most that much per field asked for.
class FieldReader {
public:
    static constexpr qsizetype defaultMaxFieldBytes = qsizetype{64} * 1024;

    explicit FieldReader(QIODevice &device, qsizetype maxFieldBytes = defaultMaxFieldBytes)
        : m_device(device), m_maxFieldBytes(maxFieldBytes)
    {
    }

    // The next field, or nothing when the text ends before it. A comma at the very end of the
    // text still announces one more, empty, field.
    [[nodiscard]] std::optional<QString> next();

    // Whether the field next() returned last was longer than the bound and cut.
    [[nodiscard]] bool lastFieldCut() const { return m_cut; }

private:
    [[nodiscard]] static bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
    // The next byte of the field, or false at the end of the text or of the field's budget.
    bool take(char &c);
    // Consumes what follows the delimiter c: the LF of a CR LF pair, or notes that a comma
    // promises another field.
    void endField(char c);
    void skipToDelimiter();

    QIODevice &m_device;
    const qsizetype m_maxFieldBytes;
    qsizetype m_budget = 0;
    bool m_cut = false;
    bool m_fieldAnnounced = false;
};

} // namespace kr52
