#include "printer/mscomm.h"
#include "shell/frmMain.h"
#include "support/linkfixture.h"
#include "support/pseudoterminal.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

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
        const int row = int(33.0 * pixelsPerUnit);
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
};

QTEST_MAIN(tst_cutadjuster)
#include "tst_cutadjuster.moc"
