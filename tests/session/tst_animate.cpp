// The tutor: his sequences, head turns and voice lines.
#include "session/Animate.h"
#include "session/Cues.h"
#include "session/SessionState.h"
#include "tests/support/Doubles.h"

#include <QTest>

namespace {

struct Tutor
{
    SessionState state;
    FakeClock clock{12 * 3600 * 1000, 1};
    RecordingSink sink;
    Cues cues{sink, QStringLiteral("/nowhere/")};
    QList<int> frames;
    Animate animate{state, cues, clock, [this](int frame) { frames << frame; }};
};

using Steps = QList<Animate::Step>;

} // namespace

class TestAnimate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sequences_data();
    void sequences();
    void lookTransitions_data();
    void lookTransitions();
    void rightStreak();
    void wrongStreak();
    void noSpecialLineOnLastQuestion();
    void voiceOffNodsInSilence();
    void greetingOnce();
    void randomLinesVary();
};

void TestAnimate::sequences_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QList<int>>("frames");
    QTest::addColumn<QList<int>>("waits");
    using A = Animate;
    QTest::newRow("nod") << 0 << QList<int>{A::Yes1, A::Yes2, A::Yes1, A::Normal, A::Yes3, A::Yes4, A::Yes3, A::Normal}
                         << QList<int>{100, 50, 50, 50, 100, 130, 100};
    QTest::newRow("shake") << 1 << QList<int>{A::No1, A::No2, A::No1, A::Normal, A::No3, A::No4, A::No3, A::Normal}
                           << QList<int>{100, 50, 50, 50, 100, 100, 50};
    QTest::newRow("greeting") << 2
                              << QList<int>{A::Yes1, A::Yes2, A::Yes1, A::Normal, A::Yes3, A::Yes4, A::Yes3, A::Normal}
                              << QList<int>{100, 50, 50, 50, 100, 350, 100};
}

void TestAnimate::sequences()
{
    QFETCH(int, which);
    QFETCH(QList<int>, frames);
    QFETCH(QList<int>, waits);
    Tutor tutor;
    tutor.state.QuestionsToAsk = 10;
    tutor.state.AskedCount = 1;
    if (which == 0)
        tutor.animate.AnimateRight();
    else if (which == 1)
        tutor.animate.AnimateWrong();
    else
        tutor.animate.AnimateGreeting();
    QCOMPARE(tutor.frames, frames);
    QCOMPARE(tutor.clock.pauses, waits);
    QCOMPARE(tutor.sink.played.size(), 1);
}

void TestAnimate::lookTransitions_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QList<int>>("frames");
    using A = Animate;
    QTest::newRow("0 -> 1") << 0 << 1 << QList<int>{A::Yes1, A::Yes2};
    QTest::newRow("0 -> 2") << 0 << 2 << QList<int>{A::Yes1, A::Normal};
    QTest::newRow("0 -> 3") << 0 << 3 << QList<int>{A::No1, A::No2};
    QTest::newRow("1 -> 2") << 1 << 2 << QList<int>{A::Yes1, A::Normal};
    QTest::newRow("1 -> 3") << 1 << 3 << QList<int>{A::Yes1, A::No1, A::No2};
    QTest::newRow("2 -> 1") << 2 << 1 << QList<int>{A::Yes1, A::Yes2};
    QTest::newRow("2 -> 3") << 2 << 3 << QList<int>{A::No1, A::No2};
    QTest::newRow("3 -> 1") << 3 << 1 << QList<int>{A::No1, A::Yes1, A::Yes2};
    QTest::newRow("3 -> 2") << 3 << 2 << QList<int>{A::No1, A::Normal};
    QTest::newRow("same zone") << 2 << 2 << QList<int>{};
}

void TestAnimate::lookTransitions()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QList<int>, frames);
    Tutor tutor;
    tutor.state.LookZone = std::uint8_t(from);
    tutor.animate.LookAt(to);
    QCOMPARE(tutor.frames, frames);
    // Every frame but the last is held for 100 ms.
    QCOMPARE(tutor.clock.pauses, QList<int>(std::max<qsizetype>(0, frames.size() - 1), 100));
    QCOMPARE(int(tutor.state.LookZone), to);
    QVERIFY(tutor.sink.played.isEmpty());
}

