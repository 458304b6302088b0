// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/mscomm.h"
#include "shell/frmMain.h"
#include "support/linkfixture.h"
#include "support/pseudoterminal.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QtMath>

using namespace linktest;

namespace {

constexpr double pixelsPerUnit = 27.5453 / 15.0;

QObject *line(frmMain &main)
{
    return main.findChild<QObject *>(QStringLiteral("Line1"));
}

// A missing control reads as a value no test expects, so the test fails instead of crashing.
double lineHeight(frmMain &main)
{
    const QObject *found = line(main);
    return found ? found->property("Y1").toDouble() : qQNaN();
}

QString offsetText(frmMain &main)
{
    const auto *box = main.findChild<QLineEdit *>(QStringLiteral("txtCutOffset"));
    return box ? box->text() : QStringLiteral("<no txtCutOffset>");
}

QWidget *picture(frmMain &main)
{
    return main.findChild<QWidget *>(QStringLiteral("Picture1"));
}

// A mouse event on the picture at a height in its scale, as a real number of pixels.
void sendMouse(frmMain &main, QEvent::Type type, Qt::MouseButton button, double height)
{
    const QPointF position(40.0, height * pixelsPerUnit);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QWidget *target = picture(main);
    QVERIFY(target);
    QMouseEvent event(type, position, target->mapToGlobal(position), type == QEvent::MouseMove ? Qt::NoButton : button,
                      held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// The rows of one column of the picture, as drawn, that show the line's red.
QList<int> redRows(frmMain &main, int column)
{
    const QImage drawn = picture(main)->grab().toImage();
    QList<int> rows;
    for (int y = 0; y < drawn.height(); ++y) {
        if (drawn.pixelColor(column, y) == QColor(255, 0, 0))
            rows << y;
    }
    return rows;
}

// The main window shown and active on the "Alignment" page, with the focus on the picture.
void focusPicture(frmMain &main)
{
    main.show();
    QApplication::setActiveWindow(&main);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    main.findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(4);
    picture(main)->setFocus();
    QVERIFY(picture(main)->hasFocus());
}

} // namespace

// The cut-position adjuster on the "Alignment" page: dragging the line, typing the offset.
class tst_cutadjuster : public QObject {
    Q_OBJECT

private slots:
    void startsAtZeroWithTheLineOnTheMark()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        QCOMPARE(offsetText(main), QStringLiteral(" 0mm"));
        QVERIFY(line(main) && picture(main));
        QCOMPARE(lineHeight(main), 33.0);
        QCOMPARE(line(main)->property("Y2").toDouble(), 33.0);
        QCOMPARE(line(main)->property("BorderColor").value<QColor>(), QColor(255, 0, 0));
        QCOMPARE(picture(main)->size(), QSize(130, 131));

        // Drawn in red across the full width, through the rows of the black mark (59 to 63).
        const QImage drawn = picture(main)->grab().toImage();
        const int row = qRound(33.0 * pixelsPerUnit);
        QVERIFY(row >= 59 && row <= 63);
        for (int x = 0; x < 130; ++x)
            QCOMPARE(drawn.pixelColor(x, row), QColor(255, 0, 0));
    }

    void adjustCutPositionRoundsClampsAndWrites_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("height");
        QTest::newRow("zero") << 0.0f << " 0mm" << 33.0;
        QTest::newRow("whole") << 5.0f << " 5mm" << 38.0;
        QTest::newRow("tenths") << 12.34f << " 12.3mm" << 45.3;
        QTest::newRow("negative") << -7.5f << "-7.5mm" << 25.5;
        QTest::newRow("fraction") << 0.4f << " .4mm" << 33.4;
        QTest::newRow("negative fraction") << -0.9f << "-.9mm" << 32.1;
        QTest::newRow("exact half to even") << -0.25f << "-.2mm" << 32.8;
        QTest::newRow("upper limit passes") << 29.9f << " 29.9mm" << 62.9;
        QTest::newRow("lower limit passes") << -29.9f << "-29.9mm" << 3.1;
        QTest::newRow("above the range") << 40.0f << " 29.9mm" << 62.9;
        QTest::newRow("just above the range") << 30.0f << " 29.9mm" << 62.9;
        QTest::newRow("below the range") << -30.0f << "-29.9mm" << 3.1;
        QTest::newRow("huge") << 3.0e38f << " 29.9mm" << 62.9;
        QTest::newRow("tiny negative shows zero") << -0.04f << " 0mm" << 33.0;
    }

