// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kr52::ctl {

// Where kr52ctl's words go: results on standard output, refusals on standard error, and the
// progress of a run, which only a terminal shows.
class Console {
public:
    virtual ~Console() = default;
    virtual void out(const QString &line) = 0;
    virtual void err(const QString &line) = 0;
    // sent of total commands have gone to the printer described by target.
    virtual void progress(const QString &target, int sent, int total) = 0;
    // Why standard output could not take everything written to it (a closed pipe, a full disk);
    // empty while it has. A run carries on past it, so that every printer is still configured.
    [[nodiscard]] virtual QString outputFault() const { return {}; }
};

// Standard output and error; progress is drawn on standard error when it is a terminal, on one
// line that the next result line replaces, and is left out otherwise so that logs stay clean.
class StandardConsole : public Console {
public:
    StandardConsole();
    void out(const QString &line) override;
    void err(const QString &line) override;
    void progress(const QString &target, int sent, int total) override;
    [[nodiscard]] QString outputFault() const override { return m_outputFault; }

private:
    void clearProgress();

    bool m_showsProgress;
    bool m_progressShown = false;
    QString m_outputFault;
};

} // namespace kr52::ctl
