// SPDX-License-Identifier: GPL-3.0-or-later
#include "helppages/rtfreader.h"

#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace kr52;

namespace {

// The document's text with each paragraph on its own line, every character as stored (line
// breaks stay U+2028, non-breaking spaces stay U+00A0).
QString documentText(const QTextDocument &document)
{
    QStringList paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        paragraphs.append(block.text());
    return paragraphs.join(QLatin1Char('\n'));
}

QString read(const QByteArray &rtf)
{
    QTextDocument document;
    readRtf(rtf, document);
    return documentText(document);
}

// The format of the first character of probe in the document.
QTextCharFormat formatOf(const QTextDocument &document, const QString &probe)
{
    const QTextCursor found = document.find(probe, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull())
        return {};
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

QTextBlockFormat blockFormatOf(const QTextDocument &document, const QString &blockText)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.text() == blockText)
            return block.blockFormat();
    }
    return {};
}

const QByteArray colourTable = "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
const QByteArray symbolFonts = "{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset2 Wingdings-like;}"
                               "{\\f2\\froman Symbol;}{\\f3\\fmodern\\fcharset0 Courier New;}}";

// A layout that only notes what the document tells it, so no fonts are needed.
class ChangeRecorder : public QAbstractTextDocumentLayout {
public:
    struct Change {
        int from;
        int removed;
        int added;
        friend bool operator==(const Change &, const Change &) = default;
    };

    explicit ChangeRecorder(QTextDocument *document) : QAbstractTextDocumentLayout(document) {}

    QList<Change> changes;

    void draw(QPainter *, const PaintContext &) override {}
    int hitTest(const QPointF &, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame *) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock &) const override { return {}; }

protected:
    void documentChanged(int from, int removed, int added) override { changes.append({from, removed, added}); }
};

QByteArray repeated(const QByteArray &piece, int times)
{
    return piece.repeated(times);
}

} // namespace

class tst_rtfreader : public QObject {
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void malformedInput_data();
    void malformedInput();
    void characterFormat_data();
    void characterFormat();
    void raisedAndCapitalText_data();
    void raisedAndCapitalText();
    void longParagraphsBecomeSeveralBlocks_data();
    void longParagraphsBecomeSeveralBlocks();
    void eachCharsetReadsInItsCodePage_data();
    void eachCharsetReadsInItsCodePage();
    void highlightAndFixedPitch();
    void fixedPitchFromTheFontTable_data();
    void fixedPitchFromTheFontTable();
    void everyRunKeepsItsFormat();
    void tablesReadLaterApplyToLaterParagraphs();
    void aPageArrivesAsOneChange();
    void paragraphFormat_data();
    void paragraphFormat();
    void tabStopsStartAtTheLeftIndent();
    void outlineLevelsMakeHeadings();
    void fieldsNeverBecomeLinks();
    void aNewPageReplacesTheOld();
    void wordProcessorFile();
};

