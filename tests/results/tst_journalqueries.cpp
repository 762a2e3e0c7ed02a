// The teacher's reading of the journal, on a small lesson written through
// Journal into a real SQLite file and sent on to a real PostgreSQL server
// that the test starts: the same queries must give the same runs, answers,
// item analysis, grade chart and CSV bytes from both.
#include "library/Paths.h"
#include "results/Journal.h"
#include "results/JournalQueries.h"
#include "results/JournalReport.h"
#include "results/JournalServer.h"
#include "tests/support/PostgresServer.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using Run = JournalQueries::Run;
using Filter = JournalQueries::Filter;

QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second));
}

QStringList surnames(const QList<JournalQueries::RunRef> &runs)
{
    QStringList names;
    for (const JournalQueries::RunRef &run : runs)
        names << run.surname;
    return names;
}

QByteArray readBack(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestJournalQueries : public QObject
{
    Q_OBJECT

private:
    // One lesson of "Физика / Оптика" on the 9th of December, graded on
    // the 5-point scale, four questions a test. The right fields are
    // q1: 2, q2: 4, q3: 1, q4: 3, q5: 1; a press of 0 is a time-out.
    //
    //   Алексеев    09:00  q1 2+  q2 4+  q3 1+  q4 2-        3 of 4, "4"
    //   Борисова    09:10  q1 2+  q2 0-  q4 3+  q5 3-        2 of 4, "3"
    //   Ёлкина      09:10  q5 1+ ... and no more: the test never finished
    //   Васильев    09:20  q1 2+  q3 1+  q4 2-  q5 4-        2 of 4, "3"
    //   Григорьева  09:30  q2 1-  q3 4-  q4 3+  q5 2-        1 of 4, "2"
    //
    // and, the day before, a count result in "Механика" by a student who
    // typed a surname a spreadsheet would take for a formula.
    void writeLesson(Journal &journal)
    {
        struct Given
        {
            const char *surname;
            QDateTime started;
            QList<Journal::Answer> answers;
            int correct;   // -1: never finished
            const char *grade;
        };
        const QList<Given> lesson = {
            {"Алексеев", at(9, 9, 0), {{1, 2, 2, 30}, {2, 4, 4, 41}, {3, 1, 1, 25}, {4, 2, 3, 60}}, 3, "\"4\""},
            {"Борисова", at(9, 9, 10), {{1, 2, 2, 12}, {2, 0, 4, 90}, {4, 3, 3, 20}, {5, 3, 1, 15}}, 2, "\"3\""},
            {"Ёлкина", at(9, 9, 10), {{5, 1, 1, 8}}, -1, ""},
            {"Васильев", at(9, 9, 20), {{1, 2, 2, 10}, {3, 1, 1, 11}, {4, 2, 3, 12}, {5, 4, 1, 13}}, 2, "\"3\""},
            {"Григорьева", at(9, 9, 30), {{2, 1, 4, 5}, {3, 4, 1, 6}, {4, 3, 3, 7}, {5, 2, 1, 8}}, 1, "\"2\""},
        };
        for (const Given &given : lesson) {
            Journal::RunStart start;
            start.surname = QString::fromUtf8(given.surname);
            start.subject = QStringLiteral("Физика");
            start.topic = QStringLiteral("Оптика");
            start.subjectFolder = 1;
            start.topicFolder = 2;
            start.started = given.started;
            start.timeCode = "1";
            start.resultForm = "4";
            start.questionsToAsk = 4;
            QVERIFY(journal.beginRun(start));
            for (const Journal::Answer &answer : given.answers)
                QVERIFY(journal.recordAnswer(answer));
            if (given.correct >= 0)
                QVERIFY(journal.finishRun(
                    {given.started.addSecs(330), given.correct, QString::fromUtf8(given.grade)}));
        }
        Journal::RunStart odd;
        odd.surname = QStringLiteral("=Иванова; \"Ира\"");
        odd.subject = QStringLiteral("Физика");
        odd.topic = QStringLiteral("Механика");
        odd.started = at(8, 10, 0);
        odd.timeCode = "2";
        odd.resultForm = "1";
        odd.questionsToAsk = 4;
        QVERIFY(journal.beginRun(odd));
        for (int question = 1; question <= 4; ++question)
            QVERIFY(journal.recordAnswer({question, 1, question == 4 ? 2 : 1, 9}));
        QVERIFY(journal.finishRun({at(8, 10, 1, 15), 3, QStringLiteral("3 из 4")}));
    }

    JournalServer server() const
    {
        return m_server->journalServer();
    }

    QTemporaryDir m_folder;   // a library: Images/journal.sqlite
    std::unique_ptr<PostgresServer> m_server;

private Q_SLOTS:
    void initTestCase()
    {
        const QString path = Paths::journalFile(m_folder.path() + u'/');
        Journal journal(path, QStringLiteral("Кабинет-7"));
        journal.keepOutbox([] {});
        writeLesson(journal);
        m_server = std::make_unique<PostgresServer>();
        if (m_server->missing().isEmpty()) {
            JournalSender sender(path, server());
            QCOMPARE(sender.sendWaiting().value(), 32);   // every run and answer, and each finish
        }
    }

    void sameReadingOfBoth_data();
    void sameReadingOfBoth();
    void serverOrThisComputer();
};

void TestJournalQueries::sameReadingOfBoth_data()
{
    QTest::addColumn<bool>("onServer");
    QTest::newRow("this computer's journal") << false;
    QTest::newRow("the lab's server") << true;
}

void TestJournalQueries::sameReadingOfBoth()
{
    QFETCH(bool, onServer);
    JournalSource source;
    if (onServer) {
        if (!m_server->missing().isEmpty())
            QSKIP(qPrintable(m_server->missing()));
        QVERIFY(source.openServer(server()));
    } else {
        QVERIFY(source.openLocal(Paths::journalFile(m_folder.path() + u'/')));
    }
    const JournalQueries queries = source.queries();

    // Newest first; Борисова and Ёлкина began at the same second and go in
    // Russian order, where Ё follows Б (its code comes before every other
    // capital).
    QCOMPARE(surnames(queries.pick({}).value()),
             (QStringList{u"Григорьева"_qs, u"Васильев"_qs, u"Борисова"_qs, u"Ёлкина"_qs, u"Алексеев"_qs,
                          u"=Иванова; \"Ира\""_qs}));
    // A part of a surname in any letter case, Cyrillic included.
    QCOMPARE(surnames(queries.pick({{}, {}, {}, {}, u"иВА"_qs}).value()), QStringList{u"=Иванова; \"Ира\""_qs});
    // Dates are whole days.
    const Filter lesson{QDate(2026, 12, 9), QDate(2026, 12, 9), u"Физика"_qs, u"Оптика"_qs, {}};
    QCOMPARE(surnames(queries.pick(lesson).value()),
             (QStringList{u"Григорьева"_qs, u"Васильев"_qs, u"Борисова"_qs, u"Ёлкина"_qs, u"Алексеев"_qs}));
    const QList<JournalQueries::Topic> topics = queries.topics().value();
    QCOMPARE(topics.size(), 2);
    QCOMPARE(topics.at(0).topic, u"Механика"_qs);

    // A run's whole record and its answers in the order given.
    const QList<Run> runs = queries.runs(lesson).value();
    QCOMPARE(runs.size(), 5);
    const Run &borisova = runs.at(2);
    QCOMPARE(borisova.seconds, 330);
    QCOMPARE(JournalReport::resultText(borisova), u"[5-я]: 3"_qs);
    QCOMPARE(JournalReport::countText(runs.at(3)), u"не завершён"_qs);
    const QList<JournalQueries::Answer> answers = queries.answers(borisova.id).value();
    QCOMPARE(answers.size(), 4);
    QCOMPARE(answers.at(1).pressed, 0);
    QCOMPARE(answers.at(1).seconds, 90);
    QCOMPARE(queries.details({borisova.id}).value().value(0).surname, u"Борисова"_qs);

    // The item analysis of the finished runs, worked out by hand from the
    // lesson above. Four runs make groups of one: Алексеев the best,
    // Григорьева the worst.
    const QList<JournalReport::Item> items =
        JournalReport::itemAnalysis(runs, queries.finishedAnswers(lesson, runs).value());
    QCOMPARE(items.size(), 5);
    // q1: right three times of three; the worst run never met it.
    QCOMPARE(items.at(0).asked, 3);
    QCOMPARE(items.at(0).right, 3);
    QVERIFY(!items.at(0).discrimination);
    // q2: one right, one time-out, one press of field 1; the best right,
    // the worst wrong.
    QCOMPARE(items.at(1).right, 1);
    QCOMPARE(items.at(1).wrong, (std::array<int, 5>{1, 1, 0, 0, 0}));
    QCOMPARE(items.at(1).discrimination.value(), 1.0);
    // q4: the best pressed 2, the worst the right 3: the weaker did better.
    QCOMPARE(items.at(3).asked, 4);
    QCOMPARE(items.at(3).wrong, (std::array<int, 5>{0, 0, 2, 0, 0}));
    QCOMPARE(items.at(3).discrimination.value(), -1.0);
    QVERIFY(items.at(3).weakerBetter && !items.at(3).nobodyRight);
    // q5: nobody right (Ёлкина's right answer is in no finished run).
    QVERIFY(items.at(4).nobodyRight);
    QCOMPARE(items.at(4).wrong, (std::array<int, 5>{0, 0, 1, 1, 1}));
    QCOMPARE(JournalReport::groupSize(1), 0);
    QCOMPARE(JournalReport::groupSize(50), 14);
    QCOMPARE(JournalReport::groupSize(150), 40);   // 40.5: halves go to the even

    const JournalReport::GradeChart chart = JournalReport::gradeChart(runs);
    QCOMPARE(chart.title, u"Оценки: 5-балльная система"_qs);
    QStringList bars;
    for (const JournalReport::GradeBar &bar : chart.bars)
        bars << bar.label + u':' + QString::number(bar.runs);
    QCOMPARE(bars, (QStringList{u"2:1"_qs, u"3:2"_qs, u"4:1"_qs, u"5:0"_qs}));

    // The CSV files, written and read back byte for byte.
    QTemporaryDir out;
    const QString itemsPath = out.filePath(u"Анализ.csv"_qs);
    QVERIFY(JournalReport::saveCsv(itemsPath, JournalReport::itemsCsv(items)));
    QCOMPARE(readBack(itemsPath),
             QByteArray("\xEF\xBB\xBF"
                        "Вопрос;Задан;Верно;Доля верных;Неверно: поле 1;Неверно: поле 2;Неверно: поле 3;"
                        "Неверно: поле 4;Время вышло;Верное поле;Индекс дискриминации;Замечание\r\n"
                        "1;3;3;1,00;0;0;0;0;0;2;;\r\n"
                        "2;3;1;0,33;1;0;0;0;1;4;1,00;\r\n"
                        "3;3;2;0,67;0;0;0;1;0;1;1,00;\r\n"
                        "4;4;2;0,50;0;2;0;0;0;3;-1,00;слабые ответили лучше сильных\r\n"
                        "5;3;0;0,00;0;1;1;1;0;1;;никто не ответил верно\r\n"));
    const QString runsPath = out.filePath(u"Журнал.csv"_qs);
    QVERIFY(JournalReport::saveCsv(runsPath, JournalReport::runsCsv(queries.runs({}).value())));
    const QList<QByteArray> lines = readBack(runsPath).split('\n');
    QCOMPARE(lines.size(), 1 + 6 + 1);
    QCOMPARE(lines.at(0), QByteArray("\xEF\xBB\xBF"
                                     "Дата;Начало;Фамилия;Предмет;Тема;Верно;Вопросов;Оценка;Система оценки;"
                                     "Длительность, с;Компьютер;Состояние\r"));
    QCOMPARE(lines.at(1), QByteArray("09.12.2026;09:30;Григорьева;Физика;Оптика;1;4;2;5-балльная;330;Кабинет-7;завершён\r"));
    QCOMPARE(lines.at(4), QByteArray("09.12.2026;09:10;Ёлкина;Физика;Оптика;;4;;5-балльная;;Кабинет-7;не завершён\r"));
    // Quoted for its ';' and '"', and kept from being run as a formula.
    QCOMPARE(lines.at(6), QByteArray("08.12.2026;10:00;\"'=Иванова; \"\"Ира\"\"\";Физика;Механика;3;4;;"
                                     "количество верных;75;Кабинет-7;завершён\r"));
}

void TestJournalQueries::serverOrThisComputer()
{
    // The window's choice, made from the library: the server that its
    // journal.cfg names when it answers, else this computer's journal, with
    // the reason said.
    const QString folder = m_folder.path() + u'/';
    const QString settings = Paths::journalSettings(folder);
    const auto name = [&settings](int port) {
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("host=127.0.0.1\nport=%1\ndatabase=postgres\nuser=nastavnik\n").arg(port).toUtf8());
    };
    JournalSource source;
    source.open(folder, folder);
    QVERIFY(source.isOpen() && !source.isServer());
    QVERIFY(source.problem().isEmpty());
    QVERIFY2(source.description().contains(QDir::toNativeSeparators(Paths::journalFile(folder))),
             qPrintable(source.description()));

    if (m_server->missing().isEmpty()) {
        name(m_server->port());
        source.open(folder, folder);
        QVERIFY2(source.isServer(), qPrintable(source.problem()));
        QCOMPARE(source.queries().pick({}).value().size(), 6);
    }
    name(1);   // nothing listens there
    source.open(folder, folder);
    QVERIFY(source.isOpen() && !source.isServer());
    QVERIFY2(source.problem().contains(u"127.0.0.1:1"_qs), qPrintable(source.problem()));
    QFile::remove(settings);
}

QTEST_GUILESS_MAIN(TestJournalQueries)
#include "tst_journalqueries.moc"
