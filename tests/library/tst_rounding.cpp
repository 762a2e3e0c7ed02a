// Rounding as the grades and the progress bars use it.
#include "library/Rounding.h"

#include <QTest>

class TestRounding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundHalfEven_data();
    void roundHalfEven();
};

void TestRounding::roundHalfEven_data()
{
    QTest::addColumn<qint64>("numerator");
    QTest::addColumn<qint64>("denominator");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("256.5 -> 256") << qint64(312 * 171) << qint64(208) << qint64(256);
    QTest::newRow("42.75 -> 43") << qint64(312 * 171) << qint64(1248) << qint64(43);
    QTest::newRow("0.5 -> 0") << qint64(1) << qint64(2) << qint64(0);
    QTest::newRow("1.5 -> 2") << qint64(3) << qint64(2) << qint64(2);
    QTest::newRow("2.5 -> 2") << qint64(5) << qint64(2) << qint64(2);
    QTest::newRow("-0.5 -> 0") << qint64(-1) << qint64(2) << qint64(0);
    QTest::newRow("-1.5 -> -2") << qint64(-3) << qint64(2) << qint64(-2);
    QTest::newRow("-2.4 -> -2") << qint64(-12) << qint64(5) << qint64(-2);
    QTest::newRow("negative denominator") << qint64(5) << qint64(-2) << qint64(-2);
    QTest::newRow("exact") << qint64(10) << qint64(5) << qint64(2);
}

void TestRounding::roundHalfEven()
{
    QFETCH(qint64, numerator);
    QFETCH(qint64, denominator);
    QFETCH(qint64, expected);
    QCOMPARE(qint64(::roundHalfEven(numerator, denominator)), expected);
}

QTEST_GUILESS_MAIN(TestRounding)
#include "tst_rounding.moc"
