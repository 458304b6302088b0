// SPDX-License-Identifier: GPL-3.0-or-later
// The main window during a send over a stalled line: a real pseudo-terminal whose output is
// stopped (tcflow TCOOFF), so the printer takes nothing and the action runs to its deadline.
// A 10 ms timer runs meanwhile and each tick asks the window to repaint. Prints, per action
// ("Print Self Test", then "Use Settings" with every list at a choice), how long the action took,
// the longest gap between two ticks (the longest stall of the event loop) and when it ended,
// the ticks and the paints.
//
//   bench_sendstall [write timeout in ms, 5000 by default, the program's own]
//
// Target: the longest gap under about 100 ms, and the action over at the write timeout plus
// the line time of its bytes.
#include "printer/mscomm.h"
#include "shell/frmMain.h"
#include "ui/messagebox.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal whose line sends nothing until it is closed.
struct StoppedLine {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    int keeper = -1;
    QString path;

    StoppedLine()
    {
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        path = QString::fromLocal8Bit(::ptsname(master));
        keeper = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios raw{};
        ::tcgetattr(keeper, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(keeper, TCSANOW, &raw);
        ::tcflow(keeper, TCOOFF);
    }
    ~StoppedLine()
    {
        ::close(keeper);
        ::close(master);
    }
};

class Watch : public QObject {
public:
    explicit Watch(QWidget &window) : m_window(window)
    {
        window.installEventFilter(this);
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 gapMs = m_sinceTick.restart();
            if (gapMs > longestGapMs) {
                longestGapMs = gapMs;
                longestGapEndedMs = m_clock.elapsed();
            }
            ++ticks;
            m_window.update();
        });
        m_clock.start();
        m_sinceTick.start();
        m_timer.start();
    }
    qint64 longestGapMs = 0;
    qint64 longestGapEndedMs = 0;
    int ticks = 0;
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }

private:
    QWidget &m_window;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceTick;
};

void measure(frmMain &main, const char *action, const char *button)
{
    Watch watch(main);
    QElapsedTimer clock;
    clock.start();
    main.findChild<QPushButton *>(QString::fromLatin1(button))->click();
    std::printf("%-16s action_ms=%lld longest_gap_ms=%lld (ended at %lld ms) ticks=%d paints=%d\n", action,
                static_cast<long long>(clock.elapsed()), static_cast<long long>(watch.longestGapMs),
                static_cast<long long>(watch.longestGapEndedMs), watch.ticks, watch.paints);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int writeTimeoutMs = argc > 1 ? QByteArray(argv[1]).toInt() : 5000; // not a number: 0
    StoppedLine line;
    if (line.keeper < 0) {
        std::fprintf(stderr, "bench_sendstall: no pseudo-terminal\n");
        return 1;
    }
    qputenv("KR52_COM1", line.path.toLocal8Bit());
    kr52::setMessageHandler([](const QString &, const QString &, QMessageBox::Icon) {});

    frmMain main(QCoreApplication::applicationDirPath());
    main.show();
    main.serialControl()->setCommPort(1);
    main.serialControl()->setWriteTimeout(writeTimeoutMs);
    main.setProperty("cmode", QVariant::fromValue<qint16>(1));
    measure(main, "Print Self Test", "Command4");
    for (QComboBox *list : main.findChildren<QComboBox *>())
        list->setCurrentIndex(list->count() - 1);
    measure(main, "Use Settings", "comUse");
    return 0;
}
