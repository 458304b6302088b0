// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/frmPresets.h"
#include "shell/frmMain.h"
#include "support/controls.h"
#include "support/messagecapture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace {

const QString incorrectText = QStringLiteral(
    "The preset 'lower case.pre' does not appear to be a preset file.\n"
    "  This may be a corrupt file or it may require a more revent version of the Arvel KR86 Setup utility.");

frmPresets *shownDialog()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("frmPresets"))
            return qobject_cast<frmPresets *>(window);
    return nullptr;
}

// What "Cancel" must leave as it found: every list, the cut offset and the link state.
QStringList mainState(const frmMain &main)
{
    QStringList state;
    for (const QComboBox *list : main.findChildren<QComboBox *>())
        state << list->objectName() + QLatin1Char('=') + QString::number(list->currentIndex());
    for (const QLineEdit *edit : main.findChildren<QLineEdit *>())
        state << edit->objectName() + QLatin1Char('=') + edit->text();
    state << QString::number(main.cmode()) << main.lptport();
    return state;
}

} // namespace

class tst_presetsdialog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_programDir;
    std::unique_ptr<frmMain> m_main;
    QPointer<frmPresets> m_dialog;
    QListWidget *m_list = nullptr;
    QLabel *m_description = nullptr;

    QString presetsFolder() const { return m_programDir->filePath(QStringLiteral("Presets")); }

    void clickPresets()
    {
        // The button stays hidden on the main window, so it is clicked as the program would.
        testsupport::control<QPushButton>(m_main.get(), QStringLiteral("comPresets"))->click();
    }

    // Opens the dialog from the main window, as its hidden "Presets" button would.
    void openDialog()
    {
        clickPresets();
        m_dialog = shownDialog();
        QVERIFY(m_dialog);
        m_list = testsupport::control<QListWidget>(m_dialog.data(), QStringLiteral("filePresets"));
        m_description = testsupport::control<QLabel>(m_dialog.data(), QStringLiteral("labPDesc"));
    }

    void select(const QString &name)
    {
        const QList<QListWidgetItem *> items = m_list->findItems(name, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        m_list->setCurrentItem(items.first());
    }

    void press(const char *button) { testsupport::press(m_dialog.data(), QLatin1String(button)); }

private slots:
    void init()
    {
        m_programDir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_programDir->isValid());
        const QDir source(QStringLiteral(KR52_TEST_DATA "/presets/Presets"));
        QVERIFY(QDir(m_programDir->path()).mkdir(QStringLiteral("Presets")));
        for (const QString &name : source.entryList(QDir::Files))
            QVERIFY(QFile::copy(source.filePath(name), presetsFolder() + QLatin1Char('/') + name));
        m_main = std::make_unique<frmMain>(m_programDir->path());
        m_main->show();
    }

    void cleanup()
    {
        m_main.reset();
        QVERIFY2(!m_dialog, "the main window takes the dialog with it");
        m_programDir.reset();
    }

    void presetsButtonShowsTheDialog()
    {
        MessageCapture messages;
        openDialog();
        QVERIFY(m_main->isHidden());
        QVERIFY(m_dialog->isVisible());
        QVERIFY(!m_dialog->parentWidget());
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Preset Settings"));
        QCOMPARE(m_dialog->size(), QSize(331, 193));
        QCOMPARE(m_dialog->minimumSize(), m_dialog->maximumSize());
        auto *presetsButton = m_main->findChild<QPushButton *>(QStringLiteral("comPresets"));
        QVERIFY(presetsButton);
        QVERIFY(presetsButton->isHidden());

        const QStringList listed{"big version.pre", "empty.pre",    "header only.pre",
                                 "lower case.pre",  "one line.pre", "quoted.pre"};
        QStringList names;
        for (int row = 0; row < m_list->count(); ++row)
            names << m_list->item(row)->text();
        QCOMPARE(names, listed);
        QVERIFY(m_list->selectedItems().isEmpty());
        QVERIFY(m_description->text().isEmpty());
        auto *save = m_dialog->findChild<QPushButton *>(QStringLiteral("comPSave"));
        QVERIFY(save);
        QVERIFY(save->isHidden());
        QCOMPARE(messages.count(), 0);
    }

    void missingFolderShowsTheMainWindowAgain_data()
    {
        QTest::addColumn<bool>("fileInstead");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << false << "No such file or directory";
        QTest::newRow("a file of that name") << true << "Not a directory";
    }

    void missingFolderShowsTheMainWindowAgain()
    {
        QFETCH(bool, fileInstead);
        QFETCH(QString, reason);
        QVERIFY(QDir(presetsFolder()).removeRecursively());
        if (fileInstead)
            QVERIFY(QFile(presetsFolder()).open(QIODevice::WriteOnly));
        MessageCapture messages;
        clickPresets();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, kr52::applicationTitle());
        QCOMPARE(messages.last().icon, QMessageBox::Warning);
        QVERIFY2(messages.last().text.contains(QLatin1Char('\'') + presetsFolder() + QLatin1Char('\'')),
                 qPrintable(messages.last().text));
        QVERIFY2(messages.last().text.contains(reason), qPrintable(messages.last().text));
        QVERIFY(m_main->isVisible());
        QVERIFY(!shownDialog());

        // Once the folder is there, the button works.
        if (fileInstead)
            QVERIFY(QFile::remove(presetsFolder()));
        QVERIFY(QDir(m_programDir->path()).mkdir(QStringLiteral("Presets")));
        openDialog();
        QCOMPARE(m_list->count(), 0);
    }

    void selectingShowsDescriptionsAndWarnings()
    {
        openDialog();
        MessageCapture messages;
        select(QStringLiteral("one line.pre"));
        QCOMPARE(m_description->text(), QStringLiteral("Receipt set-up on one line"));
        select(QStringLiteral("quoted.pre"));
        QCOMPARE(m_description->text(), QStringLiteral("Black-mark tickets, 2 mm cut offset"));
        select(QStringLiteral("big version.pre"));
        QCOMPARE(m_description->text(), QStringLiteral("Version too large, description fine"));
        QCOMPARE(messages.count(), 0);

        select(QStringLiteral("lower case.pre"));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, QStringLiteral("Incorrect Preset File"));
        QCOMPARE(messages.last().text, incorrectText);
        QCOMPARE(messages.last().icon, QMessageBox::Warning);
        QCOMPARE(m_description->text(), QStringLiteral("Version too large, description fine"));

        select(QStringLiteral("empty.pre"));
        QCOMPARE(messages.count(), 2);
        QCOMPARE(messages.last().title, QStringLiteral("Incorrect Preset File"));
        QVERIFY(messages.last().text.startsWith(QStringLiteral("The preset 'empty.pre' does not appear")));
        QCOMPARE(m_description->text(), QStringLiteral("Version too large, description fine"));

        select(QStringLiteral("header only.pre"));
        QCOMPARE(messages.count(), 2);
        QCOMPARE(m_description->text(), QString());
        QVERIFY(m_dialog->isVisible());
    }

    void descriptionsAreNotMarkup()
    {
        QFile file(presetsFolder() + QStringLiteral("/markup.pre"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("VX5PREV1,<b>bold</b> <img src=x>\r\n");
        file.close();
        openDialog();
        select(QStringLiteral("markup.pre"));
        QCOMPARE(m_description->text(), QStringLiteral("<b>bold</b> <img src=x>"));
        QCOMPARE(m_description->textFormat(), Qt::PlainText);
    }

    // The list shows a name that is not UTF-8 decoded, and selecting it opens the file by its
    // bytes; a FIFO beside it is not listed at all, so it can never stall the dialog.
    void oddNamesAndFiles()
    {
        const QByteArray folder = QFile::encodeName(presetsFolder());
        FILE *stream = std::fopen((folder + "/caf\xe9.pre").constData(), "w");
        QVERIFY(stream);
        std::fputs("VX5PREV1,Caf\xe9 tickets", stream);
        std::fclose(stream);
        QCOMPARE(::mkfifo((folder + "/stalls.pre").constData(), 0600), 0);
        openDialog();
        QVERIFY(m_list->findItems(QStringLiteral("stalls.pre"), Qt::MatchExactly).isEmpty());
        MessageCapture messages;
        select(QStringLiteral("caf\u00e9.pre"));
        QCOMPARE(messages.count(), 0);
        QCOMPARE(m_description->text(), QStringLiteral("Caf\u00e9 tickets"));
        press("comPUse");
        QCOMPARE(messages.count(), 0);
    }

    void useChecksTheHeaderOnly()
    {
        openDialog();
        const QStringList before = mainState(*m_main);
        MessageCapture messages;
        select(QStringLiteral("one line.pre"));
        press("comPUse");
        QCOMPARE(messages.count(), 0);
        QVERIFY(m_dialog->isVisible());
        QVERIFY(m_main->isHidden());
        QCOMPARE(m_description->text(), QStringLiteral("Receipt set-up on one line"));

        for (const char *name : {"lower case.pre", "big version.pre", "empty.pre"}) {
            select(QLatin1String(name));
            messages.clear();
            press("comPUse");
            QCOMPARE(messages.count(), 1);
            QCOMPARE(messages.last().title, kr52::applicationTitle());
            QCOMPARE(messages.last().text, QStringLiteral("Corrupt preset file"));
            QCOMPARE(messages.last().icon, QMessageBox::NoIcon);
            QVERIFY(m_dialog->isVisible());
            QVERIFY(m_main->isHidden());
        }
        QCOMPARE(mainState(*m_main), before);
    }

    // With nothing selected neither a click in the list nor "Use" touches a file: here the
    // folder is gone, and still nothing is reported.
    void nothingSelectedDoesNothing()
    {
        openDialog();
        select(QStringLiteral("quoted.pre"));
        QVERIFY(QDir(presetsFolder()).removeRecursively());
        MessageCapture messages;
        m_list->clearSelection();
        QVERIFY(m_list->selectedItems().isEmpty());
        press("comPUse");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(m_description->text(), QStringLiteral("Black-mark tickets, 2 mm cut offset"));
        QVERIFY(m_dialog->isVisible());
    }

    void fileGoneSinceListingIsReported()
    {
        openDialog();
        select(QStringLiteral("quoted.pre"));
        m_list->clearSelection();
        const QString path = presetsFolder() + QStringLiteral("/one line.pre");
        QVERIFY(QFile::remove(path));
        MessageCapture messages;
        select(QStringLiteral("one line.pre"));
        press("comPUse");
        QCOMPARE(messages.count(), 2);
        for (const MessageCapture::Message &message : messages.messages()) {
            QCOMPARE(message.title, kr52::applicationTitle());
            QCOMPARE(message.icon, QMessageBox::Warning);
            QVERIFY2(message.text.contains(QLatin1Char('\'') + path + QLatin1Char('\'')), qPrintable(message.text));
            QVERIFY2(message.text.contains(QStringLiteral("No such file or directory")), qPrintable(message.text));
        }
        QCOMPARE(m_description->text(), QStringLiteral("Black-mark tickets, 2 mm cut offset"));
        QVERIFY(m_dialog->isVisible());
    }

    void cancelReturnsWithSettingsUnchanged()
    {
        const QList<QComboBox *> lists = m_main->findChildren<QComboBox *>();
        QVERIFY(lists.size() >= 22);
        for (int i = 0; i < lists.size(); ++i)
            lists[i]->setCurrentIndex(i % lists[i]->count());
        m_main->setCmode(2);
        m_main->setLptport(QStringLiteral("LPT3:"));
        const QStringList before = mainState(*m_main);

        openDialog();
        MessageCapture messages;
        select(QStringLiteral("one line.pre"));
        press("comPUse");
        press("comPCancel");
        QVERIFY(m_dialog->isHidden());
        QVERIFY(m_main->isVisible());
        QCOMPARE(mainState(*m_main), before);
        QCOMPARE(messages.count(), 0);
    }

    // The dialog is kept between showings, and the folder is listed only once.
    void reopeningKeepsTheDialogAsItWas()
    {
        openDialog();
        select(QStringLiteral("quoted.pre"));
        press("comPCancel");
        QFile added(presetsFolder() + QStringLiteral("/added later.pre"));
        QVERIFY(added.open(QIODevice::WriteOnly));
        added.write("VX5PREV1,Added later\r\n");
        added.close();

        const QPointer<frmPresets> first = m_dialog;
        openDialog();
        QCOMPARE(m_dialog, first);
        QVERIFY(m_dialog->isVisible());
        QVERIFY(m_main->isHidden());
        QCOMPARE(m_list->count(), 6);
        QVERIFY(m_list->findItems(QStringLiteral("added later.pre"), Qt::MatchExactly).isEmpty());
        QCOMPARE(m_list->currentItem()->text(), QStringLiteral("quoted.pre"));
        QCOMPARE(m_description->text(), QStringLiteral("Black-mark tickets, 2 mm cut offset"));
    }

    // Closing from the frame or with Esc is "Cancel": the program never stays without a window.
    void closingActsAsCancel_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("window frame") << false;
        QTest::newRow("Esc") << true;
    }

    void closingActsAsCancel()
    {
        QFETCH(bool, escape);
        QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
        openDialog();
        if (escape)
            QTest::keyClick(m_list, Qt::Key_Escape);
        else
            QVERIFY(m_dialog->close());
        QVERIFY(m_dialog);
        QVERIFY(m_dialog->isHidden());
        QVERIFY(m_main->isVisible());
        QCOMPARE(lastWindowClosed.count(), 0);
    }
};

QTEST_MAIN(tst_presetsdialog)
#include "tst_presetsdialog.moc"
