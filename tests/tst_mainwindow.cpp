#include "settings/catalogue.h"
#include "shell/frmMain.h"
#include "ui/uifont.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

// The main window's pages, controls, captions and help buttons, as the operator sees them.
class tst_mainwindow : public QObject {
    Q_OBJECT

private:
    static int pageOf(frmMain &main, QWidget *control)
    {
        auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        for (int page = 0; page < tabs->count(); ++page) {
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
            captions << tabs->tabText(page);
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
        QCOMPARE(main.findChild<QComboBox *>("comIdleAction")->itemText(2), QStringLiteral("Disables"));
        QCOMPARE(main.findChild<QComboBox *>("comBMark")->itemText(3), QStringLiteral("Dissabled"));
        QCOMPARE(main.findChild<QComboBox *>("comColumns")->itemText(2), QStringLiteral("50 column\t"));
        QCOMPARE(main.findChild<QComboBox *>("comCharSet")->count(), 14);
        QCOMPARE(main.findChild<QComboBox *>("comCharSet")->itemText(13), QStringLiteral("Latin America"));
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
            const int y = main.findChild<QPushButton *>(QStringLiteral("comHelp(%1)").arg(index))->y();
            if (previousY >= 0)
                QCOMPARE(y - previousY, 24); // 360 twips
            previousY = y;
        }
        const int cutPosition = main.findChild<QComboBox *>("comCutPos")->y();
        QCOMPARE(main.findChild<QComboBox *>("comCComp")->y() - cutPosition, 32); // 480 twips
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
        for (const char *name : {"comConfPort", "Command4", "comUse", "comManual", "comFAQ"})
            QVERIFY2(main.findChild<QPushButton *>(name)->isVisible(), name);
        QVERIFY(!main.findChild<QPushButton *>("comPresets")->isVisible());
        QVERIFY(!main.findChild<QLabel *>("Label20")->isVisible());
        QCOMPARE(main.findChild<QLabel *>("labDate")->text(), QString());
        QCOMPARE(main.findChild<QLabel *>("Label17")->text(), QStringLiteral("Arvel KR52 Setup Utility"));
        QCOMPARE(main.findChild<QLabel *>("Label17")->font(), kr52::uiFont(12, true));
        QCOMPARE(main.findChild<QLabel *>("labVer")->font(), kr52::uiFont(9.75));
    }

    void everyControlFitsInsideItsPage()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            QWidget *pageWidget = tabs->widget(page);
            auto *canvas = pageWidget->findChild<QWidget *>(QStringLiteral("canvas"));
            for (QWidget *control : canvas->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (control->isHidden())
                    continue;
                const QRect onPage(control->mapTo(pageWidget, QPoint(0, 0)), control->size());
                QVERIFY2(pageWidget->rect().contains(onPage),
                         qPrintable(QStringLiteral("%1 on page %2 is clipped").arg(control->objectName()).arg(page)));
            }
        }
    }

    // Whatever face stands in for the design font, no caption runs past its place.
    void everyTextFitsItsControl()
    {
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
        QVERIFY(notice->x() + QFontMetrics(notice->font()).horizontalAdvance(notice->text()) <
                main.findChild<QWidget *>(QStringLiteral("Picture2"))->x());
        for (QPushButton *button : main.findChildren<QPushButton *>()) {
            const QFontMetrics metrics(button->font());
            QVERIFY2(metrics.horizontalAdvance(button->text()) + 8 <= button->width(),
                     qPrintable(button->objectName()));
        }
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
        tabs->setCurrentIndex(1);
        // Controls are placed from the tab control's corner, tab row included: 540 twips is 36 px.
        auto *first = main.findChild<QComboBox *>(QStringLiteral("comEmulation"));
        QCOMPARE(first->mapTo(tabs, QPoint(0, 0)), QPoint(208, 36));
        QVERIFY(first->mapTo(tabs, QPoint(0, 0)).y() >= tabs->tabBar()->geometry().bottom());
    }

    // Renders every page; with KR52_SCREENSHOT_DIR set, saves them there for a look.
    void everyPageRenders()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        const QString folder = qEnvironmentVariable("KR52_SCREENSHOT_DIR");
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            const QImage shot = main.grab().toImage();
            QCOMPARE(shot.size(), main.size() * shot.devicePixelRatio());
            QVERIFY(shot.pixelColor(5, 5) != shot.pixelColor(main.width() / 2, main.height() / 2) ||
                    shot.pixelColor(5, 5) != shot.pixelColor(main.width() / 3, main.height() / 4));
            if (!folder.isEmpty())
                QVERIFY(shot.save(QStringLiteral("%1/page%2-%3.png").arg(folder).arg(page).arg(tabs->tabText(page))));
        }
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
