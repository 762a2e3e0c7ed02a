// Grades and result texts: exact rounding with halves to even, the
// boundaries of the 5-point scale, and the texts each result form shows.
#include "results/Grading.h"
#include "results/TimeLimit.h"

#include <QTest>

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

// num/den rounded by comparing the distances to both neighbours, a tie to
// the even one: a second, independent way to the same value.
long long nearest(long long num, long long den)
{
    const long long below = num / den;
    const long long distBelow = num - below * den;
    const long long distAbove = (below + 1) * den - num;
    if (distBelow != distAbove)
        return distBelow < distAbove ? below : below + 1;
    return below % 2 == 0 ? below : below + 1;
}

} // namespace

class TestGrading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void grades_data();
    void grades();
    void fivePointWithTen_data();
    void fivePointWithTen();
    void exactForEveryTestSize();
    void extendedPrecisionAgrees();
    void nothingAsked();
    void windowTexts_data();
    void windowTexts();
    void tableTexts_data();
    void tableTexts();
    void timerTexts_data();
    void timerTexts();
    void finalCue_data();
    void finalCue();
    void totalTime_data();
    void totalTime();
};

void TestGrading::grades_data()
{
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("twelve");
    QTest::addColumn<int>("ten");
    QTest::addColumn<int>("five");

    QTest::newRow("none of 10") << 0 << 10 << 0 << 0 << 2;
    QTest::newRow("all of 10") << 10 << 10 << 12 << 10 << 5;
    QTest::newRow("1 of 1") << 1 << 1 << 12 << 10 << 5;
    QTest::newRow("0 of 1") << 0 << 1 << 0 << 0 << 2;
    QTest::newRow("all of 200") << 200 << 200 << 12 << 10 << 5;
    // Exact halves go to the even neighbour.
    QTest::newRow("1 of 8, 12-pt 1.5") << 1 << 8 << 2 << 1 << 2;
    QTest::newRow("3 of 8, 12-pt 4.5") << 3 << 8 << 4 << 4 << 2;
    QTest::newRow("5 of 8, 12-pt 7.5") << 5 << 8 << 8 << 6 << 3;
    QTest::newRow("7 of 8, 12-pt 10.5") << 7 << 8 << 10 << 9 << 5;
    QTest::newRow("1 of 4, 10-pt 2.5") << 1 << 4 << 3 << 2 << 2;
    QTest::newRow("3 of 4, 10-pt 7.5") << 3 << 4 << 9 << 8 << 4;
    QTest::newRow("1 of 20, 10-pt 0.5") << 1 << 20 << 1 << 0 << 2;
    QTest::newRow("7 of 12") << 7 << 12 << 7 << 6 << 3;
    // The 5-point boundaries with t = 50.
    QTest::newRow("23 of 50") << 23 << 50 << 6 << 5 << 2;
    QTest::newRow("24 of 50") << 24 << 50 << 6 << 5 << 3;
    QTest::newRow("32 of 50") << 32 << 50 << 8 << 6 << 3;
    QTest::newRow("33 of 50") << 33 << 50 << 8 << 7 << 4;
    QTest::newRow("43 of 50") << 43 << 50 << 10 << 9 << 4;
    QTest::newRow("44 of 50") << 44 << 50 << 11 << 9 << 5;
    // Where double precision would give 3.
    QTest::newRow("46 of 100") << 46 << 100 << 6 << 5 << 2;
    QTest::newRow("69 of 150") << 69 << 150 << 6 << 5 << 2;
    QTest::newRow("92 of 200") << 92 << 200 << 6 << 5 << 2;
}

void TestGrading::grades()
{
    QFETCH(int, c);
    QFETCH(int, t);
    QFETCH(int, twelve);
    QFETCH(int, ten);
    QFETCH(int, five);
    QCOMPARE(Grading::twelvePoint(c, t), twelve);
    QCOMPARE(Grading::tenPoint(c, t), ten);
    QCOMPARE(Grading::fivePoint(c, t), five);
}

void TestGrading::fivePointWithTen_data()
{
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("five");
    const int expected[] = {2, 2, 2, 2, 2, 3, 3, 4, 4, 5, 5};
    for (int c = 0; c <= 10; ++c)
        QTest::addRow("%d of 10", c) << c << expected[c];
}

