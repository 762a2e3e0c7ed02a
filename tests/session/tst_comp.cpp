// The question engine: the tag index check and its rebuild, the pool and
// its draws, where a question lies in the document, and the time budget.
#include "authoring/CompileCheck.h"
#include "library/LineList.h"
#include "library/Paths.h"
#include "richtext/LineModel.h"
#include "session/Comp.h"
#include "session/Cues.h"
#include "session/Services.h"
#include "session/SessionState.h"
#include "session/TimeBudget.h"

#include "tests/support/DocBuilder.h"
#include "tests/support/Doubles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

LineList toLines(const QStringList &list)
{
    LineList lines;
    for (const QString &s : list)
        lines << s.toLatin1();
    return lines;
}

// A preamble, three questions (the first with a picture, the second with a
// capital tag) and two empty paragraphs after the last one.
const QStringList kSample = {
    u"Предисловие: не показывать"_qs,   // 0
    u"{test=2}"_qs,                      // 1
    u"{pic= Img\\Рис1.PNG }"_qs,         // 2
    u"Вопрос один"_qs,                   // 3
    u"1) a 2) b"_qs,                     // 4
    u"{TEST=3}"_qs,                      // 5
    u"Вопрос два"_qs,                    // 6
    u" {Test=4}\t"_qs,                   // 7
    u"Вопрос три"_qs,                    // 8
    QString(),                           // 9
    QString(),                           // 10
    QString(),                           // final empty paragraph, not a line
};

QString rawRange(const QTextDocument &doc, int start, int end)
{
    return doc.toRawText().mid(start, end - start);
}

} // namespace

class TestComp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void validIndexPassesSilently();
    void staleIndexIsRebuiltOnce();
    void badIndexIsRebuilt_data();
    void badIndexIsRebuilt();
    void rebuildReplacesFileOfOtherCase();
    void singleEntryIsStaleOnQuestions();
    void damagedBaseKeepsItsIndex();
    void poolShowsEachOnce();
    void ordersDifferBetweenSeeds();
    void poolIsClamped_data();
    void poolIsClamped();
    void locateQuestions();
    void brokenQuestions_data();
    void brokenQuestions();
    void randomDocumentsNeverCrash();
    void timeBudget_data();
    void timeBudget();
    void clockCountsDownToZero();

private:
    QTemporaryDir m_dir;
    QString m_topic;
    RecordingSink m_sink;
    QTextDocument m_doc;
};

void TestComp::init()
{
    QVERIFY(m_dir.isValid());
    m_topic = m_dir.path() + u"/Baza/Data/1/1"_qs;
    QDir(m_topic).removeRecursively();
    QVERIFY(QDir().mkpath(m_topic));
    m_sink.played.clear();
    buildDocument(m_doc, kSample);
}

void TestComp::validIndexPassesSilently()
{
    LineModel lines(m_doc);
    SessionState state;
    state.TagIndex = {"1", "5", "7", "11"};
    Cues cues(m_sink, m_dir.path());
    RecordingUi ui;
    QVERIFY(Comp::CheckTagIndex(state.TagIndex, lines, m_topic, cues, ui));
    QVERIFY(ui.warnings.isEmpty());
    QVERIFY(m_sink.played.isEmpty());
    QVERIFY(!ui.visible);
    QCOMPARE(ui.progress, (QList<int>{0, 50, 100}));
    QVERIFY(!QFileInfo::exists(Paths::tagIndexFile(m_topic)));
    QCOMPARE(state.TagIndex, (LineList{"1", "5", "7", "11"}));
}

