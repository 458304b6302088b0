// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Start-up measurement shared by the start-up benchmarks: the time from process start (and from
// the exec that bench/run times, and from the top of main) until the window's first frame has
// been painted and handed to the platform, and the peak resident memory at that moment. Prints
// one line of key=value pairs that bench/run reads, then ends the event loop.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace kr52bench {

// Seconds since boot at which this process started, from /proc/self/stat (in clock ticks, so
// resolution is 1/CLK_TCK, usually 10 ms); negative if it cannot be read.
inline double processStartSinceBoot()
{
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // The command name in field 2 may hold blanks; the fields after it start past the last ')'.
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream rest(stat.substr(close + 2));
    std::string field;
    // Field 3 (state) is the first after the name; starttime is field 22.
    for (int index = 3; index < 22 && rest >> field; ++index) {
    }
    unsigned long long startTicks = 0;
    if (!(rest >> startTicks))
        return -1;
    return double(startTicks) / double(sysconf(_SC_CLK_TCK));
}

// Seconds since boot at which bench/run exec'd this program (KR52_BENCH_EXEC_NS, nanoseconds of
// CLOCK_BOOTTIME); negative when it was not started that way. Unlike the kernel's start time it
// is not rounded to a clock tick, which at 10 ms is a fifth of a window's start.
inline double execSinceBoot()
{
    const char *nanoseconds = std::getenv("KR52_BENCH_EXEC_NS");
    if (!nanoseconds || !*nanoseconds)
        return -1;
    return double(std::strtoull(nanoseconds, nullptr, 10)) / 1e9;
}

inline double secondsSinceBoot()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Watches a top-level widget; after its first paint event, once the event loop is idle again
// (the whole frame painted and flushed), reports and quits.
class FirstFrameProbe : public QObject {
public:
    explicit FirstFrameProbe(std::chrono::steady_clock::time_point mainStarted) : m_mainStarted(mainStarted) {}

    void watch(QWidget *window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, &FirstFrameProbe::report);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void report()
    {
        const auto sinceMain =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_mainStarted);
        const double now = secondsSinceBoot();
        const double processStart = processStartSinceBoot();
        const double sinceProcess = processStart < 0 ? -1 : (now - processStart) * 1000.0;
        const double execStart = execSinceBoot();
        const double sinceExec = execStart < 0 ? -1 : (now - execStart) * 1000.0;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("from_process_ms=%.1f from_exec_ms=%.2f from_main_ms=%.2f peak_rss_kb=%ld\n", sinceProcess,
                    sinceExec, sinceMain.count(), usage.ru_maxrss);
        std::fflush(stdout);
        keepMemoryMap();
        QCoreApplication::quit();
    }

    // With KR52_BENCH_SMAPS set, copies /proc/self/smaps there: which mappings the resident
    // memory is in at the moment it was measured.
    static void keepMemoryMap()
    {
        const char *path = std::getenv("KR52_BENCH_SMAPS");
        if (!path || !*path)
            return;
        std::ifstream smaps("/proc/self/smaps");
        std::ofstream copy(path);
        copy << smaps.rdbuf();
        if (!copy)
            std::fprintf(stderr, "bench: could not write the memory map to %s\n", path);
    }

    std::chrono::steady_clock::time_point m_mainStarted;
    bool m_seen = false;
};

} // namespace kr52bench
