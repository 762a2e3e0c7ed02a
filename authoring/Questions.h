// The questions of a checked document as plain text: where each begins, its
// right field, its picture and the lines of its body, and how a body's text
// splits into the question and its numbered answers. The check's warnings
// read questions here, and so does the export of a topic to question-bank
// formats, so both see the same questions the test engine cuts out.
#pragma once

#include <QString>
#include <QStringList>

class LineModel;

struct DocumentQuestion
{
    int line = 0;          // the tag line, 0-based
    int number = 0;        // the question's number, from 1
    int field = 0;         // the right field, 1 to 4; 0 when the tag names none
    QString picture;       // the name on the picture line as written; empty when none
    QStringList body;      // the body's lines as plain text
    bool hasObjects = false; // the body shows embedded pictures or objects
};

// Every question of a document, in order: a line holding "{test" opens one,
// a picture line right after it names its picture, and the lines up to the
// next tag line are its body.
QList<DocumentQuestion> documentQuestions(const LineModel &lines);

// A question's text and its answers, found by their numbers.
struct NumberedAnswers
{
    QString question;      // the text before the first answer
    QStringList answers;   // answers 1, 2, ... as found, in order
};

// Finds the answers numbered 1 to 4, in order, in a body's lines: a number
// followed by ")" or "." (as in "2) Москва" or a list's "2."), at the start
// of a line or after a space, or a number alone on its line (a table's
// number column). Numbers at line starts are preferred. Each answer runs up
// to the next number; spaces and line breaks inside are kept as single
// spaces.
NumberedAnswers numberedAnswers(const QStringList &body);

// A line's text as a report shows it: trimmed and cut to 60 characters.
QString placeText(const QString &line);
