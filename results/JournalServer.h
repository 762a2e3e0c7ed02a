// A lab's shared journal: the PostgreSQL server named in the library's
// Baza/journal.cfg, and the sender that carries each computer's outbox to it.
//
// Every answer is written to the computer's own SQLite journal first, with
// a row in its outbox; the sender takes the outbox in order and writes each
// run and answer to the server, where a run's id and an answer's number make
// a second copy of the same row change nothing. So a network that drops, a
// server that restarts or a send cut off after the server took it but
// before the outbox was cleared neither loses nor doubles anything.
#pragma once

#include "library/Expected.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QThread;

struct JournalServer
{
    QString host;
    int port = 5432;
    QString database;
    QString user;
    QString passwordFile;   // empty: libpq's own PGPASSFILE or ~/.pgpass

    // Reads journal.cfg: "key=value" lines (host, port, database, user,
    // passwordfile), '#' starting a comment. A missing file is no server.
    static Expected<std::optional<JournalServer>> load(const QString &path);
    static Expected<JournalServer> parse(const QByteArray &text, const QString &path);

    // The connection's password, from the password file, which must be
    // readable by its owner alone; empty when none is named.
    Expected<QString> password() const;

    // Opens a connection of that name to the server, with the journal's
    // tables made or brought up to date, for the calling thread's use. On
    // failure the connection is removed again.
    Status connect(const QString &connectionName) const;
};

// Sends what waits in a local journal's outbox; used on one thread only.
class JournalSender final
{
public:
    JournalSender(QString localPath, JournalServer server);
    ~JournalSender();
    Q_DISABLE_COPY_MOVE(JournalSender)

    // Sends everything waiting, in batches; returns how many outbox rows
    // went. A failure leaves the rest waiting for the next call.
    Expected<int> sendWaiting();
    // Rows still waiting in the outbox (-1 when the file cannot be read).
    int waiting();

    // Called after the server has committed a batch and before the outbox
    // forgets it; returning false stops there, as a cut connection would.
    std::function<bool()> afterServerCommit;

private:
    Status openLocal();
    Status openServer();
    Status sendBatch(int &sent);
    Status serverFailed(const QString &detail);

    QString m_localPath;
    JournalServer m_server;
    QString m_local;
    QString m_remote;
    bool m_localOpen = false;
    bool m_serverReady = false;
};

// Runs a sender on a thread of its own, so that a slow or absent server
// never holds up a test: woken after each change, and tried again every
// retryMs while something waits.
class JournalUplink final : public QObject
{
    Q_OBJECT

public:
    JournalUplink(QString localPath, JournalServer server, int retryMs = 30000);
    ~JournalUplink() override;

    // Safe to call from any thread.
    void wake();

Q_SIGNALS:
    void wakeRequested();

private:
    QThread *m_thread = nullptr;
};