void tst_rtfreader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // Groups, words and symbols
    QTest::newRow("plain text") << QByteArray("{\\rtf1\\ansi Hello}") << "Hello";
    QTest::newRow("one space ends a word") << QByteArray("{\\rtf1\\b  two}") << " two";
    QTest::newRow("line ends in the source") << QByteArray("{\\rtf1 a\r\nb\nc}") << "abc";
    QTest::newRow("unknown words ignored") << QByteArray("{\\rtf1\\foo12\\bar-3 x\\baz y}") << "xy";
    QTest::newRow("escaped braces and backslash") << QByteArray("{\\rtf1 \\{a\\}\\\\}") << "{a}\\";
    QTest::newRow("special spaces and hyphens") << QByteArray("{\\rtf1 a\\~b\\_c\\-d}") << "a\u00A0b\u2011c\u00ADd";
    QTest::newRow("named characters") << QByteArray(
                                             "{\\rtf1\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}")
                                      << "\u2014\u2013\u2022\u2018\u2019\u201C\u201D";
    QTest::newRow("control bytes dropped") << QByteArray("{\\rtf1 a\x01"
                                                         "b\x7f"
                                                         "c}")
                                           << "abc";
    QTest::newRow("not rtf at all") << QByteArray("just text") << "just text";

    // Paragraphs, lines, tabs, tables
    QTest::newRow("paragraphs") << QByteArray("{\\rtf1 one\\par two\\par three}") << "one\ntwo\nthree";
    QTest::newRow("final par opens no paragraph") << QByteArray("{\\rtf1 one\\par}") << "one";
    QTest::newRow("blank paragraph kept") << QByteArray("{\\rtf1 one\\par\\par two\\par}") << "one\n\ntwo";
    QTest::newRow("backslash line end is a par") << QByteArray("{\\rtf1 one\\\ntwo}") << "one\ntwo";
    QTest::newRow("line break") << QByteArray("{\\rtf1 a\\line b}") << "a\u2028b";
    QTest::newRow("tab word and tab byte") << QByteArray("{\\rtf1 a\\tab b\tc}") << "a\tb\tc";
    QTest::newRow("table cells and rows") << QByteArray("{\\rtf1\\trowd a\\cell b\\cell\\row c}") << "a\tb\t\nc";

    // Windows-1252
    QTest::newRow("hex letters") << QByteArray("{\\rtf1 caf\\'e9 \\'C9}") << "café É";
    QTest::newRow("hex 0x80-0x9f") << QByteArray("{\\rtf1\\'80\\'93x\\'94\\'95\\'96\\'99}") << "€“x”•–™";
    QTest::newRow("undefined in 1252") << QByteArray("{\\rtf1\\'81}") << "\uFFFD";
    QTest::newRow("raw high bytes") << QByteArray("{\\rtf1 \xe9\x80}") << "é€";

    // Other code pages: the font's \\fcharset, else the document's \\ansicpg
    const QByteArray cyrillicFonts = "{\\fonttbl{\\f0\\fcharset204 Arial;}{\\f1\\fcharset0 Arial;}}";
    QTest::newRow("Cyrillic by charset") << QByteArray("{\\rtf1\\ansi\\ansicpg1251" + cyrillicFonts +
                                                       "\\f0 \\'cf\\'f0\\'e8\\'ec\\'e5\\'f0}")
                                         << "Пример";
    QTest::newRow("Cyrillic by the document's code page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251" + cyrillicFonts + "\\f1 \\'cf\\'f0\\'e8}") << "При";
    QTest::newRow("Cyrillic raw bytes") << QByteArray("{\\rtf1\\ansicpg1251 \xcf\xf0\xe8 ok}") << "При ok";
    QTest::newRow("charset beats the document's page")
        << QByteArray("{\\rtf1\\ansicpg1252{\\fonttbl{\\f0\\fcharset238 Arial CE;}}\\f0 \\'9a\\'e8\\'f8}") << "ščř";
    QTest::newRow("Greek") << QByteArray("{\\rtf1\\ansicpg1253 \\'e1\\'e2\\'e3}") << "αβγ";
    QTest::newRow("Greek by charset") << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset161 Arial Greek;}}"
                                                    "\\f0 \\'c5\\'eb\\'eb\\'e7\\'ed\\'e9\\'ea\\'dc}")
                                      << "Ελληνικά";
    QTest::newRow("Thai") << QByteArray("{\\rtf1\\ansicpg874 \\'c0\\'e1\\'a1}") << "ภแก";
    QTest::newRow("Baltic 1257") << QByteArray("{\\rtf1\\ansicpg1257 \\'c0\\'e8}") << "Ąč";
    QTest::newRow("Vietnamese 1258") << QByteArray("{\\rtf1\\ansicpg1258 \\'d5}") << "Ơ";
    QTest::newRow("double-byte character in two escapes")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 Gothic;}}\\f0 \\'82\\'a0x}") << "あx";
    QTest::newRow("double-byte character cut short") << QByteArray("{\\rtf1\\ansicpg932 {\\'82}x}") << "\uFFFDx";
    QTest::newRow("font back to 1252 in a group")
        << QByteArray("{\\rtf1\\ansicpg1252" + cyrillicFonts + "\\f1{\\f0 \\'e0}\\'e0}") << "аà";
    QTest::newRow("unknown code page reads as 1252") << QByteArray("{\\rtf1\\ansicpg99999 \\'e9}") << "é";

    // Hidden text
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v secret \\'e9\\u8364?}b}") << "ab";
    QTest::newRow("hidden off again") << QByteArray("{\\rtf1\\v x\\v0 y}") << "y";
    QTest::newRow("hidden in another code page") << QByteArray("{\\rtf1\\ansicpg1251 {\\v\\'e0}\\'e1}") << "б";
    QTest::newRow("plain shows again") << QByteArray("{\\rtf1\\v x\\plain y}") << "y";

    // Unicode
    QTest::newRow("unicode with fallback") << QByteArray("{\\rtf1 \\u8364?x}") << "€x";
    QTest::newRow("uc0 has no fallback") << QByteArray("{\\rtf1\\uc0\\u8364 x}") << "€x";
    QTest::newRow("uc2 skips two") << QByteArray("{\\rtf1\\uc2\\u8364\\'80\\'80x}") << "€x";
    QTest::newRow("fallback can be a control word") << QByteArray("{\\rtf1\\u8364\\bullet x}") << "€x";
    QTest::newRow("negative value") << QByteArray("{\\rtf1\\u-3913?}") << "\u2022";
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1\\u-10179?\\u-8704?}") << "\U0001F600";
    QTest::newRow("lone surrogate") << QByteArray("{\\rtf1\\u-10179?x}") << "\uFFFDx";
    QTest::newRow("uc is scoped") << QByteArray("{\\rtf1{\\uc2 a}\\u8364?b}") << "a€b";
    QTest::newRow("fallback stops at a group") << QByteArray("{\\rtf1\\uc3{\\u8364}xyz}") << "€xyz";

    // Bullets
    QTest::newRow("symbol-font bullet as unicode") << QByteArray("{\\rtf1\\u61623?}") << "\u2022";
    QTest::newRow("symbol charset bullet") << QByteArray("{\\rtf1" + symbolFonts + "{\\f1\\'b7}}") << "\u2022";
    QTest::newRow("symbol font by name") << QByteArray("{\\rtf1" + symbolFonts + "{\\f2\\'b7}}") << "\u2022";
    QTest::newRow("symbol charset on font zero")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fnil\\fcharset2 Dings;}{\\f1 Arial;}}{\\f0\\'b7}{\\f1\\'b7}}")
        << "\u2022\u00B7";
    QTest::newRow("font zero named Symbol")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\froman Symbol;}{\\f1 Arial;}}{\\f0\\'b7}{\\f1\\'b7}}") << "\u2022\u00B7";
    QTest::newRow("middle dot elsewhere") << QByteArray("{\\rtf1" + symbolFonts + "{\\f0\\'b7}}") << "\u00B7";
    QTest::newRow("pntext bullet") << QByteArray("{\\rtf1" + symbolFonts + "{\\pntext\\f2\\'b7\\tab}Item}")
                                   << "\u2022\tItem";

    // Skipped destinations
    QTest::newRow("font table") << QByteArray("{\\rtf1" + symbolFonts + "x}") << "x";
    QTest::newRow("colour table") << QByteArray("{\\rtf1" + colourTable + "x}") << "x";
    QTest::newRow("style sheet") << QByteArray("{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}}x}") << "x";
    QTest::newRow("info") << QByteArray("{\\rtf1{\\info{\\title Secret}{\\author Me}}x}") << "x";
    QTest::newRow("picture") << QByteArray("{\\rtf1{\\pict\\pngblip 89504e470d0a}x}") << "x";
    QTest::newRow("starred destination") << QByteArray("{\\rtf1{\\*\\generator Writer;}{\\*\\anything {nested} text}x}")
                                         << "x";
    QTest::newRow("binary data") << QByteArray("{\\rtf1 a\\bin3 }{\\b}") << "ab";
    QTest::newRow("header and footer") << QByteArray("{\\rtf1{\\header top}{\\footer bottom}x}") << "x";

    // Fields
    QTest::newRow("hyperlink field result")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt shown}}}") << "shown";
    QTest::newRow("field instruction without star")
        << QByteArray("{\\rtf1{\\field{\\fldinst PAGE}{\\fldrslt 1}}}") << "1";
}

