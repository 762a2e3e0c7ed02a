#include "results/Journal.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <atomic>

namespace {

// Each journal has a connection of its own: tests, and later a window
// reading the journal, open several at once.
QString newConnectionName()
{
    static std::atomic<int> next{0};
    return QStringLiteral("journal-%1").arg(next++);
}

const char *const kSchema[] = {
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

QString isoTime(const QDateTime &time)
{
    return time.toString(Qt::ISODate);
}

} // namespace

Journal::Journal(QString databasePath, QString computerName)
    : m_path(std::move(databasePath)), m_computer(std::move(computerName)), m_connection(newConnectionName())
{
}

Journal::~Journal()
{
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

Status Journal::failed(const QString &what, const QString &detail)
{
    const QString text = QStringLiteral("Журнал результатов %1 %2: %3")
                             .arg(QDir::toNativeSeparators(m_path), what, detail);
    if (m_error.isEmpty() && !m_told)
        m_error = text;
    return Error{text};
}

QString Journal::takeErrorToReport()
{
    if (m_error.isEmpty())
        return {};
    m_told = true;
    return std::exchange(m_error, QString());
}

Status Journal::open()
{
    if (m_open)
        return {};
    if (m_broken)
        return Error{QStringLiteral("Журнал результатов %1 недоступен.").arg(QDir::toNativeSeparators(m_path))};
    const auto refuse = [this](const QString &detail) {
        m_broken = true;
        return failed(QStringLiteral("не открыт"), detail);
    };
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return refuse(QStringLiteral("нет драйвера SQLite"));
    if (QFileInfo(m_path).isDir())
        return refuse(QStringLiteral("на его месте папка"));
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open())
        return refuse(db.lastError().text());
    QSqlQuery query(db);
    // WAL keeps each answer's commit short and the file whole after a power
    // cut; NORMAL synchronisation is what WAL needs for that.
    for (const char *pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON"}) {
        if (!query.exec(QString::fromLatin1(pragma)))
            return refuse(query.lastError().text());
    }
    if (!db.transaction())
        return refuse(db.lastError().text());
    for (const char *statement : kSchema) {
        if (!query.exec(QString::fromLatin1(statement))) {
            db.rollback();
            return refuse(query.lastError().text());
        }
    }
    int version = 0;
    if (query.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")) && query.next())
        version = query.value(0).toInt();
    if (version > SchemaVersion) {
        db.rollback();
        return refuse(QStringLiteral("он записан более новой версией программы"));
    }
    // Later versions bring older journals up to date here, one step at a
    // time; version 1 is the first.
    if (version < SchemaVersion
        && !query.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(SchemaVersion))) {
        db.rollback();
        return refuse(query.lastError().text());
    }
    if (!db.commit())
        return refuse(db.lastError().text());
    m_open = true;
    return {};
}

Status Journal::beginRun(const RunStart &start)
{
    m_run.clear();
    m_answers = 0;
    if (Status opened = open(); !opened)
        return opened;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral(
        "INSERT INTO runs (id, computer, surname, topic, subject_folder, topic_folder, started, time_code,"
        " result_form, questions, state) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'running')"));
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    for (const QVariant &value :
         {QVariant(id), QVariant(m_computer), QVariant(start.surname), QVariant(start.topic),
          QVariant(start.subjectFolder), QVariant(start.topicFolder), QVariant(isoTime(start.started)),
          QVariant(QString::fromLatin1(start.timeCode)), QVariant(QString::fromLatin1(start.resultForm)),
          QVariant(start.questionsToAsk)})
        query.addBindValue(value);
    if (!query.exec())
        return failed(QStringLiteral("не записан"), query.lastError().text());
    m_run = id;
    return {};
}

Status Journal::recordAnswer(const Answer &answer)
{
    if (m_run.isEmpty())
        return {};
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("INSERT INTO answers (run_id, number, question, pressed, right_field, seconds)"
                                 " VALUES (?, ?, ?, ?, ?, ?)"));
    query.addBindValue(m_run);
    query.addBindValue(m_answers + 1);
    query.addBindValue(answer.question);
    query.addBindValue(answer.pressed);
    query.addBindValue(answer.right);
    query.addBindValue(answer.seconds);
    if (!query.exec())
        return failed(QStringLiteral("не записан"), query.lastError().text());
    ++m_answers;
    return {};
}

Status Journal::finishRun(const RunEnd &end)
{
    if (m_run.isEmpty())
        return {};
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("UPDATE runs SET finished = ?, correct = ?, grade = ?, state = 'finished' WHERE id = ?"));
    query.addBindValue(isoTime(end.finished));
    query.addBindValue(end.correct);
    query.addBindValue(end.grade);
    query.addBindValue(m_run);
    m_run.clear();
    if (!query.exec())
        return failed(QStringLiteral("не записан"), query.lastError().text());
    return {};
}
