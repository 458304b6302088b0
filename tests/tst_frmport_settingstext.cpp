// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/serialsettingstext.h"

#include <QTest>

// How the dialog turns its fields into the serial control's settings text.
class tst_frmport_settingstext : public QObject {
    Q_OBJECT

private slots:
    void buildsTheText_data()
    {
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QString>("expected");

        QTest::newRow("initial values") << "9600"
                                        << "8"
                                        << "1"
                                        << "9600,n,8,1";
        QTest::newRow("third baud entry") << "33600"
                                          << "8"
                                          << "1"
                                          << "33600,n,8,1";
        QTest::newRow("blanks around both fields") << "19200"
                                                   << " 7"
                                                   << "2 "
                                                   << "19200,n,7,2";
        QTest::newRow("wide blanks") << "9600"
                                     << "  7  "
                                     << "2"
                                     << "9600,n,7,2";
        QTest::newRow("empty data bits passed on") << "9600"
                                                   << ""
                                                   << "1"
                                                   << "9600,n,,1";
        QTest::newRow("inner blanks kept") << "9600"
                                           << "7 8"
                                           << "1"
                                           << "9600,n,7 8,1";
        // The settings parser reads any white space around a field as none; so does the text.
        QTest::newRow("tabs around both fields") << "19200"
                                                 << "\t7"
                                                 << "1\t"
                                                 << "19200,n,7,1";
        QTest::newRow("no-break spaces and line ends")
            << "9600" << QString::fromUtf8("\u00a07\u00a0") << QString("\n2\r") << "9600,n,7,2";
        QTest::newRow("anything typed passed on") << "9600"
                                                  << "9"
                                                  << "x"
                                                  << "9600,n,9,x";
    }

    void buildsTheText()
    {
        QFETCH(QString, baud);
        QFETCH(QString, data);
        QFETCH(QString, stop);
        QFETCH(QString, expected);
        QCOMPARE(kr52::serialSettingsText(baud, data, stop), expected);
    }
};

QTEST_GUILESS_MAIN(tst_frmport_settingstext)
#include "tst_frmport_settingstext.moc"