void tst_rtfreader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(read(rtf), expected);
}

void tst_rtfreader::eachCharsetReadsInItsCodePage_data()
{
    QTest::addColumn<int>("charset");
    QTest::addColumn<QByteArray>("bytes"); // as the escapes in the text
    QTest::addColumn<QString>("expected"); // never what the same bytes mean in 1252
    QTest::newRow("77 Mac Roman") << 77 << QByteArray("\\'8e") << "é";
    QTest::newRow("128 Shift JIS") << 128 << QByteArray("\\'82\\'a0") << "あ";
    QTest::newRow("129 Hangul") << 129 << QByteArray("\\'b0\\'a1") << "가";
    QTest::newRow("134 GB 2312") << 134 << QByteArray("\\'c4\\'e3") << "你";
    QTest::newRow("136 Big5") << 136 << QByteArray("\\'a4\\'a4") << "中";
    QTest::newRow("161 Greek") << 161 << QByteArray("\\'e1") << "α";
    QTest::newRow("162 Turkish") << 162 << QByteArray("\\'f0") << "ğ";
    QTest::newRow("163 Vietnamese") << 163 << QByteArray("\\'d5") << "Ơ";
    QTest::newRow("177 Hebrew") << 177 << QByteArray("\\'f9") << "ש";
    QTest::newRow("178 Arabic") << 178 << QByteArray("\\'c7") << "ا";
    QTest::newRow("186 Baltic") << 186 << QByteArray("\\'c0") << "Ą";
    QTest::newRow("204 Cyrillic") << 204 << QByteArray("\\'c4") << "Д";
    QTest::newRow("222 Thai") << 222 << QByteArray("\\'a1") << "ก";
    QTest::newRow("238 Central European") << 238 << QByteArray("\\'e8") << "č";
    QTest::newRow("254 PC 437") << 254 << QByteArray("\\'9b") << "¢";
    QTest::newRow("255 OEM 850") << 255 << QByteArray("\\'9b") << "ø";
    // ANSI and sets the reader does not know: the document's own page.
    QTest::newRow("0 ANSI") << 0 << QByteArray("\\'e1") << "á";
    QTest::newRow("1 default") << 1 << QByteArray("\\'e1") << "á";
    QTest::newRow("160 unknown") << 160 << QByteArray("\\'e1") << "á";
}

