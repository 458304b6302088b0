// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/profilefolder.h"
#include "printer/mscomm.h"
#include "settings/catalogue.h"
#include "shell/frmMain.h"
#include "support/linkfixture.h"
#include "support/messagecapture.h"
#include "support/pseudoterminal.h"
#include "ui/filedialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>

using namespace kr52;

namespace {

// Answers the program's file dialogs with a path the test chooses, and keeps what was asked.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(QString path) : m_path(std::move(path))
    {
        m_previous = setFileDialogHandler([this](const FileRequest &request) {
            requests.append(request);
            return m_path;
        });
    }
    ~FileDialogAnswer() { setFileDialogHandler(m_previous); }
    FileDialogAnswer(const FileDialogAnswer &) = delete;
    FileDialogAnswer &operator=(const FileDialogAnswer &) = delete;

    QList<FileRequest> requests;

private:
    QString m_path;
    FileDialogHandler m_previous;
};

QComboBox *list(frmMain &window, const char *name)
{
    return window.findChild<QComboBox *>(QString::fromLatin1(name));
}

QString cutOffsetText(frmMain &window)
{
    return window.findChild<QLineEdit *>(QStringLiteral("txtCutOffset"))->text();
}

// Every list's index, in catalogue order.
QList<int> indexes(frmMain &window)
{
    QList<int> all;
    for (const SettingRow &row : settingsCatalogue())
        all.append(window.findChild<QComboBox *>(row.listName)->currentIndex());
    return all;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

// The profile's lines without its first, the comment that carries the time.
QByteArray withoutComment(const QByteArray &text)
{
    return text.mid(text.indexOf('\n') + 1);
}

void trigger(frmMain &window, const char *action)
{
    auto *found = window.findChild<QAction *>(QString::fromLatin1(action));
    QVERIFY2(found, action);
    found->trigger();
}

} // namespace

// The main window's profiles: the menu and its keys, saving, opening, the remembered folder.
class tst_profilewindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_config;

