// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/mscomm.h"
#include "printer/printererror.h"
#include "printer/serialsettings.h"

#include <QTest>

using kr52::Parity;
using kr52::parseSerialSettings;
using kr52::StopBits;

// The serial control's choices: its settings text field by field (what each accepted text
// configures, which field a refused text names) and its port number.
class tst_serialsettings : public QObject {
    Q_OBJECT

private slots:
    void accepted_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("baud");
        QTest::addColumn<Parity>("parity");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<StopBits>("stopBits");

        QTest::newRow("initial") << "9600,n,8,1" << 9600 << Parity::None << 8 << StopBits::One;
        QTest::newRow("even, seven, two") << "19200,e,7,2" << 19200 << Parity::Even << 7 << StopBits::Two;
        QTest::newRow("odd, five, one and a half")
            << "1200,o,5,1.5" << 1200 << Parity::Odd << 5 << StopBits::OneAndHalf;
        QTest::newRow("mark, six") << "33600,m,6,1" << 33600 << Parity::Mark << 6 << StopBits::One;
        QTest::newRow("space") << "4800,s,8,2" << 4800 << Parity::Space << 8 << StopBits::Two;
        QTest::newRow("upper-case parity") << "9600,E,8,1" << 9600 << Parity::Even << 8 << StopBits::One;
        QTest::newRow("blanks around every field")
            << " 9600 , M , 7 , 1.5 " << 9600 << Parity::Mark << 7 << StopBits::OneAndHalf;
        QTest::newRow("highest baud") << "4000000,n,8,1" << 4000000 << Parity::None << 8 << StopBits::One;
        QTest::newRow("lowest baud") << "1,n,8,1" << 1 << Parity::None << 8 << StopBits::One;
    }

    void accepted()
    {
        QFETCH(QString, text);
        const kr52::SerialSettingsResult result = parseSerialSettings(text);
        QVERIFY2(result.settings, qPrintable(result.error));
        QCOMPARE(result.error, QString());
        QTEST(int(result.settings->baudRate), "baud");
        QTEST(result.settings->parity, "parity");
        QTEST(result.settings->dataBits, "dataBits");
        QTEST(result.settings->stopBits, "stopBits");
    }

    void refused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");

        const QString dataBits = QStringLiteral("must be 5, 6, 7 or 8.");
        QTest::newRow("four data bits") << "9600,n,4,1"
                                        << "the data bits \"4\" " + dataBits;
        QTest::newRow("fifty-five data bits") << "9600,n,55,1"
                                              << "the data bits \"55\" " + dataBits;
        QTest::newRow("nine data bits") << "9600,n,9,1"
                                        << "the data bits \"9\" " + dataBits;
        QTest::newRow("zero data bits") << "9600,n,0,1"
                                        << "the data bits \"0\" " + dataBits;
        QTest::newRow("eight with a leading zero") << "9600,n,08,1"
                                                   << "the data bits \"08\" " + dataBits;
        QTest::newRow("data bits with a sign") << "9600,n,+8,1"
                                               << "the data bits \"+8\" " + dataBits;
        QTest::newRow("empty data bits") << "9600,n,,1"
                                         << "the data bits \"\" " + dataBits;

        const QString parity = QStringLiteral("must be n, e, o, m or s.");
        QTest::newRow("parity word") << "9600,none,8,1"
                                     << "the parity \"none\" " + parity;
        QTest::newRow("empty parity") << "9600,,8,1"
                                      << "the parity \"\" " + parity;
        QTest::newRow("two parity letters") << "9600,ne,8,1"
                                            << "the parity \"ne\" " + parity;

        const QString stop = QStringLiteral("must be 1, 1.5 or 2.");
        QTest::newRow("zero stop bits") << "9600,n,8,0"
                                        << "the stop bits \"0\" " + stop;
        QTest::newRow("three stop bits") << "9600,n,8,3"
                                         << "the stop bits \"3\" " + stop;
        QTest::newRow("1.0 stop bits") << "9600,n,8,1.0"
                                       << "the stop bits \"1.0\" " + stop;
        QTest::newRow("comma-less one and a half") << "9600,n,8,15"
                                                   << "the stop bits \"15\" " + stop;

        const QString baud =
            QStringLiteral("must be a positive whole number up to 4000000 (such as 9600, 19200 or 33600).");
        QTest::newRow("zero baud") << "0,n,8,1"
                                   << "the baud rate \"0\" " + baud;
        QTest::newRow("baud past four million") << "4000001,n,8,1"
                                                << "the baud rate \"4000001\" " + baud;
        QTest::newRow("negative baud") << "-9600,n,8,1"
                                       << "the baud rate \"-9600\" " + baud;
        QTest::newRow("fractional baud") << "9600.5,n,8,1"
                                         << "the baud rate \"9600.5\" " + baud;

        const QString fields = QStringLiteral("expected four fields, baud rate, parity, data bits and stop bits, "
                                              "separated by commas (such as 9600,n,8,1).");
        QTest::newRow("five fields") << "9600,n,8,1,1" << fields;
        QTest::newRow("three fields") << "9600,n,8" << fields;
        QTest::newRow("empty text") << "" << fields;
    }

    // The reason names the whole text, then the field and what it may be.
    void refused()
    {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        const kr52::SerialSettingsResult result = parseSerialSettings(text);
        QVERIFY(!result.settings);
        QCOMPARE(result.error, QStringLiteral("The serial settings \"%1\" are not valid: %2").arg(text, reason));
    }

    void portNumbers()
    {
        kr52::MSComm comm;
        for (int port : {1, 4, 2}) {
            comm.setCommPort(port);
            QCOMPARE(comm.commPort(), port);
        }
        for (int port : {0, 5, -1}) {
            try {
                comm.setCommPort(port);
                QFAIL(qPrintable(QStringLiteral("port %1 was accepted").arg(port)));
            } catch (const kr52::PrinterError &error) {
                QCOMPARE(error.message(),
                         QStringLiteral("Invalid port number %1: the serial ports are COM1: to COM4:.").arg(port));
            }
            QCOMPARE(comm.commPort(), 2);
        }
    }
};

QTEST_GUILESS_MAIN(tst_serialsettings)
#include "tst_serialsettings.moc"
