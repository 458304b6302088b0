// SPDX-License-Identifier: GPL-3.0-or-later
// The window's pictures as the program loads them from its resources: the paper strip whose
// geometry the cut-position adjuster relies on, the printer picture, the logo and the icon.

#include "helppages/readablecolours.h"
#include "shell/artwork.h"
#include "shell/frmMain.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

const QRgb black = qRgb(0, 0, 0);
const QRgb backdropGrey = qRgb(192, 192, 192);
constexpr int stripWidth = 130;
constexpr int stripHeight = 131;
constexpr int topTornRows = 13;
constexpr int bottomTornRows = 7;
constexpr int markLeft = 102;
constexpr int markRight = 124;
constexpr int markTop = 59;
constexpr int markBottom = 63;

struct PngHeader {
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    int colourType = 0;
};

// Reads the PNG header as stored, so the test sees the file's own pixel format, not the one
// QImage converts it to.
PngHeader readPngHeader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(26);
    if (head.size() < 26 || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR")
        return {};
    const auto byte = [&](int at) { return int(quint8(head[at])); };
    const auto big32 = [&](int at) {
        return (byte(at) << 24) | (byte(at + 1) << 16) | (byte(at + 2) << 8) | byte(at + 3);
    };
    return {big32(16), big32(20), byte(24), byte(25)};
}

QImage loadStrip()
{
    return QImage(QStringLiteral(":/art/strip.png")).convertToFormat(QImage::Format_RGB32);
}

// The window colours of a light and a dark desktop theme.
void windowBackgrounds()
{
    QTest::addColumn<QColor>("window");
    QTest::newRow("light") << QColor(239, 239, 239);
    QTest::newRow("dark") << QColor(49, 54, 59);
}

// A picture with transparency as the window shows it, over the window's colour.
// The printer as the page shows it: its drawing rendered at 160 x 132 on a clear background.
QImage drawnPrinter()
{
    QImage printer(160, 132, QImage::Format_ARGB32);
    printer.fill(Qt::transparent);
    QPainter painter(&printer);
    QSvgRenderer(QStringLiteral(":/art/printer.svg")).render(&painter);
    return printer;
}

QImage onWindow(const QImage &picture, const QColor &window)
{
    QImage shown(picture.size(), QImage::Format_RGB32);
    shown.fill(window);
    QPainter painter(&shown);
    painter.drawImage(0, 0, picture);
    return shown;
}

double contrast(QRgb a, QRgb b)
{
    return kr52::contrastRatio(QColor(a), QColor(b));
}

bool inTornRows(int row)
{
    return row < topTornRows || row >= stripHeight - bottomTornRows;
}

} // namespace

class tst_Artwork : public QObject {
    Q_OBJECT

private slots:
    void stripIsA16ColourPaletteImageOfTheAdjustersSize();
    void stripBlackMarkIsSolidAndStandsAlone();
    void stripGreyShowsOnlyThroughTheTornEdges();
    void stripHasBlackLinesDownBothSides();
    void printerHasATransparentBackground();
    void printerStandsOutOnLightAndDarkWindows_data();
    void printerStandsOutOnLightAndDarkWindows();
    void printerPictureIsItsDrawing();
    void logoIsAValidVectorDrawing();
    void logoLetteringReadsOnLightAndDarkWindows_data();
    void logoLetteringReadsOnLightAndDarkWindows();
    void iconsComeInThreeSizesWithTransparentCorners();
    void windowShowsTheArtwork();
};

void tst_Artwork::stripIsA16ColourPaletteImageOfTheAdjustersSize()
{
    const PngHeader header = readPngHeader(QStringLiteral(":/art/strip.png"));
    QCOMPARE(header.width, stripWidth);
    QCOMPARE(header.height, stripHeight);
    QCOMPARE(header.colourType, 3); // palette
    QVERIFY2(header.bitDepth <= 4, "a 16-colour palette needs at most 4 bits per pixel");

    const QImage strip = loadStrip();
    QSet<QRgb> colours;
    for (int y = 0; y < strip.height(); ++y)
        for (int x = 0; x < strip.width(); ++x)
            colours.insert(strip.pixel(x, y));
    QVERIFY2(colours.size() <= 16, qPrintable(QStringLiteral("%1 colours").arg(colours.size())));
}

