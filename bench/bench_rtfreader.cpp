// Loads a generated help page of about 1 MB from a file, as the help window does, and reports
// how long reading it into a document takes, and how long the first layout at the help window's width takes after that. The
// reading is given as wall time and as the thread's processor time, which stays meaningful on
// a busy machine. Target: reading well under 50 ms.
#include "helpviewer/helppage.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryFile>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>

namespace {

constexpr qsizetype pageBytes = 1024 * 1024;
constexpr int rounds = 10;

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

    qint64 bestRead = std::numeric_limits<qint64>::max();
    qint64 bestReadCpu = std::numeric_limits<qint64>::max();
    qint64 bestLayout = std::numeric_limits<qint64>::max();
    qsizetype characters = 0;
    for (int round = 0; round < rounds; ++round) {
        QTextDocument document;
        QElapsedTimer timer;
        const qint64 cpuStart = threadCpuNanoseconds();
        timer.start();
        const QString failure = kr52::loadHelpPage(file.fileName(), document);
        bestRead = std::min(bestRead, timer.nsecsElapsed());
        bestReadCpu = std::min(bestReadCpu, threadCpuNanoseconds() - cpuStart);
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "cannot load the page: %s\n", qPrintable(failure));
            return 1;
        }
        characters = document.characterCount();

        timer.restart();
        document.setTextWidth(356);
        document.documentLayout()->documentSize();
        bestLayout = std::min(bestLayout, timer.nsecsElapsed());
    }

    std::printf("page: %lld bytes, %lld characters in the document\n", qlonglong(page.size()), qlonglong(characters));
    std::printf("loaded into a document: %.2f ms wall, %.2f ms processor (best of %d)\n", double(bestRead) / 1e6,
                double(bestReadCpu) / 1e6, rounds);
    std::printf("first layout at 356 px: %.2f ms (best of %d)\n", double(bestLayout) / 1e6, rounds);
    return 0;
}
