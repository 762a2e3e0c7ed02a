#include "results/JournalServer.h"

#include "results/JournalSchema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>
#include <QVariant>

#include <atomic>

namespace {

constexpr qint64 kMaxSettingsBytes = 64 * 1024;
constexpr int kBatch = 500;

QString connectionName(const char *kind)
{
    static std::atomic<int> next{0};
    return QStringLiteral("%1-%2").arg(QLatin1String(kind)).arg(next++);
}

void dropConnection(const QString &name)
{
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

Expected<std::optional<JournalServer>> JournalServer::load(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return std::optional<JournalServer>();
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("Файл настроек журнала %1 не прочитан: %2").arg(native(path), file.errorString())};
    if (file.size() > kMaxSettingsBytes)
        return Error{QStringLiteral("Файл настроек журнала %1 слишком велик.").arg(native(path))};
    Expected<JournalServer> server = parse(file.read(kMaxSettingsBytes), path);
    if (!server)
        return Error{server.error()};
    return std::optional<JournalServer>(*server);
}

Expected<JournalServer> JournalServer::parse(const QByteArray &text, const QString &path)
{
    const auto fault = [&path](int line, const QString &what) {
        return Error{QStringLiteral("Файл настроек журнала %1, строка %2: %3").arg(native(path)).arg(line).arg(what)};
    };
    QByteArray body = text;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    JournalServer server;
    const QList<QByteArray> lines = body.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i)).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            return fault(i + 1, QStringLiteral("ожидается «имя=значение»."));
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        if (value.contains(QChar(0)))
            return fault(i + 1, QStringLiteral("недопустимый символ."));
        if (key == u"host") {
            server.host = value;
        } else if (key == u"port") {
            bool ok = false;
            server.port = value.toInt(&ok);
            if (!ok || server.port < 1 || server.port > 65535)
                return fault(i + 1, QStringLiteral("порт должен быть числом от 1 до 65535."));
        } else if (key == u"database") {
            server.database = value;
        } else if (key == u"user") {
            server.user = value;
        } else if (key == u"passwordfile") {
            server.passwordFile = value;
        } else {
            return fault(i + 1, QStringLiteral("неизвестная настройка «%1».").arg(key.left(40)));
        }
    }
    if (server.host.isEmpty())
        return Error{QStringLiteral("Файл настроек журнала %1: не указан сервер (host=...).").arg(native(path))};
    if (server.database.isEmpty())
        return Error{QStringLiteral("Файл настроек журнала %1: не указана база данных (database=...).").arg(native(path))};
    return server;
}

Expected<QString> JournalServer::password() const
{
    if (passwordFile.isEmpty())
        return QString();
    QFile file(passwordFile);
#ifdef Q_OS_UNIX
    // A password others can read is no password: refuse it as libpq
    // refuses such a .pgpass.
    const QFile::Permissions others = QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther;
    if (file.exists() && (file.permissions() & others))
        return Error{QStringLiteral("Файл пароля журнала %1 доступен не только владельцу: выполните chmod 600.")
                         .arg(native(passwordFile))};
#endif
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("Файл пароля журнала %1 не прочитан: %2").arg(native(passwordFile), file.errorString())};
    return QString::fromUtf8(file.read(4096).split('\n').value(0)).trimmed();
}

JournalSender::JournalSender(QString localPath, JournalServer server)
    : m_localPath(std::move(localPath)), m_server(std::move(server)), m_local(connectionName("outbox")),
      m_remote(connectionName("server"))
{
}

JournalSender::~JournalSender()
{
    dropConnection(m_local);
    dropConnection(m_remote);
}

Status JournalSender::openLocal()
{
    if (m_localOpen)
        return {};
    // The journal makes its file and tables; until it has, nothing waits.
    if (!QFileInfo::exists(m_localPath))
        return Error{QStringLiteral("Журнал результатов %1 ещё не создан.").arg(native(m_localPath))};
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_local);
    db.setDatabaseName(m_localPath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        const QString detail = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_local);
        return Error{QStringLiteral("Журнал результатов %1 не открыт: %2").arg(native(m_localPath), detail)};
    }
    m_localOpen = true;
    return {};
}

Status JournalSender::serverFailed(const QString &detail)
{
    // Whatever went wrong, the next call starts with a fresh connection: a
    // connection the server dropped still says it is open.
    m_serverReady = false;
    dropConnection(m_remote);
    return Error{QStringLiteral("Сервер журнала %1:%2 недоступен: %3").arg(m_server.host).arg(m_server.port).arg(detail)};
}

Status JournalServer::connect(const QString &connectionName) const
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return Error{QStringLiteral("Нет драйвера PostgreSQL для сервера журнала.")};
    const Expected<QString> secret = password();
    if (!secret)
        return Error{secret.error()};
    dropConnection(connectionName);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
        db.setHostName(host);
        db.setPort(port);
        db.setDatabaseName(database);
        db.setUserName(user);
        db.setPassword(*secret);
        db.setConnectOptions(QStringLiteral("connect_timeout=5"));
        if (!db.open())
            failure = db.lastError().text();
        else if (Status schema = JournalSchema::apply(db, JournalSchema::Place::Server); !schema)
            failure = schema.error();
    }
    if (failure.isEmpty())
        return {};
    dropConnection(connectionName);
    return Error{QStringLiteral("Сервер журнала %1:%2 недоступен: %3").arg(host).arg(port).arg(failure)};
}

Status JournalSender::openServer()
{
    if (m_serverReady)
        return {};
    if (Status connected = m_server.connect(m_remote); !connected)
        return connected;
    m_serverReady = true;
    return {};
}

