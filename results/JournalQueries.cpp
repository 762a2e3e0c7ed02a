#include "results/JournalQueries.h"

#include "library/Paths.h"
#include "results/JournalSchema.h"
#include "results/JournalServer.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <atomic>

namespace {

QString newConnectionName()
{
    static std::atomic<int> next{0};
    return QStringLiteral("journal-reader-%1").arg(next++);
}

QCollator russianOrder()
{
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

Error queryFailed(const QSqlQuery &query)
{
    return Error{QStringLiteral("Журнал не прочитан: %1").arg(query.lastError().text())};
}

// The filter's conditions on the runs table (under the given alias), with
// their values in order. The surname is left to the caller.
QString conditions(const JournalQueries::Filter &filter, const QString &alias, QVariantList &values)
{
    QStringList parts;
    const auto add = [&](const char *condition, const QVariant &value) {
        parts << alias + QLatin1String(condition);
        values << value;
    };
    // Stamps are ISO text, so a day's runs are those from its date up to,
    // and not including, the next day's.
    if (filter.from.isValid())
        add("started >= ?", filter.from.toString(Qt::ISODate));
    if (filter.to.isValid())
        add("started < ?", filter.to.addDays(1).toString(Qt::ISODate));
    if (!filter.subject.isEmpty())
        add("subject = ?", filter.subject);
    if (!filter.topic.isEmpty())
        add("topic = ?", filter.topic);
    return parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
}

bool prepared(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

int digits(QStringView text, qsizetype at, int count, bool &ok)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[at + i];
        if (c < u'0' || c > u'9')
            ok = false;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

JournalQueries::State stateOf(const QString &text)
{
    if (text == u"finished")
        return JournalQueries::State::Finished;
    if (text == u"abandoned")
        return JournalQueries::State::Abandoned;
    return JournalQueries::State::Running;
}

// A number column that a damaged journal may hold anything in.
int number(const QVariant &value, int fallback)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    return ok ? n : fallback;
}

} // namespace

JournalQueries::JournalQueries(QString connectionName) : m_connection(std::move(connectionName)) {}

bool JournalQueries::readStamp(QStringView text, QDate &date, QTime &time)
{
    // Written as yyyy-MM-ddTHH:mm:ss; what follows (a zone) is the same for
    // every stamp of one computer and does not move the local time shown.
    if (text.size() < 19 || text[4] != u'-' || text[7] != u'-' || (text[10] != u'T' && text[10] != u' ')
        || text[13] != u':' || text[16] != u':')
        return false;
    bool ok = true;
    const int year = digits(text, 0, 4, ok);
    const int month = digits(text, 5, 2, ok);
    const int day = digits(text, 8, 2, ok);
    const int hour = digits(text, 11, 2, ok);
    const int minute = digits(text, 14, 2, ok);
    const int second = digits(text, 17, 2, ok);
    if (!ok)
        return false;
    date = QDate(year, month, day);
    time = QTime(hour, minute, second);
    return date.isValid() && time.isValid();
}

Expected<QList<JournalQueries::Topic>> JournalQueries::topics() const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!prepared(query, QStringLiteral("SELECT DISTINCT subject, topic FROM runs"), {}))
        return queryFailed(query);
    QList<Topic> found;
    while (query.next())
        found.append({query.value(0).toString(), query.value(1).toString()});
    const QCollator collator = russianOrder();
    std::sort(found.begin(), found.end(), [&collator](const Topic &a, const Topic &b) {
        if (const int bySubject = collator.compare(a.subject, b.subject))
            return bySubject < 0;
        return collator.compare(a.topic, b.topic) < 0;
    });
    return found;
}

