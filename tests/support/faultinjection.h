// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <optional>
#include <sys/types.h>

// Replaces the links' system calls for as long as it lives, so that one device path answers as
// failing hardware does; calls on anything else reach the system unchanged. One at a time.
class FaultInjection {
public:
    explicit FaultInjection(const QString &path);
    ~FaultInjection();
    FaultInjection(const FaultInjection &) = delete;
    FaultInjection &operator=(const FaultInjection &) = delete;

    // Each write to the path takes the next answer: a positive number (or 0) writes at most that
    // many bytes for real, a negative one fails with that errno and writes nothing. Once the
    // answers run out, writes reach the system, unless the last answer is to repeat for ever; a
    // link that writes again and again without waiting would then spin for ever, so after
    // spinLimit repeats writes fail with ELOOP and its test fails instead of hanging.
    void setWriteAnswers(const QList<int> &answers, bool repeatLast = false);
    // The device takes a write whole only once every intervalMs (the first at once) and answers
    // EAGAIN in between, as a printer that needs that long for each command.
    void setTakesOneWriteEvery(int intervalMs);
    static constexpr int spinLimit = 10000;
    // Every open of the path fails with errorNumber, without reaching the system.
    void failOpens(int errorNumber);
    // Runs action once, just before the next open of the path reaches the system: another
    // program acting between a look and an open.
    void beforeNextOpen(std::function<void()> action);
    // poll() on the path says "ready to write" at once, as the parallel printer driver does.
    void setPollAlwaysReady();
    // The printer's status word for LPGETSTATUS; without one the request reaches the system.
    void setPrinterStatus(int status);
    // An ioctl request on the path returns result with errno set to errorNumber, without reaching
    // the system (result 0 with an errno left over tests that success ignores errno).
    void answerIoctl(unsigned long request, int result, int errorNumber);

    [[nodiscard]] int writeCalls() const { return m_writeCalls; }
    // The control flags (size, parity, stop bits, rate) last asked of the terminal driver.
    [[nodiscard]] std::optional<unsigned> requestedLineFlags() const { return m_lineFlags; }
    [[nodiscard]] int statusQueries() const { return m_statusQueries; }
    // Every ioctl request made on the path, in order.
    [[nodiscard]] const QList<unsigned long> &ioctlRequests() const { return m_ioctlRequests; }

private:
    struct IoctlAnswer {
        int result;
        int errorNumber;
    };

    static FaultInjection *s_active;
    static int open(const char *path, int flags, mode_t mode);
    static ssize_t write(int fd, const void *data, size_t size);
    static int poll(struct pollfd *fds, unsigned long count, int timeoutMs);
    static int ioctl(int fd, unsigned long request, void *argument);
    static int close(int fd);

    QByteArray m_path;
    QList<int> m_fds; // the path's open descriptors
    QList<int> m_writeAnswers;
    bool m_repeatLast = false;
    int m_openError = 0;
    std::function<void()> m_beforeOpen;
    bool m_pollReady = false;
    int m_takeEveryMs = 0;
    QElapsedTimer m_sinceTaken;
    std::optional<int> m_status;
    std::optional<unsigned> m_lineFlags;
    QMap<unsigned long, IoctlAnswer> m_ioctlAnswers;
    int m_writeCalls = 0;
    int m_statusQueries = 0;
    QList<unsigned long> m_ioctlRequests;
};
