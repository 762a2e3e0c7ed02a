// The teacher's journal window over a large journal: 100,000 runs with 2
// million answers (a school's years of lessons). Times, as the median of a
// few showings: opening the window until its table is painted, filtering by
// a part of a surname, by subject and by topic, the topic's item analysis
// and the charts.
//
// The journal is made once into build/bench-data/journal-100k/ (a program
// folder of its own, Baza/Images/journal.sqlite) and reused.
#include "library/Paths.h"
#include "results/JournalSchema.h"
#include "results/ui/JournalWindow.h"
#include "session/Cues.h"
#include "session/SessionState.h"
#include "session/ui/AppContext.h"
#include "session/ui/Prompter.h"
#include "tests/support/Doubles.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QVBoxLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 100'000;
constexpr int kAnswersPerRun = 20;

class NoBoxes final : public Prompter
{
public:
    void message(QWidget *, const QString &, const QString &text, Icon) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool confirm(QWidget *, const QString &, const QString &) override { return false; }
    QString input(QWidget *, const QString &, const QString &) override { return {}; }
    QString openFile(QWidget *, const QString &, const QString &) override { return {}; }
    QString chooseFolder(QWidget *, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString password(QWidget *, const QString &, const QString &) override { return {}; }
};

bool fill(const QString &path)
{
    const char *const surnames[] = {"Иванов", "Петрова", "Сидоров", "Кузнецова", "Смирнов", "Попова", "Васильев",
                                    "Соколова", "Михайлов", "Новикова", "Фёдоров", "Морозова", "Волков", "Алексеева",
                                    "Лебедев", "Семёнова", "Егоров", "Павлова", "Козлов", "Степанова", "Николаев",
                                    "Орлова", "Андреев", "Макарова", "Захаров", "Зайцева", "Соловьёв", "Борисова",
                                    "Яковлев", "Григорьева"};
    const char *const subjects[] = {"Физика", "Алгебра", "История", "Биология", "География"};
    const char *const topics[] = {"Оптика", "Механика", "Тепловые явления", "Электричество", "Атом", "Звук"};
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        if (!db.open() || !JournalSchema::apply(db, JournalSchema::Place::Local))
            return false;
        QSqlQuery query(db);
        query.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        query.finish();
        db.transaction();
        QSqlQuery run(db);
        run.prepare(QStringLiteral("INSERT INTO runs (id, computer, surname, subject, topic, subject_folder,"
                                   " topic_folder, started, finished, time_code, result_form, questions, correct,"
                                   " grade, state) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, '1', '2', ?, ?, ?, 'finished')"));
        QSqlQuery answer(db);
        answer.prepare(QStringLiteral("INSERT INTO answers (run_id, number, question, pressed, right_field, seconds)"
                                      " VALUES (?, ?, ?, ?, ?, ?)"));
        const QDateTime first(QDate(2024, 9, 2), QTime(8, 30));
        quint32 seed = 12345;
        const auto next = [&seed](int range) {
            seed = seed * 1103515245u + 12345u;
            return int((seed >> 16) % quint32(range));
        };
        ok = true;
        for (int i = 0; i < kRuns && ok; ++i) {
            const QString id = QStringLiteral("run-%1").arg(i, 6, 10, QChar(u'0'));
            const int subject = next(5);
            const int topic = next(6);
            const QDateTime started = first.addSecs(qint64(i) * 600);
            int correct = 0;
            const int strength = next(100);
            for (int n = 1; n <= kAnswersPerRun && ok; ++n) {
                const int question = (n * 7 + i) % 40 + 1;
                const int right = question % 4 + 1;
                const int pressed = next(100) < strength ? right : next(5);
                correct += pressed == right;
                answer.addBindValue(id);
                answer.addBindValue(n);
                answer.addBindValue(question);
                answer.addBindValue(pressed);
                answer.addBindValue(right);
                answer.addBindValue(5 + next(40));
                ok = answer.exec();
            }
            run.addBindValue(id);
            run.addBindValue(QStringLiteral("Кабинет-%1").arg(1 + next(12)));
            run.addBindValue(QString::fromUtf8(surnames[next(30)]));
            run.addBindValue(QString::fromUtf8(subjects[subject]));
            run.addBindValue(QString::fromUtf8(topics[topic]));
            run.addBindValue(subject + 1);
            run.addBindValue(topic + 1);
            run.addBindValue(started.toString(Qt::ISODate));
            run.addBindValue(started.addSecs(400).toString(Qt::ISODate));
            run.addBindValue(kAnswersPerRun);
            run.addBindValue(correct);
            run.addBindValue(QStringLiteral("\"%1\"").arg((12 * correct + 10) / 20));
            ok = ok && run.exec();
        }
        run.finish();
        answer.finish();
        ok = ok && db.commit();
        if (!ok)
            std::fprintf(stderr, "could not fill %s: %s\n", qPrintable(path), qPrintable(db.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

// Wall time and this process's processor time of a step, in milliseconds:
// on a machine others share as well, the second shows what the step costs.
struct Cost
{
    double wall;
    double cpu;
};

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

Cost timed(const std::function<void()> &step)
{
    QElapsedTimer timer;
    timer.start();
    const std::clock_t start = std::clock();
    step();
    QApplication::processEvents();
    return {timer.nsecsElapsed() / 1e6, double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC};
}

void report(const char *what, const std::vector<Cost> &costs)
{
    std::vector<double> wall, cpu;
    for (const Cost &cost : costs) {
        wall.push_back(cost.wall);
        cpu.push_back(cost.cpu);
    }
    std::printf("  %-32s %7.1f ms (processor %6.1f ms)\n", what, median(wall), median(cpu));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString folder = QStringLiteral(NASTAVNIK_BENCH_DATA "/journal-100k/");
    const QString path = Paths::journalFile(folder + QStringLiteral("Baza/"));
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(QFileInfo(path).path());
        std::printf("bench_journalwindow: making %s (once)...\n", qPrintable(QDir::toNativeSeparators(path)));
        std::fflush(stdout);
        QElapsedTimer making;
        making.start();
        if (!fill(path)) {
            QFile::remove(path);
            return 1;
        }
        std::printf("bench_journalwindow: made in %.1f s\n", making.elapsed() / 1000.0);
    }

    SessionState state;
    state.ProgramFolder = folder;
    state.LibraryFolder = state.ResultsLibraryFolder = folder + QStringLiteral("Baza/");
    FakeClock clock;
    SilentSink sink;
    Cues cues(sink, folder);
    NoBoxes boxes;
    AppContext context{state, cues, clock, boxes};
    // Made once at the program's start, after the other windows, which have
    // paid for the style and the fonts by then: a dialog does so here.
    {
        QDialog first;
        auto *layout = new QVBoxLayout(&first);
        layout->addWidget(new QTableView(&first));
        layout->addWidget(new QComboBox(&first));
        layout->addWidget(new QLineEdit(&first));
        first.show();
        QApplication::processEvents();
    }
    QElapsedTimer making;
    making.start();
    JournalWindow window(context);
    const double madeMs = making.nsecsElapsed() / 1e6;

    std::vector<Cost> open, surname, subject, topic, items, charts;
    constexpr int Showings = 5;
    for (int showing = 0; showing < Showings; ++showing) {
        open.push_back(timed([&] {
            window.show();
            QApplication::processEvents();
            window.RunsView->viewport()->repaint();
        }));
        if (window.listedRuns().size() != kRuns) {
            std::fprintf(stderr, "the window shows %lld runs\n", qint64(window.listedRuns().size()));
            return 1;
        }
        surname.push_back(timed([&] {
            window.SurnameEdit->setText(QStringLiteral("ОВА"));
            window.FilterChange();
            window.RunsView->viewport()->repaint();
        }));
        subject.push_back(timed([&] {
            window.SubjectBox->setCurrentIndex(window.SubjectBox->findText(QStringLiteral("Физика")));
            window.RunsView->viewport()->repaint();
        }));
        topic.push_back(timed([&] {
            window.TopicBox->setCurrentIndex(window.TopicBox->findText(QStringLiteral("Оптика")));
            window.RunsView->viewport()->repaint();
        }));
        items.push_back(timed([&] { window.Pages->setCurrentIndex(1); }));
        charts.push_back(timed([&] { window.Pages->setCurrentIndex(2); }));
        window.Pages->setCurrentIndex(0);
        window.SurnameEdit->clear();
        window.hide();
    }
    std::printf("bench_journalwindow: %d runs, %d answers; median of %d showings\n", kRuns, kRuns * kAnswersPerRun,
                Showings);
    std::printf("  %-32s %7.1f ms\n", "made (at the program's start)", madeMs);
    std::printf("  %-32s %7.1f ms (processor %6.1f ms)\n", "first open (controls made)", open.front().wall,
                open.front().cpu);
    report("open (read, list, paint)", open);
    report("filter by surname \"ова\"", surname);
    report("filter by subject", subject);
    report("filter by topic", topic);
    report("item analysis of the topic", items);
    report("charts", charts);
    return 0;
}