namespace {

const QString kRunColumns = QStringLiteral("id, computer, surname, subject, topic, started, finished, time_code,"
                                           " result_form, questions, correct, grade, state");

// A run from a row of kRunColumns.
JournalQueries::Run readRun(const QSqlQuery &query)
{
    using State = JournalQueries::State;
    JournalQueries::Run run;
    run.id = query.value(0).toString();
    run.computer = query.value(1).toString();
    run.surname = query.value(2).toString();
    run.subject = query.value(3).toString();
    run.topic = query.value(4).toString();
    JournalQueries::readStamp(query.value(5).toString(), run.date, run.started);
    run.timeCode = query.value(7).toString();
    run.resultForm = query.value(8).toString();
    run.questions = number(query.value(9), 0);
    run.state = stateOf(query.value(12).toString());
    if (run.state == State::Finished) {
        run.correct = number(query.value(10), -1);
        run.grade = query.value(11).toString();
        QDate day;
        QTime time;
        if (run.started.isValid() && JournalQueries::readStamp(query.value(6).toString(), day, time)) {
            const qint64 seconds = run.date.daysTo(day) * 86400 + run.started.secsTo(time);
            if (seconds >= 0 && seconds < 7 * 86400)
                run.seconds = int(seconds);
        }
    }
    return run;
}

// Newest first; runs begun at the same second (a class starting together)
// by surname. The journal is read in its own order and sorted here: asking
// SQLite for the order makes it find each row through the index, which
// costs more than the sort.
template <typename Item>
void newestFirst(QList<Item> &items)
{
    const QCollator collator = russianOrder();
    std::stable_sort(items.begin(), items.end(), [&collator](const Item &a, const Item &b) {
        if (a.date != b.date)
            return a.date > b.date;
        if (a.started != b.started)
            return a.started > b.started;
        return collator.compare(a.surname, b.surname) < 0;
    });
}

} // namespace

Expected<QList<JournalQueries::RunRef>> JournalQueries::pick(const Filter &filter) const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    QVariantList values;
    const QString sql = QStringLiteral("SELECT id, started, surname FROM runs") + conditions(filter, QString(), values);
    if (!prepared(query, sql, values))
        return queryFailed(query);
    QList<RunRef> found;
    while (query.next()) {
        RunRef run;
        run.id = query.value(0).toString();
        readStamp(query.value(1).toString(), run.date, run.started);
        run.surname = query.value(2).toString();
        found.append(std::move(run));
    }
    newestFirst(found);
    return bySurname(found, filter.surname);
}

QList<JournalQueries::RunRef> JournalQueries::bySurname(const QList<RunRef> &runs, const QString &part)
{
    const QString wanted = part.trimmed();
    if (wanted.isEmpty())
        return runs;
    QList<RunRef> found;
    for (const RunRef &run : runs)
        if (run.surname.contains(wanted, Qt::CaseInsensitive))
            found.append(run);
    return found;
}

Expected<QList<JournalQueries::Run>> JournalQueries::details(const QStringList &ids) const
{
    constexpr qsizetype Batch = 200;
    QList<Run> found;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    for (qsizetype first = 0; first < ids.size(); first += Batch) {
        const QStringList batch = ids.mid(first, Batch);
        QStringList marks(batch.size(), QStringLiteral("?"));
        const QString sql = QStringLiteral("SELECT ") + kRunColumns + QStringLiteral(" FROM runs WHERE id IN (")
                            + marks.join(u',') + u')';
        if (!prepared(query, sql, QVariantList(batch.cbegin(), batch.cend())))
            return queryFailed(query);
        while (query.next())
            found.append(readRun(query));
    }
    return found;
}

Expected<QList<JournalQueries::Run>> JournalQueries::runs(const Filter &filter) const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    QVariantList values;
    const QString sql =
        QStringLiteral("SELECT ") + kRunColumns + QStringLiteral(" FROM runs") + conditions(filter, QString(), values);
    if (!prepared(query, sql, values))
        return queryFailed(query);
    const QString surname = filter.surname.trimmed();
    QList<Run> found;
    while (query.next()) {
        if (!surname.isEmpty() && !query.value(2).toString().contains(surname, Qt::CaseInsensitive))
            continue;
        found.append(readRun(query));
    }
    newestFirst(found);
    return found;
}

