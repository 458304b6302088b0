// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/boundedfile.h"
#include "helpviewer/frmHelp.h"
#include "helppages/helppage.h"
#include "helppages/readablecolours.h"
#include "shell/frmMain.h"
#include "support/desktoptext.h"
#include "support/messagecapture.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include <cerrno>
#include <functional>
#include <tuple>
#include <sys/stat.h>

namespace {

const QString programDir = QStringLiteral(KR52_PROGRAM_DIR);

// The first three paragraphs of a page as shown: its title, its subtitle and the start of its
// first paragraph.
QString openingOf(const QString &shownText)
{
    return shownText.section(QLatin1Char('\n'), 0, 2);
}

QTextEdit *textOf(frmHelp *help)
{
    return help->findChild<QTextEdit *>(QStringLiteral("rtbHelpText"));
}

int refuseAccess(const char *, int)
{
    errno = EACCES;
    return -1;
}

QPushButton *closeButtonOf(frmHelp *help)
{
    return help->findChild<QPushButton *>(QStringLiteral("comDone"));
}

// Presses a button of the main window and, while the help window it opens is shown modally,
// runs visit on it; closes the window afterwards if visit left it open. Returns whether a help
// window was shown at all.
bool visitHelp(QPushButton *button, const std::function<void(frmHelp *)> &visit)
{
    bool shown = false;
    QTimer inside; // a local timer, so that nothing fires later when no window was shown
    inside.setSingleShot(true);
    QObject::connect(&inside, &QTimer::timeout, [&] {
        auto *help = qobject_cast<frmHelp *>(QApplication::activeModalWidget());
        if (!help)
            return;
        shown = true;
        visit(help);
        if (help->isVisible())
            help->hide();
    });
    inside.start(0);
    button->click();
    inside.stop();
    return shown;
}

QPushButton *helpButton(frmMain &main, int index)
{
    return main.findChild<QPushButton *>(QStringLiteral("comHelp(%1)").arg(index));
}

} // namespace

class tst_frmhelp : public QObject {
    Q_OBJECT

private slots:
    void windowLayout();
    void helpButtonOpensItsPage_data();
    void helpButtonOpensItsPage();
    void faqAndInstructions();
    void secondPageReplacesTheFirst();
    void escapeDoesNotCloseEnterOnCloseDoes();
    void missingFaqGivesMessageAndNoWindow();
    void unreadablePageKeepsThePageShown_data();
    void unreadablePageKeepsThePageShown();
    void headingsReadInLightAndDarkThemes();
    void aPageGrowsWithTheDesktopsText();
};