void TestComp::staleIndexIsRebuiltOnce()
{
    // As left by a layout that numbered lines differently.
    LineModel lines(m_doc);
    SessionState state;
    state.TagIndex = {"1", "5", "7", "12"};
    Cues cues(m_sink, m_dir.path());
    RecordingUi ui;
    QVERIFY(Comp::CheckTagIndex(state.TagIndex, lines, m_topic, cues, ui));
    QCOMPARE(ui.warnings, QStringList{u"Внимание !!!|Будет произведена переиндексация выбранной базы..."_qs});
    QCOMPARE(m_sink.played, QStringList{u"ErrorNewBaza"_qs});
    QVERIFY(!ui.visible);
    QCOMPARE(ui.progress.constFirst(), 0);
    QCOMPARE(ui.progress.constLast(), 100);
    QCOMPARE(state.TagIndex, (LineList{"1", "5", "7", "11"}));
    const Expected<LineList> saved = LineLists::read(m_topic + u"/Baza.ini"_qs);
    QVERIFY(saved);
    QCOMPARE(*saved, state.TagIndex);

    // The next opening reads the saved file and says nothing.
    SessionState again;
    again.TagIndex = *saved;
    RecordingUi quiet;
    m_sink.played.clear();
    QVERIFY(Comp::CheckTagIndex(again.TagIndex, lines, m_topic, cues, quiet));
    QVERIFY(quiet.warnings.isEmpty());
    QVERIFY(m_sink.played.isEmpty());
}

void TestComp::badIndexIsRebuilt_data()
{
    QTest::addColumn<QStringList>("index");
    QTest::newRow("empty") << QStringList{};
    QTest::newRow("entry on a body line") << QStringList{u"1"_qs, u"4"_qs, u"7"_qs, u"11"_qs};
    QTest::newRow("not a number") << QStringList{u"1"_qs, u"five"_qs, u"7"_qs, u"11"_qs};
    QTest::newRow("signed") << QStringList{u"-1"_qs, u"5"_qs, u"7"_qs, u"11"_qs};
    QTest::newRow("beyond the document") << QStringList{u"1"_qs, u"5"_qs, u"99999"_qs, u"11"_qs};
    QTest::newRow("huge") << QStringList{u"1"_qs, u"5"_qs, u"7"_qs, u"99999999999999999999"_qs};
    QTest::newRow("line count not a number") << QStringList{u"1"_qs, u"5"_qs, u"7"_qs, u"eleven"_qs};
    QTest::newRow("blank entry") << QStringList{u"1"_qs, QString(), u"7"_qs, u"11"_qs};
    QTest::newRow("two entries, stale") << QStringList{u"1"_qs, u"10"_qs};
    QTest::newRow("a question left out") << QStringList{u"1"_qs, u"7"_qs, u"11"_qs};
}

void TestComp::badIndexIsRebuilt()
{
    QFETCH(QStringList, index);
    LineModel lines(m_doc);
    SessionState state;
    state.TagIndex = toLines(index);
    Cues cues(m_sink, m_dir.path());
    RecordingUi ui;
    QVERIFY(Comp::CheckTagIndex(state.TagIndex, lines, m_topic, cues, ui));
    QCOMPARE(ui.warnings.size(), 1);
    QCOMPARE(state.TagIndex, (LineList{"1", "5", "7", "11"}));
    const Expected<LineList> saved = LineLists::read(m_topic + u"/Baza.ini"_qs);
    QVERIFY(saved);
    QCOMPARE(*saved, state.TagIndex);
}

void TestComp::rebuildReplacesFileOfOtherCase()
{
    // A library copied from Windows: the file is BAZA.INI.
    QVERIFY(LineLists::write(m_topic + u"/BAZA.INI"_qs, {"3", "12"}));
    LineModel lines(m_doc);
    SessionState state;
    state.TagIndex = {"3", "12"};
    Cues cues(m_sink, m_dir.path());
    RecordingUi ui;
    QVERIFY(Comp::CheckTagIndex(state.TagIndex, lines, m_topic, cues, ui));
    QCOMPARE(QDir(m_topic).entryList(QDir::Files), QStringList{u"BAZA.INI"_qs});
    QCOMPARE(*LineLists::read(m_topic + u"/BAZA.INI"_qs), (LineList{"1", "5", "7", "11"}));
}

