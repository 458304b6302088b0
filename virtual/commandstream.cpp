// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/commandstream.h"

#include "virtual/switchbank.h"

namespace kr52::virt {

namespace {

constexpr char esc = 27;
constexpr qsizetype switchCommandLength = 10;
constexpr qsizetype selfTestLength = 4;

bool isUpperHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Whether c may stand at position i of a memory-switch command.
bool fitsSwitchCommand(qsizetype i, char c)
{
    switch (i) {
    case 1:
        return c == '#';
    case 2:
        return switchIndexOf(c).has_value();
    case 3:
        return c == '+' || c == '-';
    case 8:
        return c == '\n';
    case 9:
        return c == '\0';
    default:
        return isUpperHexDigit(c);
    }
}

// Whether c may stand at position i of the self-test command.
bool fitsSelfTest(qsizetype i, char c)
{
    return (i == 1 && c == '?') || (i == 2 && c == '\n') || (i == 3 && c == '\0');
}

} // namespace

QString StreamEvent::ignoredReport() const
{
    QString text = QStringLiteral("ignored %1 byte%2: %3")
                       .arg(ignoredCount)
                       .arg(ignoredCount == 1 ? QString() : QStringLiteral("s"))
                       .arg(QString::fromLatin1(ignoredHead.toHex(' ').toUpper()));
    if (ignoredCount > ignoredHead.size())
        text += QStringLiteral(" ...");
    return text;
}

CommandStreamParser::Match CommandStreamParser::matchPending(StreamEvent &event, qsizetype &length,
                                                             qsizetype &brokenAt) const
{
    const QByteArray &p = m_pending;
    if (p.size() < 2)
        return Match::Incomplete;
    const bool selfTest = p[1] == '?';
    length = selfTest ? selfTestLength : switchCommandLength;
    for (qsizetype i = 1; i < qMin(p.size(), length); ++i) {
        if (!(selfTest ? fitsSelfTest(i, p[i]) : fitsSwitchCommand(i, p[i]))) {
            brokenAt = i;
            return Match::Broken;
        }
    }
    if (p.size() < length)
        return Match::Incomplete;
    if (selfTest) {
        event.kind = StreamEvent::Kind::SelfTest;
        return Match::Complete;
    }
    event.kind = StreamEvent::Kind::SwitchBits;
    event.switchIndex = switchIndexOf(p[2]).value(); // checked by fitsSwitchCommand
    event.set = p[3] == '+';
    event.mask = quint16(p.mid(4, 4).toUInt(nullptr, 16));
    return Match::Complete;
}

void CommandStreamParser::skip(qsizetype count)
{
    const qsizetype room = reportedHead - m_ignored.ignoredHead.size();
    if (room > 0)
        m_ignored.ignoredHead.append(m_pending.left(qMin(room, count)));
    m_ignored.ignoredCount += count;
    m_pending.remove(0, count);
}

void CommandStreamParser::flushIgnored(QList<StreamEvent> &events)
{
    if (m_ignored.ignoredCount == 0)
        return;
    m_ignored.kind = StreamEvent::Kind::Ignored;
    events.append(m_ignored);
    m_ignored = StreamEvent();
}

QList<StreamEvent> CommandStreamParser::feed(QByteArrayView bytes)
{
    QList<StreamEvent> events;
    m_pending.append(bytes);
    while (!m_pending.isEmpty()) {
        if (m_pending[0] != esc) {
            // Nothing but an ESC can start a command: skip to the next one in a single step.
            const qsizetype next = m_pending.indexOf(esc);
            skip(next < 0 ? m_pending.size() : next);
            continue;
        }
        StreamEvent command;
        qsizetype length = 0;
        qsizetype brokenAt = 0;
        const Match match = matchPending(command, length, brokenAt);
        if (match == Match::Incomplete)
            break;
        if (match == Match::Broken) {
            // The bytes that matched so far hold no ESC, so the next command can start no
            // earlier than the byte that broke this one.
            skip(brokenAt);
            continue;
        }
        flushIgnored(events);
        events.append(command);
        m_pending.remove(0, length);
    }
    flushIgnored(events);
    return events;
}

} // namespace kr52::virt