// One row for each character set a font may name: its text reads in that set's code page,
// whatever the document's own page is.
void tst_rtfreader::eachCharsetReadsInItsCodePage()
{
    QFETCH(int, charset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset" + QByteArray::number(charset) +
                           " Face;}}\\f0 " + bytes + "}";
    QCOMPARE(read(rtf), expected);
}

void tst_rtfreader::malformedInput_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("missing closing braces") << QByteArray("{\\rtf1{\\b bold") << "bold";
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}b") << "a\nb";
    QTest::newRow("closing before opening") << QByteArray("}}{\\rtf1 a}") << "a";
    QTest::newRow("cut inside a control word") << QByteArray("{\\rtf1 a\\pa") << "a";
    QTest::newRow("cut after a backslash") << QByteArray("{\\rtf1 a\\") << "a";
    QTest::newRow("cut inside hex") << QByteArray("{\\rtf1 a\\'4") << "a";
    QTest::newRow("cut after hex mark") << QByteArray("{\\rtf1 a\\'") << "a";
    QTest::newRow("not hex") << QByteArray("{\\rtf1 a\\'zzb}") << "azzb";
    QTest::newRow("half hex") << QByteArray("{\\rtf1 a\\'4xb}") << "axb";
    QTest::newRow("cut font table") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial") << "";
    QTest::newRow("cut inside unicode fallback") << QByteArray("{\\rtf1\\uc4\\u8364") << "€";
    QTest::newRow("unicode without number") << QByteArray("{\\rtf1\\u a}") << "a";
    QTest::newRow("huge font size") << QByteArray("{\\rtf1\\fs99999999999999999999999 a}") << "a";
    QTest::newRow("huge unicode") << QByteArray("{\\rtf1\\u99999999999 ab}") << "\uFFFDb";
    QTest::newRow("huge negative unicode") << QByteArray("{\\rtf1\\u-99999999999?b}") << "\uFFFDb";
    QTest::newRow("huge fallback count") << QByteArray("{\\rtf1\\uc99999\\u8364 abcdefghijklmnopqrstuvwxyz}")
                                         << "€qrstuvwxyz";
    QTest::newRow("huge binary length") << QByteArray("{\\rtf1 a\\bin99999999999 xyz}") << "a";
    QTest::newRow("negative binary length") << QByteArray("{\\rtf1 a\\bin-5 xyz}") << "axyz";
    QTest::newRow("huge indents") << QByteArray("{\\rtf1\\li999999999\\fi-999999999\\tx99999999 a\\tab b}") << "a\tb";
    QTest::newRow("many tab stops") << QByteArray("{\\rtf1" + repeated("\\tx100", 100000) + " a\\par}") << "a";
    QTest::newRow("huge colour index") << QByteArray("{\\rtf1\\cf2147483647\\highlight99999999999 a}") << "a";
    QTest::newRow("huge colour component")
        << QByteArray("{\\rtf1{\\colortbl;\\red99999\\green-4\\blue300;}\\cf1 a}") << "a";
    QTest::newRow("very long control word") << QByteArray("{\\rtf1\\" + QByteArray(100000, 'a') + " b}") << "b";
    QTest::newRow("deep nesting") << QByteArray(repeated("{", 100000) + "deep" + repeated("}", 100000) + "after")
                                  << "deep\nafter";
    QTest::newRow("deep nesting never closed") << QByteArray(repeated("{\\b ", 100000) + "text") << "text";
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b\0}", 12) << "ab";
    QTest::newRow("characters the document keeps for itself")
        << QByteArray("{\\rtf1\\u64976?\\u65532?\\u-2?\\u0?x}") << "\uFFFD\uFFFD\uFFFDx";
    QTest::newRow("both ends of the noncharacter range")
        << QByteArray("{\\rtf1\\u64975?\\u64976?\\u65007?\\u65008?}") << "\uFDCF\uFFFD\uFFFD\uFDF0";
    QTest::newRow("unbalanced destination") << QByteArray("{\\rtf1{\\*\\foo a}b}") << "b";
}

void tst_rtfreader::malformedInput()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(read(rtf), expected);
}

void tst_rtfreader::characterFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("strike");
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<QColor>("colour"); // invalid: the automatic colour

    const QColor automatic;
    // Each document holds "X" in the format under test, after some "a" in another.
    QTest::newRow("default") << QByteArray("{\\rtf1 X}") << false << false << false << false << 12.0 << automatic;
    QTest::newRow("bold") << QByteArray("{\\rtf1 a\\b X}") << true << false << false << false << 12.0 << automatic;
    QTest::newRow("bold off") << QByteArray("{\\rtf1\\b a\\b0 X}") << false << false << false << false << 12.0
                              << automatic;
    QTest::newRow("group restores") << QByteArray("{\\rtf1{\\b\\i a}X}") << false << false << false << false << 12.0
                                    << automatic;
    QTest::newRow("italic") << QByteArray("{\\rtf1 a\\i X}") << false << true << false << false << 12.0 << automatic;
    QTest::newRow("underline") << QByteArray("{\\rtf1 a\\ul X}") << false << false << true << false << 12.0
                               << automatic;
    QTest::newRow("double underline") << QByteArray("{\\rtf1 a\\uldb X}") << false << false << true << false << 12.0
                                      << automatic;
    QTest::newRow("underline none") << QByteArray("{\\rtf1\\ul a\\ulnone X}") << false << false << false << false
                                    << 12.0 << automatic;
    QTest::newRow("underline zero") << QByteArray("{\\rtf1\\ul a\\ul0 X}") << false << false << false << false << 12.0
                                    << automatic;
    QTest::newRow("strike") << QByteArray("{\\rtf1 a\\strike X}") << false << false << false << true << 12.0
                            << automatic;
    QTest::newRow("font size") << QByteArray("{\\rtf1 a\\fs18 X}") << false << false << false << false << 9.0
                               << automatic;
    QTest::newRow("font size zero") << QByteArray("{\\rtf1\\fs18 a\\fs0 X}") << false << false << false << false << 12.0
                                    << automatic;
    QTest::newRow("font size capped") << QByteArray("{\\rtf1 a\\fs9999 X}") << false << false << false << false << 200.0
                                      << automatic;
    QTest::newRow("colour") << QByteArray("{\\rtf1" + colourTable + "a\\cf2 X}") << false << false << false << false
                            << 12.0 << QColor(0, 0, 255);
    QTest::newRow("colour zero is automatic") << QByteArray("{\\rtf1" + colourTable + "\\cf1 a\\cf0 X}") << false
                                              << false << false << false << 12.0 << automatic;
    QTest::newRow("colour past the table")
        << QByteArray("{\\rtf1" + colourTable + "a\\cf3 X}") << false << false << false << false << 12.0 << automatic;
    QTest::newRow("colour without a table")
        << QByteArray("{\\rtf1 a\\cf1 X}") << false << false << false << false << 12.0 << automatic;
    QTest::newRow("plain resets") << QByteArray("{\\rtf1" + colourTable + "\\b\\i\\ul\\strike\\fs40\\cf1 a\\plain X}")
                                  << false << false << false << false << 12.0 << automatic;
}