void tst_Artwork::stripBlackMarkIsSolidAndStandsAlone()
{
    const QImage strip = loadStrip();
    for (int y = markTop; y <= markBottom; ++y)
        for (int x = markLeft; x <= markRight; ++x)
            QVERIFY2(strip.pixel(x, y) == black,
                     qPrintable(QStringLiteral("mark pixel %1,%2 is not black").arg(x).arg(y)));

    // One pixel all round the mark is paper, so the mark is exactly 23 x 5.
    for (int x = markLeft - 1; x <= markRight + 1; ++x) {
        QVERIFY2(strip.pixel(x, markTop - 1) != black,
                 qPrintable(QStringLiteral("above the mark at column %1").arg(x)));
        QVERIFY2(strip.pixel(x, markBottom + 1) != black,
                 qPrintable(QStringLiteral("below the mark at column %1").arg(x)));
    }
    for (int y = markTop; y <= markBottom; ++y) {
        QVERIFY2(strip.pixel(markLeft - 1, y) != black,
                 qPrintable(QStringLiteral("left of the mark at row %1").arg(y)));
        QVERIFY2(strip.pixel(markRight + 1, y) != black,
                 qPrintable(QStringLiteral("right of the mark at row %1").arg(y)));
    }
}

void tst_Artwork::stripGreyShowsOnlyThroughTheTornEdges()
{
    const QImage strip = loadStrip();
    bool greyAtTop = false;
    bool greyAtBottom = false;
    for (int y = 0; y < stripHeight; ++y) {
        for (int x = 0; x < stripWidth; ++x) {
            if (strip.pixel(x, y) != backdropGrey)
                continue;
            QVERIFY2(inTornRows(y), qPrintable(QStringLiteral("grey at %1,%2 outside the torn edges").arg(x).arg(y)));
            (y < topTornRows ? greyAtTop : greyAtBottom) = true;
        }
    }
    QVERIFY2(greyAtTop, "the top edge shows no tear");
    QVERIFY2(greyAtBottom, "the bottom edge shows no tear");
}

void tst_Artwork::stripHasBlackLinesDownBothSides()
{
    const QImage strip = loadStrip();
    for (int y = 0; y < stripHeight; ++y) {
        for (int x : {0, stripWidth - 1}) {
            const QRgb pixel = strip.pixel(x, y);
            // Within the torn rows the line stops where the paper is torn away.
            if (inTornRows(y) && pixel == backdropGrey)
                continue;
            QVERIFY2(pixel == black, qPrintable(QStringLiteral("edge pixel %1,%2 is not black").arg(x).arg(y)));
        }
        if (!inTornRows(y)) {
            QVERIFY2(strip.pixel(1, y) != black,
                     qPrintable(QStringLiteral("left line thicker than a pixel at row %1").arg(y)));
            QVERIFY2(strip.pixel(stripWidth - 2, y) != black,
                     qPrintable(QStringLiteral("right line thicker than a pixel at row %1").arg(y)));
        }
    }
}

void tst_Artwork::printerHasATransparentBackground()
{
    QSvgRenderer drawing(QStringLiteral(":/art/printer.svg"));
    QVERIFY(drawing.isValid());
    QCOMPARE(drawing.viewBoxF().size(), QSizeF(160, 132));

    const QImage printer = drawnPrinter();
    QVERIFY(!printer.allGray());
    // No box around it: the corners and the sides beside the ticket let the window through.
    for (const QPoint &clear : {QPoint(0, 0), QPoint(159, 0), QPoint(0, 131), QPoint(159, 131), QPoint(4, 27)})
        QCOMPARE(qAlpha(printer.pixel(clear)), 0);
}

void tst_Artwork::printerStandsOutOnLightAndDarkWindows_data()
{
    windowBackgrounds();
}

// Along the printer's left side, the first few drawn pixels of every row of its body differ
// clearly (3:1) from the window behind it, so its outline shows whatever the theme.
void tst_Artwork::printerStandsOutOnLightAndDarkWindows()
{
    QFETCH(QColor, window);
    const QImage printer = drawnPrinter();
    const QImage shown = onWindow(printer, window);
    // The dark front, below the cover, spans rows 71 to 114 of the 132-row drawing.
    for (int y = 72; y <= 113; ++y) {
        int x = 0;
        while (x < printer.width() && qAlpha(printer.pixel(x, y)) < 128)
            ++x;
        QVERIFY2(x < 48, qPrintable(QStringLiteral("row %1 has no body on its left").arg(y)));
        bool standsOut = false;
        for (int i = x; i < x + 4; ++i)
            standsOut = standsOut || contrast(shown.pixel(i, y), window.rgb()) >= 3.0;
        QVERIFY2(standsOut, qPrintable(QStringLiteral("row %1 fades into the window").arg(y)));
    }
}