void TestComp::singleEntryIsStaleOnQuestions()
{
    // A single line is the index of a base without questions; this base
    // has three, so the index is rebuilt like any other stale one.
    LineModel lines(m_doc);
    SessionState state;
    state.TagIndex = {"11"};
    Cues cues(m_sink, m_dir.path());
    RecordingUi ui;
    QVERIFY(Comp::CheckTagIndex(state.TagIndex, lines, m_topic, cues, ui));
    QCOMPARE(ui.warnings.size(), 1);
    QCOMPARE(state.TagIndex, (LineList{"1", "5", "7", "11"}));
    QCOMPARE(*LineLists::read(m_topic + u"/Baza.ini"_qs), state.TagIndex);
}

void TestComp::damagedBaseKeepsItsIndex()
{
    // A base that lost its tag lines gives no question, and its index file
    // stays as it is: once a good base is put back, the topic opens again.
    const LineList good{"1", "5", "7", "11"};
    QVERIFY(LineLists::write(m_topic + u"/Baza.ini"_qs, good));
    QTextDocument damaged;
    buildDocument(damaged, {u"\u0001\u0002 мусор"_qs, u"ещё мусор"_qs});
    SessionState state;
    state.TagIndex = good;
    Cues cues(m_sink, m_dir.path());
    RecordingUi ui;
    QVERIFY(Comp::CheckTagIndex(state.TagIndex, LineModel(damaged), m_topic, cues, ui));
    QCOMPARE(Comp::questionsInBase(state.TagIndex), 0);
    QVERIFY(ui.warnings.isEmpty());
    QVERIFY(!ui.visible);
    QCOMPARE(*LineLists::read(m_topic + u"/Baza.ini"_qs), good);

    state.TagIndex = good;
    QVERIFY(Comp::CheckTagIndex(state.TagIndex, LineModel(m_doc), m_topic, cues, ui));
    QVERIFY(ui.warnings.isEmpty());
    QCOMPARE(state.TagIndex, good);
}

void TestComp::poolShowsEachOnce()
{
    SessionState state;
    state.TagIndex = toLines({u"0"_qs, u"2"_qs, u"4"_qs, u"6"_qs, u"8"_qs, u"10"_qs, u"12"_qs, u"14"_qs});
    state.Pool.PoolRemaining = 7;
    Comp::InitQuestionPool(state.Pool, state.TagIndex);
    FakeClock clock{0};
    QList<int> drawn;
    for (int i = 0; i < 7; ++i) {
        clock.msecs = 1000 * i + 17;
        drawn << Comp::DrawQuestion(state.Pool, clock);
        QCOMPARE(state.Pool.PoolRemaining, 6 - i);
    }
    QList<int> sorted = drawn;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(sorted, (QList<int>{1, 2, 3, 4, 5, 6, 7}));
    QCOMPARE(Comp::DrawQuestion(state.Pool, clock), 0);
}

void TestComp::ordersDifferBetweenSeeds()
{
    const auto order = [](int msecs) {
        SessionState state;
        for (int i = 0; i <= 10; ++i)
            state.TagIndex << QByteArray::number(2 * i);
        state.Pool.PoolRemaining = 10;
        Comp::InitQuestionPool(state.Pool, state.TagIndex);
        FakeClock clock{0};
        clock.msecs = msecs;
        QList<int> drawn;
        while (state.Pool.PoolRemaining > 0)
            drawn << Comp::DrawQuestion(state.Pool, clock);
        return drawn;
    };
    QCOMPARE(order(12345), order(12345));
    QVERIFY(order(12345) != order(12346));
    QVERIFY(order(0) != order(86399999));
}

void TestComp::poolIsClamped_data()
{
    QTest::addColumn<int>("questionsInIndex");
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("pool");
    QTest::newRow("as many as the base") << 3 << 3 << 3;
    QTest::newRow("fewer") << 3 << 2 << 2;
    QTest::newRow("more than the base") << 3 << 50 << 3;
    QTest::newRow("negative") << 3 << -4 << 0;
    QTest::newRow("base without questions") << 0 << 5 << 0;
}

