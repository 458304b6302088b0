// SPDX-License-Identifier: GPL-3.0-or-later
#include "helppages/rtfreader.h"

#include "helppages/rtfcodepages.h"
#include "helppages/rtfwords.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <array>
#include <vector>

namespace kr52 {

namespace {

// Deeper groups share their parent's state, so nesting costs no memory beyond this.
constexpr std::size_t maxGroupDepth = 256;
// Parameters are read whole but kept within this, so no digit string can overflow.
constexpr qint64 parameterLimit = 1'000'000'000;
constexpr int defaultFontSize = 24; // half-points
constexpr int maxTabStops = 32;
constexpr int maxUnicodeSkip = 16;
constexpr double twipsPerPixel = 15.0;
constexpr int maxIndent = 15000; // twips, about ten inches
constexpr int defaultCodePage = 1252;
// The text layout of one block grows with the square of its length: a longer paragraph goes in as
// several blocks, broken after a blank within the last part of each, so that each lays out fast.
constexpr qsizetype maxBlockLength = 4096;
constexpr qsizetype breakSearch = 256;
// Each change of format within a block adds to its layout in the same way.
constexpr std::size_t maxRunsPerBlock = 512;

constexpr char16_t replacementCharacter = 0xFFFD;
constexpr char16_t symbolFontBullet = 0xF0B7;
constexpr char16_t bullet = 0x2022;

// Windows-1252 bytes 0x80 to 0x9F; the five the code page leaves undefined show as U+FFFD.
constexpr char16_t windows1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

enum class Destination : quint8 { Text, Skip, FontTable, ColourTable };
enum class Vertical : quint8 { Normal, Subscript, Superscript };
enum class Caps : quint8 { None, All, Small };

struct CharacterState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    Vertical vertical = Vertical::Normal;
    Caps caps = Caps::None;
    int fontSize = defaultFontSize;
    int colour = 0; // 0 is the automatic colour
    int highlight = 0;
    int font = 0;

    friend bool operator==(const CharacterState &, const CharacterState &) = default;
};

struct ParagraphState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0; // all in twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int headingLevel = 0; // 1 for a title, 2 for the headings under it; 0 for body text
    QList<int> tabStops;

    friend bool operator==(const ParagraphState &, const ParagraphState &) = default;
};

struct GroupState {
    CharacterState character;
    ParagraphState paragraph;
    Destination destination = Destination::Text;
    int unicodeSkip = 1;
};

// What a character format shows. Character states that differ only in what is not shown (a
// font face, a colour index naming the same colour) make the same format.
struct ShownFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool fixedPitch = false;
    Vertical vertical = Vertical::Normal;
    Caps caps = Caps::None;
    int fontSize = defaultFontSize;
    qint64 colour = -1; // the RGBA value, or -1 for none
    qint64 highlight = -1;

    friend bool operator==(const ShownFormat &, const ShownFormat &) = default;
};

size_t qHash(const ShownFormat &format, size_t seed = 0)
{
    return qHashMulti(seed, format.bold, format.italic, format.underline, format.strike, format.fixedPitch,
                      quint8(format.vertical), quint8(format.caps), format.fontSize, format.colour, format.highlight);
}

size_t qHash(const CharacterState &state, size_t seed = 0)
{
    // The four switches and the size share one word: fewer values to mix for a lookup made per run.
    const quint64 switchesAndSize = quint64(state.bold) | quint64(state.italic) << 1 | quint64(state.underline) << 2 |
                                    quint64(state.strike) << 3 | quint64(state.hidden) << 4 |
                                    quint64(state.vertical) << 5 | quint64(state.caps) << 7 |
                                    quint64(quint32(state.fontSize)) << 32;
    return qHashMulti(seed, switchesAndSize, state.colour, state.highlight, state.font);
}

size_t qHash(const ParagraphState &state, size_t seed = 0)
{
    return qHashMulti(seed, int(state.alignment), state.leftIndent, state.rightIndent, state.firstIndent,
                      state.spaceBefore, state.spaceAfter, state.headingLevel, state.tabStops);
}

