// SPDX-License-Identifier: GPL-3.0-or-later
// What an operator meets without a pointer or without sight: the mouse wheel over the lists,
// and the names and descriptions assistive tools read for every control.

#include "portdialog/frmPort.h"
#include "settings/catalogue.h"
#include "shell/frmMain.h"
#include "ui/accessiblenames.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>

#include <memory>

namespace {

// One notch of the wheel towards the operator, over the middle of the control.
void turnWheel(QWidget *control)
{
    const QPointF middle = QRectF(control->rect()).center();
    QWheelEvent event(middle, control->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(control, &event);
}

QString accessibleText(QWidget *control, QAccessible::Text kind)
{
    QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(control);
    return interface ? interface->text(kind) : QStringLiteral("<no interface>");
}

// The main window and its port dialog, shown and active, as an operator has them.
struct Windows {
    frmMain main{QStringLiteral(KR52_PROGRAM_DIR)};
    std::unique_ptr<frmPort> port;

    QWidget *show(const QString &window)
    {
        QWidget *shown = &main;
        if (window == QLatin1String("frmPort")) {
            port = std::make_unique<frmPort>(&main, main.serialControl());
            shown = port.get();
        }
        shown->show();
        QApplication::setActiveWindow(shown);
        return QTest::qWaitForWindowActive(shown) ? shown : nullptr;
    }
};

} // namespace

class tst_accessibility : public QObject {
    Q_OBJECT

private slots:
    void theWheelChangesOnlyTheFocusedList_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("list");
        for (const kr52::SettingRow &row : kr52::settingsCatalogue())
            QTest::newRow(qPrintable(row.listName)) << "frmMain" << row.listName;
        QTest::newRow("cmbPort") << "frmPort"
                                 << "cmbPort";
        QTest::newRow("cmbBaud") << "frmPort"
                                 << "cmbBaud";
    }

    void theWheelChangesOnlyTheFocusedList()
    {
        QFETCH(QString, window);
        QFETCH(QString, list);
        Windows windows;
        QWidget *shown = windows.show(window);
        QVERIFY(shown);
        auto *target = shown->findChild<QComboBox *>(list);
        QVERIFY(target);
        // A real wheel first focuses a control that takes the focus from the wheel, then turns
        // it: no list may take it so.
        QCOMPARE(target->focusPolicy(), Qt::StrongFocus);

        // The focus rests on a control beside the list: the tab row, or the data bits box.
        QWidget *elsewhere = shown->findChild<QLineEdit *>(QStringLiteral("txtData"));
        if (auto *tabs = shown->findChild<QTabWidget *>()) {
            for (int page = 0; page < tabs->count(); ++page) {
                if (tabs->widget(page)->isAncestorOf(target))
                    tabs->setCurrentIndex(page);
            }
            elsewhere = tabs->tabBar();
        }
        const int before = target->currentIndex();
        elsewhere->setFocus();
        QVERIFY(elsewhere->hasFocus());
        turnWheel(target);
        QCOMPARE(target->currentIndex(), before);

        target->setFocus();
        QVERIFY(target->hasFocus());
        turnWheel(target);
        QCOMPARE(target->currentIndex(), before + 1);
    }

    // Enter presses the focused button; in the port dialog, Enter in a field presses "Use".
    void enterPressesTheFocusedButtonOrTheDialogsDefault()
    {
        Windows windows;
        QVERIFY(windows.show(QStringLiteral("frmMain")));
        auto *configure = windows.main.findChild<QPushButton *>(QStringLiteral("comConfPort"));
        configure->setFocus();
        QTest::keyClick(configure, Qt::Key_Return);
        frmPort *port = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets())
            port = port ? port : qobject_cast<frmPort *>(window);
        QVERIFY(port && port->isVisible());
        QVERIFY(!windows.main.isVisible());

        QApplication::setActiveWindow(port);
        QVERIFY(QTest::qWaitForWindowActive(port));
        // The focus is drawn at once, not only after the first Tab.
        QVERIFY(port->testAttribute(Qt::WA_KeyboardFocusChange));
        auto *dataBits = port->findChild<QLineEdit *>(QStringLiteral("txtData"));
        dataBits->setFocus();
        QTest::keyClick(dataBits, Qt::Key_Return);
        // "Use" with the first printer port chosen: the parallel link, and back to the main window.
        QVERIFY(!port->isVisible());
        QCOMPARE(windows.main.property("cmode").value<qint16>(), qint16(2));
    }

    // Alt+letter reaches one control only in each window, and the "&" changes no visible word.
    void accessKeysAreUniqueInEachWindow()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        frmPort port(&main, main.serialControl());
        port.show();
        auto *choose = port.findChild<QPushButton *>(QStringLiteral("comChooseDevice"));
        choose->click();
        auto *chooser = port.findChild<QDialog *>(QStringLiteral("frmDevice"));
        QVERIFY(chooser);
        for (QWidget *window : {static_cast<QWidget *>(&main), static_cast<QWidget *>(&port),
                                static_cast<QWidget *>(chooser)}) {
            QStringList texts;
            if (auto *tabs = window->findChild<QTabWidget *>()) {
                for (int page = 0; page < tabs->count(); ++page)
                    texts << tabs->tabText(page);
            }
            for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
                if (button->window() == window)
                    texts << button->text();
            }
            for (QLabel *label : window->findChildren<QLabel *>()) {
                if (label->window() == window)
                    texts << label->text();
            }
            QMap<QString, QString> keys;
            for (const QString &text : texts) {
                const QKeySequence key = QKeySequence::mnemonic(text);
                if (key.isEmpty())
                    continue;
                QVERIFY2(!keys.contains(key.toString()),
                         qPrintable(QStringLiteral("%1 and %2").arg(keys.value(key.toString()), text)));
                keys.insert(key.toString(), text);
            }
            QVERIFY(keys.size() >= 4);
        }
    }

    // What a screen reader hears of each list, field, picture and window is checked through the
    // real accessibility bus (tests/screenreader); here, whatever that leaves out: nothing the
    // keyboard reaches goes unnamed.
    void nothingTheKeyboardReachesIsUnnamed()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        frmPort port(&main, main.serialControl());
        for (QWidget *window : {static_cast<QWidget *>(&main), static_cast<QWidget *>(&port)}) {
            for (QWidget *widget : window->findChildren<QWidget *>()) {
                if (widget->focusPolicy() == Qt::NoFocus || widget->isHidden() || !widget->isEnabled())
                    continue;
                if (widget->window() != window)
                    continue; // a list's pop-up is announced as the list's child
                if (qobject_cast<QTabWidget *>(widget) || widget->inherits("QTabBar"))
                    continue; // the tab row is announced tab by tab
                const QString name = accessibleText(widget, QAccessible::Name);
                QVERIFY2(!name.isEmpty(),
                         qPrintable(widget->objectName() + QLatin1Char(' ') + widget->metaObject()->className()));
                // Buttons other than the help buttons are named by their captions' words.
                auto *button = qobject_cast<QPushButton *>(widget);
                if (button && !button->objectName().startsWith(QLatin1String("comHelp(")))
                    QCOMPARE(name, kr52::withoutAccessKey(button->text()));
            }
        }
    }
};

QTEST_MAIN(tst_accessibility)
#include "tst_accessibility.moc"
