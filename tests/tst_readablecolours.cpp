// SPDX-License-Identifier: GPL-3.0-or-later
// Help-page colours against the viewer's background: contrast as WCAG 2 defines it, the
// nearest readable colour, and every page of help/ on a light and a dark background.

#include "helppages/helppage.h"
#include "helppages/readablecolours.h"

#include <QDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <utility>

using kr52::contrastRatio;

namespace {

const QColor white(255, 255, 255);
const QColor darkBase(35, 38, 41); // a Breeze-like dark theme's text background
const QColor darkGrey(53, 53, 53);
const QColor adwaitaDarkBase(45, 45, 45);
const QColor nearBlack(18, 18, 18);

// A colour as the screen shows it: 8 bits a channel.
QColor shownAs(const QColor &colour)
{
    return QColor::fromRgba(colour.rgba());
}

struct Run {
    int position;
    QString text;
    QColor colour; // invalid where the run keeps the viewer's text colour
    QColor background;
};

QList<Run> colouredRuns(const QTextDocument &document)
{
    QList<Run> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            runs.append({it.fragment().position(), it.fragment().text(),
                         format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor(),
                         format.background().style() != Qt::NoBrush ? format.background().color() : QColor()});
        }
    }
    return runs;
}

QStringList helpPages()
{
    const QDir folder(QStringLiteral(KR52_PROGRAM_DIR "/help"));
    QStringList pages;
    for (const QString &name : folder.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name))
        pages << folder.filePath(name);
    return pages;
}

void load(const QString &path, QTextDocument &document)
{
    const QString failure = kr52::loadHelpPage(path, document);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

} // namespace

class tst_readablecolours : public QObject {
    Q_OBJECT

private slots:
    void contrastOfTwoColours_data()
    {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white") << QColor(Qt::black) << white << 21.0;
        QTest::newRow("the same colour") << QColor(0, 64, 128) << QColor(0, 64, 128) << 1.0;
        QTest::newRow("the lightest grey that reads on white") << QColor(118, 118, 118) << white << 4.54;
        QTest::newRow("one step lighter does not") << QColor(119, 119, 119) << white << 4.48;
        QTest::newRow("the page's heading blue on a dark base") << QColor(0, 64, 128) << darkBase << 1.48;
        QTest::newRow("pure red on white") << QColor(255, 0, 0) << white << 4.0;
    }

    void contrastOfTwoColours()
    {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(double, ratio);
        QVERIFY2(qAbs(contrastRatio(a, b) - ratio) < 0.01,
                 qPrintable(QString::number(contrastRatio(a, b))));
        QCOMPARE(contrastRatio(b, a), contrastRatio(a, b));
    }

    void readableOn_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("kept");
        QTest::newRow("blue heading on white") << QColor(0, 64, 128) << white << true;
        QTest::newRow("grey subtitle on white") << QColor(96, 96, 96) << white << true;
        QTest::newRow("blue heading on a dark base") << QColor(0, 64, 128) << darkBase << false;
        QTest::newRow("grey subtitle on a dark base") << QColor(96, 96, 96) << darkBase << false;
        QTest::newRow("red warning on dark grey") << QColor(160, 32, 0) << darkGrey << false;
        for (const auto &[name, dark] : {std::pair{"Adwaita-dark", adwaitaDarkBase}, std::pair{"near black", nearBlack}}) {
            QTest::addRow("blue heading on %s", name) << QColor(0, 64, 128) << dark << false;
            QTest::addRow("grey subtitle on %s", name) << QColor(96, 96, 96) << dark << false;
            QTest::addRow("red warning on %s", name) << QColor(160, 32, 0) << dark << false;
        }
        QTest::newRow("black on a dark base") << QColor(Qt::black) << darkBase << false;
        QTest::newRow("pale yellow on white") << QColor(255, 240, 120) << white << false;
        QTest::newRow("white on a dark base") << QColor(Qt::white) << darkBase << true;
    }

    // A colour that reads stays; one that does not moves away from the background just far
    // enough, keeping its hue.
    void readableOn()
    {
        QFETCH(QColor, colour);
        QFETCH(QColor, background);
        QFETCH(bool, kept);
        const QColor readable = kr52::readableOn(colour, background);
        const double shown = contrastRatio(shownAs(readable), background);
        QVERIFY2(shown >= kr52::readableContrast, qPrintable(QString::number(shown)));
        if (kept) {
            QCOMPARE(readable, colour);
            return;
        }
        // An adjusted colour keeps a margin over the least, even once rounded, and no more.
        QVERIFY2(shown >= kr52::adjustedContrast && shown < kr52::adjustedContrast + 0.2,
                 qPrintable(QString::number(shown)));
        const bool darkBackground = background.lightnessF() < 0.5;
        QCOMPARE(readable.lightnessF() > colour.lightnessF(), darkBackground);
        if (colour.hslHue() >= 0)
            QVERIFY(qAbs(readable.hslHue() - colour.hslHue()) <= 2);
    }

    void everyHelpPageReadsOnLightAndDark_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QColor>("background");
        const QStringList pages = helpPages();
        QCOMPARE(pages.size(), 24);
        for (const QString &page : pages) {
            const QString name = QFileInfo(page).fileName();
            QTest::addRow("%s on white", qPrintable(name)) << page << white;
            QTest::addRow("%s on a dark base", qPrintable(name)) << page << darkBase;
            QTest::addRow("%s on dark grey", qPrintable(name)) << page << darkGrey;
            QTest::addRow("%s on Adwaita-dark", qPrintable(name)) << page << adwaitaDarkBase;
            QTest::addRow("%s on near black", qPrintable(name)) << page << nearBlack;
        }
    }

    void everyHelpPageReadsOnLightAndDark()
    {
        QFETCH(QString, page);
        QFETCH(QColor, background);
        QTextDocument asWritten;
        load(page, asWritten);
        QTextDocument shown;
        load(page, shown);
        kr52::makeColoursReadable(shown, background);

        QCOMPARE(shown.toPlainText(), asWritten.toPlainText());
        const QList<Run> written = colouredRuns(asWritten);
        int coloured = 0;
        for (const Run &run : colouredRuns(shown)) {
            if (!run.colour.isValid())
                continue;
            ++coloured;
            const QColor under = run.background.isValid() ? run.background : background;
            QVERIFY2(contrastRatio(shownAs(run.colour), under) >= kr52::readableContrast,
                     qPrintable(QStringLiteral("\"%1\" in %2").arg(run.text, run.colour.name())));
        }
        QVERIFY(coloured > 0);
        // On white every colour the pages use already reads: the pages look as written.
        if (background == white) {
            QCOMPARE(colouredRuns(shown).size(), written.size());
            for (qsizetype i = 0; i < written.size(); ++i)
                QCOMPARE(colouredRuns(shown)[i].colour, written[i].colour);
        }
    }

    void textOverItsOwnBackgroundIsMeasuredAgainstIt()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextCharFormat marked;
        marked.setForeground(QColor(40, 40, 40));
        marked.setBackground(QColor(255, 255, 0));
        cursor.insertText(QStringLiteral("marked"), marked);
        kr52::makeColoursReadable(document, darkBase);
        QCOMPARE(colouredRuns(document).first().colour, QColor(40, 40, 40));
    }
};

QTEST_MAIN(tst_readablecolours)
#include "tst_readablecolours.moc"