    void adjustCutPositionRoundsClampsAndWrites()
    {
        QFETCH(float, value);
        QFETCH(QString, text);
        QFETCH(double, height);
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.AdjustCutPosition(value);
        QCOMPARE(offsetText(main), text);
        QVERIFY2(qAbs(lineHeight(main) - height) < 1e-4, qPrintable(QString::number(lineHeight(main))));
    }

    void pressesStartADragOnlyInsideTheBand()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.Picture1_MouseDown(Qt::LeftButton, {}, 1.0f, 3.1f);
        QCOMPARE(lineHeight(main), double(3.1f));
        main.Picture1_MouseMove(Qt::LeftButton, {}, 1.0f, 10.0f);
        QCOMPARE(lineHeight(main), 10.0);
        QCOMPARE(offsetText(main), QStringLiteral(" 0mm")); // the box waits for the release
        main.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, 10.0f);
        QCOMPARE(offsetText(main), QStringLiteral("-23mm"));

        main.Picture1_MouseDown(Qt::LeftButton, {}, 1.0f, 62.9f);
        QCOMPARE(lineHeight(main), double(62.9f));
        main.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, 62.9f);

        for (float outside : {3.0f, 63.0f}) {
            main.AdjustCutPosition(0.0f);
            main.Picture1_MouseDown(Qt::LeftButton, {}, 1.0f, outside);
            QCOMPARE(lineHeight(main), 33.0);
            main.Picture1_MouseMove(Qt::LeftButton, {}, 1.0f, 20.0f);
            QCOMPARE(lineHeight(main), 33.0); // no drag under way
        }
        // The release still sets the value from where it happens.
        main.Picture1_MouseDown(Qt::LeftButton, {}, 1.0f, 3.0f);
        main.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, 3.0f);
        QCOMPARE(offsetText(main), QStringLiteral("-29.9mm"));
        QVERIFY(qAbs(lineHeight(main) - 3.1) < 1e-4);
    }

    void releasesOutsideThePictureClamp()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.Picture1_MouseDown(Qt::LeftButton, {}, 1.0f, 40.0f);
        main.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, 70.0f);
        QCOMPARE(offsetText(main), QStringLiteral(" 29.9mm"));
        QVERIFY(qAbs(lineHeight(main) - 62.9) < 1e-4);
        main.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, 95.0f);
        QCOMPARE(offsetText(main), QStringLiteral(" 29.9mm"));
        main.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, -4.0f);
        QCOMPARE(offsetText(main), QStringLiteral("-29.9mm"));
        QVERIFY(qAbs(lineHeight(main) - 3.1) < 1e-4);
    }

    void releaseRoundsToATenth()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.Picture1_MouseDown(Qt::LeftButton, {}, 1.0f, 45.26f);
        QCOMPARE(lineHeight(main), double(45.26f));
        main.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, 45.26f);
        QCOMPARE(offsetText(main), QStringLiteral(" 12.3mm"));
        QVERIFY(qAbs(lineHeight(main) - 45.3) < 1e-4);
    }

    void draggingOutOfTheBandAndBack()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.Picture1_MouseDown(Qt::LeftButton, {}, 1.0f, 20.0f);
        main.Picture1_MouseMove(Qt::LeftButton, {}, 1.0f, 1.0f);
        QCOMPARE(lineHeight(main), 20.0);
        main.Picture1_MouseMove(Qt::LeftButton, {}, 1.0f, 66.0f);
        QCOMPARE(lineHeight(main), 20.0);
        main.Picture1_MouseMove(Qt::LeftButton, {}, 1.0f, 30.0f);
        QCOMPARE(lineHeight(main), 30.0);
        main.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, 30.0f);
        QCOMPARE(offsetText(main), QStringLiteral("-3mm"));
        main.Picture1_MouseMove(Qt::NoButton, {}, 1.0f, 40.0f);
        QCOMPARE(lineHeight(main), 30.0); // released: moves no longer drag
    }

    void mouseEventsCarryRealHeightsForEveryButton_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }

    void mouseEventsCarryRealHeightsForEveryButton()
    {
        QFETCH(Qt::MouseButton, button);
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        sendMouse(main, QEvent::MouseButtonPress, button, 20.5);
        QVERIFY(qAbs(lineHeight(main) - 20.5) < 1e-3);
        sendMouse(main, QEvent::MouseMove, button, 45.26);
        QVERIFY(qAbs(lineHeight(main) - 45.26) < 1e-3);
        sendMouse(main, QEvent::MouseButtonRelease, button, 45.26);
        QCOMPARE(offsetText(main), QStringLiteral(" 12.3mm"));
    }

    void theDragFollowsThePointerOutsideThePicture()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        QVERIFY(tabs && picture(main));
        tabs->setCurrentIndex(4);
        QWindow *window = main.windowHandle();
        const auto inWindow = [&](double height) {
            return picture(main)->mapTo(&main, QPoint(60, int(height * pixelsPerUnit)));
        };
        QTest::mousePress(window, Qt::LeftButton, {}, inWindow(33.0));
        QTest::mouseMove(window, inWindow(10.0));
        QVERIFY(qAbs(lineHeight(main) - 10.0) < 1.0);
        // Below the picture: the line keeps its last height in the band, and the release,
        // delivered to the picture although outside it, clamps.
        QTest::mouseMove(window, inWindow(80.0));
        QVERIFY(qAbs(lineHeight(main) - 10.0) < 1.0);
        QTest::mouseRelease(window, Qt::LeftButton, {}, inWindow(80.0));
        QCOMPARE(offsetText(main), QStringLiteral(" 29.9mm"));
    }

    void typedOffsetIsTakenWhenTheFocusLeaves_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("with mm") << "12.5mm"
                                 << " 12.5mm";
        QTest::newRow("no number") << "abc"
                                   << " 0mm";
        QTest::newRow("beyond the range") << "40"
                                          << " 29.9mm";
        QTest::newRow("exact half") << "-0.25"
                                    << "-.2mm";
        QTest::newRow("blank inside") << "1 2"
                                      << " 12mm";
        QTest::newRow("huge") << "1E99"
                              << " 29.9mm";
    }

    void typedOffsetIsTakenWhenTheFocusLeaves()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        main.show();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        auto *box = main.findChild<QLineEdit *>(QStringLiteral("txtCutOffset"));
        auto *list = main.findChild<QComboBox *>(QStringLiteral("comCComp"));
        auto *help = main.findChild<QWidget *>(QStringLiteral("comHelp(21)"));
        QVERIFY(tabs && box && list && help && picture(main));
        tabs->setCurrentIndex(4);

        // Each way the focus can leave: to a list, a button, the tab row, the picture.
        const QList<QWidget *> targets{list, help, tabs->tabBar(), picture(main)};
        for (QWidget *target : targets) {
            box->setFocus();
            QVERIFY(box->hasFocus());
            box->setText(typed);
            QCOMPARE(box->text(), typed); // the program's own writes do not validate
            target->setFocus();
            QCOMPARE(box->text(), shown);
            main.AdjustCutPosition(0.0f);
        }
        box->setFocus();
        box->setText(typed);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(box->text(), shown);
    }

    // Every pointer row inside the band: the line is drawn on that row while dragging and stays
    // there after the release.
    void theLineIsDrawnOnThePointersRow()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        const auto atRow = [&](QEvent::Type type, int row) {
            const QPointF position(40, row);
            QMouseEvent event(type, position, picture(main)->mapToGlobal(position),
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(picture(main), &event);
        };
        const int firstRow = qCeil(3.1 * pixelsPerUnit);
        const int lastRow = qFloor(62.9 * pixelsPerUnit);
        atRow(QEvent::MouseButtonPress, firstRow);
        for (int row = firstRow; row <= lastRow; ++row) {
            atRow(QEvent::MouseMove, row);
            QCOMPARE(redRows(main, 40), QList<int>{row});
        }
        for (int row = firstRow; row <= lastRow; ++row) {
            atRow(QEvent::MouseButtonPress, row);
            atRow(QEvent::MouseButtonRelease, row);
            QCOMPARE(redRows(main, 40), QList<int>{row});
        }
    }

    void keysOnThePictureMoveTheLine_data()
    {
        QTest::addColumn<float>("start");
        QTest::addColumn<QList<Qt::Key>>("keys");
        QTest::addColumn<QString>("text");
        const QList<Qt::Key> up{Qt::Key_Up};
        const QList<Qt::Key> down{Qt::Key_Down};
        const QList<Qt::Key> pageUp{Qt::Key_PageUp};
        const QList<Qt::Key> pageDown{Qt::Key_PageDown};
        QTest::newRow("up from zero") << 0.0f << up << "-.1mm";
        QTest::newRow("down from zero") << 0.0f << down << " .1mm";
        QTest::newRow("page up from zero") << 0.0f << pageUp << "-1mm";
        QTest::newRow("page down from zero") << 0.0f << pageDown << " 1mm";
        QTest::newRow("home") << 12.3f << QList<Qt::Key>{Qt::Key_Home} << " 0mm";
        QTest::newRow("up to zero") << 0.1f << up << " 0mm";
        QTest::newRow("steps add up in tenths")
            << 1.2f << QList<Qt::Key>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_Up} << " .4mm";
        QTest::newRow("down at the upper limit") << 29.9f << down << " 29.9mm";
        QTest::newRow("page down near the upper limit") << 29.5f << pageDown << " 29.9mm";
        QTest::newRow("up at the lower limit") << -29.9f << up << "-29.9mm";
        QTest::newRow("page up near the lower limit") << -29.5f << pageUp << "-29.9mm";
        QTest::newRow("other keys do nothing")
            << 5.0f << QList<Qt::Key>{Qt::Key_Left, Qt::Key_End, Qt::Key_A} << " 5mm";
    }

    // The text and the line end up exactly where a drag to the same value would put them.
    void keysOnThePictureMoveTheLine()
    {
        QFETCH(float, start);
        QFETCH(QList<Qt::Key>, keys);
        QFETCH(QString, text);
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        focusPicture(main);
        main.AdjustCutPosition(start);
        for (Qt::Key key : keys)
            QTest::keyClick(picture(main), key);
        QCOMPARE(offsetText(main), text);

        frmMain dragged(QStringLiteral(KR52_PROGRAM_DIR));
        const float value = float(text.chopped(2).toDouble());
        dragged.Picture1_MouseDown(Qt::LeftButton, {}, 1.0f, value + 33.0f);
        dragged.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, value + 33.0f);
        QCOMPARE(offsetText(dragged), text);
        QCOMPARE(lineHeight(main), lineHeight(dragged));
        QCOMPARE(redRows(main, 40), QList<int>{qRound(lineHeight(main) * pixelsPerUnit)});
    }

    // With Num Lock off the keypad's arrows and page keys come with the keypad modifier: they move
    // the line as the main keys do. With Ctrl or Shift held the keys are not the picture's.
    void keypadKeysMoveTheLineAsTheMainKeysDo()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        focusPicture(main);
        for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home}) {
            main.AdjustCutPosition(5.0f);
            QTest::keyClick(picture(main), key);
            const QString moved = offsetText(main);
            QVERIFY(moved != QStringLiteral(" 5mm"));
            main.AdjustCutPosition(5.0f);
            QTest::keyClick(picture(main), key, Qt::KeypadModifier);
            QCOMPARE(offsetText(main), moved);
            main.AdjustCutPosition(5.0f);
            QTest::keyClick(picture(main), key, Qt::ControlModifier);
            QTest::keyClick(picture(main), key, Qt::ShiftModifier);
            QCOMPARE(offsetText(main), QStringLiteral(" 5mm"));
        }
    }

    // A screen reader hears the picture as a slider with the box's text as its value, and can
    // set it, within the range, as the keys would.
    void assistiveToolsReadAndSetThePictureAsASlider()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        QAccessibleInterface *slider = QAccessible::queryAccessibleInterface(picture(main));
        QCOMPARE(slider->role(), QAccessible::Slider);
        QAccessibleValueInterface *value = slider->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->minimumValue().toDouble(), -29.9);
        QCOMPARE(value->maximumValue().toDouble(), 29.9);
        main.AdjustCutPosition(-7.5f);
        QCOMPARE(slider->text(QAccessible::Value), QStringLiteral("-7.5mm"));
        QCOMPARE(value->currentValue().toDouble(), -7.5);
        main.AdjustCutPosition(12.3f);
        QCOMPARE(value->currentValue().toDouble(), 12.3);

        for (const auto &[wanted, text] : {std::pair{12.3, " 12.3mm"}, {100.0, " 29.9mm"}, {-1e300, "-29.9mm"}}) {
            value->setCurrentValue(wanted);
            QCOMPARE(offsetText(main), QString::fromLatin1(text));
            QCOMPARE(slider->text(QAccessible::Value), QString::fromLatin1(text));
        }
    }

    void keysWaitForADragToEnd()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        focusPicture(main);
        main.Picture1_MouseDown(Qt::LeftButton, {}, 1.0f, 20.0f);
        QTest::keyClick(picture(main), Qt::Key_Home);
        QTest::keyClick(picture(main), Qt::Key_Down);
        QCOMPARE(lineHeight(main), 20.0);
        QCOMPARE(offsetText(main), QStringLiteral(" 0mm"));
        main.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, 20.0f);
        QCOMPARE(offsetText(main), QStringLiteral("-13mm"));
    }

    // A frame in the highlight colour shows where the keys go; without the focus the strip's
    // black edges show again.
    void thePictureShowsTheFocus()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        focusPicture(main);
        const QColor highlight = picture(main)->palette().color(QPalette::Highlight);
        QImage drawn = picture(main)->grab().toImage();
        for (const QPoint &edge : {QPoint(0, 30), QPoint(129, 30), QPoint(50, 0), QPoint(50, 130)})
            QCOMPARE(drawn.pixelColor(edge), highlight);
        QCOMPARE(drawn.pixelColor(60, 61), QColor(255, 0, 0));

        QTest::keyClick(picture(main), Qt::Key_Tab);
        QVERIFY(!picture(main)->hasFocus());
        drawn = picture(main)->grab().toImage();
        QCOMPARE(drawn.pixelColor(0, 30), QColor(0, 0, 0));
        QCOMPARE(drawn.pixelColor(129, 30), QColor(0, 0, 0));
    }

    void theAdjusterIsLiveWhateverTheListShowsAndUseSettingsSendsTheBox()
    {
        PseudoTerminal pty;
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        auto *list = main.findChild<QComboBox *>(QStringLiteral("comCComp"));
        QVERIFY(list);
        QCOMPARE(list->currentIndex(), 0);
        main.Picture1_MouseDown(Qt::LeftButton, {}, 1.0f, 40.0f);
        main.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, 45.26f);
        QCOMPARE(offsetText(main), QStringLiteral(" 12.3mm"));

        list->setCurrentIndex(1);
        main.Picture1_MouseDown(Qt::LeftButton, {}, 1.0f, 29.5f);
        main.Picture1_MouseUp(Qt::LeftButton, {}, 1.0f, 29.5f);
        QCOMPARE(offsetText(main), QStringLiteral("-3.5mm"));

        useSerial(main, 1, pty.devicePath());
        click(main, "comUse");
        QCOMPARE(pty.readAll(), switchBytes('E', '+', "1000") + switchBytes('E', '-', "0FFF") +
                                    switchBytes('E', '+', "0035") + selfTest());
    }

    // Deleting the window moves the focus off the box while the window is half torn down; the
    // window's focus slot must not run then (the sanitizer build reports it as undefined).
    void closingWithTheFocusInTheBox()
    {
        auto *main = new frmMain(QStringLiteral(KR52_PROGRAM_DIR));
        main->show();
        QApplication::setActiveWindow(main);
        QVERIFY(QTest::qWaitForWindowActive(main));
        main->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(4);
        auto *box = main->findChild<QLineEdit *>(QStringLiteral("txtCutOffset"));
        QVERIFY(box);
        box->setFocus();
        box->setText(QStringLiteral("12"));
        QCOMPARE(QApplication::focusWidget(), box);
        int focusMoves = 0;
        const QMetaObject::Connection watch = connect(qApp, &QApplication::focusChanged, this,
                                                      [&](QWidget *old, QWidget *) { focusMoves += old == box; });
        delete main;
        disconnect(watch);
        QCOMPARE(focusMoves, 1); // the focus did leave the box during the deletion
        QCOMPARE(QApplication::focusWidget(), nullptr);
    }
};

QTEST_MAIN(tst_cutadjuster)
#include "tst_cutadjuster.moc"
