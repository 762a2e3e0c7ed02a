// Writing one answer to the results journal, as the board does after every
// press: the median over many answers, with 100,000 answers in the journal
// already (five thousand tests of twenty questions); then the same with the
// outbox of a lab's server kept, and the outbox sending 10,000 waiting
// answers to a PostgreSQL server started for the run.
#include "results/Journal.h"
#include "results/JournalServer.h"
#include "tests/support/PostgresServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Journal journal(dir.filePath(QStringLiteral("journal.sqlite")), QStringLiteral("bench"));
    Journal::RunStart start;
    start.surname = QStringLiteral("Иванов");
    start.subject = QStringLiteral("Физика");
    start.topic = QStringLiteral("Оптика");
    start.started = QDateTime::currentDateTime();
    start.timeCode = "1";
    start.resultForm = "4";
    start.questionsToAsk = 20;
    for (int run = 0; run < 5000; ++run) {
        if (!journal.beginRun(start))
            return 1;
        for (int q = 1; q <= 20; ++q)
            (void)journal.recordAnswer({q, q % 4 + 1, (q + run) % 4 + 1, 7});
        (void)journal.finishRun({QDateTime::currentDateTime(), 12, QStringLiteral("4")});
    }
    const auto median = [&journal, &start](const char *what) {
        std::vector<double> times;
        for (int run = 0; run < 50; ++run) {
            (void)journal.beginRun(start);
            for (int q = 1; q <= 20; ++q) {
                QElapsedTimer timer;
                timer.start();
                if (!journal.recordAnswer({q, 1, 2, 5}))
                    return false;
                times.push_back(timer.nsecsElapsed() / 1e6);
            }
            (void)journal.finishRun({QDateTime::currentDateTime(), 10, QStringLiteral("3")});
        }
        std::sort(times.begin(), times.end());
        std::printf("bench_journal: one answer with 100,000 in the journal%s: median %.3f ms, 90th percentile %.3f ms,"
                    " max %.3f ms\n",
                    what, times[times.size() / 2], times[times.size() * 9 / 10], times.back());
        return true;
    };
    if (!median(""))
        return 1;
    journal.keepOutbox([] {});
    if (!median(", outbox kept"))
        return 1;

    PostgresServer server;
    if (!server.missing().isEmpty()) {
        std::printf("bench_journal: no server for the outbox: %s\n", qPrintable(server.missing()));
        return 0;
    }
    // 500 runs of 20 answers wait, with the 50 of the outbox timing above.
    QTemporaryDir outboxDir;
    const QString outboxPath = outboxDir.filePath(QStringLiteral("journal.sqlite"));
    Journal lab(outboxPath, QStringLiteral("bench"));
    lab.keepOutbox([] {});
    for (int run = 0; run < 500; ++run) {
        (void)lab.beginRun(start);
        for (int q = 1; q <= 20; ++q)
            (void)lab.recordAnswer({q, q % 4 + 1, (q + run) % 4 + 1, 7});
        (void)lab.finishRun({QDateTime::currentDateTime(), 12, QStringLiteral("4")});
    }
    JournalSender sender(outboxPath, server.journalServer());
    const int waiting = sender.waiting();
    QElapsedTimer timer;
    timer.start();
    const Expected<int> sent = sender.sendWaiting();
    if (!sent) {
        std::printf("bench_journal: sending failed: %s\n", qPrintable(sent.error()));
        return 1;
    }
    std::printf("bench_journal: the outbox sent %d waiting rows (10,000 answers, 500 runs twice) in %.0f ms\n",
                waiting, timer.nsecsElapsed() / 1e6);
    return 0;
}
