// SPDX-License-Identifier: GPL-3.0-or-later
// What an operator meets without a pointer or without sight: the mouse wheel over the lists,
// and the names and descriptions assistive tools read for every control.

#include "portdialog/frmPort.h"
#include "settings/catalogue.h"
#include "shell/frmMain.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
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

// The name a settings row is announced by: its caption, with its second line where it has one.
QString rowName(const kr52::SettingRow &row)
{
    return row.qualifier.isEmpty() ? row.caption : row.caption + QLatin1Char(' ') + row.qualifier;
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

    void settingsListsAndHelpButtonsAreNamedByTheirCaptions()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        for (const kr52::SettingRow &row : kr52::settingsCatalogue()) {
            auto *list = main.findChild<QComboBox *>(row.listName);
            QCOMPARE(accessibleText(list, QAccessible::Name), rowName(row));
            // The entry is still announced, as the list's value.
            list->setCurrentIndex(list->count() - 1);
            QCOMPARE(accessibleText(list, QAccessible::Value), row.entries.last());
            QVERIFY(!accessibleText(list, QAccessible::Description).isEmpty());

            auto *help = main.findChild<QPushButton *>(QStringLiteral("comHelp(%1)").arg(row.helpIndex));
            QCOMPARE(accessibleText(help, QAccessible::Name), QStringLiteral("Help on ") + rowName(row));
            QCOMPARE(help->text(), QStringLiteral("Help"));
        }
        // The names come from the visible captions, which stay as they are.
        QCOMPARE(main.findChild<QLabel *>(QStringLiteral("labSpeed"))->buddy(),
                 main.findChild<QWidget *>(QStringLiteral("comSpeed")));
    }

    void everyControlHasAName_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("cut offset") << "frmMain"
                                    << "txtCutOffset"
                                    << "Cut offset";
        QTest::newRow("picture") << "frmMain"
                                 << "Picture1"
                                 << "Cut position: drag the line or use the arrow keys";
        QTest::newRow("printer picture") << "frmMain"
                                         << "Image1"
                                         << "Arvel KR52 printer";
        QTest::newRow("logo") << "frmMain"
                              << "Picture2"
                              << "Arvel logo";
        QTest::newRow("port") << "frmPort"
                              << "cmbPort"
                              << "Port";
        QTest::newRow("baud rate") << "frmPort"
                                   << "cmbBaud"
                                   << "Baud Rate";
        QTest::newRow("data bits") << "frmPort"
                                   << "txtData"
                                   << "Data Bits";
        QTest::newRow("stop bits") << "frmPort"
                                   << "txtStop"
                                   << "Stop Bits";
    }

    void everyControlHasAName()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, name);
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        frmPort port(&main, main.serialControl());
        QWidget *owner = window == QLatin1String("frmPort") ? static_cast<QWidget *>(&port) : &main;
        auto *widget = owner->findChild<QWidget *>(control);
        QVERIFY(widget);
        QCOMPARE(accessibleText(widget, QAccessible::Name), name);
    }

    // Whatever the tables above leave out: nothing the keyboard reaches goes unnamed.
    void nothingTheKeyboardReachesIsUnnamed()
    {
        frmMain main(QStringLiteral(KR52_PROGRAM_DIR));
        frmPort port(&main, main.serialControl());
        for (QWidget *window : {static_cast<QWidget *>(&main), static_cast<QWidget *>(&port)}) {
            for (QWidget *widget : window->findChildren<QWidget *>()) {
                if (widget->focusPolicy() == Qt::NoFocus || widget->isHidden() || !widget->isEnabled())
                    continue;
                if (qobject_cast<QTabWidget *>(widget) || widget->inherits("QTabBar"))
                    continue; // the tab row is announced tab by tab
                const QString name = accessibleText(widget, QAccessible::Name);
                QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
                // Buttons other than the help buttons are named by their captions.
                auto *button = qobject_cast<QPushButton *>(widget);
                if (button && !button->objectName().startsWith(QLatin1String("comHelp(")))
                    QCOMPARE(name, button->text());
            }
        }
    }
};

QTEST_MAIN(tst_accessibility)
#include "tst_accessibility.moc"