void tst_rtfreader::characterFormat()
{
    QFETCH(QByteArray, rtf);
    QTextDocument document;
    readRtf(rtf, document);
    const QTextCharFormat format = formatOf(document, QStringLiteral("X"));
    QVERIFY(format.isValid());

    QTEST(format.fontWeight() >= QFont::Bold, "bold");
    QTEST(format.fontItalic(), "italic");
    QTEST(format.fontUnderline(), "underline");
    QTEST(format.fontStrikeOut(), "strike");
    QTEST(format.fontPointSize(), "pointSize");
    QFETCH(QColor, colour);
    if (colour.isValid())
        QCOMPARE(format.foreground().color(), colour);
    else
        QVERIFY(!format.hasProperty(QTextFormat::ForegroundBrush));
}

// Sub- and superscript and capitals are shown as such; the text itself stays as written.
void tst_rtfreader::raisedAndCapitalText_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("alignment");      // QTextCharFormat::VerticalAlignment
    QTest::addColumn<int>("capitalization"); // QFont::Capitalization

    QTest::newRow("subscript") << QByteArray("{\\rtf1 H{\\sub X}O}") << int(QTextCharFormat::AlignSubScript)
                               << int(QFont::MixedCase);
    QTest::newRow("superscript") << QByteArray("{\\rtf1 a{\\super X}}") << int(QTextCharFormat::AlignSuperScript)
                                 << int(QFont::MixedCase);
    QTest::newRow("nosupersub") << QByteArray("{\\rtf1\\super a\\nosupersub X}") << int(QTextCharFormat::AlignNormal)
                                << int(QFont::MixedCase);
    QTest::newRow("super then sub") << QByteArray("{\\rtf1\\super\\sub X}") << int(QTextCharFormat::AlignSubScript)
                                    << int(QFont::MixedCase);
    QTest::newRow("caps") << QByteArray("{\\rtf1 a{\\caps X}}") << int(QTextCharFormat::AlignNormal)
                          << int(QFont::AllUppercase);
    QTest::newRow("small caps") << QByteArray("{\\rtf1 a{\\scaps X}}") << int(QTextCharFormat::AlignNormal)
                                << int(QFont::SmallCaps);
    QTest::newRow("caps off") << QByteArray("{\\rtf1\\caps a\\caps0 X}") << int(QTextCharFormat::AlignNormal)
                              << int(QFont::MixedCase);
    QTest::newRow("plain resets") << QByteArray("{\\rtf1\\caps\\super a\\plain X}") << int(QTextCharFormat::AlignNormal)
                                  << int(QFont::MixedCase);
}

void tst_rtfreader::raisedAndCapitalText()
{
    QFETCH(QByteArray, rtf);
    QTextDocument document;
    readRtf(rtf, document);
    const QTextCharFormat format = formatOf(document, QStringLiteral("X"));
    QVERIFY(format.isValid());
    QTEST(int(format.verticalAlignment()), "alignment");
    QTEST(int(format.fontCapitalization()), "capitalization");
}

// A paragraph far longer than any real one goes in as several blocks, so that no block is too
// long to lay out quickly: broken after a blank, with no space between them that the paragraph
// did not have, and nothing lost.
void tst_rtfreader::longParagraphsBecomeSeveralBlocks_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("blocks");

    const QByteArray words = repeated("the cutter cuts ", 16000); // 256,000 characters
    QTest::newRow("words") << words << QString::fromLatin1(words) << 63;
    QTest::newRow("no blank at all") << QByteArray(100000, 'x') << QString(100000, QLatin1Char('x')) << 25;
    QTest::newRow("formats change often") << repeated("{\\b a} {\\i b} ", 2000) << QString("a b ").repeated(2000) << 16;
    QTest::newRow("a long real paragraph stays one") << repeated("word ", 800) << QString("word ").repeated(800) << 1;
}

