// SPDX-License-Identifier: GPL-3.0-or-later
// Loads a generated help page of about 1 MB from a file, as the help window does, and reports
// how long reading it into a document takes (median and best, as wall time and as the thread's
// processor time, which stays meaningful on a busy machine), how long the first layout at the
// help window's width takes after that, and how long reading takes into a document that already
// has a layout at that width, as the window's own document has. Target: reading well under 50 ms.
#include "helppages/helppage.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryFile>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr qsizetype pageBytes = qsizetype{1024} * 1024;
constexpr int rounds = 15;
constexpr qreal windowTextWidth = 356; // pixels: the help window's text area

// Paragraphs as the shipped pages write them: headings, bullets with a hanging indent, bold and
// monospaced words, Windows-1252 and Unicode characters, and a field now and then.
QByteArray generatePage()
{
    QByteArray page = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
                      "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern\\fcharset0 Courier New;}"
                      "{\\f2\\froman\\fcharset2 Symbol;}}\n"
                      "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green64\\blue128;\\red96\\green96\\blue96;}\n"
                      "\\pard\\plain\\f0\\fs18\n";
    for (int section = 0; page.size() < pageBytes; ++section) {
        page += "{\\pard\\sb120\\sa60\\b\\fs22\\cf2 Section " + QByteArray::number(section) + "\\par}\n";
        page += "\\pard\\sa120 Clears bit 0 of switch {\\f1 2} with the mask {\\f1 0001}: the printer "
                "prints at full speed, caf\\'e9 \\u8364? \\ldblquote quoted\\rdblquote  text that wraps "
                "over several lines of the help window.\\par\n";
        page += "{\\pard\\li360\\fi-240\\sa60{\\f2\\'b7}\\tab {\\b Half Speed} sets the bit.\\par}\n";
        page += "{\\pard\\li360\\fi-240\\sa60\\'95\\tab See {\\field{\\*\\fldinst HYPERLINK \"x\"}"
                "{\\fldrslt the manual}} for more.\\par}\n";
    }
    page += "}\n";
    return page;
}

struct Times {
    std::vector<qint64> wall;
    std::vector<qint64> processor;
};

double milliseconds(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e6;
}

qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

qint64 best(const std::vector<qint64> &values)
{
    return *std::min_element(values.begin(), values.end());
}

void printTimes(const char *what, const Times &times)
{
    std::printf("%s: median %.2f ms wall, %.2f ms processor; best %.2f ms wall, %.2f ms processor (%d rounds)\n", what,
                milliseconds(median(times.wall)), milliseconds(median(times.processor)), milliseconds(best(times.wall)),
                milliseconds(best(times.processor)), rounds);
}

qint64 threadCpuNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QByteArray page = generatePage();
    QTemporaryFile file;
    if (!file.open() || file.write(page) != page.size() || !file.flush()) {
        std::fprintf(stderr, "cannot write the page: %s\n", qPrintable(file.errorString()));
        return 1;
    }

    // Reads the page into document, adding the times taken to times; false when it cannot.
    const auto load = [&file](QTextDocument &document, Times &times) {
        QElapsedTimer timer;
        const qint64 cpuStart = threadCpuNanoseconds();
        timer.start();
        const QString failure = kr52::loadHelpPage(file.fileName(), document);
        times.wall.push_back(timer.nsecsElapsed());
        times.processor.push_back(threadCpuNanoseconds() - cpuStart);
        if (!failure.isEmpty())
            std::fprintf(stderr, "cannot load the page: %s\n", qPrintable(failure));
        return failure.isEmpty();
    };

    Times bare;
    std::vector<qint64> layouts;
    qsizetype characters = 0;
    for (int round = 0; round < rounds; ++round) {
        QTextDocument document;
        if (!load(document, bare))
            return 1;
        characters = document.characterCount();

        QElapsedTimer timer;
        timer.start();
        document.setTextWidth(windowTextWidth);
        document.documentLayout()->documentSize();
        layouts.push_back(timer.nsecsElapsed());
    }

    Times laidOut;
    for (int round = 0; round < rounds; ++round) {
        QTextDocument document;
        document.setTextWidth(windowTextWidth);
        document.documentLayout();
        if (!load(document, laidOut))
            return 1;
    }

    std::printf("page: %lld bytes, %lld characters in the document\n", static_cast<long long>(page.size()),
                static_cast<long long>(characters));
    printTimes("loaded into a document", bare);
    std::printf("first layout at %g px: median %.2f ms, best %.2f ms\n", windowTextWidth, milliseconds(median(layouts)),
                milliseconds(best(layouts)));
    printTimes("loaded into a document with a layout", laidOut);
    return 0;
}
