// A throwaway PostgreSQL server for the tests: a cluster made in a
// temporary folder, listening on 127.0.0.1 at a free port, with trust
// authentication for the user "nastavnik". The server refuses to run as
// root, so under root it runs as the system's postgres user.
#pragma once

#include "results/JournalServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <unistd.h>

class PostgresServer final
{
public:
    PostgresServer()
    {
        for (const QString &version : {QStringLiteral("17"), QStringLiteral("16"), QStringLiteral("15")}) {
            const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(version);
            if (QFile::exists(bin + QStringLiteral("pg_ctl"))) {
                m_bin = bin;
                break;
            }
        }
        if (m_bin.isEmpty() || !m_folder.isValid())
            return;
        // The folder must be the server's own when it runs as postgres.
        QFile::setPermissions(m_folder.path(), QFile::Permissions(0x7777));
        m_data = m_folder.path() + QStringLiteral("/data");
        if (!run(QStringLiteral("initdb"), {QStringLiteral("-D"), m_data, QStringLiteral("-U"),
                                              QStringLiteral("nastavnik"), QStringLiteral("-A"), QStringLiteral("trust"),
                                              QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--no-sync")}))
            return;
        for (int attempt = 0; attempt < 20 && m_port == 0; ++attempt) {
            const int port = 20000 + int((getpid() * 7 + attempt * 131) % 30000);
            m_port = port;
            if (!start())
                m_port = 0;
        }
    }
    ~PostgresServer() { stop(); }
    Q_DISABLE_COPY_MOVE(PostgresServer)

    // Why the server is not there, or empty when it runs.
    QString missing() const
    {
        if (m_bin.isEmpty())
            return QStringLiteral("PostgreSQL is not installed (scripts/setup.sh installs it)");
        if (m_port == 0)
            return QStringLiteral("the test server did not start: ") + m_log;
        return {};
    }
    int port() const { return m_port; }
    // The settings a journal.cfg naming this server would give.
    JournalServer journalServer() const
    {
        JournalServer settings;
        settings.host = QStringLiteral("127.0.0.1");
        settings.port = m_port;
        settings.database = QStringLiteral("postgres");
        settings.user = QStringLiteral("nastavnik");
        return settings;
    }

    bool start()
    {
        return run(QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), m_data, QStringLiteral("-w"), QStringLiteral("-l"),
                    m_folder.path() + QStringLiteral("/server.log"), QStringLiteral("-o"),
                    QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off").arg(m_port).arg(m_folder.path()),
                    QStringLiteral("start")});
    }
    bool stop()
    {
        if (m_port == 0)
            return true;
        return run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-w"), QStringLiteral("-m"),
                                              QStringLiteral("fast"), QStringLiteral("stop")});
    }

private:
    bool run(const QString &tool, QStringList arguments)
    {
        QProcess process;
        QString program = m_bin + tool;
        if (geteuid() == 0) {
            arguments.prepend(program);
            arguments.prepend(QStringLiteral("--"));
            arguments.prepend(QStringLiteral("postgres"));
            arguments.prepend(QStringLiteral("-u"));
            program = QStringLiteral("runuser");
        }
        process.setWorkingDirectory(m_folder.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool done = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
                          && process.exitCode() == 0;
        m_log = QString::fromLocal8Bit(process.readAll()).right(2000);
        return done;
    }

    QTemporaryDir m_folder;
    QString m_bin;
    QString m_data;
    QString m_log;
    int m_port = 0;
};
