// Feeds arbitrary bytes to everything that reads the library's own files,
// as a hand edit, a crash of another program or a damaged disk may leave
// them: the subject and topic indexes (Index.dat), a topic's options
// (config.dat), the results table (normal.cfg), the encoded base (Baza.dat)
// and its tag index (Baza.ini), and the journal's server settings
// (journal.cfg). The tag index is used as a running test
// uses it, both as read and after its check, on a small test document.
#include "library/Codec.h"
#include "library/Cp1251.h"
#include "library/IndexFile.h"
#include "library/LineList.h"
#include "results/Grading.h"
#include "results/JournalServer.h"
#include "results/ResultsFile.h"
#include "results/TimeLimit.h"
#include "library/TopicConfig.h"
#include "richtext/LineModel.h"
#include "session/Comp.h"
#include "session/Cues.h"
#include "session/Services.h"
#include "session/SessionState.h"
#include "tests/support/Doubles.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

struct Fixture
{
    QTemporaryDir folder;
    QTextDocument document;
    std::unique_ptr<LineModel> lines;
    SilentSink sink;
    std::unique_ptr<Cues> cues;

    Fixture()
    {
        // Four questions, the second with a picture line, and a table.
        QTextCursor cursor(&document);
        const char *const paragraphs[] = {
            "Вступление", "{test=2}", "Вопрос один", "1) а 2) б 3) в 4) г", "{test=4}", "{pic=Рис.wmf}",
            "Вопрос два", "1) а 2) б 3) в 4) г", "{test=1}", "Вопрос три", "{test=9}", "Вопрос четыре",
        };
        bool first = true;
        for (const char *paragraph : paragraphs) {
            if (!first)
                cursor.insertBlock();
            first = false;
            cursor.insertText(QString::fromUtf8(paragraph));
        }
        cursor.insertTable(2, 2);
        lines = std::make_unique<LineModel>(document);
        cues = std::make_unique<Cues>(sink, folder.path() + u'/');
    }
};

Fixture *fixture = nullptr;

// Runs a test over the tag index the state holds, as far as the engine goes.
void runTest(SessionState &state)
{
    FakeClock clock{36'000'000, 13};
    state.Pool.PoolRemaining = Comp::questionsInBase(state.TagIndex);
    Comp::InitQuestionPool(state.Pool, state.TagIndex);
    for (int asked = 0; asked < 20; ++asked) {
        state.DrawnQuestion = Comp::DrawQuestion(state.Pool, clock);
        if (state.DrawnQuestion == 0)
            break;
        const Comp::QuestionPlace place = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, *fixture->lines);
        if (place.broken)
            continue;
        QTextDocument question;
        QTextCursor target(&question);
        LineModel::copyRange(fixture->document, place.bodyStart, place.bodyEnd, target);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    static Fixture shared;
    fixture = &shared;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const LineList lines = LineLists::split(bytes);

    // Index.dat: every row shown, its folder found, a new folder numbered,
    // the rows sorted.
    IndexFile index;
    index.setLines(lines);
    for (int i = 0; i < index.count(); ++i) {
        (void)index.displayName(i);
        (void)index.folderNumber(i);
    }
    (void)index.allocateFolderNumber();
    index.sort();
    (void)IndexFile::storedName(Cp1251::decode(lines.value(0)), IndexFile::TopicNameLength);

    // config.dat: the numbers read, the time and the grade worked out.
    for (TopicConfig::Line line : {TopicConfig::TimeCode, TopicConfig::QuestionCount, TopicConfig::ResultKind,
                                   TopicConfig::QuestionTotal}) {
        if (const Expected<int> value = TopicConfig::number(lines, line)) {
            const std::optional<TimeLimit> limit = TimeLimit::fromCode(*value);
            (void)clockText((limit ? limit->secondsPerAnswer() : 0) * (*value % 1000));
            const QByteArray kind = lines.value(TopicConfig::ResultKind);
            (void)Grading::tableText(kind, *value / 2, *value);
            (void)Grading::windowText(kind, *value, *value / 3);
            (void)Grading::finalCue(kind, *value / 2, *value);
            if (const std::optional<TimeLimit> limit = TimeLimit::parse(lines.value(TopicConfig::TimeCode)))
                (void)limit->tableText();
        }
    }

    // normal.cfg: a new record added to whatever the table held.
    LineList table = lines;
    while (table.size() < ResultsFile::LineCount)
        table.append(QByteArray());
    ResultsFile::append(table, ResultsFile::makeRecord({u"Иванов"_qs, QTime(10, 0), u"Тема"_qs, 3, 2,
                                                        lines.value(0), lines.value(1)}));
    (void)LineLists::join(table);

    // Baza.dat: decoded as the open command decodes it.
    LineList base = lines;
    Codec::codeLines(base);

    // journal.cfg: read as the program reads it.
    (void)JournalServer::parse(bytes, u"journal.cfg"_qs);

    // Baza.ini: used as it stands, then checked (and rebuilt when stale).
    SessionState state;
    state.TagIndex = lines;
    runTest(state);
    SilentUi ui;
    (void)Comp::CheckTagIndex(state.TagIndex, *fixture->lines, fixture->folder.path(), *fixture->cues, ui);
    runTest(state);
    return 0;
}