// Where the paragraph's text takes on a new format. A paragraph is kept until it ends and its
// own format is known.
struct Run {
    qsizetype start;
    CharacterState state;
};

struct FontInfo {
    bool symbol = false;
    bool fixedPitch = false;
    int codePage = 0; // 0: the document's
};

// How the text loop treats each byte: most stand for themselves in Latin-1 and Windows-1252 alike
// and go into the paragraph a stretch at a time.
enum class ByteKind : quint8 { Plain, EndsText, Mapped };

constexpr std::array<ByteKind, 256> byteKinds(bool windows1252)
{
    std::array<ByteKind, 256> kinds{};
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == '{' || byte == '}' || byte == '\\' || byte == '\r' || byte == '\n')
            kinds[byte] = ByteKind::EndsText;
        // Controls; every 8-bit byte of another code page; in 1252, its own range and the Symbol
        // font's bullet.
        else if (byte < 0x20 || byte == 0x7F || (byte >= 0x80 && !windows1252) || (byte >= 0x80 && byte < 0xA0) ||
                 byte == 0xB7)
            kinds[byte] = ByteKind::Mapped;
        else
            kinds[byte] = ByteKind::Plain;
    }
    return kinds;
}

constexpr std::array<ByteKind, 256> windows1252Kinds = byteKinds(true);
constexpr std::array<ByteKind, 256> otherCodePageKinds = byteKinds(false);

// QTextCursor takes a private copy of every format it is given and looks that copy up by its hash.
// Comparing the format once with a different one makes it compute the hash and keep it in the
// data its copies share, so the properties are not hashed again on every insertion.
void keepHash(const QTextCharFormat &format)
{
    static const QTextCharFormat different = [] {
        QTextCharFormat unlike;
        unlike.setFontPointSize(-1);
        return unlike;
    }();
    [[maybe_unused]] const bool same = format == different;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Characters that must not reach the document: controls, and the code points QTextDocument
// keeps for its own frame and object markers.
char16_t safeCharacter(char32_t code)
{
    if (code == '\t')
        return u'\t';
    if (code < 0x20 || code == 0x7F || code > 0xFFFF)
        return 0;
    if (code >= 0xFDD0 && code <= 0xFDEF)
        return replacementCharacter;
    if (code == 0xFFFC || code == 0xFFFE || code == 0xFFFF)
        return replacementCharacter;
    if (code == symbolFontBullet)
        return bullet;
    return char16_t(code);
}

// A high surrogate must be followed by a low one and a low one preceded by a high one.
void repairSurrogates(QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar(replacementCharacter);
    }
}

class RtfReader {
public:
    RtfReader(const QByteArray &rtf, QTextDocument &document)
        : m_data(rtf.constData()), m_size(rtf.size()), m_document(document), m_cursor(&document)
    {
    }

    void read();

private:
    void readControl();
    void readControlWord();
    void readHexByte();
    void controlSymbol(char symbol);
    void controlWord(RtfWord word, bool hasParameter, int parameter);
    void textWord(RtfWord word, bool hasParameter, int parameter);
    void fontTableWord(RtfWord word, int parameter);
    void colourTableWord(RtfWord word, int parameter);

    void openGroup();
    void closeGroup();
    bool swallowedAsFallback();
    void skipBinary(int count);

    void readText();
    void appendPlainText(qsizetype start, qsizetype end);
    void startRun();
    void textByte(uchar byte);
    void character(char16_t c);
    void putCharacter(char16_t c);
    void flushBytes();
    [[nodiscard]] int codePage();
    void paragraphBreak();
    void writeParagraph();
    [[nodiscard]] qsizetype blockEnd(qsizetype start, std::size_t run) const;
    [[nodiscard]] qsizetype runEnd(std::size_t run) const;
    void insertRuns(qsizetype from, qsizetype to, std::size_t &run);

    void finishFontEntry();
    void finishColourEntry();
    [[nodiscard]] FontInfo fontInfo(int font) const { return m_fonts.value(font); }
    [[nodiscard]] int charFormatIndex(const CharacterState &state);
    [[nodiscard]] const QTextBlockFormat &blockFormat(const ParagraphState &state);
    [[nodiscard]] QColor tableColour(int index) const;

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;