void TestGrading::fivePointWithTen()
{
    QFETCH(int, c);
    QFETCH(int, five);
    QCOMPARE(Grading::fivePoint(c, 10), five);
}

void TestGrading::exactForEveryTestSize()
{
    for (int t = 1; t <= 200; ++t) {
        for (int c = 0; c <= t; ++c) {
            const QByteArray where = QByteArray::number(c) + " of " + QByteArray::number(t);
            QVERIFY2(Grading::twelvePoint(c, t) == nearest(12 * c, t), where);
            QVERIFY2(Grading::tenPoint(c, t) == nearest(10 * c, t), where);
            // 5c/t + 1/5 = (25c + t) / 5t
            QVERIFY2(Grading::fivePoint(c, t) == std::max(2LL, nearest(25LL * c + t, 5LL * t)), where);
        }
    }
}

// The grades were once evaluated in 80-bit extended precision, which for
// every t up to 200 lands on the same values as exact arithmetic; the
// integer version must agree with it everywhere.
void TestGrading::extendedPrecisionAgrees()
{
    if constexpr (std::numeric_limits<long double>::digits != 64)
        QSKIP("long double is not the 80-bit extended format here");
    QCOMPARE(std::fegetround(), FE_TONEAREST);
    const long double fifth = 1.0L / 5.0L;
    for (int t = 1; t <= 200; ++t) {
        for (int c = 0; c <= t; ++c) {
            const long double share = static_cast<long double>(c) / t;
            const QByteArray where = QByteArray::number(c) + " of " + QByteArray::number(t);
            QVERIFY2(Grading::twelvePoint(c, t) == std::lrint(share * 12), where);
            QVERIFY2(Grading::tenPoint(c, t) == std::lrint(share * 10), where);
            QVERIFY2(Grading::fivePoint(c, t) == std::max(2L, std::lrint(share * 5 + fifth)), where);
        }
    }
    // And double precision really does go wrong at 23 of 50.
    volatile double share = 23.0 / 50.0;
    QCOMPARE(std::lrint(share * 5 + 0.2), 3L);
    QCOMPARE(Grading::fivePoint(23, 50), 2);
}

void TestGrading::nothingAsked()
{
    // Cannot come from files the program writes, but must not divide by zero.
    QCOMPARE(Grading::twelvePoint(0, 0), 0);
    QCOMPARE(Grading::tenPoint(0, 0), 0);
    QCOMPARE(Grading::fivePoint(0, 0), 2);
    QCOMPARE(Grading::tableText("1", 0, 0), QStringLiteral("0 из 0"));
    QCOMPARE(Grading::finalCue("4", 0, 0), QStringLiteral("Final4"));
    // More right than asked is read as all right.
    QCOMPARE(Grading::twelvePoint(12, 10), 12);
}

void TestGrading::windowTexts_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("t");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("meaning");

    QTest::newRow("count") << QByteArray("1") << 7 << 10 << QStringLiteral("7 из 10")
                           << QStringLiteral("(количество верных ответов)");
    QTest::newRow("12-pt") << QByteArray("2") << 9 << 12 << QStringLiteral("\"9\"")
                           << QStringLiteral("(по двенадцатибальной системе)");
    QTest::newRow("10-pt") << QByteArray("3") << 3 << 4 << QStringLiteral("\"8\"")
                           << QStringLiteral("(по десятибальной системе)");
    QTest::newRow("5-pt") << QByteArray("4") << 0 << 5 << QStringLiteral("\"2\"")
                          << QStringLiteral("(по пятибальной системе)");
}

void TestGrading::windowTexts()
{
    QFETCH(QByteArray, kind);
    QFETCH(int, c);
    QFETCH(int, t);
    QFETCH(QString, result);
    QFETCH(QString, meaning);
    const std::optional<Grading::WindowText> text = Grading::windowText(kind, c, t);
    QVERIFY(text);
    QCOMPARE(text->result, result);
    QCOMPARE(text->meaning, meaning);
}

