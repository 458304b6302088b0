// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/catalogue.h"
#include "shell/frmMain.h"
#include "support/desktoptext.h"
#include "support/testfiles.h"
#include "ui/accessiblenames.h"
#include "ui/uifont.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <QApplication>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <tuple>
#include <vector>

namespace {

void desktopTextSizes()
{
    QTest::addColumn<double>("desktopPoints");
    QTest::newRow("Qt's own 9 pt") << 9.0;
    QTest::newRow("a 14 pt desktop") << 14.0;
}

// Everything the operator, a tool or a test can tell of the window's controls, in the order the
// window holds them, then the order Tab takes through them.
QStringList controlsOf(frmMain &main)
{
    QStringList seen;
    for (QWidget *control : main.findChildren<QWidget *>()) {
        QString text;
        if (auto *label = qobject_cast<QLabel *>(control))
            text = label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(control))
            text = button->text();
        else if (auto *list = qobject_cast<QComboBox *>(control))
            text = QStringLiteral("%1 of %2").arg(list->currentText()).arg(list->count());
        else if (auto *field = qobject_cast<QLineEdit *>(control))
            text = field->text();
        const QRect area(control->mapTo(&main, QPoint(0, 0)), control->size());
        seen << QStringLiteral("%1 %2 [%3] %4,%5 %6x%7 %8 | %9 | %10 | %11 %12")
                    .arg(QString::fromLatin1(control->metaObject()->className()), control->objectName(), text)
                    .arg(area.x())
                    .arg(area.y())
                    .arg(area.width())
                    .arg(area.height())
                    .arg(control->accessibleName(), control->accessibleDescription(), control->toolTip(),
                         control->isVisibleTo(&main) ? QStringLiteral("shown") : QStringLiteral("hidden"),
                         control->font().toString());
    }
    for (QWidget *control = main.nextInFocusChain(); control && control != &main;
         control = control->nextInFocusChain()) {
        if (control->focusPolicy() & Qt::TabFocus)
            seen << QStringLiteral("Tab: ") + control->objectName();
    }
    return seen;
}

// Shows the window and waits until the settings pages have their controls.
bool shownWithItsPages(frmMain &main)
{
    main.show();
    if (!QTest::qWaitForWindowExposed(&main))
        return false;
    return QTest::qWaitFor([&] { return main.findChildren<QComboBox *>().size() == 22; });
}

} // namespace

// The main window's pages, controls, captions and help buttons, as the operator sees them.
class tst_mainwindow : public QObject {
    Q_OBJECT

private:
    static int pageOf(frmMain &main, QWidget *control)
    {
        auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        for (int page = 0; tabs && page < tabs->count(); ++page) {
            if (tabs->widget(page)->isAncestorOf(control))
                return page;
        }
        return -1;
    }

private slots:
    void pagesInOrderWithMainInFront()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        QVERIFY(tabs);
        QStringList captions;
        for (int page = 0; page < tabs->count(); ++page)
            captions << kr52::withoutAccessKey(tabs->tabText(page));
        QCOMPARE(captions, (QStringList{"Main", "General", "Characters", "Tickets", "Alignment"}));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(main.windowTitle(), QStringLiteral("Arvel KR52 Configuration Utility"));
        QCOMPARE(main.size(), QSize(443, 299));
        QCOMPARE(main.minimumSize(), main.maximumSize());
        QVERIFY(!(main.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }

    void listsCarryTheCatalogueEntriesAndArePickOnly()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        const auto &catalogue = kr52::settingsCatalogue();
        QCOMPARE(int(catalogue.size()), 22);
        QCOMPARE(main.findChildren<QComboBox *>().size(), 22);
        for (const kr52::SettingRow &row : catalogue) {
            auto *list = main.findChild<QComboBox *>(row.listName);
            QVERIFY2(list, qPrintable(row.listName));
            QVERIFY(!list->isEditable());
            QStringList entries;
            for (int i = 0; i < list->count(); ++i)
                entries << list->itemText(i);
            QCOMPARE(entries, row.entries);
            QCOMPARE(pageOf(main, list), int(row.page));
        }
        // Stored exactly as the printer's documentation has them, typos and TAB included.
        const std::vector<std::tuple<const char *, int, QString>> entries{{"comIdleAction", 2, "Disables"},
                                                                          {"comBMark", 3, "Dissabled"},
                                                                          {"comColumns", 2, "50 column\t"},
                                                                          {"comCharSet", 13, "Latin America"}};
        for (const auto &[name, index, text] : entries) {
            auto *list = main.findChild<QComboBox *>(name);
            QVERIFY2(list, name);
            QCOMPARE(list->itemText(index), text);
            QCOMPARE(list->count(), index + 1);
        }
    }

