// Feeds arbitrary rows to the teacher's reading of the results journal: a
// journal file may be damaged, and a lab's server holds what any computer
// sent it. The input is lines of '|'-separated fields put into a real
// SQLite journal as they are (SQLite keeps a text where a number belongs):
//
//   f|from|to|subject|topic|surname        the filter (ISO dates)
//   r|id|computer|surname|subject|topic|started|finished|time|form|questions|correct|grade|state
//   a|run id|number|question|pressed|right field|seconds
//
// Every query and report must run without a crash, the item analysis must
// keep its shares between 0 and 1, and the CSV files must begin with the
// byte order mark and end their rows with CR LF.
#include "results/JournalQueries.h"
#include "results/JournalReport.h"
#include "results/JournalSchema.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <cstdint>
#include <cstdlib>

namespace {

const QString kConnection = QStringLiteral("fuzz-journal");

QVariant field(const QList<QByteArray> &fields, int at)
{
    // A missing field is NULL, which a NOT NULL column refuses.
    return at < fields.size() ? QVariant(QString::fromUtf8(fields.at(at))) : QVariant();
}

void check(const QByteArray &csv)
{
    if (!csv.startsWith("\xEF\xBB\xBF") || !csv.endsWith("\r\n"))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (!db.open() || !JournalSchema::apply(db, JournalSchema::Place::Local))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QSqlDatabase db = QSqlDatabase::database(kConnection);
    QSqlQuery query(db);
    query.exec(QStringLiteral("DELETE FROM answers"));
    query.exec(QStringLiteral("DELETE FROM runs"));

    JournalQueries::Filter filter;
    QSqlQuery run(db);
    run.prepare(QStringLiteral("INSERT INTO runs (id, computer, surname, subject, topic, started, finished, time_code,"
                               " result_form, questions, correct, grade, state, subject_folder, topic_folder)"
                               " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0)"));
    QSqlQuery answer(db);
    answer.prepare(QStringLiteral("INSERT INTO answers (run_id, number, question, pressed, right_field, seconds)"
                                  " VALUES (?, ?, ?, ?, ?, ?)"));
    int rows = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        const QList<QByteArray> fields = line.split('|');
        if (fields.at(0) == "f") {
            filter.from = QDate::fromString(QString::fromUtf8(fields.value(1)), Qt::ISODate);
            filter.to = QDate::fromString(QString::fromUtf8(fields.value(2)), Qt::ISODate);
            filter.subject = QString::fromUtf8(fields.value(3));
            filter.topic = QString::fromUtf8(fields.value(4));
            filter.surname = QString::fromUtf8(fields.value(5));
            continue;
        }
        QSqlQuery *insert = fields.at(0) == "r" ? &run : fields.at(0) == "a" ? &answer : nullptr;
        if (!insert || ++rows > 400)
            continue;
        const int count = insert == &run ? 13 : 6;
        for (int i = 1; i <= count; ++i)
            insert->addBindValue(field(fields, i));
        (void)insert->exec();
    }

    const JournalQueries queries(kConnection);
    (void)queries.topics();
    const Expected<QList<JournalQueries::RunRef>> picked = queries.pick(filter);
    const Expected<QList<JournalQueries::Run>> runs = queries.runs(filter);
    if (!picked || !runs || picked->size() != runs->size())
        std::abort();
    QStringList ids;
    for (const JournalQueries::RunRef &ref : *picked)
        ids << ref.id;
    (void)queries.details(ids);
    for (const JournalQueries::Run &one : *runs) {
        (void)queries.answers(one.id);
        (void)JournalReport::resultText(one);
        (void)JournalReport::durationText(one.seconds);
    }
    const Expected<QHash<QString, QList<JournalQueries::Answer>>> answers = queries.finishedAnswers(filter, *runs);
    if (!answers)
        std::abort();
    const QList<JournalReport::Item> items = JournalReport::itemAnalysis(*runs, *answers);
    for (const JournalReport::Item &item : items) {
        if (item.shareRight() < 0.0 || item.shareRight() > 1.0)
            std::abort();
        if (item.discrimination && (*item.discrimination < -1.0 || *item.discrimination > 1.0))
            std::abort();
    }
    (void)JournalReport::gradeChart(*runs);
    check(JournalReport::runsCsv(*runs));
    check(JournalReport::itemsCsv(items));
    return 0;
}