void tst_rtfreader::longParagraphsBecomeSeveralBlocks()
{
    QFETCH(QByteArray, body);
    QTextDocument document;
    readRtf("{\\rtf1\\pard\\sb100\\sa200\\fi300 " + body + "\\par next\\par}", document);
    QTEST(document.blockCount() - 1, "blocks");

    QString joined;
    for (QTextBlock block = document.begin(); block != document.lastBlock(); block = block.next()) {
        QVERIFY(block.length() - 1 <= 4096);
        int formats = 0;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            ++formats;
        QVERIFY(formats <= 512);
        const bool first = block == document.begin();
        const bool last = block.next() == document.lastBlock();
        QCOMPARE(block.blockFormat().topMargin(), first ? 100 / 15.0 : 0.0);
        QCOMPARE(block.blockFormat().textIndent(), first ? 300 / 15.0 : 0.0);
        QCOMPARE(block.blockFormat().bottomMargin(), last ? 200 / 15.0 : 0.0);
        joined += block.text();
    }
    QTEST(joined, "text");
    QCOMPARE(document.lastBlock().text(), QStringLiteral("next"));
}

void tst_rtfreader::highlightAndFixedPitch()
{
    QTextDocument document;
    readRtf("{\\rtf1" + symbolFonts + colourTable + "a{\\highlight1 H}{\\f3 M}Z}", document);
    QCOMPARE(formatOf(document, QStringLiteral("H")).background().color(), QColor(255, 0, 0));
    QVERIFY(formatOf(document, QStringLiteral("M")).fontFixedPitch());
    QVERIFY(!formatOf(document, QStringLiteral("Z")).fontFixedPitch());
    QVERIFY(!formatOf(document, QStringLiteral("Z")).hasProperty(QTextFormat::BackgroundBrush));
}

void tst_rtfreader::fixedPitchFromTheFontTable_data()
{
    QTest::addColumn<QByteArray>("fontTable");
    QTest::addColumn<QByteArray>("font");
    QTest::addColumn<bool>("fixed");

    QTest::newRow("modern family") << QByteArray("{\\f2\\fmodern Courier;}") << QByteArray("\\f2") << true;
    QTest::newRow("fixed pitch") << QByteArray("{\\f2\\fswiss\\fprq1 Mono;}") << QByteArray("\\f2") << true;
    QTest::newRow("variable pitch") << QByteArray("{\\f2\\fswiss\\fprq2 Arial;}") << QByteArray("\\f2") << false;
    QTest::newRow("default pitch") << QByteArray("{\\f2\\fswiss\\fprq0 Arial;}") << QByteArray("\\f2") << false;
    QTest::newRow("modern font zero") << QByteArray("{\\f0\\fmodern Courier;}") << QByteArray("\\f0") << true;
    QTest::newRow("fixed-pitch font zero") << QByteArray("{\\f0\\fprq1 Mono;}") << QByteArray("\\f0") << true;
    QTest::newRow("font not in the table") << QByteArray("{\\f2\\fmodern Courier;}") << QByteArray("\\f3") << false;
    QTest::newRow("pitch of the previous entry")
        << QByteArray("{\\f1\\fprq1 Mono;}{\\f2\\fswiss Arial;}") << QByteArray("\\f2") << false;
}

// Text in a font declared with fixed pitch is set in a monospace face; other text is not.
void tst_rtfreader::fixedPitchFromTheFontTable()
{
    QFETCH(QByteArray, fontTable);
    QFETCH(QByteArray, font);
    QFETCH(bool, fixed);
    QTextDocument document;
    readRtf("{\\rtf1{\\fonttbl" + fontTable + "}{\\f1 a}{" + font + " M}}", document);
    const QTextCharFormat format = formatOf(document, QStringLiteral("M"));
    QVERIFY(format.isValid());
    QCOMPARE(format.fontFixedPitch(), fixed);
    QCOMPARE(format.fontFamilies().toStringList().contains(QStringLiteral("monospace")), fixed);
}

void tst_rtfreader::everyRunKeepsItsFormat()
{
    // Neighbouring runs go into the document together when they look the same: a change of face
    // alone, or two colour entries of one colour, must not split them, and nothing else may merge.
    QTextDocument document;
    readRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Times;}{\\f2\\fmodern Courier;}}"
            "{\\colortbl;\\red255\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
            "A{\\f1 B}C{\\cf1 D}{\\cf2 E}{\\cf3 F}{\\f2 G}{\\b H}{\\f2\\b J}K\\par}",
            document);
    QCOMPARE(documentText(document), QStringLiteral("ABCDEFGHJK"));
    const auto bold = [&document](const char *probe) {
        return formatOf(document, QString::fromLatin1(probe)).fontWeight() >= QFont::Bold;
    };
    const auto fixed = [&document](const char *probe) {
        return formatOf(document, QString::fromLatin1(probe)).fontFixedPitch();
    };
    const auto colour = [&document](const char *probe) {
        const QTextCharFormat format = formatOf(document, QString::fromLatin1(probe));
        return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor();
    };
    QCOMPARE(formatOf(document, QStringLiteral("A")), formatOf(document, QStringLiteral("B")));
    QCOMPARE(formatOf(document, QStringLiteral("B")), formatOf(document, QStringLiteral("C")));
    QCOMPARE(formatOf(document, QStringLiteral("D")), formatOf(document, QStringLiteral("E")));
    QCOMPARE(colour("C"), QColor());
    QCOMPARE(colour("D"), QColor(255, 0, 0));
    QCOMPARE(colour("F"), QColor(0, 0, 255));
    QVERIFY(fixed("G") && !bold("G"));
    QVERIFY(bold("H") && !fixed("H"));
    QVERIFY(bold("J") && fixed("J"));
    QVERIFY(!bold("K") && !fixed("K") && !colour("K").isValid());
}