    GroupState m_state;
    std::vector<GroupState> m_saved;
    int m_groupsBeyondLimit = 0;
    int m_pendingSkip = 0; // fallback characters still to drop after \uN

    int m_documentCodePage = defaultCodePage;
    CodePageDecoders m_decoders;
    // 8-bit bytes of another code page than 1252 wait here until the text around them goes on, so
    // that a double-byte character written as two \'hh escapes decodes whole.
    QByteArray m_pendingBytes;
    int m_pendingCodePage = defaultCodePage;

    QTextDocument &m_document;
    QTextCursor m_cursor;
    QString m_text; // the paragraph so far
    std::vector<Run> m_runs;
    bool m_textHasSurrogates = false;
    bool m_firstParagraph = true;
    // A page uses a handful of formats; made once each, they also share their cached hashes.
    // Equal formats get the same index, so neighbouring runs are merged by comparing numbers.
    std::vector<QTextCharFormat> m_charFormats;
    QHash<ShownFormat, int> m_charFormatIndex;
    QHash<CharacterState, int> m_stateFormatIndex; // depends on the tables, cleared with them
    QHash<ParagraphState, QTextBlockFormat> m_blockFormats;

    QHash<int, FontInfo> m_fonts;
    int m_defaultFont = 0;
    int m_tableFont = -1; // the font table entry being read, or -1
    QString m_tableFontName;
    FontInfo m_tableFontInfo;

    QList<QColor> m_colours;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    bool m_colourGiven = false;
};

void RtfReader::read()
{
    m_cursor.beginEditBlock();
    // Cleared inside the edit, the document reports one change from nothing to the whole page, so
    // a layout attached to it (the help window's) lays the page out lazily instead of all at once.
    m_document.clear();
    while (m_pos < m_size) {
        switch (m_data[m_pos]) {
        case '{':
            ++m_pos;
            openGroup();
            break;
        case '}':
            ++m_pos;
            closeGroup();
            break;
        case '\\':
            ++m_pos;
            readControl();
            break;
        case '\r':
        case '\n':
            ++m_pos;
            break;
        default:
            if (swallowedAsFallback())
                ++m_pos;
            else
                readText();
        }
    }
    flushBytes();
    if (!m_runs.empty())
        writeParagraph(); // a file cut short, or text after the document's group
    m_cursor.endEditBlock();
}

void RtfReader::readControl()
{
    if (m_pos >= m_size)
        return;
    const char c = m_data[m_pos];
    if (isLetter(c)) {
        flushBytes();
        readControlWord();
        return;
    }
    ++m_pos;
    if (c == '\'') {
        readHexByte();
        return;
    }
    flushBytes();
    if (!swallowedAsFallback())
        controlSymbol(c);
}

void RtfReader::readControlWord()
{
    const qsizetype start = m_pos;
    while (m_pos < m_size && isLetter(m_data[m_pos]))
        ++m_pos;
    const std::string_view name(m_data + start, std::size_t(m_pos - start));

    bool negative = false;
    if (m_pos + 1 < m_size && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    bool hasParameter = false;
    qint64 value = 0;
    while (m_pos < m_size && isDigit(m_data[m_pos])) {
        hasParameter = true;
        value = std::min(value * 10 + (m_data[m_pos] - '0'), parameterLimit);
        ++m_pos;
    }
    if (m_pos < m_size && m_data[m_pos] == ' ')
        ++m_pos;

    const int parameter = int(negative ? -value : value);
    const RtfWord word = rtfWord(name);
    // Binary data is never text, so it is passed over even where the word itself is not wanted.
    if (word == RtfWord::Binary) {
        skipBinary(parameter);
        return;
    }
    if (!swallowedAsFallback())
        controlWord(word, hasParameter, parameter);
}

void RtfReader::readHexByte()
{
    int byte = 0;
    for (int digits = 0; digits < 2; ++digits) {
        const int value = m_pos < m_size ? hexValue(m_data[m_pos]) : -1;
        if (value < 0)
            return; // a broken escape shows nothing; what follows is read as usual
        byte = byte * 16 + value;
        ++m_pos;
    }
    if (!swallowedAsFallback())
        textByte(uchar(byte));
}

void RtfReader::controlSymbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textByte(uchar(symbol));
        break;
    case '~':
        character(0x00A0);
        break;
    case '-':
        character(0x00AD);
        break;
    case '_':
        character(0x2011);
        break;
    case '*':
        m_state.destination = Destination::Skip;
        break;
    case '\r':
    case '\n':
        paragraphBreak();
        break;
    case '\t':
        character(u'\t');
        break;
    default:
        break; // index and formula marks, and anything unknown
    }
}

