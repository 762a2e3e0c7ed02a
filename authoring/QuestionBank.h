// Question banks in and out. A teacher's questions can come from, and go
// to, the plain-text banks that learning platforms such as Moodle read and
// write: GIFT and Aiken. Importing reads a bank file (UTF-8 or
// Windows-1251, with or without a byte order mark) and writes an ordinary
// RTF test document with tag lines, picture lines and numbered answers,
// which then becomes a topic through "Добавить новую тему" like any
// document the teacher wrote; the pictures the bank names are copied beside
// it. Exporting reads a stored topic and writes its questions as a bank:
// the text without its formatting, the picture of each question named and
// copied beside the bank.
//
// Only multiple-choice questions with one right answer and two to four
// answers fit the program's board; every other question is listed with its
// line and left out, so nothing is lost without the teacher being told.
#pragma once

#include "library/Expected.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace QuestionBank {

enum class Format { Gift, Aiken };

struct Question
{
    int line = 0;         // where it begins in the bank file (1-based); 0 for a topic's
    int number = 0;       // its number in a topic; 0 for a bank file's
    QString text;         // the question; lines separated by '\n'
    QStringList answers;  // 2 to 4, each on one line
    int right = 0;        // the right answer, from 1
    QString picture;      // the picture's file name, relative to the bank's or topic's folder
};

// Something the teacher should know: a question left out, or taken with a
// change.
struct Note
{
    int line = 0;         // in a bank file, from 1; 0 when question says where
    int question = 0;     // in a topic, from 1
    QString text;

    // "строка N: …" or "вопрос K: …".
    QString describe() const;
};

struct Bank
{
    QList<Question> questions;
    QList<Note> notes;
};

// The largest bank file read: far above any real bank.
inline constexpr qint64 MaxBankBytes = 20LL * 1024 * 1024;

// A bank file's text: UTF-8 or UTF-16 with a byte order mark, UTF-8
// without one when the bytes are valid UTF-8, Windows-1251 otherwise.
QString decode(const QByteArray &bytes);

Bank readGift(const QString &text);
Bank readAiken(const QString &text);

// The format of a bank's text: Aiken when it has "ANSWER:" lines and no
// GIFT answer block, GIFT otherwise.
Format guessFormat(const QString &text);

// The RTF test document of a bank's questions, with a title line before
// the first question.
QByteArray writeRtf(const Bank &bank, const QString &title);

// A bank file of questions: GIFT or Aiken, UTF-8 without a byte order mark.
QByteArray writeBank(const Bank &bank, Format format, const QString &title);

// The questions of a stored topic whose base is basePath: each body split
// into its text and its numbered answers. Questions whose answers cannot be
// found are noted and left out.
Expected<Bank> readTopic(const QString &basePath);

struct Written
{
    int questions = 0;
    QStringList pictures;  // files copied beside the written file
    QList<Note> notes;
};

// Reads a bank file and writes its questions as the RTF document rtfPath,
// copying the pictures it names from the bank's folder to the document's.
// The error names the file: unreadable, too large, or without a single
// question that fits (with what was left out).
Expected<Written> importBank(const QString &bankPath, const QString &rtfPath);

// Writes a stored topic's questions as a bank file, copying its pictures
// beside it.
Expected<Written> exportTopic(const QString &basePath, Format format, const QString &bankPath,
                              const QString &title);

} // namespace QuestionBank