void tst_frmhelp::windowLayout()
{
    QWidget owner;
    frmHelp help(programDir, &owner);
    QCOMPARE(help.objectName(), QStringLiteral("frmHelp"));
    QVERIFY(help.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(help.minimumSize(), QSize(356, 405));
    QCOMPARE(help.maximumSize(), QSize(356, 405));

    QTextEdit *text = textOf(&help);
    QVERIFY(text);
    QCOMPARE(text->geometry(), QRect(0, 0, 357, 385));
    QVERIFY(text->isReadOnly());
    // Nothing in a page is followed; the caret moves with the keys, for reading line by line.
    QCOMPARE(text->textInteractionFlags(), Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    QPushButton *done = closeButtonOf(&help);
    QVERIFY(done);
    QCOMPARE(done->text(), QStringLiteral("&Close"));
    QCOMPARE(done->geometry(), QRect(0, 384, 357, 21));
    QVERIFY(!done->autoDefault());
    QVERIFY(!done->isDefault());
}

void tst_frmhelp::helpButtonOpensItsPage_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("opening");
    QTest::newRow("first") << 0
                           << "Printer Command Mode\nPage \u201CGeneral\u201D \u2013 memory switch 0, bit 0\n"
                              "Chooses which of its two command sets the KR52 obeys.";
    QTest::newRow("single digit, no padding")
        << 7
        << "Start Position Detect\nPage \u201CTickets\u201D \u2013 memory switch 1, bits 8 and 12\n"
           "Tells the printer how it finds the start of each ticket";
    QTest::newRow("fourth row of General")
        << 11
        << "Reverse Feed Command\nPage \u201CGeneral\u201D \u2013 memory switch 3, bit 2\n"
           "Decides whether the printer obeys the command that feeds the paper backwards";
    QTest::newRow("last") << 21
                          << "Start Position Adjustment\nPage \u201CAlignment\u201D \u2013 memory switch E, bits 0 to "
                             "12\nMoves the position where the printer starts each ticket";
}

void tst_frmhelp::helpButtonOpensItsPage()
{
    QFETCH(int, index);
    QFETCH(QString, opening);
    frmMain main(programDir);
    QPushButton *button = helpButton(main, index);
    QVERIFY(button);

    QString shownText;
    bool modal = false;
    bool focusInText = false;
    bool centred = false;
    bool focusShown = false;
    QString title;
    QWidget *owner = nullptr;
    QVERIFY(visitHelp(button, [&](frmHelp *help) {
        shownText = textOf(help)->toPlainText();
        title = help->windowTitle();
        focusShown = help->testAttribute(Qt::WA_KeyboardFocusChange);
        modal = help->isModal();
        owner = help->parentWidget();
        focusInText = help->focusWidget() == textOf(help);
        const QPoint screenCentre = help->screen()->availableGeometry().center();
        centred = (help->geometry().center() - screenCentre).manhattanLength() <= 2;
        closeButtonOf(help)->click();
    }));
    QVERIFY2(openingOf(shownText).startsWith(opening), qPrintable(openingOf(shownText)));
    QVERIFY(modal);
    QCOMPARE(owner, &main);
    QVERIFY(focusInText);
    QVERIFY(focusShown);
    QVERIFY(centred);
    // Without a title bar, the window is still announced by its page's title.
    QCOMPARE(title, opening.section(QLatin1Char('\n'), 0, 0));

    // Closed means hidden: the window stays with its page until the main window goes.
    auto *help = main.findChild<frmHelp *>();
    QVERIFY(help);
    QVERIFY(!help->isVisible());
    QCOMPARE(textOf(help)->toPlainText(), shownText);
}

void tst_frmhelp::faqAndInstructions()
{
    frmMain main(programDir);
    auto *faqButton = main.findChild<QPushButton *>(QStringLiteral("comFAQ"));
    auto *manualButton = main.findChild<QPushButton *>(QStringLiteral("comManual"));
    QVERIFY(faqButton);
    QVERIFY(manualButton);
    QString faq;
    QString manual;
    QVERIFY(visitHelp(faqButton, [&](frmHelp *help) { faq = textOf(help)->toPlainText(); }));
    QVERIFY(visitHelp(manualButton, [&](frmHelp *help) { manual = textOf(help)->toPlainText(); }));
    QCOMPARE(openingOf(faq),
             QStringLiteral("KR52 Frequently Asked Questions\nConnecting on Linux, and settings that do "
                            "not seem to work\n\u201CNo Port Settings Specified\u201D appears"));
    QVERIFY2(openingOf(manual).startsWith(QStringLiteral(
                 "Instructions\nSetting up the KR52, step by step\nThe KR52 keeps its settings in sixteen memory "
                 "switches, named 0 to F.")),
             qPrintable(openingOf(manual)));
}

void tst_frmhelp::secondPageReplacesTheFirst()
{
    frmMain main(programDir);
    frmHelp *first = nullptr;
    frmHelp *second = nullptr;
    QString secondText;
    QVERIFY(helpButton(main, 0));
    QVERIFY(helpButton(main, 7));
    QVERIFY(visitHelp(helpButton(main, 0), [&](frmHelp *help) { first = help; }));
    QVERIFY(visitHelp(helpButton(main, 7), [&](frmHelp *help) {
        second = help;
        secondText = textOf(help)->toPlainText();
    }));
    QCOMPARE(second, first);
    QVERIFY2(secondText.startsWith(QStringLiteral("Start Position Detect\n")), qPrintable(secondText.left(80)));
    QVERIFY(!secondText.contains(QStringLiteral("Printer Command Mode")));
    QCOMPARE(main.findChildren<frmHelp *>().size(), 1);
}

void tst_frmhelp::escapeDoesNotCloseEnterOnCloseDoes()
{
    frmMain main(programDir);
    bool openAfterEscape = false;
    bool openAfterEnterInText = false;
    bool tabReachesClose = false;
    bool openAfterEnterOnClose = true;
    QVERIFY(visitHelp(helpButton(main, 2), [&](frmHelp *help) {
        QTextEdit *text = textOf(help);
        QTest::keyClick(text, Qt::Key_Escape);
        QTest::keyClick(help, Qt::Key_Escape);
        openAfterEscape = help->isVisible();
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClick(text, Qt::Key_Enter);
        openAfterEnterInText = help->isVisible();
        QTest::keyClick(text, Qt::Key_Tab);
        tabReachesClose = help->focusWidget() == closeButtonOf(help);
        QTest::keyClick(closeButtonOf(help), Qt::Key_Return);
        openAfterEnterOnClose = help->isVisible();
    }));
    QVERIFY(openAfterEscape);
    QVERIFY(openAfterEnterInText);
    QVERIFY(tabReachesClose);
    QVERIFY(!openAfterEnterOnClose);

    bool openAfterKeypadEnter = true;
    QVERIFY(visitHelp(helpButton(main, 2), [&](frmHelp *help) {
        closeButtonOf(help)->setFocus();
        QTest::keyClick(closeButtonOf(help), Qt::Key_Enter, Qt::KeypadModifier);
        openAfterKeypadEnter = help->isVisible();
    }));
    QVERIFY(!openAfterKeypadEnter);
}

void tst_frmhelp::missingFaqGivesMessageAndNoWindow()
{
    QTemporaryDir program;
    QVERIFY(QDir(program.path()).mkdir(QStringLiteral("help")));
    QVERIFY(QFile::copy(programDir + QStringLiteral("/help/help0.rtf"),
                        program.path() + QStringLiteral("/help/help0.rtf")));
    frmMain main(program.path());

    MessageCapture messages;
    auto *faqButton = main.findChild<QPushButton *>(QStringLiteral("comFAQ"));
    QVERIFY(faqButton);
    QVERIFY(!visitHelp(faqButton, [](frmHelp *) {}));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, kr52::applicationTitle());
    QCOMPARE(messages.last().icon, QMessageBox::Warning);
    QCOMPARE(messages.last().text, QStringLiteral("Could not open the help page %1/help/faq.rtf:\nNo such file or "
                                                  "directory.")
                                       .arg(program.path()));
    if (auto *help = main.findChild<frmHelp *>())
        QVERIFY(!help->isVisible());

    // The program goes on: a page that is there still opens.
    QVERIFY(helpButton(main, 0));
    QVERIFY(visitHelp(helpButton(main, 0), [](frmHelp *) {}));
    QCOMPARE(messages.count(), 1);
}