void tst_rtfreader::tablesReadLaterApplyToLaterParagraphs()
{
    // Formats are remembered per page; a table read after some text must still count after it.
    QTextDocument document;
    readRtf("{\\rtf1\\cf1 a{\\f1 m}\\par{\\colortbl;\\red255\\green0\\blue0;}{\\fonttbl{\\f1\\fmodern Courier;}}"
            "\\cf1 b{\\f1 n}\\par}",
            document);
    QVERIFY(!formatOf(document, QStringLiteral("a")).hasProperty(QTextFormat::ForegroundBrush));
    QVERIFY(!formatOf(document, QStringLiteral("m")).fontFixedPitch());
    QCOMPARE(formatOf(document, QStringLiteral("b")).foreground().color(), QColor(255, 0, 0));
    QVERIFY(formatOf(document, QStringLiteral("n")).fontFixedPitch());
}

void tst_rtfreader::aPageArrivesAsOneChange()
{
    // A layout attached to the document (the help window's) lays a page out step by step only
    // when it is told of one change from nothing to the whole document; told of anything else, it
    // lays out every paragraph before reading returns.
    QTextDocument document;
    auto *layout = new ChangeRecorder(&document);
    document.setDocumentLayout(layout);
    for (const QByteArray &page : {QByteArray("{\\rtf1\\qc\\b old page\\par}"),
                                   QByteArray("{\\rtf1\\qc\\b Title\\par\\pard\\plain one\\par two}")}) {
        layout->changes.clear();
        readRtf(page, document);
        QVERIFY(!layout->changes.isEmpty());
        QCOMPARE(layout->changes.last(), (ChangeRecorder::Change{0, 0, document.characterCount()}));
    }
}

void tst_rtfreader::paragraphFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("right");
    QTest::addColumn<double>("firstLine");
    QTest::addColumn<double>("above");
    QTest::addColumn<double>("below");

    // The paragraph under test reads "P"; 15 twips make a pixel.
    const int left = Qt::AlignLeft;
    QTest::newRow("default") << QByteArray("{\\rtf1 P}") << left << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("centred") << QByteArray("{\\rtf1\\qc P\\par}") << int(Qt::AlignHCenter) << 0.0 << 0.0 << 0.0 << 0.0
                             << 0.0;
    QTest::newRow("right") << QByteArray("{\\rtf1\\qr P\\par}") << int(Qt::AlignRight) << 0.0 << 0.0 << 0.0 << 0.0
                           << 0.0;
    QTest::newRow("justified") << QByteArray("{\\rtf1\\qj P\\par}") << int(Qt::AlignJustify) << 0.0 << 0.0 << 0.0 << 0.0
                               << 0.0;
    QTest::newRow("left again") << QByteArray("{\\rtf1\\qc\\ql P\\par}") << left << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("indents") << QByteArray("{\\rtf1\\li300\\ri150\\fi-150 P\\par}") << left << 20.0 << 10.0 << -10.0
                             << 0.0 << 0.0;
    QTest::newRow("first line indent") << QByteArray("{\\rtf1\\fi300 P\\par}") << left << 0.0 << 0.0 << 20.0 << 0.0
                                       << 0.0;
    QTest::newRow("hanging past the margin")
        << QByteArray("{\\rtf1\\li150\\fi-600 P\\par}") << left << 10.0 << 0.0 << -10.0 << 0.0 << 0.0;
    QTest::newRow("negative indents") << QByteArray("{\\rtf1\\li-300\\ri-300 P\\par}") << left << 0.0 << 0.0 << 0.0
                                      << 0.0 << 0.0;
    QTest::newRow("space before and after")
        << QByteArray("{\\rtf1\\sb120\\sa240 P\\par}") << left << 0.0 << 0.0 << 0.0 << 8.0 << 16.0;
    QTest::newRow("set at the paragraph's end")
        << QByteArray("{\\rtf1 P\\qc\\li150\\par x}") << int(Qt::AlignHCenter) << 10.0 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("last paragraph without par")
        << QByteArray("{\\rtf1 a\\par\\qr P}") << int(Qt::AlignRight) << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("last paragraph of a file cut short")
        << QByteArray("{\\rtf1 a\\par\\qr P") << int(Qt::AlignRight) << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("pard resets") << QByteArray("{\\rtf1\\qc\\li300\\sa60 a\\par\\pard P\\par}") << left << 0.0 << 0.0
                                 << 0.0 << 0.0 << 0.0;
    QTest::newRow("group restores") << QByteArray("{\\rtf1{\\qc\\li300 a\\par}P\\par}") << left << 0.0 << 0.0 << 0.0
                                    << 0.0 << 0.0;
}