Expected<QList<JournalQueries::Answer>> JournalQueries::answers(const QString &runId) const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!prepared(query,
                  QStringLiteral("SELECT number, question, pressed, right_field, seconds FROM answers WHERE run_id = ?"
                                 " ORDER BY number"),
                  {runId}))
        return queryFailed(query);
    QList<Answer> found;
    while (query.next())
        found.append({number(query.value(0), 0), number(query.value(1), 0), number(query.value(2), 0),
                      number(query.value(3), 0), number(query.value(4), 0)});
    return found;
}

Expected<QHash<QString, QList<JournalQueries::Answer>>>
JournalQueries::finishedAnswers(const Filter &filter, const QList<Run> &runs) const
{
    QSet<QString> wanted;
    for (const Run &run : runs)
        if (run.state == State::Finished)
            wanted.insert(run.id);
    QHash<QString, QList<Answer>> found;
    if (wanted.isEmpty())
        return found;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    QVariantList values;
    QString where = conditions(filter, QStringLiteral("r."), values);
    where += where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ");
    where += QStringLiteral("r.state = 'finished'");
    // What the analysis needs and no more: a topic may have been answered
    // a hundred thousand times.
    const QString sql = QStringLiteral("SELECT a.run_id, a.question, a.pressed, a.right_field"
                                       " FROM answers a JOIN runs r ON r.id = a.run_id")
                        + where;
    if (!prepared(query, sql, values))
        return queryFailed(query);
    while (query.next()) {
        const QString id = query.value(0).toString();
        if (!wanted.contains(id))
            continue;
        Answer answer;
        answer.question = number(query.value(1), 0);
        answer.pressed = number(query.value(2), 0);
        answer.right = number(query.value(3), 0);
        found[id].append(answer);
    }
    return found;
}

// ------------------------------------------------------------------ source

JournalSource::JournalSource() : m_connection(newConnectionName()) {}

JournalSource::~JournalSource()
{
    close();
}

void JournalSource::close()
{
    m_open = false;
    m_server = false;
    m_description.clear();
    m_problem.clear();
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

void JournalSource::open(const QString &library, const QString &resultsLibrary)
{
    close();
    QString serverProblem;
    const Expected<std::optional<JournalServer>> server = JournalServer::load(Paths::journalSettings(library));
    if (!server) {
        serverProblem = server.error();
    } else if (server->has_value()) {
        if (const Status opened = openServer(**server); opened)
            return;
        else
            serverProblem = opened.error();
    }
    (void)openLocal(Paths::journalFile(resultsLibrary));
    if (!serverProblem.isEmpty())
        m_problem = m_problem.isEmpty() ? serverProblem : serverProblem + u'\n' + m_problem;
}

Status JournalSource::openServer(const JournalServer &server)
{
    close();
    if (Status connected = server.connect(m_connection); !connected)
        return connected;
    m_open = true;
    m_server = true;
    m_description = QStringLiteral("Журнал кабинета на сервере %1:%2, база %3")
                        .arg(server.host)
                        .arg(server.port)
                        .arg(server.database);
    return {};
}

Status JournalSource::openLocal(const QString &path)
{
    close();
    const QString shown = QDir::toNativeSeparators(path);
    m_description = QStringLiteral("Журнал этого компьютера: %1").arg(shown);
    // No file yet: no test has been recorded, and reading must not make one.
    if (!QFileInfo(path).exists()) {
        m_description = QStringLiteral("Журнал этого компьютера пока пуст: %1").arg(shown);
        return {};
    }
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open())
            failure = db.lastError().text();
        // A journal of an older version is brought up to date, as the
        // program's own writing would.
        else if (Status schema = JournalSchema::apply(db, JournalSchema::Place::Local); !schema)
            failure = schema.error();
    }
    if (failure.isEmpty()) {
        m_open = true;
        return {};
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_problem = QStringLiteral("Журнал результатов %1 не прочитан: %2").arg(shown, failure);
    return Error{m_problem};
}
