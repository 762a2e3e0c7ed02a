// A lab's shared journal against a real PostgreSQL server that the test
// starts itself: what each computer's outbox holds reaches the server once,
// through a server that stops and starts again, a send cut off after the
// server took it, a connection the server dropped, and two computers
// sending at the same moment; the settings file is read defensively.
#include "results/Journal.h"
#include "results/JournalServer.h"
#include "tests/support/PostgresServer.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

namespace {

Journal::RunStart lesson(const QString &surname)
{
    Journal::RunStart start;
    start.surname = surname;
    start.subject = QStringLiteral("Физика");
    start.topic = QStringLiteral("Оптика");
    start.subjectFolder = 1;
    start.topicFolder = 2;
    start.started = QDateTime(QDate(2026, 12, 9), QTime(9, 0));
    start.timeCode = "1";
    start.resultForm = "12";
    start.questionsToAsk = 5;
    return start;
}

} // namespace

class TestJournalServer : public QObject
{
    Q_OBJECT

private:
    JournalServer server() const
    {
        return m_server->journalServer();
    }
    // One number from the server, through a connection of the test's own.
    int count(const QString &sql)
    {
        int value = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("check"));
            db.setHostName(QStringLiteral("127.0.0.1"));
            db.setPort(m_server->port());
            db.setDatabaseName(QStringLiteral("postgres"));
            db.setUserName(QStringLiteral("nastavnik"));
            if (db.open()) {
                QSqlQuery query(sql, db);
                if (query.next())
                    value = query.value(0).toInt();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return value;
    }

    std::unique_ptr<PostgresServer> m_server;

private Q_SLOTS:
    void initTestCase()
    {
        m_server = std::make_unique<PostgresServer>();
        if (!m_server->missing().isEmpty())
            QSKIP(qPrintable(m_server->missing()));
        QVERIFY(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")));
    }
    void cleanup()
    {
        QVERIFY(m_server->start() || count(QStringLiteral("SELECT 1")) == 1);
        count(QStringLiteral("DROP TABLE IF EXISTS answers, runs, schema_version"));
    }

    void everyAnswerOnceThroughFaults();
    void twoComputersAtOnce();
    void uplinkSendsBehindTheTest();
    void settingsFile();
};

void TestJournalServer::everyAnswerOnceThroughFaults()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
    Journal journal(path, QStringLiteral("Кабинет-7"));
    int wakes = 0;
    journal.keepOutbox([&wakes] { ++wakes; });
    JournalSender sender(path, server());

    QVERIFY(journal.beginRun(lesson(QStringLiteral("Иванов"))));
    QVERIFY(journal.recordAnswer({3, 2, 2, 11}));
    QVERIFY(journal.recordAnswer({7, 1, 4, 9}));
    QCOMPARE(wakes, 3);
    QCOMPARE(sender.sendWaiting().value(), 3);

    // The server stops mid-test: the test goes on, the outbox keeps the rest.
    QVERIFY(m_server->stop());
    QVERIFY(journal.recordAnswer({1, 3, 3, 5}));
    QVERIFY(journal.recordAnswer({5, 0, 1, 30}));
    QVERIFY(journal.finishRun({QDateTime(QDate(2026, 12, 9), QTime(9, 2)), 2, QStringLiteral("5")}));
    QVERIFY(!sender.sendWaiting());
    QCOMPARE(sender.waiting(), 3);

    // Back again, but the send is cut after the server took it: sent again.
    QVERIFY(m_server->start());
    sender.afterServerCommit = [] { return false; };
    QVERIFY(!sender.sendWaiting());
    QCOMPARE(sender.waiting(), 3);
    sender.afterServerCommit = nullptr;
    QCOMPARE(sender.sendWaiting().value(), 3);
    QCOMPARE(sender.waiting(), 0);

    // The server drops the sender's connection; the next send finds out,
    // and the one after connects again.
    QVERIFY(journal.beginRun(lesson(QStringLiteral("Петров"))));
    count(QStringLiteral("SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity"
                         " WHERE pid <> pg_backend_pid() AND usename = 'nastavnik'"));
    if (!sender.sendWaiting())
        QCOMPARE(sender.sendWaiting().value(), 1);
    QCOMPARE(sender.waiting(), 0);

    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM runs")), 2);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM answers")), 4);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(DISTINCT (run_id, number)) FROM answers")), 4);
    QCOMPARE(count(QStringLiteral("SELECT correct FROM runs WHERE surname = 'Иванов' AND state = 'finished'")), 2);
    QCOMPARE(count(QStringLiteral("SELECT SUM(seconds) FROM answers")), 55);
}

