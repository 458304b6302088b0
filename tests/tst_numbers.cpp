// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/numbers.h"

#include <QTest>

#include <cmath>

using namespace kr52;

class tst_numbers : public QObject {
    Q_OBJECT

private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("plain") << "12.5" << 12.5;
        QTest::newRow("with mm") << " 12.3mm" << 12.3;
        QTest::newRow("negative") << "-7.5mm" << -7.5;
        QTest::newRow("plus sign") << "+4" << 4.0;
        QTest::newRow("leading point") << " .4mm" << 0.4;
        QTest::newRow("negative leading point") << "-.9mm" << -0.9;
        QTest::newRow("blank inside digits") << "1 2" << 12.0;
        QTest::newRow("tab and line feed inside") << "\t1\n2.\t5" << 12.5;
        QTest::newRow("blank after sign") << "- 3" << -3.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("point only") << "." << 0.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("comma is not a point") << "1,5" << 1.0;
        QTest::newRow("exponent") << "1.5E2" << 150.0;
        QTest::newRow("lower-case exponent") << "2e-1" << 0.2;
        QTest::newRow("exponent without digits") << "3E" << 3.0;
        QTest::newRow("blank inside exponent") << "1E 2" << 100.0;
        QTest::newRow("carriage return stops") << "1\r2" << 1.0;
        QTest::newRow("trailing point") << "5." << 5.0;
        QTest::newRow("leading zeros") << "007" << 7.0;
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(kr52::leadingNumber(text), expected);
    }

    void leadingNumberOutOfRange()
    {
        QVERIFY(std::isinf(kr52::leadingNumber(u"1E999")));
        QVERIFY(kr52::leadingNumber(u"-1E999") < 0);
        QCOMPARE(kr52::leadingNumber(u"1E-999"), 0.0);
        const QString longDigits(100000, QLatin1Char('9'));
        QVERIFY(kr52::leadingNumber(longDigits) > 1e300 || std::isinf(kr52::leadingNumber(longDigits)));
    }

    void numberText_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0.0f << " 0";
        QTest::newRow("negative zero") << -0.0f << " 0";
        QTest::newRow("whole") << 5.0f << " 5";
        QTest::newRow("tenths") << 12.3f << " 12.3";
        QTest::newRow("negative tenths") << -7.5f << "-7.5";
        QTest::newRow("fraction") << 0.4f << " .4";
        QTest::newRow("negative fraction") << -0.9f << "-.9";
        QTest::newRow("limit") << 29.9f << " 29.9";
        QTest::newRow("negative limit") << -29.9f << "-29.9";
    }

    void numberText()
    {
        QFETCH(float, value);
        QFETCH(QString, expected);
        QCOMPARE(kr52::numberText(value), expected);
    }

    void numberTextOfWholeNumbers()
    {
        QCOMPARE(kr52::numberText(14), QStringLiteral(" 14"));
        QCOMPARE(kr52::numberText(0), QStringLiteral(" 0"));
        QCOMPARE(kr52::numberText(-3), QStringLiteral("-3"));
        QCOMPARE(kr52::numberText(1.25), QStringLiteral(" 1.25"));
    }
};

QTEST_GUILESS_MAIN(tst_numbers)
#include "tst_numbers.moc"
