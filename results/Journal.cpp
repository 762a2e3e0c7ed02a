#include "results/Journal.h"

#include "results/JournalSchema.h"

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

void Journal::noteProblem(const QString &text)
{
    if (m_error.isEmpty() && !m_told)
        m_error = text;
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
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return refuse(db.lastError().text());
    QSqlQuery query(db);
    // WAL keeps each answer's commit short and the file whole after a power
    // cut; NORMAL synchronisation is what WAL needs for that.
    for (const char *pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON"}) {
        if (!query.exec(QString::fromLatin1(pragma)))
            return refuse(query.lastError().text());
    }
    if (Status schema = JournalSchema::apply(db, JournalSchema::Place::Local); !schema)
        return refuse(schema.error());
    m_open = true;
    return {};
}

void Journal::keepOutbox(std::function<void()> written)
{
    m_written = written ? std::move(written) : [] {};
}

// One change of the journal, with its place in the outbox when there is one
// (0 for the run's own row, the answer's number otherwise), committed as one.
Status Journal::write(const QString &sql, const QVariantList &values, int outboxNumber)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const bool queue = bool(m_written);
    if (queue && !db.transaction())
        return failed(QStringLiteral("не записан"), db.lastError().text());
    QSqlQuery query(db);
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    bool done = query.exec();
    if (done && queue) {
        query.prepare(QStringLiteral("INSERT INTO outbox (run_id, number) VALUES (?, ?)"));
        query.addBindValue(m_run);
        query.addBindValue(outboxNumber);
        done = query.exec();
    }
    if (!done) {
        const QString detail = query.lastError().text();
        if (queue)
            db.rollback();
        return failed(QStringLiteral("не записан"), detail);
    }
    if (queue) {
        if (!db.commit()) {
            const QString detail = db.lastError().text();
            db.rollback();
            return failed(QStringLiteral("не записан"), detail);
        }
        m_written();
    }
    return {};
}

Status Journal::beginRun(const RunStart &start)
{
    m_run.clear();
    m_answers = 0;
    if (Status opened = open(); !opened)
        return opened;
    m_run = QUuid::createUuid().toString(QUuid::WithoutBraces);
    Status written = write(
        QStringLiteral("INSERT INTO runs (id, computer, surname, subject, topic, subject_folder, topic_folder, started,"
                       " time_code, result_form, questions, state) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'running')"),
        {m_run, m_computer, start.surname, start.subject, start.topic, start.subjectFolder, start.topicFolder,
         isoTime(start.started), QString::fromLatin1(start.timeCode), QString::fromLatin1(start.resultForm),
         start.questionsToAsk},
        0);
    if (!written)
        m_run.clear();
    return written;
}

Status Journal::recordAnswer(const Answer &answer)
{
    if (m_run.isEmpty())
        return {};
    Status written = write(QStringLiteral("INSERT INTO answers (run_id, number, question, pressed, right_field, seconds)"
                                          " VALUES (?, ?, ?, ?, ?, ?)"),
                           {m_run, m_answers + 1, answer.question, answer.pressed, answer.right, answer.seconds},
                           m_answers + 1);
    if (written)
        ++m_answers;
    return written;
}

Status Journal::finishRun(const RunEnd &end)
{
    if (m_run.isEmpty())
        return {};
    Status written = write(
        QStringLiteral("UPDATE runs SET finished = ?, correct = ?, grade = ?, state = 'finished' WHERE id = ?"),
        {isoTime(end.finished), end.correct, end.grade, m_run}, 0);
    m_run.clear();
    return written;
}

std::optional<Journal::Unfinished> Journal::unfinishedSince(const QDateTime &since)
{
    if (!open())
        return std::nullopt;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "SELECT id, surname, subject, topic, subject_folder, topic_folder, started, time_code, result_form, questions"
        " FROM runs WHERE computer = ? AND state = 'running' AND started >= ? ORDER BY started DESC LIMIT 1"));
    query.addBindValue(m_computer);
    query.addBindValue(isoTime(since));
    if (!query.exec() || !query.next())
        return std::nullopt;
    Unfinished run;
    run.id = query.value(0).toString();
    run.start.surname = query.value(1).toString();
    run.start.subject = query.value(2).toString();
    run.start.topic = query.value(3).toString();
    run.start.subjectFolder = query.value(4).toInt();
    run.start.topicFolder = query.value(5).toInt();
    run.start.started = QDateTime::fromString(query.value(6).toString(), Qt::ISODate);
    run.start.timeCode = query.value(7).toString().toLatin1();
    run.start.resultForm = query.value(8).toString().toLatin1();
    run.start.questionsToAsk = query.value(9).toInt();
    query.prepare(QStringLiteral("SELECT question, pressed, right_field, seconds FROM answers WHERE run_id = ?"
                                 " ORDER BY number"));
    query.addBindValue(run.id);
    if (!query.exec())
        return std::nullopt;
    while (query.next()) {
        run.asked.append(query.value(0).toInt());
        if (query.value(1).toInt() == query.value(2).toInt())
            ++run.correct;
        run.secondsSpent += query.value(3).toInt();
    }
    return run;
}

Status Journal::resume(const Unfinished &run)
{
    if (Status opened = open(); !opened)
        return opened;
    m_run = run.id;
    m_answers = int(run.asked.size());
    return {};
}

Status Journal::abandon(const QString &id)
{
    if (Status opened = open(); !opened)
        return opened;
    const QString running = std::exchange(m_run, id);
    Status written = write(QStringLiteral("UPDATE runs SET state = 'abandoned' WHERE id = ?"), {id}, 0);
    m_run = running == id ? QString() : running;
    return written;
}
