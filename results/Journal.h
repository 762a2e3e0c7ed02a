// The results journal: every test that reaches the results table, with each
// answer in it, kept in an SQLite database in the library
// (Baza/Images/journal.sqlite) beside the table's own file, which stays as
// it is. Each answer is committed as it is given, so a power cut loses
// nothing already answered; a run is marked finished when its row reaches
// the table.
//
// The journal never stops a test: every call returns a status, the first
// failure is kept for the window to tell once (takeErrorToReport), and a
// journal that cannot be opened or written simply records nothing more.
#pragma once

#include "library/Expected.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class Journal final
{
public:
    // What is known when a test starts.
    struct RunStart
    {
        QString surname;
        QString subject;
        QString topic;
        int subjectFolder = 0;    // the library's folder numbers, 0 when unknown
        int topicFolder = 0;
        QDateTime started;
        QByteArray timeCode;      // the topic's options: time limit and result form
        QByteArray resultForm;
        int questionsToAsk = 0;
    };
    // One question asked: its number in the topic's document (the tag
    // index ordinal), the field pressed (0 when time ran out), the right
    // field and the seconds spent on it.
    struct Answer
    {
        int question = 0;
        int pressed = 0;
        int right = 0;
        int seconds = 0;
    };
    // The final count and grade, as the result window shows them.
    struct RunEnd
    {
        QDateTime finished;
        int correct = 0;
        QString grade;
    };

    // A run this computer began and never finished (the power went, the
    // program was killed): what the student had done when it stopped.
    struct Unfinished
    {
        QString id;
        RunStart start;
        QList<int> asked;         // the questions answered, in order
        int correct = 0;
        int secondsSpent = 0;
    };

    explicit Journal(QString databasePath, QString computerName);
    ~Journal();
    Journal(const Journal &) = delete;
    Journal &operator=(const Journal &) = delete;

    const QString &path() const { return m_path; }

    Status beginRun(const RunStart &start);
    Status recordAnswer(const Answer &answer);
    Status finishRun(const RunEnd &end);
    // The run under way, if any ("" when none): a unique id, so that runs of
    // many computers can be put together.
    const QString &currentRun() const { return m_run; }

    // With an outbox every change is also queued, in the same transaction,
    // for a lab's server; written() is called after each change so that
    // the sender can wake.
    void keepOutbox(std::function<void()> written);

    // The latest unfinished run of this computer that began after since.
    std::optional<Unfinished> unfinishedSince(const QDateTime &since);
    // Goes on with that run: the next answers and the finish are its own.
    Status resume(const Unfinished &run);
    // Marks it abandoned: it is offered no more.
    Status abandon(const QString &id);

    // The first failure not told yet, in Russian and naming the file; empty
    // once told, and afterwards.
    QString takeErrorToReport();
    // A problem found beside the journal (its server's settings), told as
    // the journal's own failures are.
    void noteProblem(const QString &text);

private:
    Status open();
    Status failed(const QString &what, const QString &detail);
    Status write(const QString &sql, const QVariantList &values, int outboxNumber);

    QString m_path;
    QString m_computer;
    QString m_connection;
    bool m_open = false;
    bool m_broken = false;
    bool m_told = false;
    QString m_error;
    QString m_run;
    int m_answers = 0;
    std::function<void()> m_written;
};