void TestJournalServer::twoComputersAtOnce()
{
    // Each computer keeps its own journal and finishes its runs at the same
    // seconds as the other; both send at once to a server with no tables.
    QTemporaryDir folder;
    constexpr int Runs = 40;
    const auto write = [&folder](const QString &computer) {
        const QString path = folder.filePath(computer + QStringLiteral(".sqlite"));
        Journal journal(path, computer);
        journal.keepOutbox([] {});
        for (int run = 0; run < Runs; ++run) {
            (void)journal.beginRun(lesson(QStringLiteral("Ученик %1").arg(run)));
            for (int answer = 1; answer <= 5; ++answer)
                (void)journal.recordAnswer({answer, answer % 4 + 1, 2, 10});
            (void)journal.finishRun({QDateTime(QDate(2026, 12, 9), QTime(10, run)), 1, QStringLiteral("3")});
        }
        return path;
    };
    const QStringList paths{write(QStringLiteral("К-1")), write(QStringLiteral("К-2"))};
    int sent[2] = {-1, -1};
    std::thread senders[2];
    for (int i = 0; i < 2; ++i) {
        senders[i] = std::thread([this, &paths, &sent, i] {
            JournalSender sender(paths.at(i), server());
            const Expected<int> done = sender.sendWaiting();
            sent[i] = done ? *done : -1;
        });
    }
    for (std::thread &sender : senders)
        sender.join();
    QCOMPARE(sent[0], Runs * 7);
    QCOMPARE(sent[1], Runs * 7);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM runs WHERE state = 'finished'")), 2 * Runs);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM answers")), 2 * Runs * 5);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(DISTINCT computer) FROM runs")), 2);
}

void TestJournalServer::uplinkSendsBehindTheTest()
{
    // As the running program links them: each change wakes the sender's
    // own thread, which empties the outbox while the test goes on.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
    Journal journal(path, QStringLiteral("Кабинет-7"));
    JournalUplink uplink(path, server(), 100);
    journal.keepOutbox([&uplink] { uplink.wake(); });
    QVERIFY(journal.beginRun(lesson(QStringLiteral("Иванов"))));
    QVERIFY(journal.recordAnswer({3, 2, 2, 11}));
    QVERIFY(journal.finishRun({QDateTime(QDate(2026, 12, 9), QTime(9, 2)), 1, QStringLiteral("6")}));
    // The sender's thread may meet the file while the journal creates it and
    // try again shortly; under the sanitizers that can take a while.
    QTRY_COMPARE_WITH_TIMEOUT(count(QStringLiteral("SELECT COUNT(*) FROM runs WHERE state = 'finished'")), 1, 60000);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM answers")), 1);
}

void TestJournalServer::settingsFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("journal.cfg"));
    QVERIFY(!JournalServer::load(path).value().has_value());   // no file: no server

    const Expected<JournalServer> good = JournalServer::parse(
        "\xEF\xBB\xBF# кабинет 7\r\nhost = 10.0.0.5\r\nport=5433\r\ndatabase=journal\r\nuser=teacher\r\n", path);
    QVERIFY2(good, qPrintable(good.error()));
    QCOMPARE(good->host, QStringLiteral("10.0.0.5"));
    QCOMPARE(good->port, 5433);
    QCOMPARE(good->user, QStringLiteral("teacher"));

    for (const QByteArray &bad : {QByteArray("host=a\ndatabase=b\nport=70000\n"), QByteArray("host=a\nsecret=1\n"),
                                  QByteArray("database=b\n"), QByteArray("host=a\ndatabase=b\njunk\n")}) {
        const Expected<JournalServer> refused = JournalServer::parse(bad, path);
        QVERIFY(!refused);
        QVERIFY2(refused.error().contains(QDir::toNativeSeparators(path)), qPrintable(refused.error()));
    }

    // A password file others can read is refused, not used.
    JournalServer withPassword = *good;
    withPassword.passwordFile = folder.filePath(QStringLiteral("journal.pass"));
    QFile secret(withPassword.passwordFile);
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("s3cret\n");
    secret.close();
    QVERIFY(secret.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    QVERIFY(!withPassword.password());
    QVERIFY(secret.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(withPassword.password().value(), QStringLiteral("s3cret"));
}

QTEST_GUILESS_MAIN(TestJournalServer)
#include "tst_journalserver.moc"
