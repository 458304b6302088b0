// SPDX-License-Identifier: GPL-3.0-or-later
// Time from "click" to a painted help window for the pages that once froze it: one paragraph of
// unbroken text (250 KB, 500 KB, 1 MB), one paragraph of 25,000 short bold and italic runs, and
// tiny paragraphs up to the 1 MB size cap (14 MB of them once took 54 s; pages over the cap are
// now refused at once). Each page is written to a help folder, loaded by the real help window
// as its button does, shown, and painted once. Prints, per case, the time to read the page into
// the window and the time until the window's first frame is painted (both wall time, median of
// the given number of rounds; one round by default, as the slow cases take long).
//
//   bench_helppage [rounds] [case]     case: a name below, or all of them
//   xvfb-run -a env QT_QPA_PLATFORM=xcb bench_helppage    the same on an X server
//
// Target: every page under the size cap on screen within about a second.
#include "helpviewer/frmHelp.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QByteArray pageStart =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\pard\\plain\\f0\\fs18 ";

QByteArray unbrokenParagraph(qsizetype bytes)
{
    QByteArray page = pageStart;
    static const QByteArray words = "the printer cuts the paper after each ticket when the sensor sees the mark ";
    while (page.size() < bytes)
        page += words;
    return page + "\\par}";
}

QByteArray formattedRuns(int runs)
{
    QByteArray page = pageStart;
    for (int run = 0; run < runs; ++run)
        page += run % 2 ? "{\\b bold} " : "{\\i italic} ";
    return page + "\\par}";
}

QByteArray tinyParagraphs(qsizetype bytes)
{
    QByteArray page = pageStart;
    for (int line = 0; page.size() < bytes; ++line)
        page += "Line " + QByteArray::number(line) + "\\par\n";
    return page + "}";
}

struct Case {
    const char *name;
    std::function<QByteArray()> page;
};

qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    // Offscreen unless a platform is given, such as xcb under xvfb-run for real fonts.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 1; // not a number: one round
    const QByteArray only = argc > 2 ? QByteArray(argv[2]) : QByteArray();

    const std::vector<Case> cases{
        {"paragraph-250k", [] { return unbrokenParagraph(qsizetype{250} * 1024); }},
        {"paragraph-500k", [] { return unbrokenParagraph(qsizetype{500} * 1024); }},
        {"paragraph-1m", [] { return unbrokenParagraph(qsizetype{1000} * 1024); }},
        {"runs-25000", [] { return formattedRuns(25000); }},
        {"paragraphs-1m", [] { return tinyParagraphs(1024 * 1024 - 64); }},
    };
    QTemporaryDir program;
    QDir(program.path()).mkdir(QStringLiteral("help"));
    const QString path = program.path() + QStringLiteral("/help/manual.rtf");
    for (const Case &c : cases) {
        if (!only.isEmpty() && only != c.name)
            continue;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(c.page()) < 0)
            return 1;
        file.close();
        std::vector<qint64> loaded;
        std::vector<qint64> painted;
        for (int round = 0; round < rounds; ++round) {
            QWidget owner;
            frmHelp help(program.path(), &owner);
            QElapsedTimer timer;
            timer.start();
            if (!help.ShowManual())
                return 1;
            loaded.push_back(timer.nsecsElapsed());
            help.show();
            (void)help.grab(); // paints the window's first frame
            painted.push_back(timer.nsecsElapsed());
        }
        std::printf("%-16s %8.1f KB  read %9.1f ms  on screen %9.1f ms\n", c.name,
                    double(QFileInfo(path).size()) / 1024, double(median(loaded)) / 1e6, double(median(painted)) / 1e6);
        std::fflush(stdout);
    }
    return 0;
}
