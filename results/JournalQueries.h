// The teacher's reading of the results journal: the runs picked by date,
// subject, topic and surname, newest first; one run's answers; the answers
// a topic's item analysis is made from. The journal written by Journal on
// this computer and a lab's PostgreSQL server hold the same tables, and the
// same plain SQL reads both: "?" parameters, dates compared as the ISO text
// they are stored as. The surname is matched here rather than in SQL, since
// SQLite's LIKE folds the case of Latin letters only.
//
// A journal may hold a hundred thousand runs, and Qt SQL spends a few
// microseconds on every value it hands over. So the list of runs a filter
// picks is read lean (id, start and surname: what the order and the
// surname need), and the rest of a run is read when it is shown, a page of
// runs at a time (details). Reports read whole runs (runs).
//
// JournalReport turns what is read here into the item analysis, the grade
// chart and CSV files; the journal window shows both.
#pragma once

#include "library/Expected.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QTime>

struct JournalServer;

class JournalQueries final
{
public:
    struct Filter
    {
        QDate from;        // the first day; null: from the first run
        QDate to;          // the last day, included; null: to the last run
        QString subject;   // exact names; empty: any
        QString topic;
        QString surname;   // a part of the surname in any letter case; empty: any
    };

    enum class State { Running, Finished, Abandoned };

    struct Run
    {
        QString id;
        QString computer;
        QString surname;
        QString subject;
        QString topic;
        QDate date;          // when the test began
        QTime started;
        int seconds = -1;    // from start to finish; -1 when not finished
        QString timeCode;    // the topic's options at the time
        QString resultForm;
        int questions = 0;   // questions the test was to ask
        int correct = -1;    // the final count; -1 when not finished
        QString grade;       // as the result window showed it
        State state = State::Running;
    };

    // One answer: its place in the run, the question's number in the
    // topic's document, the field pressed (0: the time ran out), the right
    // field and the seconds it took.
    struct Answer
    {
        int number = 0;
        int question = 0;
        int pressed = 0;
        int right = 0;
        int seconds = 0;
    };

    // A run as a list of runs holds it until its details are read.
    struct RunRef
    {
        QString id;
        QDate date;
        QTime started;
        QString surname;
    };

    struct Topic
    {
        QString subject;
        QString topic;
    };

    // Reads through an open Qt SQL connection of that name: the local
    // journal (QSQLITE) or a server (QPSQL).
    explicit JournalQueries(QString connectionName);

    // Every subject and topic the journal holds, subjects and then topics
    // in Russian alphabetical order, letter case aside.
    Expected<QList<Topic>> topics() const;
    // The runs the filter picks, newest first (runs begun at the same second
    // by surname, in Russian alphabetical order).
    Expected<QList<RunRef>> pick(const Filter &filter) const;
    // The whole of these runs, in no particular order; ids the journal does
    // not hold are left out.
    Expected<QList<Run>> details(const QStringList &ids) const;
    // The whole of the runs the filter picks, in the order of pick().
    Expected<QList<Run>> runs(const Filter &filter) const;
    // Those of the runs whose surname holds a part in any letter case.
    static QList<RunRef> bySurname(const QList<RunRef> &runs, const QString &part);
    // One run's answers, in the order they were given.
    Expected<QList<Answer>> answers(const QString &runId) const;
    // The answers of the finished runs among these, by run id: what the item
    // analysis is made from (question, field pressed and right field). The
    // filter is the one the runs were read with.
    Expected<QHash<QString, QList<Answer>>> finishedAnswers(const Filter &filter, const QList<Run> &runs) const;

    // The ISO stamp a journal keeps ("2026-12-09T09:00:00", perhaps with a
    // zone), read into a day and a time; false when it is not one.
    static bool readStamp(QStringView text, QDate &date, QTime &time);

private:
    QString m_connection;
};

// The journal the teacher's window reads, through a connection of its own:
// a lab's server when the library's journal.cfg names one and it answers,
// else the journal this computer keeps (in the library the results go to).
class JournalSource final
{
public:
    JournalSource();
    ~JournalSource();
    JournalSource(const JournalSource &) = delete;
    JournalSource &operator=(const JournalSource &) = delete;

    void open(const QString &library, const QString &resultsLibrary);
    Status openLocal(const QString &path);
    Status openServer(const JournalServer &server);
    void close();

    bool isOpen() const { return m_open; }
    bool isServer() const { return m_server; }
    // Which journal is read, in Russian, for the window to say.
    const QString &description() const { return m_description; }
    // Why the server, or the file, is not read; empty when all is well.
    const QString &problem() const { return m_problem; }
    JournalQueries queries() const { return JournalQueries(m_connection); }

private:
    QString m_connection;
    QString m_description;
    QString m_problem;
    bool m_open = false;
    bool m_server = false;
};