// A page that cannot be shown gives the reason and leaves the window's page as it was. A FIFO
// would block the open for good and a device would be read without end: each is refused at once.
void tst_frmhelp::unreadablePageKeepsThePageShown_data()
{
    QTest::addColumn<QString>("kind"); // what help/manual.rtf is
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder") << "folder"
                            << "It is a folder, not a file.";
    // Root reads any file, so the refusal comes from the seam under the file helper.
    QTest::newRow("permission denied") << "refused"
                                       << "Permission denied.";
    QTest::newRow("FIFO") << "fifo"
                          << "not a regular file.";
    QTest::newRow("link to a FIFO") << "link to fifo"
                                    << "not a regular file.";
    QTest::newRow("link to /dev/zero") << "link to zero"
                                       << "not a regular file.";
    // One byte past the cap: a page that big would keep the window from showing for seconds.
    QTest::newRow("over the size cap") << "huge"
                                       << "The file is larger than 1 MB.";
}

void tst_frmhelp::unreadablePageKeepsThePageShown()
{
    QFETCH(QString, kind);
    QTemporaryDir program;
    QVERIFY(QDir(program.path()).mkdir(QStringLiteral("help")));
    QVERIFY(QFile::copy(programDir + QStringLiteral("/help/help0.rtf"),
                        program.path() + QStringLiteral("/help/help0.rtf")));
    const QString manual = program.path() + QStringLiteral("/help/manual.rtf");
    const QString fifo = program.filePath(QStringLiteral("fifo"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(manual));
    else if (kind == QLatin1String("refused"))
        QVERIFY(QFile::copy(programDir + QStringLiteral("/help/manual.rtf"), manual));
    else if (kind == QLatin1String("fifo"))
        QVERIFY(QFile::rename(fifo, manual));
    else if (kind == QLatin1String("link to fifo"))
        QVERIFY(QFile::link(fifo, manual));
    else if (kind == QLatin1String("link to zero"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), manual));
    else if (kind == QLatin1String("huge")) {
        QFile file(manual);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(1024 * 1024 + 1));
    }
    QWidget owner;
    frmHelp help(program.path(), &owner);
    MessageCapture messages;
    QVERIFY(help.SetHelpFile(0));
    const QString page = textOf(&help)->toPlainText();

    const kr52::OpenCall systemOpen =
        kr52::setOpenCallForTests(kind == QLatin1String("refused") ? refuseAccess : nullptr);
    const bool shown = help.ShowManual();
    kr52::setOpenCallForTests(systemOpen);
    QVERIFY(!shown);
    QCOMPARE(messages.count(), 1);
    QFETCH(QString, reason);
    QCOMPARE(messages.last().text, QStringLiteral("Could not open the help page %1:\n%2").arg(manual, reason));
    QCOMPARE(textOf(&help)->toPlainText(), page);
}