    void helpButtonsSitBesideTheirSettings_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("page");
        const QStringList lists{"comEmulation",   "comFF",      "comSpeed",   "comCharSet",      "comCPage",
                                "comZStyle",      "comLFeed",   "comBMark",   "comMeasurePower", "comMeasureResume",
                                "comDetectPower", "comReverse", "comColumns", "comCRCode",       "comCutPos",
                                "comEndCode",     "comPoutSig", "comPout",    "comIdleAction",   "comRAMBack",
                                "comCutter",      "comCComp"};
        const QList<int> pages{1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 1, 2, 2, 4, 1, 1, 1, 1, 1, 1, 4};
        for (int i = 0; i < lists.size(); ++i)
            QTest::addRow("comHelp(%d)", i) << i << lists[i] << pages[i];
    }

    void helpButtonsSitBesideTheirSettings()
    {
        QFETCH(int, index);
        QFETCH(QString, list);
        QFETCH(int, page);
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        auto *button = main.findChild<QPushButton *>(QStringLiteral("comHelp(%1)").arg(index));
        auto *combo = main.findChild<QComboBox *>(list);
        QVERIFY(button && combo);
        QCOMPARE(button->text(), QStringLiteral("Help"));
        QVERIFY(button->font().bold());
        QCOMPARE(pageOf(main, button), page);
        QCOMPARE(button->y(), combo->y());
        QVERIFY(button->x() > combo->x());
    }

    void rowsOfEachPageAreSpacedAndInOrder()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        // "General" from top to bottom runs help pages 0, 1, 2, 11, 15 .. 20.
        int previousY = -1;
        for (int index : {0, 1, 2, 11, 15, 16, 17, 18, 19, 20}) {
            auto *help = main.findChild<QPushButton *>(QStringLiteral("comHelp(%1)").arg(index));
            QVERIFY2(help, qPrintable(QString::number(index)));
            const int y = help->y();
            if (previousY >= 0)
                QCOMPARE(y - previousY, 24); // 360 twips
            previousY = y;
        }
        auto *cutPosition = main.findChild<QComboBox *>("comCutPos");
        auto *cutOffset = main.findChild<QComboBox *>("comCComp");
        QVERIFY(cutPosition && cutOffset);
        QCOMPARE(cutOffset->y() - cutPosition->y(), 32); // 480 twips
    }

    void ticketCaptionsHaveTwoLines()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        const QStringList texts{"Measure page length",         "(at power on)",         "Measure page length",
                                "(on resume after paper end)", "Detect start position", "(at power on)"};
        for (int i = 0; i < texts.size(); ++i) {
            auto *label = main.findChild<QLabel *>(QStringLiteral("labTickets(%1)").arg(i));
            QVERIFY(label);
            QCOMPARE(label->text(), texts[i]);
            QCOMPARE(label->font().bold(), i % 2 == 0);
            if (i % 2 == 1) {
                auto *firstLine = main.findChild<QLabel *>(QStringLiteral("labTickets(%1)").arg(i - 1));
                QVERIFY(firstLine);
                QCOMPARE(label->y() - firstLine->y(), 12); // 180 twips
            }
        }
    }

    void onlyTheFourActionButtonsCarryTooltips()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        QMap<QString, QString> tooltips;
        for (QWidget *widget : main.findChildren<QWidget *>()) {
            if (!widget->toolTip().isEmpty())
                tooltips.insert(widget->objectName(), widget->toolTip());
        }
        QCOMPARE(tooltips, (QMap<QString, QString>{{"comConfPort", "Setup Parallel or Serial communication"},
                                                   {"comPresets", "Select a preset configuration"},
                                                   {"Command4", "Print a self-test page on the connected KR52."},
                                                   {"comUse", "Send new settings to the connected KR52."}}));
    }

    void mainPageShowsItsButtonsAndHidesPresets()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QMap<QString, QString> captions{{"comConfPort", "Configure Port"},
                                              {"Command4", "Print Self Test"},
                                              {"comUse", "Use Settings"},
                                              {"comManual", "Instructions"},
                                              {"comFAQ", "KR52 Frequently Asked Questions"},
                                              {"comPresets", "Presets"}};
        for (const auto &[name, caption] : captions.asKeyValueRange()) {
            auto *button = main.findChild<QPushButton *>(name);
            QVERIFY2(button, qPrintable(name));
            QCOMPARE(kr52::withoutAccessKey(button->text()), caption);
            QCOMPARE(button->isVisible(), name != QLatin1String("comPresets"));
        }
        auto *logoCaption = main.findChild<QLabel *>("Label20");
        auto *date = main.findChild<QLabel *>("labDate");
        auto *title = main.findChild<QLabel *>("Label17");
        auto *version = main.findChild<QLabel *>("labVer");
        QVERIFY(logoCaption && date && title && version);
        QVERIFY(!logoCaption->isVisible());
        QCOMPARE(date->text(), QString());
        QCOMPARE(title->text(), QStringLiteral("Arvel KR52 Setup Utility"));
        QCOMPARE(title->font(), kr52::uiFont(12, true));
        QCOMPARE(version->font(), kr52::uiFont(9.75));
    }

    void everyControlFitsInsideItsPage_data() { desktopTextSizes(); }

    void everyControlFitsInsideItsPage()
    {
        QFETCH(double, desktopPoints);
        const DesktopText desktop(desktopPoints);
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        QVERIFY(tabs);
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            QWidget *pageWidget = tabs->widget(page);
            auto *canvas = pageWidget->findChild<QWidget *>(QStringLiteral("canvas"));
            QVERIFY(canvas);
            for (QWidget *control : canvas->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (control->isHidden())
                    continue;
                const QRect onPage(control->mapTo(pageWidget, QPoint(0, 0)), control->size());
                QVERIFY2(pageWidget->rect().contains(onPage),
                         qPrintable(QStringLiteral("%1 on page %2 is clipped").arg(control->objectName()).arg(page)));
            }
        }
    }

    void everyTextFitsItsControl_data() { desktopTextSizes(); }

    // Whatever face stands in for the design font, and whatever size the desktop's text is, no
    // caption or list entry runs past its place.
    void everyTextFitsItsControl()
    {
        QFETCH(double, desktopPoints);
        const DesktopText desktop(desktopPoints);
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        for (QLabel *label : main.findChildren<QLabel *>()) {
            const QFontMetrics metrics(label->font());
            QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(QStringLiteral("%1: %2 > %3")
                                    .arg(label->objectName())
                                    .arg(metrics.horizontalAdvance(label->text()))
                                    .arg(label->width())));
            QVERIFY2(metrics.height() <= label->height() + 2, qPrintable(label->objectName()));
        }
        // The maker's notice ends before the logo that shares its line.
        auto *notice = main.findChild<QLabel *>(QStringLiteral("Label18"));
        auto *logo = main.findChild<QWidget *>(QStringLiteral("Picture2"));
        QVERIFY(notice && logo);
        QVERIFY(notice->x() + QFontMetrics(notice->font()).horizontalAdvance(notice->text()) < logo->x());
        for (QPushButton *button : main.findChildren<QPushButton *>()) {
            const QFontMetrics metrics(button->font());
            QVERIFY2(metrics.horizontalAdvance(kr52::withoutAccessKey(button->text())) + 8 <= button->width(),
                     qPrintable(button->objectName()));
        }
        // Every entry shows whole in its closed list, inside the field the style draws it in.
        for (QComboBox *list : main.findChildren<QComboBox *>()) {
            QStyleOptionComboBox option;
            option.initFrom(list);
            const int room =
                list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list).width();
            for (int i = 0; i < list->count(); ++i) {
                const int width = list->fontMetrics().horizontalAdvance(list->itemText(i));
                QVERIFY2(width + 2 <= room, qPrintable(QStringLiteral("%1 \"%2\": %3 > %4")
                                                           .arg(list->objectName(), list->itemText(i))
                                                           .arg(width + 2)
                                                           .arg(room)));
            }
        }
    }

    // A desktop whose text is larger than Qt's own 9 points grows the whole window, text and
    // places alike, by the text's size over the designed 8.25 points.
    void theWindowGrowsWithTheDesktopsText()
    {
        double designedCaption = 0;
        {
            const DesktopText plain(9);
            designedCaption = kr52::uiFont(9.75, true).pointSizeF();
        }
        const DesktopText desktop(14);
        const double growth = 14 / 8.25;
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        QCOMPARE(main.size(), QSize(qRound(6645 * growth / 15), qRound(4485 * growth / 15)));
        auto *first = main.findChild<QComboBox *>(QStringLiteral("comEmulation"));
        QCOMPARE(first->geometry(), QRect(qRound(3120 * growth / 15), qRound(540 * growth / 15),
                                          qRound(2535 * growth / 15), qRound(315 * growth / 15)));
        QCOMPARE(main.findChild<QLabel *>(QStringLiteral("labEmulation"))->font().pointSizeF(),
                 designedCaption * growth);
    }

    // Where a face that fits is installed (scripts/setup installs one), the captions take their
    // designed sizes; elsewhere the platform's face is set smaller, and the test above holds
    // either way.
    void captionsTakeTheDesignedSizesWhereAFittingFaceIsInstalled()
    {
        QString fitting;
        for (const QString &family : {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")}) {
            if (fitting.isEmpty() && QFontDatabase::hasFamily(family))
                fitting = family;
        }
        for (double size : {8.25, 9.75, 12.0}) {
            const QFont font = kr52::uiFont(size);
            if (fitting.isEmpty()) {
                QVERIFY(font.pointSizeF() <= size);
                continue;
            }
            QCOMPARE(QFontInfo(font).family(), fitting);
            QCOMPARE(font.pointSizeF(), size);
        }
    }

    void firstRowSitsJustBelowTheTabRow()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        QVERIFY(tabs);
        tabs->setCurrentIndex(1);
        // Controls are placed from the tab control's corner, tab row included: 540 twips is 36 px.
        auto *first = main.findChild<QComboBox *>(QStringLiteral("comEmulation"));
        QVERIFY(first);
        QCOMPARE(first->mapTo(tabs, QPoint(0, 0)), QPoint(208, 36));
        QVERIFY(first->mapTo(tabs, QPoint(0, 0)).y() >= tabs->tabBar()->geometry().bottom());
    }

    // The program builds the settings pages just after its first frame. They come out as they
    // would with the window, whichever page is in front when they come, and a profile opened
    // before them (kr52-config --profile) is kept.
    void pagesBuiltAfterTheFirstFrameAreThoseBuiltWithTheWindow_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QByteArray>("profile");
        QTest::newRow("Main in front") << 0 << QByteArray();
        QTest::newRow("General in front") << 1 << QByteArray();
        QTest::newRow("Alignment in front") << 4 << QByteArray();
        QTest::newRow("a profile opened first")
            << 0
            << QByteArray("[settings]\nPrint Speed=Half Speed\nStart Position Adjustment=Adjust as below\n"
                          "cut-offset=-1.2\n");
    }

    void pagesBuiltAfterTheFirstFrameAreThoseBuiltWithTheWindow()
    {
        QFETCH(int, page);
        QFETCH(QByteArray, profile);
        QTemporaryDir folder;
        const QString profilePath = folder.filePath(QStringLiteral("profile.ini"));
        QVERIFY(profile.isEmpty() || testsupport::writeFile(profilePath, profile));

        frmMain withWindow(QStringLiteral(KR52_PROGRAM_DIR));
        frmMain afterFrame(QStringLiteral(KR52_PROGRAM_DIR), nullptr, frmMain::SettingsPages::AfterFirstFrame);
        QVERIFY(afterFrame.findChildren<QComboBox *>().isEmpty());
        for (frmMain *main : {&withWindow, &afterFrame}) {
            if (!profile.isEmpty())
                QVERIFY(main->openProfile(profilePath));
            main->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(page);
            QVERIFY(shownWithItsPages(*main));
        }
        QCOMPARE(controlsOf(afterFrame), controlsOf(withWindow));
        // Tab reaches the profile button in the tab row's corner after every control of the pages.
        QCOMPARE(controlsOf(withWindow).last(), QStringLiteral("Tab: comProfile"));
    }

    // Renders every page: each caption, list and button shows its text, and the Alignment page
    // shows the paper strip with its black mark. With KR52_SCREENSHOT_DIR set, saves the pages
    // there for a look.
    void everyPageRenders()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        QVERIFY(tabs);
        const QString folder = qEnvironmentVariable("KR52_SCREENSHOT_DIR");
        QList<QImage> shots;
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            const QImage shot = main.grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(shot.size(), main.size());
            QVERIFY2(!shots.contains(shot), qPrintable(tabs->tabText(page)));
            shots.append(shot);

            int texts = 0;
            for (QWidget *control : tabs->widget(page)->findChildren<QWidget *>()) {
                QString text;
                if (auto *label = qobject_cast<QLabel *>(control))
                    text = label->text();
                else if (auto *button = qobject_cast<QPushButton *>(control))
                    text = button->text();
                else if (auto *list = qobject_cast<QComboBox *>(control))
                    text = list->currentText();
                if (text.trimmed().isEmpty() || !control->isVisible())
                    continue;
                ++texts;
                const QRect area(control->mapTo(&main, QPoint(0, 0)), control->size());
                bool dark = false;
                for (int y = area.top(); y <= area.bottom() && !dark; ++y)
                    for (int x = area.left(); x <= area.right() && !dark; ++x)
                        dark = qGray(shot.pixel(x, y)) < 100;
                QVERIFY2(dark, qPrintable(QStringLiteral("no text drawn for %1 on page %2")
                                              .arg(control->objectName(), tabs->tabText(page))));
            }
            QVERIFY2(texts >= 5, qPrintable(tabs->tabText(page)));

            if (kr52::withoutAccessKey(tabs->tabText(page)) == QLatin1String("Alignment")) {
                auto *strip = main.findChild<QWidget *>(QStringLiteral("Picture1"));
                QVERIFY(strip);
                const QPoint corner = strip->mapTo(&main, QPoint(0, 0));
                QVERIFY(qGray(shot.pixel(corner + QPoint(113, 59))) < 60); // the black mark
                QVERIFY(qGray(shot.pixel(corner + QPoint(113, 63))) < 60);
                QVERIFY(qGray(shot.pixel(corner + QPoint(113, 70))) > 150); // paper below it
            }
            if (!folder.isEmpty())
                QVERIFY(shot.save(QStringLiteral("%1/page%2-%3.png")
                                      .arg(folder)
                                      .arg(page)
                                      .arg(kr52::withoutAccessKey(tabs->tabText(page)))));
        }
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
