// SPDX-License-Identifier: GPL-3.0-or-later
#include "helppages/rtfreader.h"
#include "settings/catalogue.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace kr52;

namespace {

QString helpDir()
{
    return QStringLiteral(KR52_SOURCE_DIR "/help");
}

QStringList shippedPageNames()
{
    QStringList names;
    for (int i = 0; i <= 21; ++i)
        names.append(QStringLiteral("help%1.rtf").arg(i));
    names << QStringLiteral("faq.rtf") << QStringLiteral("manual.rtf");
    return names;
}

QByteArray readPage(const QString &name)
{
    QFile file(helpDir() + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("%s: %s", qPrintable(file.fileName()), qPrintable(file.errorString()));
    return file.readAll();
}

QString pageText(const QString &name)
{
    QTextDocument document;
    readRtf(readPage(name), document);
    return document.toPlainText();
}

// Braces that are not escaped, never closing more than were opened, all closed at the end.
bool bracesBalance(const QByteArray &rtf)
{
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{')
            ++depth;
        else if (rtf[i] == '}' && --depth < 0)
            return false;
    }
    return depth == 0;
}

} // namespace

class tst_rtfpages : public QObject {
    Q_OBJECT

private slots:
    void theHelpFolderHoldsExactlyThePages();
    void shippedPage_data();
    void shippedPage();
    void topicPageDescribesItsSetting_data();
    void topicPageDescribesItsSetting();
};

void tst_rtfpages::theHelpFolderHoldsExactlyThePages()
{
    const QStringList present = QDir(helpDir()).entryList(QDir::Files);
    const QStringList expected = shippedPageNames();
    QCOMPARE(QSet<QString>(present.begin(), present.end()), QSet<QString>(expected.begin(), expected.end()));
}

void tst_rtfpages::shippedPage_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : shippedPageNames())
        QTest::newRow(qPrintable(name)) << name;
}

void tst_rtfpages::shippedPage()
{
    QFETCH(QString, name);
    const QByteArray rtf = readPage(name);

    // What a word processor needs to open it as well.
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi"));
    QVERIFY(rtf.contains("{\\fonttbl"));
    QVERIFY(rtf.contains("{\\colortbl"));
    QVERIFY(bracesBalance(rtf));
    for (char byte : rtf)
        QVERIFY2(uchar(byte) < 0x80, "characters beyond ASCII are written as \\'hh");

    QTextDocument document;
    readRtf(rtf, document);
    const QString text = document.toPlainText();
    QVERIFY2(text.size() > 400, qPrintable(QStringLiteral("%1 characters").arg(text.size())));
    const QRegularExpressionMatch leftover = QRegularExpression(QStringLiteral("\\\\[A-Za-z']+")).match(text);
    QVERIFY2(!leftover.hasMatch(), qPrintable(leftover.captured()));
    QVERIFY(!text.contains(QChar(0xFFFD)));

    // The page opens with its title as a heading, and its other headings are marked too.
    const QTextBlock title = document.begin();
    QCOMPARE(title.blockFormat().headingLevel(), 1);
    int headings = 0;
    for (QTextBlock block = title.next(); block.isValid(); block = block.next())
        headings += block.blockFormat().headingLevel() == 2 ? 1 : 0;
    QVERIFY(headings >= 1);
    QTextCursor cursor(title);
    cursor.movePosition(QTextCursor::NextCharacter);
    QVERIFY(cursor.charFormat().fontWeight() >= QFont::Bold);
    QVERIFY(cursor.charFormat().fontPointSize() > 9.0);
}

void tst_rtfpages::topicPageDescribesItsSetting_data()
{
    QTest::addColumn<int>("row");
    const auto &catalogue = settingsCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        QTest::newRow(qPrintable(QStringLiteral("help%1 %2").arg(catalogue[i].helpIndex).arg(catalogue[i].listName)))
            << int(i);
}

void tst_rtfpages::topicPageDescribesItsSetting()
{
    QFETCH(int, row);
    const SettingRow &setting = settingsCatalogue().at(std::size_t(row));
    const QString text = pageText(QStringLiteral("help%1.rtf").arg(setting.helpIndex));

    QVERIFY2(text.startsWith(setting.caption), qPrintable(setting.caption));
    QVERIFY(text.contains(setting.qualifier));
    for (const QString &entry : setting.entries)
        QVERIFY2(text.contains(entry.trimmed()), qPrintable(entry));
    QVERIFY(text.contains(QStringLiteral("switch %1").arg(QLatin1Char(setting.switchId))));

    // Every mask the setting can send is named on its page.
    for (int index = 1; index < setting.entries.size(); ++index) {
        for (const SwitchCommand &command : commandsFor(setting, index, u" 12.5mm"))
            QVERIFY2(text.contains(QString::fromLatin1(command.mask)), command.mask.constData());
    }
}

QTEST_GUILESS_MAIN(tst_rtfpages)
#include "tst_rtfpages.moc"
