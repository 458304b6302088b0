// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/commandstream.h"
#include "virtual/virtualprinter.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kr52::virt;

namespace {

QByteArray command(char sw, char op, const char *mask)
{
    return QByteArray("\x1b#") + sw + op + mask + QByteArray("\n", 1) + QByteArray(1, '\0');
}

const QByteArray selfTest("\x1b?\n\0", 4);

// A compact picture of what the parser found: "+2:0001", "-E:0FFF", "?", "ignored 3".
QStringList describe(const QList<StreamEvent> &events)
{
    QStringList out;
    for (const StreamEvent &event : events) {
        switch (event.kind) {
        case StreamEvent::Kind::SwitchBits:
            out << QStringLiteral("%1%2:%3")
                       .arg(event.set ? '+' : '-')
                       .arg(designatorOf(event.switchIndex))
                       .arg(hexWord(event.mask));
            break;
        case StreamEvent::Kind::SelfTest:
            out << QStringLiteral("?");
            break;
        case StreamEvent::Kind::Ignored:
            out << QStringLiteral("ignored %1").arg(event.ignoredCount);
            break;
        }
    }
    return out;
}

QStringList feedByteByByte(const QByteArray &stream)
{
    CommandStreamParser parser;
    QList<StreamEvent> events;
    for (char byte : stream)
        events += parser.feed(QByteArrayView(&byte, 1));
    // Ignored runs split by the feeding are one run to the reader of the stream.
    QStringList merged;
    qsizetype run = 0;
    for (const QString &event : describe(events)) {
        if (event.startsWith(QLatin1String("ignored "))) {
            run += event.mid(8).toLongLong();
            continue;
        }
        if (run)
            merged << QStringLiteral("ignored %1").arg(run);
        run = 0;
        merged << event;
    }
    if (run)
        merged << QStringLiteral("ignored %1").arg(run);
    return merged;
}

} // namespace

class tst_virtualstream : public QObject {
    Q_OBJECT

private slots:
    void parsesWholeAndSplit_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QByteArray>("leftPending");

