// The results table file Baza/Images/normal.cfg: the last 14 test outcomes,
// oldest first, each as six lines (surname, time, topic, questions asked,
// time limit, result), every line stored through the line codec. The file
// holds 84 lines; lines after the 84th belong to nobody here and are written
// back as they were.
//
// The table works on decoded lines (Windows-1251 bytes) so that whatever the
// file holds comes back out byte for byte; text is converted only for what
// a new record adds and for what the window shows.
#pragma once

#include "library/Expected.h"
#include "library/LineList.h"

#include <QString>
#include <QTime>

#include <array>
#include <optional>

namespace ResultsFile {

inline constexpr int RecordCount = 14;
inline constexpr int FieldCount = 6;
inline constexpr int LineCount = RecordCount * FieldCount;

enum Field { Surname = 0, Time = 1, Topic = 2, Questions = 3, Timer = 4, Result = 5 };

// Index of the line of a record's field: row 1 (oldest) to 14 (newest),
// column 1 to 6 as in the table window.
constexpr int lineIndex(int row, int column)
{
    return (row - 1) * FieldCount + (column - 1);
}

// Reads and decodes the file. A missing file reads as an empty table; a
// short one is padded with empty lines to 84. An existing file that cannot
// be read is an error.
Expected<LineList> load(const QString &path);

// Encodes and writes the lines over the file atomically, creating its
// folder if need be.
Status save(const QString &path, const LineList &lines);

// A new record; a field left empty keeps the value it had in the newest
// record before the shift (the outcome's option line was not recognised).
using Record = std::array<std::optional<QByteArray>, FieldCount>;

// Moves every record up one row (the oldest is lost) and writes the given
// fields into the newest row. lines must hold at least 84 lines.
void append(LineList &lines, const Record &record);

// What a finished test leaves behind.
struct Outcome
{
    QString surname;
    QTime time;             // local time of day the record is added
    QString topic;          // the caption of the replay menu item
    int asked = 1;          // QuestionsToAsk
    int correct = 0;        // CorrectCount
    QByteArray timeCode;    // line 1 of the topic's options
    QByteArray resultKind;  // line 3 of the topic's options
};

Record makeRecord(const Outcome &outcome);

// Text as one stored line: Windows-1251, characters the code page lacks as
// '?', line breaks and NULs (which the file format cannot hold) as spaces.
QByteArray fieldBytes(const QString &text);

} // namespace ResultsFile