void RtfReader::controlWord(RtfWord word, bool hasParameter, int parameter)
{
    switch (m_state.destination) {
    case Destination::Skip:
        return;
    case Destination::FontTable:
        fontTableWord(word, parameter);
        return;
    case Destination::ColourTable:
        colourTableWord(word, parameter);
        return;
    case Destination::Text:
        textWord(word, hasParameter, parameter);
        return;
    }
}

void RtfReader::textWord(RtfWord word, bool hasParameter, int parameter)
{
    CharacterState &ch = m_state.character;
    ParagraphState &para = m_state.paragraph;
    const bool on = !hasParameter || parameter != 0;
    const auto indent = [parameter](int low) { return std::clamp(parameter, low, maxIndent); };

    switch (word) {
    case RtfWord::Unknown:
    case RtfWord::Binary:
    case RtfWord::Red:
    case RtfWord::Green:
    case RtfWord::Blue:
    case RtfWord::FontCharset:
    case RtfWord::FontModern:
    case RtfWord::FontPitch:
        break;
    case RtfWord::FontTable:
        m_state.destination = Destination::FontTable;
        break;
    case RtfWord::ColourTable:
        m_state.destination = Destination::ColourTable;
        m_colours.clear();
        break;
    case RtfWord::SkippedDestination:
        m_state.destination = Destination::Skip;
        break;
    case RtfWord::Paragraph:
        paragraphBreak();
        break;
    case RtfWord::Line:
        character(0x2028);
        break;
    case RtfWord::Tab:
        character(u'\t');
        break;
    case RtfWord::EmDash:
        character(0x2014);
        break;
    case RtfWord::EnDash:
        character(0x2013);
        break;
    case RtfWord::Bullet:
        character(bullet);
        break;
    case RtfWord::LeftQuote:
        character(0x2018);
        break;
    case RtfWord::RightQuote:
        character(0x2019);
        break;
    case RtfWord::LeftDoubleQuote:
        character(0x201C);
        break;
    case RtfWord::RightDoubleQuote:
        character(0x201D);
        break;
    case RtfWord::EmSpace:
        character(0x2003);
        break;
    case RtfWord::EnSpace:
        character(0x2002);
        break;
    case RtfWord::Plain:
        ch = CharacterState{};
        ch.font = m_defaultFont;
        break;
    case RtfWord::Hidden:
        ch.hidden = on;
        break;
    case RtfWord::Subscript:
        ch.vertical = on ? Vertical::Subscript : Vertical::Normal;
        break;
    case RtfWord::Superscript:
        ch.vertical = on ? Vertical::Superscript : Vertical::Normal;
        break;
    case RtfWord::NoSuperSub:
        ch.vertical = Vertical::Normal;
        break;
    case RtfWord::Caps:
        ch.caps = on ? Caps::All : Caps::None;
        break;
    case RtfWord::SmallCaps:
        ch.caps = on ? Caps::Small : Caps::None;
        break;
    case RtfWord::AnsiCodePage:
        m_documentCodePage = hasParameter && parameter > 0 ? parameter : defaultCodePage;
        break;
    case RtfWord::Bold:
        ch.bold = on;
        break;
    case RtfWord::Italic:
        ch.italic = on;
        break;
    case RtfWord::Underline:
        ch.underline = on;
        break;
    case RtfWord::UnderlineNone:
        ch.underline = false;
        break;
    case RtfWord::Strike:
        ch.strike = on;
        break;
    case RtfWord::FontSize:
        // Sizes beyond 200 points would only make single glyphs wider than the window.
        ch.fontSize = hasParameter && parameter > 0 ? std::clamp(parameter, 2, 400) : defaultFontSize;
        break;
    case RtfWord::Colour:
        ch.colour = std::max(parameter, 0);
        break;
    case RtfWord::Highlight:
        ch.highlight = std::max(parameter, 0);
        break;
    case RtfWord::Font:
        ch.font = parameter;
        break;
    case RtfWord::DefaultFont:
        m_defaultFont = parameter;
        ch.font = parameter;
        break;
    case RtfWord::ParagraphDefaults:
        para = ParagraphState{};
        break;
    case RtfWord::AlignLeft:
        para.alignment = Qt::AlignLeft;
        break;
    case RtfWord::AlignCentre:
        para.alignment = Qt::AlignHCenter;
        break;
    case RtfWord::AlignRight:
        para.alignment = Qt::AlignRight;
        break;
    case RtfWord::Justify:
        para.alignment = Qt::AlignJustify;
        break;
    case RtfWord::LeftIndent:
        para.leftIndent = indent(0);
        break;
    case RtfWord::RightIndent:
        para.rightIndent = indent(0);
        break;
    case RtfWord::FirstIndent:
        para.firstIndent = indent(-maxIndent);
        break;
    case RtfWord::SpaceBefore:
        para.spaceBefore = indent(0);
        break;
    case RtfWord::SpaceAfter:
        para.spaceAfter = indent(0);
        break;
    case RtfWord::OutlineLevel:
        // Levels 0 to 8 in RTF; 9 and anything odd mean body text. Headings go to six levels.
        para.headingLevel = parameter >= 0 && parameter <= 8 ? std::min(parameter + 1, 6) : 0;
        break;
    case RtfWord::TabStop:
        if (para.tabStops.size() < maxTabStops)
            para.tabStops.append(indent(0));
        break;
    case RtfWord::UnicodeSkipCount:
        m_state.unicodeSkip = std::clamp(parameter, 0, maxUnicodeSkip);
        break;
    case RtfWord::Unicode:
        if (hasParameter) {
            // Signed 16-bit as written by most encoders; anything outside that is no character.
            const bool valid = parameter >= -32768 && parameter <= 65535;
            const char32_t code =
                valid ? char32_t(parameter < 0 ? parameter + 65536 : parameter) : char32_t(replacementCharacter);
            if (const char16_t c = safeCharacter(code))
                character(c);
            m_pendingSkip = m_state.unicodeSkip;
        }
        break;
    }
}