void TestComp::poolIsClamped()
{
    QFETCH(int, questionsInIndex);
    QFETCH(int, requested);
    QFETCH(int, pool);
    SessionState state;
    for (int i = 0; i <= questionsInIndex; ++i)
        state.TagIndex << QByteArray::number(2 * i);
    QCOMPARE(Comp::clampedQuestionCount(state.TagIndex, requested), pool);
    state.Pool.PoolRemaining = requested;
    Comp::InitQuestionPool(state.Pool, state.TagIndex);
    QCOMPARE(state.Pool.PoolRemaining, pool);
    FakeClock clock{0};
    QSet<int> seen;
    for (int i = 0; i < pool; ++i) {
        const int q = Comp::DrawQuestion(state.Pool, clock);
        QVERIFY(q >= 1 && q <= questionsInIndex);
        seen.insert(q);
    }
    QCOMPARE(seen.size(), pool);
    QCOMPARE(Comp::DrawQuestion(state.Pool, clock), 0);
}

void TestComp::locateQuestions()
{
    LineModel lines(m_doc);
    SessionState state;
    state.TagIndex = {"1", "5", "7", "11"};

    state.DrawnQuestion = 1;
    Comp::QuestionPlace q = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
    QVERIFY(!q.broken);
    QCOMPARE(q.correct, 2);
    QCOMPARE(q.pictureName, u"img\\рис1.png"_qs);
    QCOMPARE(rawRange(m_doc, q.bodyStart, q.bodyEnd), u"Вопрос один\u20291) a 2) b\u2029"_qs);

    state.DrawnQuestion = 2;
    q = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
    QVERIFY(!q.broken);
    QCOMPARE(q.correct, 3);
    QVERIFY(q.pictureName.isEmpty());
    QCOMPARE(rawRange(m_doc, q.bodyStart, q.bodyEnd), u"Вопрос два\u2029"_qs);

    // The last one runs to the end, empty paragraphs included.
    state.DrawnQuestion = 3;
    q = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
    QVERIFY(!q.broken);
    QCOMPARE(q.correct, 4);
    QCOMPARE(q.bodyEnd, lines.documentEnd());
    QCOMPARE(rawRange(m_doc, q.bodyStart, q.bodyEnd), u"Вопрос три\u2029\u2029\u2029"_qs);

    // Copied into a question view, the body keeps its paragraphs.
    QTextDocument view;
    QTextCursor cursor(&view);
    LineModel::copyRange(m_doc, q.bodyStart, q.bodyEnd, cursor);
    QCOMPARE(view.toPlainText(), u"Вопрос три\n\n\n"_qs);
}

void TestComp::brokenQuestions_data()
{
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<QStringList>("index");
    QTest::addColumn<int>("drawn");
    QTest::addColumn<int>("correct");   // 0: broken

    const QStringList doc = {u"{test=1}"_qs, u"q"_qs, u"{test=2}"_qs, u"q"_qs};
    QTest::newRow("valid") << doc << QStringList{u"0"_qs, u"2"_qs, u"4"_qs} << 2 << 2;
    QTest::newRow("drawn 0") << doc << QStringList{u"0"_qs, u"2"_qs, u"4"_qs} << 0 << 0;
    QTest::newRow("drawn beyond index") << doc << QStringList{u"0"_qs, u"2"_qs, u"4"_qs} << 3 << 0;
    QTest::newRow("index names a body line") << doc << QStringList{u"0"_qs, u"1"_qs, u"4"_qs} << 2 << 0;
    QTest::newRow("not a number") << doc << QStringList{u"0"_qs, u"x"_qs, u"4"_qs} << 2 << 0;
    QTest::newRow("next not a number") << doc << QStringList{u"0"_qs, u"2"_qs, u"end"_qs} << 2 << 0;
    QTest::newRow("beyond the document") << doc << QStringList{u"0"_qs, u"40"_qs, u"44"_qs} << 2 << 0;
    QTest::newRow("next beyond the document") << doc << QStringList{u"0"_qs, u"2"_qs, u"5"_qs} << 2 << 0;
    QTest::newRow("out of order") << doc << QStringList{u"2"_qs, u"0"_qs, u"4"_qs} << 1 << 0;
    QTest::newRow("digit 7") << QStringList{u"{test=7}"_qs, u"q"_qs} << QStringList{u"0"_qs, u"2"_qs} << 1 << 0;
    QTest::newRow("digit 0") << QStringList{u"{test=0}"_qs, u"q"_qs} << QStringList{u"0"_qs, u"2"_qs} << 1 << 0;
    QTest::newRow("letter") << QStringList{u"{test=a}"_qs, u"q"_qs} << QStringList{u"0"_qs, u"2"_qs} << 1 << 0;
    QTest::newRow("nothing") << QStringList{u"{test=}"_qs, u"q"_qs} << QStringList{u"0"_qs, u"2"_qs} << 1 << 0;
    QTest::newRow("spaces inside") << QStringList{u"{test= 3 }"_qs, u"q"_qs} << QStringList{u"0"_qs, u"2"_qs} << 1 << 3;
    QTest::newRow("tag in a sentence") << QStringList{u"a {test=1} b"_qs, u"q"_qs} << QStringList{u"0"_qs, u"2"_qs}
                                       << 1 << 0;
}

