// The window-free parts of the testing window: rounding and the picture
// and window geometry, and the tutor's sequences, head turns and voice
// lines.
#include "session/Animate.h"
#include "session/Cues.h"
#include "session/PictureFit.h"
#include "session/Services.h"
#include "session/SessionState.h"
#include "tests/support/Wav.h"

#include "library/Paths.h"
#include "library/Rounding.h"
#include "tests/support/Doubles.h"

#include <QFileInfo>
#include <QTemporaryDir>
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

class TestSessionParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundHalfEven_data();
    void roundHalfEven();
    void windowPosition_data();
    void windowPosition();
    void fitInBox_data();
    void fitInBox();
    void fitOnDesktop_data();
    void fitOnDesktop();

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
    void voiceLineWaitsForTheCueBefore();
    void wavLength();
};

void TestSessionParts::roundHalfEven_data()
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

void TestSessionParts::roundHalfEven()
{
    QFETCH(qint64, numerator);
    QFETCH(qint64, denominator);
    QFETCH(qint64, expected);
    QCOMPARE(qint64(::roundHalfEven(numerator, denominator)), expected);
}

void TestSessionParts::windowPosition_data()
{
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("1024x768, 790x560") << QRect(0, 0, 1024, 768) << QSize(790, 560) << QPoint(117, 94);
    QTest::newRow("odd halves go to even") << QRect(0, 0, 1025, 769) << QSize(790, 560) << QPoint(118, 94);
    QTest::newRow("1.5 up to 2") << QRect(0, 0, 793, 583) << QSize(790, 560) << QPoint(2, 2);
    QTest::newRow("wide screen") << QRect(0, 0, 3840, 1080) << QSize(790, 533) << QPoint(1525, 264);
    // The screen the window starts on, wherever it lies on the desktop.
    QTest::newRow("second screen") << QRect(1024, -200, 1024, 768) << QSize(790, 560) << QPoint(1141, -106);
    // Too small a screen: the title and the menu bar stay on it.
    QTest::newRow("640x480") << QRect(0, 0, 640, 480) << QSize(790, 560) << QPoint(0, 0);
    QTest::newRow("640x480 below a top panel") << QRect(0, 28, 640, 452) << QSize(790, 560) << QPoint(0, 28);
    QTest::newRow("fits, but not with 20 to spare") << QRect(0, 0, 800, 570) << QSize(790, 560) << QPoint(5, 0);
}

void TestSessionParts::windowPosition()
{
    QFETCH(QRect, area);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    QCOMPARE(PictureFit::windowPosition(area, window), expected);
}

void TestSessionParts::fitInBox_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("expected");
    // Width 312, centred: left (322 - 312) / 2 + 443 = 448.
    QTest::newRow("2:1") << QSize(400, 200) << QRect(448, 303 + 12, 312, 156);
    QTest::newRow("100x400, centred across") << QSize(100, 400) << QRect(443 + 140, 308, 43, 171);
    QTest::newRow("NoPic 300x200") << QSize(300, 200) << QRect(443 + 33, 308, 256, 171);
    QTest::newRow("exactly 312x171") << QSize(312, 171) << QRect(448, 308, 312, 171);
    QTest::newRow("a line") << QSize(1000, 1) << QRect(448, 303 + 90, 312, 1);
}

void TestSessionParts::fitInBox()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, expected);
    QCOMPARE(PictureFit::fitInBox(picture), expected);
}

void TestSessionParts::fitOnDesktop_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("square on 1024x768") << QSize(500, 500) << QSize(1024, 768) << QRect(158, 30, 708, 708);
    QTest::newRow("wide on 1024x768") << QSize(974, 100) << QSize(1024, 768) << QRect(5 + 20, 309 + 25, 974, 100);
    QTest::newRow("tall on 1280x1024") << QSize(100, 1000) << QSize(1280, 1024)
                                       << QRect(20 + 572, 25 + 5, 96, 964);
}

void TestSessionParts::fitOnDesktop()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, desktop);
    QFETCH(QRect, expected);
    QCOMPARE(PictureFit::fitOnDesktop(picture, desktop), expected);
}

void TestSessionParts::sequences_data()
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

void TestSessionParts::sequences()
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

void TestSessionParts::lookTransitions_data()
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

void TestSessionParts::lookTransitions()
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

void TestSessionParts::rightStreak()
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

void TestSessionParts::wrongStreak()
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

void TestSessionParts::noSpecialLineOnLastQuestion()
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

void TestSessionParts::voiceOffNodsInSilence()
{
    Tutor tutor;
    tutor.cues.setVoiceOn(false);
    tutor.animate.AnimateRight();
    QVERIFY(tutor.sink.played.isEmpty());
    QCOMPARE(tutor.frames.size(), 8);
}

void TestSessionParts::greetingOnce()
{
    Tutor tutor;
    tutor.animate.AnimateGreeting();
    tutor.animate.AnimateGreeting();
    QCOMPARE(tutor.sink.played, QStringList{u"Hello"_qs});
    QVERIFY(!tutor.state.GreetingPending);
    QCOMPARE(tutor.frames.size(), 8);
}

void TestSessionParts::randomLinesVary()
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
void TestSessionParts::voiceLineWaitsForTheCueBefore()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QVERIFY(writeSilence(Paths::cueFile(folder, u"Long"_qs), 800));
    QVERIFY(writeSilence(Paths::cueFile(folder, u"Short"_qs), 100));
    FakeClock clock{12 * 3600 * 1000, 1};
    RecordingSink sink;
    Cues cues(sink, folder);
    cues.PlayVoiceCue(u"Long"_qs);
    cues.PlayVoiceCue(u"Short"_qs);
    QVERIFY(clock.pauses.isEmpty());   // no clock, no waiting

    cues.setClock(&clock);
    cues.PlayVoiceCue(u"Long"_qs);
    clock.msecs += 300;
    cues.PlaySoundCue(u"Short"_qs);    // an effect cuts it
    QCOMPARE(clock.pauses, QList<int>{});
    cues.PlayVoiceCue(u"Long"_qs);     // waits for the effect
    QCOMPARE(clock.pauses, QList<int>{100});
    clock.msecs += 300;
    QCOMPARE(cues.timeLeft(), 500);
    cues.PlayVoiceCue(u"Short"_qs);
    QCOMPARE(clock.pauses, (QList<int>{100, 500}));
    clock.msecs += 100;
    cues.PlayVoiceCue(u"Missing"_qs);  // over: no wait
    QCOMPARE(clock.pauses, (QList<int>{100, 500}));
    QCOMPARE(sink.played.size(), 7);
}

void TestSessionParts::wavLength()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.wav"_qs);
    QVERIFY(writeSilence(path, 1500));
    QCOMPARE(Cues::wavLength(path), 1500);
    QCOMPARE(Cues::wavLength(dir.filePath(u"none.wav"_qs)), 0);
    // The program's own cues can be told.
    QVERIFY(Cues::wavLength(QStringLiteral(NASTAVNIK_SOURCE_DIR "/resources/Baza/Sound/Yes.wav")) > 100);
    // A damaged file: cut in its header, or a data chunk before the format.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(30));
    file.close();
    QCOMPARE(Cues::wavLength(path), 0);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArrayLiteral("RIFF\xff\xff\xff\xffWAVEdata\xff\xff\xff\xff"));
    file.close();
    QCOMPARE(Cues::wavLength(path), 0);
}

QTEST_GUILESS_MAIN(TestSessionParts)
#include "tst_sessionparts.moc"
