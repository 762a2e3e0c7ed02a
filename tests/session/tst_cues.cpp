// The sound cues: a voice line waits for the cue before it, as long as that
// cue's file lasts.
#include "session/Cues.h"
#include "library/Paths.h"
#include "tests/support/Doubles.h"
#include "tests/support/Wav.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void voiceLineWaitsForTheCueBefore();
    void wavLength();
};

void TestCues::voiceLineWaitsForTheCueBefore()
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

void TestCues::wavLength()
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

QTEST_GUILESS_MAIN(TestCues)
#include "tst_cues.moc"
