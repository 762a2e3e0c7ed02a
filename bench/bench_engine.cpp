// Times the engine on one large test document: reading the RTF, building
// the line model, the compile check, the tag index check (as it passes and
// as it rebuilds), and cutting out every question the way the main window
// shows it (locateQuestion and the copy into a question view).
//
// usage: bench_engine FILE.rtf [repeats]
#include "authoring/CompileCheck.h"
#include "richtext/LineModel.h"
#include "richtext/RtfReader.h"
#include "session/Comp.h"
#include "session/Cues.h"
#include "session/Services.h"
#include "session/SessionState.h"
#include "tests/support/Doubles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <time.h>

namespace {

// Processor time of this thread in milliseconds: on a busy machine the
// wall clock also counts the time other programs had the processor.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Timing
{
    double wall = 1e100;
    double cpu = 1e100;
};

// The best of several runs, in milliseconds.
Timing best(int repeats, const std::function<void()> &run)
{
    Timing result;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        const double cpuStart = cpuMs();
        timer.start();
        run();
        result.wall = std::min(result.wall, timer.nsecsElapsed() / 1e6);
        result.cpu = std::min(result.cpu, cpuMs() - cpuStart);
    }
    return result;
}

void row(const char *what, Timing t, const char *note = "")
{
    std::printf("  %-44s %10.3f %10.3f  %s\n", what, t.wall, t.cpu, note);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_engine FILE.rtf [repeats]\n", stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int repeats = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const QByteArray bytes = file.readAll();

    QTextDocument document;
    RtfReader::Result read;
    const Timing load = best(repeats, [&] { read = RtfReader::load(bytes, document); });
    const LineModel *model = nullptr;
    const Timing lineModel = best(repeats, [&] {
        delete model;
        model = new LineModel(document);
    });
    const LineModel &lines = *model;

    CheckResult check;
    const Timing compile = best(repeats, [&] { check = compileCheck(lines, path); });

    QTemporaryDir topic;
    SilentSink sink;
    Cues cues(sink, topic.path());
    SilentUi ui;
    SessionState state;
    const Timing indexCheck = best(repeats, [&] {
        state.TagIndex = check.tagIndex;
        (void)Comp::CheckTagIndex(state.TagIndex, lines, topic.path(), cues, ui);
    });
    const Timing indexRebuild = best(repeats, [&] {
        state.TagIndex = {"0", "1"};
        (void)Comp::CheckTagIndex(state.TagIndex, lines, topic.path(), cues, ui);
    });

    // Every question, as the main window shows it: find it, then copy its
    // body into an emptied question view.
    state.TagIndex = check.tagIndex;
    const int questions = Comp::questionsInBase(state.TagIndex);
    Timing total{0, 0};
    Timing worst{0, 0};
    int broken = 0;
    qint64 copied = 0; // characters that reached the question view, as a sanity check
    QTextDocument view;
    for (int n = 1; n <= questions; ++n) {
        state.DrawnQuestion = n;
        const Timing ms = best(repeats, [&] {
            view.clear();
            const Comp::QuestionPlace place = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
            if (place.broken) {
                ++broken;
                return;
            }
            QTextCursor cursor(&view);
            LineModel::copyRange(document, place.bodyStart, place.bodyEnd, cursor);
        });
        copied += view.characterCount();
        total.wall += ms.wall;
        total.cpu += ms.cpu;
        worst.wall = std::max(worst.wall, ms.wall);
        worst.cpu = std::max(worst.cpu, ms.cpu);
    }

    std::printf("%s: %.1f MB, %d lines, %d pictures in the document, verdict %d, %d questions\n", argv[1],
                bytes.size() / 1048576.0, lines.lineCount(), read.pictureCount,
                int(check.verdict), check.testCount);
    std::printf("best of %d runs, in ms:%37s %10s\n", repeats, "wall", "processor");
    row("RtfReader::load", load, load.cpu < 100 ? "(goal < 100 ms: met)" : "(goal < 100 ms: MISSED)");
    row("LineModel", lineModel);
    row("compileCheck", compile);
    row("CheckTagIndex (index valid)", indexCheck);
    row("CheckTagIndex (rebuild and save)", indexRebuild);
    const Timing mean{questions ? total.wall / questions : 0, questions ? total.cpu / questions : 0};
    row("ShowQuestion engine half, mean per question", mean,
        questions && mean.cpu < 5 ? "(goal < 5 ms: met)" : "(goal < 5 ms: MISSED)");
    row("ShowQuestion engine half, slowest question", worst);
    std::printf("  %lld characters copied into the question view in all\n", copied);
    if (broken)
        std::printf("  %d questions were broken\n", broken / repeats);
    delete model;
    return 0;
}