void RtfReader::fontTableWord(RtfWord word, int parameter)
{
    switch (word) {
    case RtfWord::Font:
        finishFontEntry();
        m_tableFont = parameter;
        break;
    case RtfWord::FontCharset:
        m_tableFontInfo.symbol = m_tableFontInfo.symbol || parameter == 2;
        m_tableFontInfo.codePage = charsetCodePage(parameter);
        break;
    case RtfWord::FontModern:
        m_tableFontInfo.fixedPitch = true;
        break;
    case RtfWord::FontPitch:
        m_tableFontInfo.fixedPitch = m_tableFontInfo.fixedPitch || parameter == 1;
        break;
    case RtfWord::SkippedDestination:
        m_state.destination = Destination::Skip;
        break;
    default:
        break;
    }
}

void RtfReader::colourTableWord(RtfWord word, int parameter)
{
    const int component = std::clamp(parameter, 0, 255);
    switch (word) {
    case RtfWord::Red:
        m_red = component;
        m_colourGiven = true;
        break;
    case RtfWord::Green:
        m_green = component;
        m_colourGiven = true;
        break;
    case RtfWord::Blue:
        m_blue = component;
        m_colourGiven = true;
        break;
    default:
        break;
    }
}

void RtfReader::openGroup()
{
    flushBytes();
    m_pendingSkip = 0;
    if (m_saved.size() >= maxGroupDepth) {
        ++m_groupsBeyondLimit;
        return;
    }
    m_saved.push_back(m_state);
}