void TestAnimate::rightStreak()
{
    Tutor tutor;
    tutor.state.QuestionsToAsk = 20;
    QStringList lines;
    for (int k = 1; k <= 11; ++k) {
        tutor.state.AskedCount = k;
        tutor.sink.played.clear();
        tutor.animate.AnimateRight();
        lines << tutor.sink.played;
    }
    for (int k = 1; k <= 11; ++k) {
        if (k == 5 || k == 10)
            QCOMPARE(lines.at(k - 1), u"AnalginYes1"_qs);
        else
            QVERIFY2(lines.at(k - 1) == u"Yes"_qs || lines.at(k - 1) == u"Yes1"_qs, qPrintable(lines.at(k - 1)));
    }
    // A wrong answer starts the count again.
    tutor.state.RightStreak = 4;
    tutor.animate.AnimateWrong();
    QCOMPARE(int(tutor.state.RightStreak), 0);
    tutor.sink.played.clear();
    tutor.animate.AnimateRight();
    QVERIFY(tutor.sink.played.first() != u"AnalginYes1"_qs);
}

void TestAnimate::wrongStreak()
{
    Tutor tutor;
    tutor.state.QuestionsToAsk = 20;
    QStringList lines;
    for (int k = 1; k <= 7; ++k) {
        tutor.state.AskedCount = k;
        tutor.sink.played.clear();
        if (k == 4)
            tutor.animate.AnimateRight();   // breaks the streak
        else
            tutor.animate.AnimateWrong();
        lines << tutor.sink.played;
    }
    const auto special = [](const QString &s) { return s == u"AnalginNo1"_qs || s == u"AnalginNo2"_qs; };
    const auto plain = [](const QString &s) { return s == u"No"_qs || s == u"No1"_qs; };
    QVERIFY(plain(lines.at(0)) && plain(lines.at(1)) && special(lines.at(2)));
    QVERIFY(plain(lines.at(4)) && plain(lines.at(5)) && special(lines.at(6)));
}

void TestAnimate::noSpecialLineOnLastQuestion()
{
    Tutor tutor;
    tutor.state.QuestionsToAsk = 5;
    tutor.state.AskedCount = 5;
    tutor.state.RightStreak = 4;
    tutor.animate.AnimateRight();
    QVERIFY(tutor.sink.played.first() != u"AnalginYes1"_qs);
    tutor.state.WrongStreak = 2;
    tutor.sink.played.clear();
    tutor.animate.AnimateWrong();
    QVERIFY(tutor.sink.played.first().startsWith(u"No"_qs));
}

void TestAnimate::voiceOffNodsInSilence()
{
    Tutor tutor;
    tutor.cues.setVoiceOn(false);
    tutor.animate.AnimateRight();
    QVERIFY(tutor.sink.played.isEmpty());
    QCOMPARE(tutor.frames.size(), 8);
}

void TestAnimate::greetingOnce()
{
    Tutor tutor;
    tutor.animate.AnimateGreeting();
    tutor.animate.AnimateGreeting();
    QCOMPARE(tutor.sink.played, QStringList{u"Hello"_qs});
    QVERIFY(!tutor.state.GreetingPending);
    QCOMPARE(tutor.frames.size(), 8);
}

void TestAnimate::randomLinesVary()
{
    // Reseeded from the clock before each draw: both lines come up.
    Tutor tutor;
    tutor.state.QuestionsToAsk = 100;
    QSet<QString> heard;
    for (int k = 1; k <= 40; ++k) {
        tutor.state.AskedCount = k;
        tutor.state.WrongStreak = 0;
        tutor.animate.AnimateWrong();
    }
    for (const QString &s : std::as_const(tutor.sink.played))
        heard.insert(s);
    QCOMPARE(heard, (QSet<QString>{u"No"_qs, u"No1"_qs}));
}

// A new cue cuts the one playing, but a voice line waits until the cue
// before it has had its time.

QTEST_GUILESS_MAIN(TestAnimate)
#include "tst_animate.moc"
