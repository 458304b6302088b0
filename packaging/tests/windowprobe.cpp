// SPDX-License-Identifier: GPL-3.0-or-later
// Loaded into the installed kr52-config with LD_PRELOAD: once the main window is up, it presses
// the Help button of one setting and the (hidden) Presets button as a user would, writes what the
// windows show to standard output as JSON, and ends the program. The program itself is unchanged.
#include <QAbstractButton>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QMessageBox>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

QJsonObject report;

[[noreturn]] void finish(int status)
{
    std::fputs(QJsonDocument(report).toJson(QJsonDocument::Compact).append('\n').constData(), stdout);
    std::fflush(stdout);
    std::_Exit(status);
}

QWidget *topLevel(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    return nullptr;
}

template <typename T>
T *child(QWidget *window, const QString &name)
{
    T *found = window ? window->findChild<T *>(name) : nullptr;
    if (!found) {
        report[QStringLiteral("failure")] =
            QStringLiteral("no %1 in %2").arg(name, window ? window->objectName() : "-");
        finish(3);
    }
    return found;
}

// A message box means a page or folder was not found: report its text instead of waiting on it.
void stopOnMessage()
{
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        report[QStringLiteral("message")] = box->text();
        finish(4);
    }
}

void watchForMessages()
{
    auto *watch = new QTimer(qApp);
    QObject::connect(watch, &QTimer::timeout, stopOnMessage);
    watch->start(50);
    QTimer::singleShot(20000, [] {
        report[QStringLiteral("failure")] = QStringLiteral("timed out");
        finish(5);
    });
}

void readHelpWindow()
{
    stopOnMessage();
    QWidget *help = topLevel(QStringLiteral("frmHelp"));
    report[QStringLiteral("help")] = child<QTextEdit>(help, QStringLiteral("rtbHelpText"))->toPlainText();
    child<QAbstractButton>(help, QStringLiteral("comDone"))->click();
}

void readPresetsWindow()
{
    stopOnMessage();
    QJsonArray names;
    const QListWidget *list = child<QListWidget>(topLevel(QStringLiteral("frmPresets")), QStringLiteral("filePresets"));
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    report[QStringLiteral("presets")] = names;
    finish(0);
}

void probe()
{
    QWidget *main = topLevel(QStringLiteral("frmMain"));
    // The help window runs its own loop: it is read from there.
    QTimer::singleShot(0, readHelpWindow);
    child<QAbstractButton>(main, QStringLiteral("comHelp(7)"))->click();
    QTimer::singleShot(0, readPresetsWindow);
    child<QAbstractButton>(main, QStringLiteral("comPresets"))->click();
}

// The settings pages' controls come just after the main window's first frame, so the probe
// waits for them, as a user would for the window, a second at most; then it goes on either way.
void probeOnceUp(int triesLeft)
{
    QWidget *main = topLevel(QStringLiteral("frmMain"));
    if (triesLeft > 0 && !(main && main->findChild<QAbstractButton *>(QStringLiteral("comHelp(7)")))) {
        QTimer::singleShot(10, [triesLeft] { probeOnceUp(triesLeft - 1); });
        return;
    }
    probe();
}

// Runs when the application object is made; the probe starts once its event loop runs.
void schedule()
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            watchForMessages();
            probeOnceUp(100);
        },
        Qt::QueuedConnection);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(schedule)