void RtfReader::closeGroup()
{
    flushBytes();
    m_pendingSkip = 0;
    if (m_groupsBeyondLimit > 0) {
        --m_groupsBeyondLimit;
        return;
    }
    if (m_saved.empty())
        return; // a closing brace too many
    if (m_state.destination == Destination::FontTable)
        finishFontEntry();
    // The document's last paragraph often has no \par: it takes what was in force at the end.
    if (m_saved.size() == 1 && m_state.destination == Destination::Text && !m_runs.empty())
        writeParagraph();
    m_state = std::move(m_saved.back());
    m_saved.pop_back();
}

bool RtfReader::swallowedAsFallback()
{
    if (m_pendingSkip == 0)
        return false;
    --m_pendingSkip;
    return true;
}

void RtfReader::skipBinary(int count)
{
    m_pos += std::min(qsizetype(std::max(count, 0)), m_size - m_pos);
}

// Reads up to the next brace, backslash or line end. Nothing in between changes the state, so the
// stretch is one run and its plain bytes are appended together.
void RtfReader::readText()
{
    if (m_state.destination != Destination::Text) {
        while (m_pos < m_size && windows1252Kinds[uchar(m_data[m_pos])] != ByteKind::EndsText) {
            if (m_state.destination != Destination::Skip)
                textByte(uchar(m_data[m_pos]));
            ++m_pos;
        }
        return;
    }
    const std::array<ByteKind, 256> &byteKinds = codePage() == defaultCodePage ? windows1252Kinds : otherCodePageKinds;
    qsizetype plainStart = m_pos;
    while (m_pos < m_size) {
        const uchar byte = uchar(m_data[m_pos]);
        const ByteKind kind = byteKinds[byte];
        if (kind == ByteKind::Plain) {
            ++m_pos;
            continue;
        }
        appendPlainText(plainStart, m_pos);
        if (kind == ByteKind::EndsText)
            return;
        textByte(byte);
        plainStart = ++m_pos;
    }
    appendPlainText(plainStart, m_pos);
}

void RtfReader::appendPlainText(qsizetype start, qsizetype end)
{
    if (start == end)
        return;
    flushBytes();
    if (m_state.character.hidden)
        return;
    startRun();
    m_text.append(QLatin1StringView(m_data + start, end - start));
}

void RtfReader::startRun()
{
    if (m_runs.empty() || !(m_runs.back().state == m_state.character))
        m_runs.push_back({m_text.size(), m_state.character});
}

// The code page of the text in the current font: the font's own, or else the document's; 1252
// where that is one this reader cannot decode.
int RtfReader::codePage()
{
    const FontInfo font = fontInfo(m_state.character.font);
    if (font.symbol)
        return defaultCodePage;
    const int page = font.codePage != 0 ? font.codePage : m_documentCodePage;
    return page == defaultCodePage || !m_decoders.canDecode(page) ? defaultCodePage : page;
}

void RtfReader::textByte(uchar byte)
{
    if (byte >= 0x80 && m_state.destination == Destination::Text) {
        const int page = codePage();
        if (page != defaultCodePage) {
            if (m_state.character.hidden)
                return;
            if (page != m_pendingCodePage)
                flushBytes();
            m_pendingCodePage = page;
            m_pendingBytes.append(char(byte));
            return;
        }
    }
    char32_t code = byte;
    if (byte == 0xB7 && fontInfo(m_state.character.font).symbol)
        code = bullet;
    else if (byte >= 0x80 && byte < 0xA0)
        code = windows1252High[byte - 0x80];
    if (const char16_t c = safeCharacter(code))
        character(c);
}

void RtfReader::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    const QString text = m_decoders.decode(m_pendingCodePage, m_pendingBytes);
    m_pendingBytes.resize(0);
    for (QChar c : text) {
        // A page's C1 controls stand for nothing printable.
        const char16_t decoded = c.unicode() >= 0x80 && c.unicode() < 0xA0 ? replacementCharacter : c.unicode();
        if (const char16_t shown = safeCharacter(decoded))
            putCharacter(shown);
    }
}

void RtfReader::character(char16_t c)
{
    flushBytes();
    putCharacter(c);
}

