// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/fieldreader.h"

#include <QBuffer>
#include <QTest>

using kr52::FieldReader;

namespace {

// Every field of the text, in order, until the reader finds the end; the bound is far above the
// fields of these texts.
QStringList allFields(const QByteArray &text)
{
    QByteArray data = text;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    FieldReader reader(buffer, 4 << 20);
    QStringList fields;
    while (const std::optional<QString> field = reader.next()) {
        fields.append(*field);
        if (fields.size() > 100)
            break; // a reader that never reports the end would otherwise hang the test
    }
    return fields;
}

} // namespace

class tst_presetfields : public QObject {
    Q_OBJECT

private slots:
    void splitting_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("fields");

        QTest::newRow("header and description on one line")
            << QByteArray("VX5PREV1,Receipt\r\nnext") << QStringList{"VX5PREV1", "Receipt", "next"};
        QTest::newRow("unquoted comma cuts") << QByteArray("Receipt, 80 mm\r\n") << QStringList{"Receipt", "80 mm"};
        QTest::newRow("quoted comma kept") << QByteArray("\"Receipt, 80 mm\"\r\n") << QStringList{"Receipt, 80 mm"};
        QTest::newRow("spaces before a field skipped")
            << QByteArray("   VX5PREV1,   desc") << QStringList{"VX5PREV1", "desc"};
        QTest::newRow("spaces before a quote skipped") << QByteArray("  \"a\" ,  \"b\"") << QStringList{"a", "b"};
        QTest::newRow("trailing spaces of unquoted field dropped")
            << QByteArray("a  ,b  \r\n") << QStringList{"a", "b"};
        QTest::newRow("one trailing space dropped") << QByteArray("ab ,c \r\nd") << QStringList{"ab", "c", "d"};
        QTest::newRow("three trailing spaces dropped") << QByteArray("abc   ,de   ") << QStringList{"abc", "de"};
        QTest::newRow("inner spaces kept, trailing dropped") << QByteArray("a b c   \r\n") << QStringList{"a b c"};
        QTest::newRow("spaces inside quotes kept") << QByteArray("\"  a  \"") << QStringList{"  a  "};
        QTest::newRow("text after closing quote dropped") << QByteArray("\"a\"xyz,b") << QStringList{"a", "b"};
        QTest::newRow("quote inside unquoted field kept") << QByteArray("ab\"c,d") << QStringList{"ab\"c", "d"};
        QTest::newRow("quotes span line ends") << QByteArray("\"a\r\nb\",c") << QStringList{"a\r\nb", "c"};
        QTest::newRow("quote left open runs to the end")
            << QByteArray("\"abc,def\r\nghi") << QStringList{"abc,def\r\nghi"};
        QTest::newRow("quote left open at the end") << QByteArray("a,\"") << QStringList{"a", ""};
        QTest::newRow("empty quotes") << QByteArray("\"\",b") << QStringList{"", "b"};
        QTest::newRow("CR LF lines") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("LF lines") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("CR alone ends a line") << QByteArray("a\rb") << QStringList{"a", "b"};
        QTest::newRow("no final line end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("blank line is an empty field") << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("blank LF line is an empty field") << QByteArray("a\n\nb") << QStringList{"a", "", "b"};
        QTest::newRow("comma after comma") << QByteArray("a,,b") << QStringList{"a", "", "b"};
        QTest::newRow("comma before line end") << QByteArray("a,\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("comma at the very end") << QByteArray("a,") << QStringList{"a", ""};
        QTest::newRow("only commas") << QByteArray(",,,") << QStringList{"", "", "", ""};
        QTest::newRow("only commas and line ends") << QByteArray(",\r\n,") << QStringList{"", "", "", ""};
        QTest::newRow("empty text") << QByteArray() << QStringList{};
        QTest::newRow("only spaces") << QByteArray("    ") << QStringList{};
        QTest::newRow("binary bytes as Latin-1")
            << QByteArray("\x01\x7f\xff\xfe,\x80\x1b")
            << QStringList{QString::fromLatin1("\x01\x7f\xff\xfe"), QString::fromLatin1("\x80\x1b")};
        QTest::newRow("NUL inside a field")
            << QByteArray("a\0b,\0", 5) << QStringList{QString::fromLatin1("a\0b", 3), QString(QChar(0))};
        QTest::newRow("NUL inside quotes")
            << QByteArray("\"\0,\0\"", 5) << QStringList{QString::fromLatin1("\0,\0", 3)};

        const QByteArray megabyte(1 << 20, 'x');
        QTest::newRow("1 MB line") << QByteArray("VX5PREV1," + megabyte + "\r\nnext")
                                   << QStringList{"VX5PREV1", QString::fromLatin1(megabyte), "next"};
        QByteArray quotedMegabyte(1 << 20, ',');
        QTest::newRow("1 MB quoted commas")
            << QByteArray("\"" + quotedMegabyte + "\",end") << QStringList{QString::fromLatin1(quotedMegabyte), "end"};
    }

    void splitting()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, fields);
        QCOMPARE(allFields(text), fields);
    }

    // No field reads more than its bound, whatever the text: spaces, the value and what follows a
    // closing quote all count. A field that fits exactly, delimiter included, is whole.
    void boundedFields_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<qint64>("position"); // where the reader stands after the field

        QTest::newRow("fits with its comma") << QByteArray("abcdefg,h") << "abcdefg" << false << qint64(8);
        QTest::newRow("fits at the end") << QByteArray("abcdefgh") << "abcdefgh" << false << qint64(8);
        QTest::newRow("one byte over") << QByteArray("abcdefgh,") << "abcdefgh" << true << qint64(8);
        QTest::newRow("no delimiter at all") << QByteArray(4096, 'x') << "xxxxxxxx" << true << qint64(8);
        QTest::newRow("spaces count") << QByteArray("      abc,") << "ab" << true << qint64(8);
        QTest::newRow("only spaces") << QByteArray(100, ' ') << "" << true << qint64(8);
        QTest::newRow("quote left open") << QByteArray("\"abcdefghij\"") << "abcdefg" << true << qint64(8);
        QTest::newRow("text after the quote counts") << QByteArray("\"ab\"cdefghij,k") << "ab" << true << qint64(8);
        QTest::newRow("quoted fits") << QByteArray("\"abcde\",k") << "abcde" << false << qint64(8);
    }

    void boundedFields()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, field);
        QFETCH(bool, cut);
        QFETCH(qint64, position);
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        FieldReader reader(buffer, 8);
        QCOMPARE(reader.next().value_or("<end>"), field);
        QCOMPARE(reader.lastFieldCut(), cut);
        QCOMPARE(buffer.pos(), position);
    }

    // The reader takes no more of the file than the fields asked for.
    void readsNoFurtherThanAsked()
    {
        QByteArray data("VX5PREV1,Receipt\r\n\"never, read");
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        FieldReader reader(buffer);
        QCOMPARE(reader.next().value_or("<end>"), QString("VX5PREV1"));
        QCOMPARE(reader.next().value_or("<end>"), QString("Receipt"));
        QCOMPARE(buffer.pos(), data.indexOf('"'));
    }
};

QTEST_GUILESS_MAIN(tst_presetfields)
#include "tst_presetfields.moc"