void TestComp::brokenQuestions()
{
    QFETCH(QStringList, paragraphs);
    QFETCH(QStringList, index);
    QFETCH(int, drawn);
    QFETCH(int, correct);
    QTextDocument doc;
    buildDocument(doc, paragraphs);
    LineModel lines(doc);
    SessionState state;
    state.TagIndex = toLines(index);
    state.DrawnQuestion = drawn;
    const Comp::QuestionPlace q = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
    QCOMPARE(q.broken, correct == 0);
    QCOMPARE(q.correct, correct);
}

void TestComp::randomDocumentsNeverCrash()
{
    // Documents made of tag-like lines in every order: whatever the check
    // says, nothing crashes, and a document it accepts can be asked in full.
    const QStringList pieces = {u"{test=1}"_qs, u"{TEST=4}"_qs, u"{test=5}"_qs, u"{test="_qs, u"{test=}"_qs,
                                u"{test"_qs, u"{pic=p.png}"_qs, u"{pic=}"_qs, u"{PIC=P.PNG}"_qs, u"{pic="_qs,
                                u"{pic=../p.png}"_qs, u"текст"_qs, QString(), u" "_qs, u"{test=2} и {pic=p.png}"_qs,
                                u"}{"_qs};
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(LineLists::write(dir.path() + u"/p.png"_qs, {"x"}));
    QRandomGenerator random(20261208);
    FakeClock clock{0};
    int accepted = 0;
    for (int round = 0; round < 300; ++round) {
        // Questions of the right shape, with a random line now and then.
        QStringList paragraphs;
        const int questions = random.bounded(5);
        for (int k = 0; k < questions; ++k) {
            paragraphs << QStringLiteral("{test=%1}").arg(1 + random.bounded(4));
            if (random.bounded(3) == 0)
                paragraphs << u"{pic=p.png}"_qs;
            for (int i = random.bounded(3); i >= 0; --i)
                paragraphs << u"ответ"_qs;
        }
        for (QString &line : paragraphs) {
            if (random.bounded(8) == 0)
                line = pieces.at(random.bounded(int(pieces.size())));
        }
        if (random.bounded(4) == 0)
            paragraphs.insert(random.bounded(int(paragraphs.size()) + 1), pieces.at(random.bounded(int(pieces.size()))));
        const int count = int(paragraphs.size());
        QTextDocument doc;
        buildDocument(doc, paragraphs);
        LineModel lines(doc);
        const CheckResult result = compileCheck(lines, dir.path() + u"/t.rtf"_qs);
        SessionState state;
        state.TagIndex = result.tagIndex;
        if (result.verdict == Verdict::Ok) {
            ++accepted;
            Cues cues(m_sink, dir.path());
            RecordingUi ui;
            QVERIFY(Comp::CheckTagIndex(state.TagIndex, lines, dir.path(), cues, ui));
            QVERIFY(ui.warnings.isEmpty());
            state.Pool.PoolRemaining = result.testCount;
            Comp::InitQuestionPool(state.Pool, state.TagIndex);
            while (state.Pool.PoolRemaining > 0) {
                state.DrawnQuestion = Comp::DrawQuestion(state.Pool, clock);
                const Comp::QuestionPlace q = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
                QVERIFY(!q.broken);
                QVERIFY(q.correct >= 1 && q.correct <= 4);
                QVERIFY(q.bodyEnd > q.bodyStart || q.bodyEnd == lines.documentEnd());
            }
        }
        // Random indexes over the same document.
        for (int k = 0; k < 4; ++k) {
            state.TagIndex.clear();
            const int entries = random.bounded(5);
            for (int i = 0; i < entries; ++i)
                state.TagIndex << QByteArray::number(random.bounded(-2, count + 3));
            state.DrawnQuestion = random.bounded(-1, entries + 2);
            const Comp::QuestionPlace q = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
            if (!q.broken) {
                QVERIFY(q.correct >= 1 && q.correct <= 4);
                QVERIFY(q.bodyStart <= q.bodyEnd && q.bodyEnd <= lines.documentEnd());
            }
            if (k > 0)
                continue; // a rebuild writes a file: once a round is plenty
            Cues cues(m_sink, dir.path());
            RecordingUi ui;
            QVERIFY(Comp::CheckTagIndex(state.TagIndex, lines, dir.path(), cues, ui));
            QVERIFY(!ui.visible);
        }
    }
    QVERIFY(accepted > 10);
}

