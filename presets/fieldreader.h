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
class FieldReader {
public:
    explicit FieldReader(QIODevice &device) : m_device(device) {}

    // The next field, or nothing when the text ends before it. A comma at the very end of the
    // text still announces one more, empty, field.
    [[nodiscard]] std::optional<QString> next();

private:
    [[nodiscard]] static bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
    // Consumes what follows the delimiter c: the LF of a CR LF pair, or notes that a comma
    // promises another field.
    void endField(char c);
    void skipToDelimiter();

    QIODevice &m_device;
    bool m_fieldAnnounced = false;
};

} // namespace kr52