void TestGrading::tableTexts_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("t");
    QTest::addColumn<QString>("text");

    QTest::newRow("count") << QByteArray("1") << 7 << 10 << QStringLiteral("7 из 10");
    QTest::newRow("12-pt") << QByteArray("2") << 7 << 10 << QStringLiteral("[12-я]: 8");
    QTest::newRow("10-pt") << QByteArray("3") << 8 << 10 << QStringLiteral("[10-я]: 8");
    QTest::newRow("5-pt, none right") << QByteArray("4") << 0 << 10 << QStringLiteral("[5-я]: 2");
    QTest::newRow("unknown") << QByteArray("5") << 7 << 10 << QString();
    QTest::newRow("padded") << QByteArray("1 ") << 7 << 10 << QString();
    QTest::newRow("empty") << QByteArray() << 7 << 10 << QString();
}

void TestGrading::tableTexts()
{
    QFETCH(QByteArray, kind);
    QFETCH(int, c);
    QFETCH(int, t);
    QFETCH(QString, text);
    const std::optional<QString> got = Grading::tableText(kind, c, t);
    QCOMPARE(got.has_value(), !text.isNull());
    if (got)
        QCOMPARE(*got, text);
    QCOMPARE(Grading::windowText(kind, c, t).has_value(), !text.isNull());
}

void TestGrading::timerTexts_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << QByteArray("1") << QStringLiteral("Нет");
    QTest::newRow("2") << QByteArray("2") << QStringLiteral("2 мин.");
    QTest::newRow("3") << QByteArray("3") << QStringLiteral("1 мин.");
    QTest::newRow("4") << QByteArray("4") << QStringLiteral("30 сек.");
    QTest::newRow("5") << QByteArray("5") << QStringLiteral("15 сек.");
    QTest::newRow("6") << QByteArray("6") << QString();
    QTest::newRow("01") << QByteArray("01") << QString();
}

void TestGrading::timerTexts()
{
    QFETCH(QByteArray, code);
    QFETCH(QString, text);
    const std::optional<TimeLimit> got = TimeLimit::parse(code);
    QCOMPARE(got.has_value(), !text.isNull());
    if (got)
        QCOMPARE(got->tableText(), text);
}

void TestGrading::finalCue_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("t");
    QTest::addColumn<QString>("cue");

    QTest::newRow("count 9 of 10") << QByteArray("1") << 9 << 10 << QStringLiteral("Final1");
    QTest::newRow("12-pt 7 of 12") << QByteArray("2") << 7 << 12 << QStringLiteral("Final3");
    QTest::newRow("10-pt 33 of 50") << QByteArray("3") << 33 << 50 << QStringLiteral("Final2");
    QTest::newRow("5-pt 23 of 50") << QByteArray("4") << 23 << 50 << QStringLiteral("Final4");
    QTest::newRow("5-pt 0 of 1") << QByteArray("4") << 0 << 1 << QStringLiteral("Final4");
    QTest::newRow("unknown kind") << QByteArray("x") << 10 << 10 << QString();
}

void TestGrading::finalCue()
{
    QFETCH(QByteArray, kind);
    QFETCH(int, c);
    QFETCH(int, t);
    QFETCH(QString, cue);
    const std::optional<QString> got = Grading::finalCue(kind, c, t);
    QCOMPARE(got.has_value(), !cue.isNull());
    if (got)
        QCOMPARE(*got, cue);
}

void TestGrading::totalTime_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");
    QTest::newRow("10 at 2 min") << 2 << 10 << QStringLiteral("00:20:00");
    QTest::newRow("4 at 15 s") << 5 << 4 << QStringLiteral("00:01:00");
    QTest::newRow("200 at 2 min") << 2 << 200 << QStringLiteral("06:40:00");
    QTest::newRow("7 at 30 s") << 4 << 7 << QStringLiteral("00:03:30");
    QTest::newRow("61 at 1 min") << 3 << 61 << QStringLiteral("01:01:00");
    QTest::newRow("1 at 15 s") << 5 << 1 << QStringLiteral("00:00:15");
}

void TestGrading::totalTime()
{
    QFETCH(int, code);
    QFETCH(int, count);
    QFETCH(QString, text);
    QCOMPARE(clockText(count * TimeLimit::fromCode(code)->secondsPerAnswer()), text);
}

QTEST_GUILESS_MAIN(TestGrading)
#include "tst_grading.moc"
