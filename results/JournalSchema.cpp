#include "results/JournalSchema.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// The first version's tables; later versions change them by the steps below.
const char *const kFirstVersion[] = {
    "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS runs ("
    " id TEXT PRIMARY KEY, computer TEXT NOT NULL, surname TEXT NOT NULL, topic TEXT NOT NULL,"
    " subject_folder INTEGER NOT NULL, topic_folder INTEGER NOT NULL, started TEXT NOT NULL, finished TEXT,"
    " time_code TEXT NOT NULL, result_form TEXT NOT NULL, questions INTEGER NOT NULL,"
    " correct INTEGER, grade TEXT, state TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS answers ("
    " run_id TEXT NOT NULL REFERENCES runs(id), number INTEGER NOT NULL, question INTEGER NOT NULL,"
    " pressed INTEGER NOT NULL, right_field INTEGER NOT NULL, seconds INTEGER NOT NULL,"
    " PRIMARY KEY (run_id, number))",
    "CREATE INDEX IF NOT EXISTS runs_by_start ON runs (started)",
    "CREATE INDEX IF NOT EXISTS runs_by_topic ON runs (subject_folder, topic_folder, started)",
    "CREATE INDEX IF NOT EXISTS runs_by_surname ON runs (surname)",
};

const char *const kOutbox =
    "CREATE TABLE IF NOT EXISTS outbox (seq INTEGER PRIMARY KEY AUTOINCREMENT,"
    " run_id TEXT NOT NULL, number INTEGER NOT NULL)";

Status failure(const QSqlError &error)
{
    return Error{error.text()};
}

// Version 2: the subject is kept apart from the topic, so that a teacher
// can pick runs by either; older rows are split from the table's caption.
Status toVersion2(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("ALTER TABLE runs ADD COLUMN subject TEXT NOT NULL DEFAULT ''")))
        return failure(query.lastError());
    if (!query.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS runs_by_subject ON runs (subject, topic)")))
        return failure(query.lastError());
    QList<std::pair<QString, QString>> captions;
    if (!query.exec(QStringLiteral("SELECT id, topic FROM runs")))
        return failure(query.lastError());
    while (query.next())
        captions.append({query.value(0).toString(), query.value(1).toString()});
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE runs SET subject = ?, topic = ? WHERE id = ?"));
    for (const auto &[id, caption] : captions) {
        const auto [subject, topic] = JournalSchema::splitCaption(caption);
        if (subject.isEmpty() && topic.isEmpty())
            continue;
        update.addBindValue(subject);
        update.addBindValue(topic);
        update.addBindValue(id);
        if (!update.exec())
            return failure(update.lastError());
    }
    return {};
}

Status migrate(QSqlDatabase &db, JournalSchema::Place place)
{
    QSqlQuery query(db);
    // Two computers of a lab may meet an empty server at once: the first
    // creates the tables while the second waits for it.
    if (place == JournalSchema::Place::Server && !query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7263501)")))
        return failure(query.lastError());
    for (const char *statement : kFirstVersion) {
        if (!query.exec(QString::fromLatin1(statement)))
            return failure(query.lastError());
    }
    if (place == JournalSchema::Place::Local && !query.exec(QString::fromLatin1(kOutbox)))
        return failure(query.lastError());
    int version = 0;
    if (!query.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")))
        return failure(query.lastError());
    if (query.next())
        version = query.value(0).toInt();
    if (version > JournalSchema::Version)
        return Error{QStringLiteral("он записан более новой версией программы")};
    if (version < 2) {
        if (Status step = toVersion2(db); !step)
            return step;
    }
    if (version < JournalSchema::Version
        && !query.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(JournalSchema::Version)))
        return failure(query.lastError());
    return {};
}

} // namespace

namespace JournalSchema {

Status apply(QSqlDatabase &db, Place place)
{
    if (!db.transaction())
        return failure(db.lastError());
    if (Status done = migrate(db, place); !done) {
        db.rollback();
        return done;
    }
    if (!db.commit())
        return failure(db.lastError());
    return {};
}

std::pair<QString, QString> splitCaption(const QString &caption)
{
    static const QString middle = QStringLiteral(" - ( ");
    static const QString end = QStringLiteral(" )");
    const qsizetype at = caption.indexOf(middle);
    if (at < 0 || !caption.endsWith(end) || at + middle.size() > caption.size() - end.size())
        return {};
    return {caption.left(at), caption.mid(at + middle.size(), caption.size() - end.size() - at - middle.size())};
}

} // namespace JournalSchema
