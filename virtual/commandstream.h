// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace kr52::virt {

// One thing found in the command stream.
struct StreamEvent {
    enum class Kind { SwitchBits, SelfTest, Ignored };
    Kind kind = Kind::Ignored;
    int switchIndex = 0;        // SwitchBits: 0 .. 15
    bool set = false;           // SwitchBits: "+" sets, "-" clears
    quint16 mask = 0;           // SwitchBits
    qsizetype ignoredCount = 0; // Ignored: how many bytes were skipped
    QByteArray ignoredHead;     // Ignored: the first of them, for the report

    // "ignored 3 bytes: 1B 23 5A", with "..." after the first sixteen.
    [[nodiscard]] QString ignoredReport() const;
};

// Reads the byte stream as the printer does: the memory-switch command (ESC "#", switch "0".."F",
// "+" or "-", four upper-case hex digits, LF, NUL) and the self-test command (ESC "?", LF, NUL).
// Anything else is skipped up to the next ESC and reported as one run of ignored bytes. A command
// split over several reads is completed by the next one; memory use stays bounded whatever comes.
class CommandStreamParser {
public:
    static constexpr qsizetype reportedHead = 16;

    [[nodiscard]] QList<StreamEvent> feed(QByteArrayView bytes);

    // Bytes of a command begun but not finished yet.
    [[nodiscard]] QByteArray pending() const { return m_pending; }

private:
    enum class Match { Complete, Incomplete, Broken };
    // Compares the pending bytes with the commands; on Broken, brokenAt is the first byte that
    // cannot belong to the command the ESC started.
    Match matchPending(StreamEvent &event, qsizetype &length, qsizetype &brokenAt) const;
    void skip(qsizetype count);
    void flushIgnored(QList<StreamEvent> &events);

    QByteArray m_pending;
    StreamEvent m_ignored;
};

} // namespace kr52::virt
