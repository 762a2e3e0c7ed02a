// Writing one answer to the results journal, as the board does after every
// press: the median over many answers, with 100,000 answers in the journal
// already (five thousand tests of twenty questions).
#include "results/Journal.h"

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
    start.topic = QStringLiteral("Физика - ( Оптика )");
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
    std::vector<double> times;
    for (int run = 0; run < 50; ++run) {
        (void)journal.beginRun(start);
        for (int q = 1; q <= 20; ++q) {
            QElapsedTimer timer;
            timer.start();
            if (!journal.recordAnswer({q, 1, 2, 5}))
                return 1;
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        (void)journal.finishRun({QDateTime::currentDateTime(), 10, QStringLiteral("3")});
    }
    std::sort(times.begin(), times.end());
    std::printf("bench_journal: one answer with 100,000 in the journal: median %.3f ms, 90th percentile %.3f ms, max %.3f ms\n",
                times[times.size() / 2], times[times.size() * 9 / 10], times.back());
    return 0;
}