        QTest::newRow("set") << command('2', '+', "0001") << QStringList{"+2:0001"} << QByteArray();
        QTest::newRow("clear") << command('E', '-', "0FFF") << QStringList{"-E:0FFF"} << QByteArray();
        QTest::newRow("mask 0000 is a command") << command('1', '+', "0000") << QStringList{"+1:0000"} << QByteArray();
        QTest::newRow("self test") << selfTest << QStringList{"?"} << QByteArray();
        QTest::newRow("run of commands") << command('1', '-', "000F") + command('1', '+', "000B") + selfTest
                                         << QStringList{"-1:000F", "+1:000B", "?"} << QByteArray();
        QTest::newRow("junk before") << QByteArray("abc") + selfTest << QStringList{"ignored 3", "?"} << QByteArray();
        QTest::newRow("bad switch") << command('Z', '+', "0001") + selfTest << QStringList{"ignored 10", "?"}
                                    << QByteArray();
        QTest::newRow("lower-case switch") << command('e', '+', "0001") << QStringList{"ignored 10"} << QByteArray();
        QTest::newRow("lower-case mask") << command('2', '+', "00a1") << QStringList{"ignored 10"} << QByteArray();
        QTest::newRow("bad operation") << command('2', '*', "0001") << QStringList{"ignored 10"} << QByteArray();
        QTest::newRow("GS instead of NUL")
            << QByteArray("\x1b#2+0001\n\x1d") << QStringList{"ignored 10"} << QByteArray();
        QTest::newRow("CR LF instead of LF")
            << QByteArray("\x1b#2+0001\r\n", 10) + QByteArray(1, '\0') << QStringList{"ignored 11"} << QByteArray();
        QTest::newRow("unknown ESC command")
            << QByteArray("\x1b@") + selfTest << QStringList{"ignored 2", "?"} << QByteArray();
        QTest::newRow("command cut by the next one") << QByteArray("\x1b#2+00") + command('3', '+', "0100")
                                                     << QStringList{"ignored 6", "+3:0100"} << QByteArray();
        QTest::newRow("self test cut short")
            << QByteArray("\x1b?") + selfTest << QStringList{"ignored 2", "?"} << QByteArray();
        QTest::newRow("ESC ESC") << QByteArray("\x1b\x1b") + selfTest << QStringList{"ignored 2", "?"} << QByteArray();
        QTest::newRow("unfinished command waits")
            << QByteArray("\x1b#2+00") << QStringList{} << QByteArray("\x1b#2+00");
        QTest::newRow("lone NULs and LFs") << QByteArray("\0\n\0", 3) << QStringList{"ignored 3"} << QByteArray();
    }

    void parsesWholeAndSplit()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QStringList, expected);
        QFETCH(QByteArray, leftPending);

        CommandStreamParser whole;
        QCOMPARE(describe(whole.feed(stream)), expected);
        QCOMPARE(whole.pending(), leftPending);
        // The link may hand the bytes over in any pieces: one byte at a time finds the same.
        QCOMPARE(feedByteByByte(stream), expected);
    }

    void ignoredReportShowsTheBytes()
    {
        CommandStreamParser parser;
        const QList<StreamEvent> events = parser.feed(QByteArray("\x1b#Z") + selfTest);
        QCOMPARE(events.first().ignoredReport(), QStringLiteral("ignored 3 bytes: 1B 23 5A"));

        const QList<StreamEvent> one = parser.feed("x");
        QCOMPARE(one.first().ignoredReport(), QStringLiteral("ignored 1 byte: 78"));

        const QList<StreamEvent> many = parser.feed(QByteArray(40, 'A'));
        QCOMPARE(many.size(), 1);
        QCOMPARE(many.first().ignoredCount, 40);
        QCOMPARE(many.first().ignoredReport(),
                 QStringLiteral("ignored 40 bytes: 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 ..."));
    }

    // Any bytes at all, in any pieces: every byte is accounted for (a command, ignored, or still
    // waiting as the start of one), and what waits never grows beyond one command.
    void randomBytesAreAllAccountedFor()
    {
        QRandomGenerator random(5201);
        for (int round = 0; round < 200; ++round) {
            CommandStreamParser parser;
            qsizetype fed = 0;
            qsizetype accounted = 0;
            for (int piece = 0; piece < 20; ++piece) {
                QByteArray bytes(random.bounded(1, 300), Qt::Uninitialized);
                for (char &byte : bytes) {
                    // Plenty of the bytes commands are made of, so that near-commands are common.
                    static const QByteArray alphabet("\x1b#?+-0123456789ABCDEFa\n\x1d\0", 25);
                    byte =
                        random.bounded(2) ? alphabet[random.bounded(int(alphabet.size()))] : char(random.bounded(256));
                }
                fed += bytes.size();
                for (const StreamEvent &event : parser.feed(bytes)) {
                    accounted += event.kind == StreamEvent::Kind::SwitchBits ? 10
                                 : event.kind == StreamEvent::Kind::SelfTest ? 4
                                                                             : event.ignoredCount;
                }
                QVERIFY(parser.pending().size() < 10);
            }
            QCOMPARE(accounted + parser.pending().size(), fed);
        }
    }

    // Commands between runs of junk all arrive, whatever the junk and however it is cut up.
    void commandsSurviveJunk()
    {
        QRandomGenerator random(52);
        for (int round = 0; round < 100; ++round) {
            VirtualPrinter printer;
            SwitchBank expected;
            int pagesExpected = 0;
            QByteArray stream;
            for (int i = 0; i < 30; ++i) {
                // Junk holds no NUL, so it can never end a command of its own.
                QByteArray junk(random.bounded(0, 12), Qt::Uninitialized);
                for (char &byte : junk) {
                    static const QByteArray alphabet("\x1b#?+-05AF\n\xff");
                    byte = alphabet[random.bounded(int(alphabet.size()))];
                }
                stream += junk;
                if (random.bounded(8) == 0) {
                    stream += selfTest;
                    ++pagesExpected;
                    continue;
                }
                const int sw = random.bounded(16);
                const bool set = random.bounded(2);
                const quint16 mask = quint16(random.bounded(0x10000));
                stream += command(designatorOf(sw), set ? '+' : '-', hexWord(mask).toLatin1().constData());
                expected.apply(sw, set, mask);
            }
            int pages = 0;
            int ignoredReports = 0;
            connect(&printer, &VirtualPrinter::selfTestPrinted, this, [&] { ++pages; });
            connect(&printer, &VirtualPrinter::bytesIgnored, this, [&] { ++ignoredReports; });
            for (qsizetype at = 0; at < stream.size();) {
                const qsizetype length = qMin<qsizetype>(random.bounded(1, 40), stream.size() - at);
                printer.receive(QByteArrayView(stream).sliced(at, length));
                at += length;
            }
            QCOMPARE(printer.switches(), expected);
            QCOMPARE(pages, pagesExpected);
        }
    }

    void setsAndClearsExactlyTheMask()
    {
        VirtualPrinter printer;
        SwitchBank start;
        start.setValue(1, 0xA5A5);
        printer.setSwitches(start);
        QStringList applied;
        connect(&printer, &VirtualPrinter::commandApplied, this, [&](const QString &line) { applied << line; });

        printer.receive(command('1', '+', "0F00"));
        QCOMPARE(printer.switches().value(1), quint16(0xAFA5));
        printer.receive(command('1', '-', "00F0"));
        QCOMPARE(printer.switches().value(1), quint16(0xAF05));
        QCOMPARE(applied, (QStringList{"set 0F00 on switch 1: A5A5 -> AFA5", "clear 00F0 on switch 1: AFA5 -> AF05"}));
        for (int sw = 0; sw < SwitchBank::count; ++sw)
            if (sw != 1)
                QCOMPARE(printer.switches().value(sw), quint16(0));
    }
};

QTEST_GUILESS_MAIN(tst_virtualstream)
#include "tst_virtualstream.moc"
