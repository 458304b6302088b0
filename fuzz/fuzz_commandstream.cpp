// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual printer's command-stream decoder finds the same commands in a stream whether it
// arrives whole or in pieces, and skips the same number of bytes.
#include "harness.h"
#include "virtual/commandstream.h"

#include <QList>

namespace {

using kr52::virt::CommandStreamParser;
using kr52::virt::StreamEvent;

struct Outcome {
    QList<StreamEvent> commands;
    qsizetype ignored = 0;
    QByteArray pending;
};

void collect(Outcome &outcome, const QList<StreamEvent> &events)
{
    for (const StreamEvent &event : events) {
        if (event.kind == StreamEvent::Kind::Ignored)
            outcome.ignored += event.ignoredCount;
        else
            outcome.commands.append(event);
    }
}

bool sameCommand(const StreamEvent &a, const StreamEvent &b)
{
    return a.kind == b.kind && a.switchIndex == b.switchIndex && a.set == b.set && a.mask == b.mask;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using kr52::fuzz::require;
    if (size == 0)
        return 0;
    // The first byte chooses the piece sizes; the rest is the stream.
    const unsigned seed = data[0];
    const QByteArrayView stream(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));

    Outcome whole;
    CommandStreamParser wholeParser;
    collect(whole, wholeParser.feed(stream));
    whole.pending = wholeParser.pending();

    Outcome pieces;
    CommandStreamParser pieceParser;
    qsizetype position = 0;
    for (unsigned step = seed; position < stream.size(); step = step * 1103515245u + 12345u) {
        const qsizetype length = qMin<qsizetype>(1 + (step >> 16) % (seed % 13 + 1), stream.size() - position);
        collect(pieces, pieceParser.feed(stream.sliced(position, length)));
        position += length;
    }
    pieces.pending = pieceParser.pending();

    require(whole.commands.size() == pieces.commands.size(), "the same number of commands");
    for (qsizetype i = 0; i < whole.commands.size(); ++i)
        require(sameCommand(whole.commands[i], pieces.commands[i]), "the same commands in the same order");
    require(whole.ignored == pieces.ignored, "the same number of bytes skipped");
    require(whole.pending == pieces.pending, "the same command left unfinished");
    require(whole.pending.size() < 10, "an unfinished command is shorter than the longest command");
    return 0;
}