void RtfReader::putCharacter(char16_t c)
{
    switch (m_state.destination) {
    case Destination::Text:
        if (m_state.character.hidden)
            break;
        startRun();
        m_text.append(QChar(c));
        m_textHasSurrogates = m_textHasSurrogates || QChar::isSurrogate(c);
        break;
    case Destination::FontTable:
        if (c == u';')
            finishFontEntry();
        else
            m_tableFontName.append(QChar(c));
        break;
    case Destination::ColourTable:
        if (c == u';')
            finishColourEntry();
        break;
    case Destination::Skip:
        break;
    }
}

void RtfReader::paragraphBreak()
{
    if (m_state.destination == Destination::Text)
        writeParagraph();
}

void RtfReader::writeParagraph()
{
    flushBytes();
    // The paragraph takes the properties in force at its end, and an empty one the height of
    // the text it would have held.
    const QTextCharFormat separatorFormat = m_charFormats[std::size_t(charFormatIndex(m_state.character))];
    const QTextBlockFormat &format = blockFormat(m_state.paragraph);
    if (m_textHasSurrogates)
        repairSurrogates(m_text);
    std::size_t run = 0;
    qsizetype start = 0;
    do {
        const qsizetype end = blockEnd(start, run);
        QTextBlockFormat pieceFormat = format;
        // The pieces of a long paragraph read as one: the space before, the first-line indent
        // and the space after belong to the whole paragraph only.
        if (start > 0) {
            pieceFormat.setTopMargin(0);
            pieceFormat.setTextIndent(0);
        }
        if (end < m_text.size())
            pieceFormat.setBottomMargin(0);
        if (m_firstParagraph) {
            m_cursor.setBlockFormat(pieceFormat);
            m_cursor.setBlockCharFormat(separatorFormat);
            m_firstParagraph = false;
        } else {
            m_cursor.insertBlock(pieceFormat, separatorFormat);
        }
        insertRuns(start, end, run);
        start = end;
    } while (start < m_text.size());
    m_text.resize(0); // keeps the buffer for the next paragraph
    m_runs.clear();
    m_textHasSurrogates = false;
}

// Where the block that starts at start (inside run) ends: the paragraph's end, or a break after
// the last blank before the length or run limit, or right at the limit where no blank is near.
qsizetype RtfReader::blockEnd(qsizetype start, std::size_t run) const
{
    qsizetype limit = std::min(m_text.size(), start + maxBlockLength);
    if (run + maxRunsPerBlock < m_runs.size())
        limit = std::min(limit, m_runs[run + maxRunsPerBlock].start);
    if (limit == m_text.size())
        return limit;
    for (qsizetype end = limit; end > start && end > limit - breakSearch; --end) {
        if (m_text.at(end - 1) == QLatin1Char(' '))
            return end;
    }
    // Never between the two halves of a surrogate pair.
    return m_text.at(limit - 1).isHighSurrogate() && limit - 1 > start ? limit - 1 : limit;
}

qsizetype RtfReader::runEnd(std::size_t run) const
{
    return run + 1 < m_runs.size() ? m_runs[run + 1].start : m_text.size();
}

// Inserts the text from..to, which starts inside run; run is left on the run holding to. Runs
// that differ only in what is not shown (a font face, say) go in as one.
void RtfReader::insertRuns(qsizetype from, qsizetype to, std::size_t &run)
{
    while (from < to) {
        const int format = charFormatIndex(m_runs[run].state);
        while (runEnd(run) < to && charFormatIndex(m_runs[run + 1].state) == format)
            ++run;
        const qsizetype end = std::min(runEnd(run), to);
        m_cursor.insertText(QString::fromRawData(m_text.constData() + from, end - from),
                            m_charFormats[std::size_t(format)]);
        if (end == runEnd(run) && run + 1 < m_runs.size())
            ++run;
        from = end;
    }
}

void RtfReader::finishFontEntry()
{
    if (m_tableFont >= 0) {
        m_tableFontInfo.symbol = m_tableFontInfo.symbol || m_tableFontName.trimmed() == QLatin1String("Symbol");
        m_fonts.insert(m_tableFont, m_tableFontInfo);
        m_stateFormatIndex.clear();
    }
    m_tableFont = -1;
    m_tableFontName.clear();
    m_tableFontInfo = FontInfo{};
}