void tst_rtfreader::paragraphFormat()
{
    QFETCH(QByteArray, rtf);
    QTextDocument document;
    readRtf(rtf, document);
    const QTextBlockFormat format = blockFormatOf(document, QStringLiteral("P"));
    QVERIFY(format.isValid());

    QTEST(int(format.alignment() & Qt::AlignHorizontal_Mask), "alignment");
    QTEST(format.leftMargin(), "left");
    QTEST(format.rightMargin(), "right");
    QTEST(format.textIndent(), "firstLine");
    QTEST(format.topMargin(), "above");
    QTEST(format.bottomMargin(), "below");
}

void tst_rtfreader::tabStopsStartAtTheLeftIndent()
{
    // The layout measures tab stops from the start of the first line, RTF from the margin.
    QTextDocument document;
    readRtf("{\\rtf1{\\pard\\li360\\fi-240\\tx1200 B\\tab one\\tab two\\par}{\\pard\\tx1200 T\\tab x\\par}}", document);
    const QList<QTextOption::Tab> bullet = blockFormatOf(document, QStringLiteral("B\tone\ttwo")).tabPositions();
    QCOMPARE(bullet.size(), 2);
    QCOMPARE(bullet.at(0).position, 16.0); // the left indent, 24 px, from a first line at 8 px
    QCOMPARE(bullet.at(1).position, 72.0);
    const QList<QTextOption::Tab> table = blockFormatOf(document, QStringLiteral("T\tx")).tabPositions();
    QCOMPARE(table.size(), 1);
    QCOMPARE(table.at(0).position, 80.0);
}

// \outlinelevelN makes the paragraph a heading of level N+1; \pard ends it, and levels past
// RTF's 0 to 8 leave body text.
void tst_rtfreader::outlineLevelsMakeHeadings()
{
    QTextDocument document;
    readRtf("{\\rtf1{\\pard\\outlinelevel0 T\\par}{\\pard\\outlinelevel1 S\\par}\\outlinelevel3\\pard B\\par"
            "{\\pard\\outlinelevel8 D\\par}{\\pard\\outlinelevel9 N\\par}{\\pard\\outlinelevel-1 M\\par}}",
            document);
    QCOMPARE(blockFormatOf(document, QStringLiteral("T")).headingLevel(), 1);
    QCOMPARE(blockFormatOf(document, QStringLiteral("S")).headingLevel(), 2);
    QCOMPARE(blockFormatOf(document, QStringLiteral("B")).headingLevel(), 0);
    QCOMPARE(blockFormatOf(document, QStringLiteral("D")).headingLevel(), 6);
    QCOMPARE(blockFormatOf(document, QStringLiteral("N")).headingLevel(), 0);
    QCOMPARE(blockFormatOf(document, QStringLiteral("M")).headingLevel(), 0);
}

void tst_rtfreader::fieldsNeverBecomeLinks()
{
    QTextDocument document;
    readRtf("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"file:///bin/sh\"}{\\fldrslt{\\ul here}}} now}", document);
    QCOMPARE(documentText(document), QStringLiteral("see here now"));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QVERIFY(!it.fragment().charFormat().isAnchor());
            QVERIFY(it.fragment().charFormat().anchorHref().isEmpty());
        }
    }
}

void tst_rtfreader::aNewPageReplacesTheOld()
{
    QTextDocument document;
    readRtf("{\\rtf1\\qc\\b first\\par second}", document);
    readRtf("{\\rtf1 third}", document);
    QCOMPARE(documentText(document), QStringLiteral("third"));
    QCOMPARE(document.blockCount(), 1);
    QVERIFY(formatOf(document, QStringLiteral("third")).fontWeight() < QFont::Bold);
    QVERIFY(!document.isUndoAvailable());
}

void tst_rtfreader::wordProcessorFile()
{
    // A page as a word processor saves it: style sheet, list tables, generator, bookmarks,
    // a picture, bullets through \pntext and \listtext, fields and Unicode with fallbacks.
    QFile file(QStringLiteral(KR52_TEST_DATA "/helpviewer/wordprocessor.rtf"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    QTextDocument document;
    readRtf(file.readAll(), document);
    const QString expected = QString::fromUtf8("Paper Out Sensor\n"
                                               "The sensor tells the printer when the roll is empty \u2013 or nearly.\n"
                                               "\u2022\tEnabled: the printer stops.\n"
                                               "\u2022\tDisabled: it prints on.\n"
                                               "See the manual on page 3 for \u201Cdetails\u201D.\n"
                                               "Caf\u00E9 \u20AC5");
    QCOMPARE(documentText(document), expected);
    QVERIFY(formatOf(document, QStringLiteral("Paper Out Sensor")).fontWeight() >= QFont::Bold);
    QCOMPARE(formatOf(document, QStringLiteral("Paper Out Sensor")).fontPointSize(), 14.0);
    QCOMPARE(formatOf(document, QStringLiteral("The sensor")).fontPointSize(), 10.0);
    QCOMPARE(blockFormatOf(document, QStringLiteral("\u2022\tEnabled: the printer stops.")).leftMargin(), 24.0);
}

QTEST_GUILESS_MAIN(tst_rtfreader)
#include "tst_rtfreader.moc"