void TestComp::timeBudget_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("limited");
    QTest::addColumn<QString>("atStart");
    QTest::addColumn<QString>("afterOneTick");
    QTest::newRow("30 s x 10") << u"4"_qs << 10 << true << u"00:05:00"_qs << u"00:04:59"_qs;
    QTest::newRow("2 min x 40") << u"2"_qs << 40 << true << u"01:20:00"_qs << u"01:19:59"_qs;
    QTest::newRow("1 min x 1") << u"3"_qs << 1 << true << u"00:01:00"_qs << u"00:00:59"_qs;
    QTest::newRow("15 s x 3") << u"5"_qs << 3 << true << u"00:00:45"_qs << u"00:00:44"_qs;
    QTest::newRow("2 min x 3000") << u"2"_qs << 3000 << true << u"100:00:00"_qs << u"99:59:59"_qs;
    QTest::newRow("beyond the clock") << u"2"_qs << 100000 << true << u"255:59:59"_qs << u"255:59:58"_qs;
    QTest::newRow("unknown code") << u"7"_qs << 10 << true << u"00:00:00"_qs << u"00:00:00"_qs;
}

void TestComp::timeBudget()
{
    QFETCH(QString, code);
    QFETCH(int, questions);
    QFETCH(bool, limited);
    QFETCH(QString, atStart);
    QFETCH(QString, afterOneTick);
    SessionState state;
    state.TestConfig = {code.toLatin1(), "10", "1", "40"};
    state.QuestionsToAsk = questions;
    TimeBudget::StartTimeBudget(state);
    QCOMPARE(state.Time.TimeLimited, limited);
    QCOMPARE(TimeBudget::clockText(state.Time), atStart);
    TimeBudget::countDown(state.Time);
    QCOMPARE(TimeBudget::clockText(state.Time), afterOneTick);
}

void TestComp::clockCountsDownToZero()
{
    SessionState state;
    state.TestConfig = {"1", "5", "1", "5"};
    state.QuestionsToAsk = 5;
    state.Time.ClockMinutes = 7; // left from an earlier test
    TimeBudget::StartTimeBudget(state);
    QVERIFY(!state.Time.TimeLimited);

    state.TestConfig[0] = "4";
    state.QuestionsToAsk = 10;
    TimeBudget::StartTimeBudget(state);
    int ticks = 0;
    while (!TimeBudget::timeIsUp(state.Time)) {
        TimeBudget::countDown(state.Time);
        ++ticks;
    }
    QCOMPARE(ticks, 300);
    TimeBudget::countDown(state.Time);
    QCOMPARE(TimeBudget::clockText(state.Time), u"00:00:00"_qs);
}

QTEST_MAIN(TestComp)
#include "tst_comp.moc"
