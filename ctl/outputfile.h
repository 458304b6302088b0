// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printer/printerlink.h"

#include <QByteArray>
#include <QString>

namespace kr52::ctl {

// A file in place of a printer: it gets exactly the bytes the printer would get. They go into a
// new file beside it, which replaces the file only once everything is written, so a failed run
// leaves the old file as it was and never half a file.
class OutputFileLink final : public PrinterLink {
public:
    explicit OutputFileLink(const QString &path) : m_path(path) {}
    ~OutputFileLink() override;
    void open() override;
    // A local file takes its bytes at once: the limit does not apply.
    void send(const QByteArray &text, const SendLimit &limit) override;
    void close(const SendLimit &limit) override;
    [[nodiscard]] QDeadlineTimer actionDeadline(qsizetype bytes) const override;
    void discard() noexcept override;
    [[nodiscard]] QString description() const override;

private:
    [[noreturn]] void fail(const QString &what, int errorNumber);

    QString m_path;
    QByteArray m_temporaryPath;
    int m_fd = -1;
};

// Writes bytes to the file at path (given as kr52ctl keeps its arguments) the same way, all or
// nothing; returns why it could not, or nothing.
[[nodiscard]] QString replaceFile(const QString &path, const QByteArray &bytes);

} // namespace kr52::ctl