// The picture the page shows at its designed size is the drawing, rendered ahead: it differs from
// Qt's own rendering of the drawing only where the two renderers smooth edges differently, so a
// picture left behind by a changed drawing fails.
void tst_Artwork::printerPictureIsItsDrawing()
{
    const QImage picture = kr52::printerRenderedAhead().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage drawing = drawnPrinter().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(picture.size(), drawing.size());
    long long difference = 0;
    int apart = 0; // pixels with a channel more than a sixteenth apart
    for (int y = 0; y < drawing.height(); ++y) {
        for (int x = 0; x < drawing.width(); ++x) {
            const QRgb a = picture.pixel(x, y);
            const QRgb b = drawing.pixel(x, y);
            const int channels[] = {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                    std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))};
            for (int channel : channels)
                difference += channel;
            if (*std::max_element(std::begin(channels), std::end(channels)) > 16)
                ++apart;
        }
    }
    const double mean = double(difference) / (4.0 * drawing.width() * drawing.height());
    QVERIFY2(mean < 1.0, qPrintable(QStringLiteral("mean difference %1").arg(mean)));
    QVERIFY2(apart < drawing.width() * drawing.height() / 50, qPrintable(QStringLiteral("%1 pixels apart").arg(apart)));
}

void tst_Artwork::logoIsAValidVectorDrawing()
{
    QSvgRenderer logo(QStringLiteral(":/art/logo.svg"));
    QVERIFY(logo.isValid());
    QCOMPARE(logo.viewBoxF().size(), QSizeF(61, 37));

    QImage drawn(61, 37, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    logo.render(&painter);
    painter.end();
    int inked = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            inked += qAlpha(drawn.pixel(x, y)) > 128 ? 1 : 0;
    QVERIFY2(inked > 200, qPrintable(QStringLiteral("only %1 pixels drawn").arg(inked)));
}

void tst_Artwork::logoLetteringReadsOnLightAndDarkWindows_data()
{
    windowBackgrounds();
}

// In each letter of the name, as the window draws the logo at its size, enough pixels differ
// clearly (3:1) from the window for the letter to be made out.
void tst_Artwork::logoLetteringReadsOnLightAndDarkWindows()
{
    QFETCH(QColor, window);
    QSvgRenderer logo(QStringLiteral(":/art/logo.svg"));
    QImage drawn(61, 37, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    logo.render(&painter);
    painter.end();
    const QImage shown = onWindow(drawn, window);
    // The five letters' columns, in the rows of the name.
    for (const auto &[left, right] : {std::pair{6, 14}, {17, 25}, {27, 35}, {38, 45}, {47, 55}}) {
        int standingOut = 0;
        for (int y = 26; y < 37; ++y)
            for (int x = left; x <= right; ++x)
                standingOut += contrast(shown.pixel(x, y), window.rgb()) >= 3.0 ? 1 : 0;
        QVERIFY2(standingOut >= 12, qPrintable(QStringLiteral("letter at %1: %2 pixels").arg(left).arg(standingOut)));
    }
}

void tst_Artwork::iconsComeInThreeSizesWithTransparentCorners()
{
    for (int size : {16, 32, 48}) {
        const QImage icon(QStringLiteral(":/art/icon%1.png").arg(size));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY2(icon.hasAlphaChannel(), qPrintable(QStringLiteral("icon%1 has no alpha").arg(size)));
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(icon.pixel(size - 1, 0)), 0);
    }
}

void tst_Artwork::windowShowsTheArtwork()
{
    frmMain window(QStringLiteral(KR52_PROGRAM_DIR));
    const QList<QSize> iconSizes = window.windowIcon().availableSizes();
    for (int size : {16, 32, 48})
        QVERIFY2(iconSizes.contains(QSize(size, size)), qPrintable(QStringLiteral("no %1 px icon").arg(size)));

    const auto *image = window.findChild<QLabel *>(QStringLiteral("Image1"));
    QVERIFY(image);
    // Rendered from the drawing at the size the page shows it, not a stretched bitmap.
    QCOMPARE(image->pixmap().deviceIndependentSize().toSize(), QSize(160, 132));
    QVERIFY(!image->hasScaledContents());
    const auto *logo = window.findChild<QSvgWidget *>(QStringLiteral("Picture2"));
    QVERIFY(logo);
    QVERIFY(logo->renderer()->isValid());
}

QTEST_MAIN(tst_Artwork)
#include "tst_artwork.moc"