void RtfReader::finishColourEntry()
{
    m_colours.append(m_colourGiven ? QColor(m_red, m_green, m_blue) : QColor());
    m_red = m_green = m_blue = 0;
    m_colourGiven = false;
    m_stateFormatIndex.clear();
}

QColor RtfReader::tableColour(int index) const
{
    return index > 0 && index < m_colours.size() ? m_colours.at(index) : QColor();
}

int RtfReader::charFormatIndex(const CharacterState &state)
{
    if (const auto found = m_stateFormatIndex.constFind(state); found != m_stateFormatIndex.constEnd())
        return *found;
    const QColor colour = tableColour(state.colour);
    const QColor highlight = tableColour(state.highlight);
    const ShownFormat shown{state.bold,
                            state.italic,
                            state.underline,
                            state.strike,
                            fontInfo(state.font).fixedPitch,
                            state.vertical,
                            state.caps,
                            state.fontSize,
                            colour.isValid() ? qint64(colour.rgba()) : -1,
                            highlight.isValid() ? qint64(highlight.rgba()) : -1};
    auto index = m_charFormatIndex.constFind(shown);
    if (index == m_charFormatIndex.constEnd()) {
        QTextCharFormat format;
        format.setFontWeight(shown.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(shown.italic);
        format.setFontUnderline(shown.underline);
        format.setFontStrikeOut(shown.strike);
        format.setFontPointSize(shown.fontSize / 2.0);
        if (shown.vertical != Vertical::Normal)
            format.setVerticalAlignment(shown.vertical == Vertical::Subscript ? QTextCharFormat::AlignSubScript
                                                                              : QTextCharFormat::AlignSuperScript);
        if (shown.caps != Caps::None)
            format.setFontCapitalization(shown.caps == Caps::All ? QFont::AllUppercase : QFont::SmallCaps);
        if (colour.isValid())
            format.setForeground(colour);
        if (highlight.isValid())
            format.setBackground(highlight);
        if (shown.fixedPitch) {
            format.setFontFamilies(QStringList{QStringLiteral("monospace")});
            format.setFontFixedPitch(true);
            format.setFontStyleHint(QFont::Monospace);
        }
        keepHash(format);
        m_charFormats.push_back(format);
        index = m_charFormatIndex.insert(shown, int(m_charFormats.size() - 1));
    }
    m_stateFormatIndex.insert(state, *index);
    return *index;
}

const QTextBlockFormat &RtfReader::blockFormat(const ParagraphState &state)
{
    if (const auto found = m_blockFormats.constFind(state); found != m_blockFormats.constEnd())
        return *found;
    // A hanging first line never reaches left of the paragraph's own margin.
    const int firstIndent = std::max(state.firstIndent, -state.leftIndent);
    QTextBlockFormat format;
    format.setAlignment(state.alignment);
    format.setLeftMargin(state.leftIndent / twipsPerPixel);
    format.setRightMargin(state.rightIndent / twipsPerPixel);
    format.setTextIndent(firstIndent / twipsPerPixel);
    format.setTopMargin(state.spaceBefore / twipsPerPixel);
    format.setBottomMargin(state.spaceAfter / twipsPerPixel);
    format.setHeadingLevel(state.headingLevel);

    QList<int> stops = state.tabStops;
    // As in word processors, a hanging indent brings its own tab stop at the left indent.
    if (firstIndent < 0)
        stops.append(state.leftIndent);
    std::sort(stops.begin(), stops.end());
    // RTF measures tab stops from the page margin, the layout from where the first line starts.
    const int lineStart = state.leftIndent + firstIndent;
    QList<QTextOption::Tab> tabs;
    for (int stop : stops) {
        if (stop > lineStart)
            tabs.append(QTextOption::Tab((stop - lineStart) / twipsPerPixel, QTextOption::LeftTab));
    }
    if (!tabs.isEmpty())
        format.setTabPositions(tabs);
    return *m_blockFormats.insert(state, format);
}

} // namespace

void readRtf(const QByteArray &rtf, QTextDocument &document)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false); // clears the history too: a page is never edited back
    RtfReader(rtf, document).read();
    document.setUndoRedoEnabled(undo);
}

} // namespace kr52