private slots:
    void init()
    {
        // Each test starts without a remembered folder, in a home of its own.
        QVERIFY(m_config.isValid());
        QDir(m_config.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_config.path() + QStringLiteral("/home")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path() + QStringLiteral("/config")));
        qputenv("HOME", QFile::encodeName(m_config.path() + QStringLiteral("/home")));
        linktest::clearDeviceOverrides();
    }

    void menuSitsInTheTabRowCornerAndMovesNoControl()
    {
        frmMain window(QStringLiteral(KR52_PROGRAM_DIR));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        auto *button = window.findChild<QToolButton *>(QStringLiteral("comProfile"));
        QVERIFY(tabs && button);
        QCOMPARE(tabs->cornerWidget(Qt::TopRightCorner), button);
        QVERIFY(button->isVisible());
        QVERIFY(!button->accessibleName().isEmpty());
        QVERIFY(button->focusPolicy() & Qt::TabFocus);

        QStringList texts;
        for (const QAction *action : button->menu()->actions())
            texts << action->objectName() + QLatin1Char(' ') + action->text() + QLatin1Char(' ') +
                         action->shortcut().toString();
        QCOMPARE(texts, (QStringList{"actOpenProfile Open Profile... Ctrl+O", "actSaveProfile Save Profile As... Ctrl+S"}));

        // Beside the tabs, within the tab row.
        const QRect row = tabs->tabBar()->geometry();
        const QRect corner = button->geometry();
        QVERIFY(corner.left() >= row.right());
        QVERIFY(corner.top() >= 0 && corner.bottom() <= row.bottom());

        // Every control of every page stays where it is without the button.
        QMap<QWidget *, QRect> placed;
        for (QWidget *control : tabs->findChildren<QWidget *>())
            if (control != button && !button->isAncestorOf(control))
                placed.insert(control, QRect(control->mapTo(&window, QPoint()), control->size()));
        tabs->setCornerWidget(nullptr, Qt::TopRightCorner);
        button->hide();
        for (auto it = placed.cbegin(); it != placed.cend(); ++it)
            QCOMPARE(QRect(it.key()->mapTo(&window, QPoint()), it.key()->size()), it.value());
    }

    void keysAndTabReachTheProfiles()
    {
        frmMain window(QStringLiteral(KR52_PROGRAM_DIR));
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        FileDialogAnswer cancel{QString()};
        QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(cancel.requests.size(), 2);
        QCOMPARE(cancel.requests[0].purpose, FileRequest::Purpose::Open);
        QCOMPARE(cancel.requests[1].purpose, FileRequest::Purpose::Save);

        // Tab comes round to the button, which opens its menu from the keyboard.
        auto *button = window.findChild<QToolButton *>(QStringLiteral("comProfile"));
        window.findChild<QTabWidget *>(QStringLiteral("SSTab1"))->tabBar()->setFocus();
        for (int presses = 0; presses < 40 && !button->hasFocus(); ++presses)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(button->hasFocus());
        QTimer::singleShot(0, button->menu(), [menu = button->menu()] {
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QTest::keyClick(button, Qt::Key_Space);
        QTRY_COMPARE(cancel.requests.size(), 3);
    }

    void savesTheChosenSettings_data()
    {
        QTest::addColumn<int>("cmode");
        QTest::addColumn<QString>("serialSettings");
        QTest::addColumn<QByteArray>("port");

        QTest::newRow("no port chosen") << 0 << "19200,n,7,2" << QByteArray();
        QTest::newRow("parallel port") << 2 << "19200,n,7,2" << QByteArray();
        QTest::newRow("serial port") << 1 << "19200,n,7,2" << QByteArray("\n[port]\nbaud=19200\ndata=7\nstop=2\n");
    }

    void savesTheChosenSettings()
    {
        QFETCH(int, cmode);
        QFETCH(QString, serialSettings);
        QFETCH(QByteArray, port);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shop.ini"));
        frmMain window(QStringLiteral(KR52_PROGRAM_DIR));
        window.setProperty("cmode", QVariant::fromValue<qint16>(qint16(cmode)));
        window.serialControl()->setProperty("Settings", serialSettings);
        list(window, "comSpeed")->setCurrentIndex(2);
        list(window, "comColumns")->setCurrentIndex(2);
        list(window, "comCComp")->setCurrentIndex(1);
        window.findChild<QLineEdit *>(QStringLiteral("txtCutOffset"))->setText(QStringLiteral("-1.25"));

        FileDialogAnswer answer(path);
        MessageCapture messages;
        trigger(window, "actSaveProfile");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(answer.requests.size(), 1);
        QCOMPARE(answer.requests[0].folder, QDir::homePath());
        QCOMPARE(answer.requests[0].suggestedName, QStringLiteral("kr52-profile.ini"));

        const QByteArray text = linktest::fileContent(path);
        const QString comment = QString::fromUtf8(text.left(text.indexOf('\n')));
        QVERIFY2(QRegularExpression(QStringLiteral("^; Saved by kr52-config \\d+\\.\\d+\\.\\d+ on "
                                                   "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(Z|[+-]\\d\\d:\\d\\d)$"))
                     .match(comment)
                     .hasMatch(),
                 qPrintable(comment));
        QCOMPARE(withoutComment(text), QByteArray("[settings]\n"
                                                  "Print Speed=Half Speed\n"
                                                  "Print Columns=50 column\n"
                                                  "Start Position Adjustment=Adjust as below\n"
                                                  "cut-offset=-1.2\n") +
                                           port);
        // The box shows what was saved, and the folder is offered next time.
        QCOMPARE(cutOffsetText(window), QStringLiteral("-1.2mm"));
        trigger(window, "actSaveProfile");
        QCOMPARE(answer.requests.last().folder, dir.path());
    }

    void aFailedSaveLeavesTheFileAsItWas()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shop.ini"));
        writeFile(path, "[settings]\nPrint Speed=Full Speed\n");
        frmMain window(QStringLiteral(KR52_PROGRAM_DIR));
        list(window, "comSpeed")->setCurrentIndex(2);
        MessageCapture messages;

        // A parity that a profile cannot hold.
        window.setProperty("cmode", QVariant::fromValue<qint16>(1));
        window.serialControl()->setProperty("Settings", QStringLiteral("9600,e,8,1"));
        QVERIFY(!window.saveProfile(path));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, QStringLiteral("Save Profile"));
        QCOMPARE(messages.last().icon, QMessageBox::Warning);
        QCOMPARE(messages.last().text, QStringLiteral("Could not save the profile %1: The serial settings "
                                                      "\"9600,e,8,1\" use parity, which a profile cannot hold; a "
                                                      "profile's port runs without parity.")
                                           .arg(path));
        QCOMPARE(linktest::fileContent(path), QByteArray("[settings]\nPrint Speed=Full Speed\n"));

        // A folder that is not there.
        const QString nowhere = dir.filePath(QStringLiteral("gone/shop.ini"));
        FileDialogAnswer answer(nowhere);
        window.setProperty("cmode", QVariant::fromValue<qint16>(0));
        trigger(window, "actSaveProfile");
        QCOMPARE(messages.count(), 2);
        QVERIFY2(messages.last().text.startsWith(QStringLiteral("Could not save the profile %1: ").arg(nowhere)),
                 qPrintable(messages.last().text));
        QVERIFY(!QFile::exists(nowhere));
        // Nothing saved, so the folder is not remembered.
        QCOMPARE(profileFolder(), QDir::homePath());
    }

    void opensAProfileWithoutSendingOrChoosingAPort()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shop.ini"));
        writeFile(path, "[settings]\nAuto Cutter=Disabled\nstart position adjustment=adjust as below\n"
                        "cut-offset=29.9\n[port]\nport=COM2:\nbaud=19200\n");
        PseudoTerminal line;
        frmMain window(QStringLiteral(KR52_PROGRAM_DIR));
        linktest::useSerial(window, 1, line.devicePath());
        list(window, "comSpeed")->setCurrentIndex(2); // left out by the profile: back to No change

        FileDialogAnswer answer(path);
        MessageCapture messages;
        trigger(window, "actOpenProfile");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(answer.requests.size(), 1);
        QCOMPARE(answer.requests[0].purpose, FileRequest::Purpose::Open);
        QList<int> expected(int(settingsCatalogue().size()), 0);
        for (qsizetype row = 0; row < expected.size(); ++row) {
            if (settingsCatalogue()[std::size_t(row)].listName == QLatin1String("comCutter"))
                expected[row] = 2;
            if (settingsCatalogue()[std::size_t(row)].listName == QLatin1String("comCComp"))
                expected[row] = 1;
        }
        QCOMPARE(indexes(window), expected);
        QCOMPARE(cutOffsetText(window), QStringLiteral(" 29.9mm"));
        QCOMPARE(window.property("cmode").toInt(), 1);
        QCOMPARE(window.serialControl()->property("CommPort").toInt(), 1);
        QCOMPARE(window.serialControl()->property("Settings").toString(), QStringLiteral("9600,n,8,1"));
        QCOMPARE(line.readAll(), QByteArray());
        QCOMPARE(profileFolder(), dir.path());
    }

    void refusesAFaultyProfileWhole_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<fifo>", "<folder>", "<missing>" or the file's text
        QTest::addColumn<QString>("error");      // the message's start; %1 is the path

        QTest::newRow("unknown entry, after good lines")
            << QByteArray("[settings]\nAuto Cutter=Disabled\nPrint Speed=Quick\n")
            << "\"Print Speed\" has no entry \"Quick\" (%1 line 3). Its entries are:\n  No change\n  Full Speed\n  "
               "Half Speed\nThe profile was not opened; no setting was changed.";
        QTest::newRow("cut offset out of range")
            << QByteArray("[settings]\nStart Position Adjustment=Adjust as below\ncut-offset=-30\n")
            << "%1 line 3: the cut offset \"-30\" is not a number of millimetres from -29.9 to 29.9";
        QTest::newRow("serial value") << QByteArray("[settings]\nAuto Cutter=Disabled\n[port]\ndata=9\n")
                                      << "%1 line 4: The serial settings";
        QTest::newRow("unknown section") << QByteArray("[printer]\n") << "%1 line 1: unknown section";
        QTest::newRow("not UTF-8") << QByteArray("[settings]\nAuto Cutter=\xff\n") << "The profile %1 is not UTF-8";
        QTest::newRow("missing") << QByteArray("<missing>")
                                 << "Could not read the profile %1: No such file or directory.";
        QTest::newRow("folder") << QByteArray("<folder>") << "Could not read the profile %1: It is a folder";
        QTest::newRow("FIFO") << QByteArray("<fifo>") << "Could not read the profile %1: not a regular file.";
    }

    void refusesAFaultyProfileWhole()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.ini"));
        if (content == "<folder>")
            QVERIFY(QDir().mkdir(path));
        else if (content == "<fifo>")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (content != "<missing>")
            writeFile(path, content);

        frmMain window(QStringLiteral(KR52_PROGRAM_DIR));
        list(window, "comSpeed")->setCurrentIndex(1);
        list(window, "comCComp")->setCurrentIndex(1);
        window.AdjustCutPosition(4.5f);
        const QList<int> before = indexes(window);
        FileDialogAnswer answer(path);
        MessageCapture messages;
        trigger(window, "actOpenProfile");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, QStringLiteral("Open Profile"));
        QCOMPARE(messages.last().icon, QMessageBox::Warning);
        QVERIFY2(messages.last().text.startsWith(error.arg(path)), qPrintable(messages.last().text));
        QVERIFY(messages.last().text.endsWith(QStringLiteral("\nThe profile was not opened; no setting was changed.")));
        QCOMPARE(indexes(window), before);
        QCOMPARE(cutOffsetText(window), QStringLiteral(" 4.5mm"));
        QCOMPARE(profileFolder(), QDir::homePath());
    }

    void cancellingChangesNothing()
    {
        frmMain window(QStringLiteral(KR52_PROGRAM_DIR));
        list(window, "comSpeed")->setCurrentIndex(2);
        FileDialogAnswer cancel{QString()};
        MessageCapture messages;
        trigger(window, "actOpenProfile");
        trigger(window, "actSaveProfile");
        QCOMPARE(cancel.requests.size(), 2);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(list(window, "comSpeed")->currentIndex(), 2);
        QVERIFY(!QFile::exists(profileSettingsFile()));
    }

    void theFolderIsKeptApartFromTheDevices()
    {
        QTemporaryDir dir;
        QCOMPARE(rememberProfileFolder(dir.path()), QString());
        QCOMPARE(profileFolder(), dir.path());
        QCOMPARE(profileSettingsFile(), m_config.path() + QStringLiteral("/config/kr52-config/kr52-config.conf"));
        QVERIFY(!QFile::exists(m_config.path() + QStringLiteral("/config/kr52-config/devices.conf")));
        // A folder that has gone since: home instead.
        QVERIFY(QDir(dir.path()).removeRecursively());
        QCOMPARE(profileFolder(), QDir::homePath());
    }
};

QTEST_MAIN(tst_profilewindow)
#include "tst_profilewindow.moc"