int JournalSender::waiting()
{
    if (!openLocal())
        return -1;
    QSqlQuery query(QStringLiteral("SELECT COUNT(*) FROM outbox"), QSqlDatabase::database(m_local, false));
    return query.next() ? query.value(0).toInt() : -1;
}

Status JournalSender::sendBatch(int &sent)
{
    QSqlDatabase local = QSqlDatabase::database(m_local, false);
    QSqlDatabase server = QSqlDatabase::database(m_remote, false);
    QSqlQuery waiting(local);
    waiting.setForwardOnly(true);
    if (!waiting.exec(QStringLiteral("SELECT o.seq, o.run_id, o.number, r.computer, r.surname, r.subject, r.topic,"
                                     " r.subject_folder, r.topic_folder, r.started, r.finished, r.time_code,"
                                     " r.result_form, r.questions, r.correct, r.grade, r.state,"
                                     " a.question, a.pressed, a.right_field, a.seconds"
                                     " FROM outbox o JOIN runs r ON r.id = o.run_id"
                                     " LEFT JOIN answers a ON a.run_id = o.run_id AND a.number = o.number"
                                     " ORDER BY o.seq LIMIT %1")
                          .arg(kBatch)))
        return Error{QStringLiteral("Журнал результатов %1 не прочитан: %2").arg(native(m_localPath), waiting.lastError().text())};

    if (!server.transaction())
        return serverFailed(server.lastError().text());
    QSqlQuery run(server);
    run.prepare(QStringLiteral(
        "INSERT INTO runs (id, computer, surname, subject, topic, subject_folder, topic_folder, started, finished,"
        " time_code, result_form, questions, correct, grade, state) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
        " ON CONFLICT (id) DO UPDATE SET finished = EXCLUDED.finished, correct = EXCLUDED.correct,"
        " grade = EXCLUDED.grade, state = EXCLUDED.state"));
    QSqlQuery answer(server);
    answer.prepare(QStringLiteral("INSERT INTO answers (run_id, number, question, pressed, right_field, seconds)"
                                  " VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (run_id, number) DO NOTHING"));
    qint64 lastSeq = -1;
    int rows = 0;
    while (waiting.next()) {
        lastSeq = waiting.value(0).toLongLong();
        ++rows;
        const int number = waiting.value(2).toInt();
        QSqlQuery &query = number == 0 ? run : answer;
        if (number == 0) {
            query.addBindValue(waiting.value(1));
            for (int column = 3; column <= 16; ++column)
                query.addBindValue(waiting.value(column));
        } else {
            if (waiting.value(17).isNull())
                continue;   // an answer the local journal no longer has
            query.addBindValue(waiting.value(1));
            query.addBindValue(number);
            for (int column = 17; column <= 20; ++column)
                query.addBindValue(waiting.value(column));
        }
        if (!query.exec()) {
            const QString detail = query.lastError().text();
            server.rollback();
            return serverFailed(detail);
        }
    }
    if (rows == 0) {
        server.rollback();
        return {};
    }
    if (!server.commit())
        return serverFailed(server.lastError().text());
    if (afterServerCommit && !afterServerCommit())
        return serverFailed(QStringLiteral("соединение прервано"));
    QSqlQuery forget(local);
    forget.prepare(QStringLiteral("DELETE FROM outbox WHERE seq <= ?"));
    forget.addBindValue(lastSeq);
    if (!forget.exec())
        return Error{QStringLiteral("Журнал результатов %1 не записан: %2").arg(native(m_localPath), forget.lastError().text())};
    sent += rows;
    return {};
}

Expected<int> JournalSender::sendWaiting()
{
    if (Status local = openLocal(); !local)
        return Error{local.error()};
    int sent = 0;
    for (;;) {
        const int before = sent;
        const int left = waiting();
        if (left == 0)
            return sent;
        if (left < 0)
            return Error{QStringLiteral("Журнал результатов %1 не прочитан.").arg(native(m_localPath))};
        if (Status server = openServer(); !server)
            return Error{server.error()};
        if (Status batch = sendBatch(sent); !batch)
            return Error{batch.error()};
        if (sent == before)
            return sent;
    }
}

namespace {

class UplinkWorker final : public QObject
{
public:
    UplinkWorker(QString localPath, JournalServer server, int retryMs)
        : m_sender(std::move(localPath), std::move(server))
    {
        m_retry.setSingleShot(true);
        m_retry.setInterval(retryMs);
        connect(&m_retry, &QTimer::timeout, this, &UplinkWorker::send);
    }

    void send()
    {
        const Expected<int> sent = m_sender.sendWaiting();
        if (!sent || m_sender.waiting() != 0)
            m_retry.start();
    }

private:
    JournalSender m_sender;
    QTimer m_retry{this};
};

} // namespace

JournalUplink::JournalUplink(QString localPath, JournalServer server, int retryMs) : m_thread(new QThread(this))
{
    auto *worker = new UplinkWorker(std::move(localPath), std::move(server), retryMs);
    worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(this, &JournalUplink::wakeRequested, worker, &UplinkWorker::send, Qt::QueuedConnection);
    m_thread->setObjectName(QStringLiteral("journal-uplink"));
    m_thread->start(QThread::LowPriority);
    wake();   // what an earlier session left waiting
}

JournalUplink::~JournalUplink()
{
    m_thread->quit();
    m_thread->wait();
}

void JournalUplink::wake()
{
    Q_EMIT wakeRequested();
}