// The heading of a page, in a dark theme set before and after the page is loaded, and back in
// a light one.
void tst_frmhelp::headingsReadInLightAndDarkThemes()
{
    QWidget owner;
    frmHelp help(programDir, &owner);
    QPalette dark = help.palette();
    dark.setColor(QPalette::Base, QColor(35, 38, 41));
    dark.setColor(QPalette::Text, QColor(239, 240, 241));
    const QPalette light = help.palette();
    const QTextDocument &page = *textOf(&help)->document();
    const auto headingColour = [&] { return page.begin().begin().fragment().charFormat().foreground().color(); };
    const QColor written(0, 64, 128);

    help.setPalette(dark);
    QVERIFY(help.SetHelpFile(2));
    QCOMPARE(page.begin().text(), QStringLiteral("Print Speed"));
    QVERIFY(kr52::contrastRatio(headingColour(), dark.color(QPalette::Base)) >= kr52::readableContrast);

    help.setPalette(light);
    QCOMPARE(headingColour(), written);
    help.setPalette(dark);
    QVERIFY(kr52::contrastRatio(headingColour(), dark.color(QPalette::Base)) >= kr52::readableContrast);
}

// On a desktop whose text is larger than designed the window grows, and its page with it: text,
// indents and tab stops alike, so the columns of a table still line up.
void tst_frmhelp::aPageGrowsWithTheDesktopsText()
{
    const auto measure = [](double desktopPoints) {
        const DesktopText desktop(desktopPoints);
        QWidget owner;
        frmHelp help(programDir, &owner);
        [&help] { QVERIFY(help.SetHelpFile(3)); }();
        const QTextDocument &page = *textOf(&help)->document();
        QTextBlock table = page.begin();
        while (table.isValid() && table.blockFormat().tabPositions().isEmpty())
            table = table.next();
        return std::tuple{help.width(), page.begin().begin().fragment().charFormat().fontPointSize(),
                          table.blockFormat().leftMargin(), table.blockFormat().tabPositions().value(0).position};
    };
    const auto [width, title, indent, tab] = measure(9);
    const auto [grownWidth, grownTitle, grownIndent, grownTab] = measure(14);
    const double growth = 14 / 8.25;
    QVERIFY(indent > 0 && tab > 0);
    QCOMPARE(grownWidth, qRound(5340 * growth / 15));
    QCOMPARE(width, 356);
    QCOMPARE(grownTitle, title * growth);
    QCOMPARE(grownIndent, indent * growth);
    QCOMPARE(grownTab, tab * growth);
}

QTEST_MAIN(tst_frmhelp)
#include "tst_frmhelp.moc"
