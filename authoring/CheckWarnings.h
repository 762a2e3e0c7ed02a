// Warnings a careful colleague would give about a test document that is
// otherwise fine: a key students can learn (one right field far more often
// than the others, or the same one many times in a row), questions whose
// text repeats another's, a body whose four numbered answers cannot be
// found, and pictures too large for a school computer. They never stop a
// topic from being made: the compile check returns them beside its verdict
// and the report dialog and the checker show them under the faults.
#pragma once

#include <QList>
#include <QString>

#include <array>

class LineModel;

struct Warning
{
    enum class Kind {
        KeyShare,          // detail: the field, its share in percent
        KeyRun,            // detail: the field, the length of the run
        SameText,          // detail: the number of the earlier question
        NoNumberedAnswers, // detail: the numbers not found
        LargePicture       // detail: the picture's name
    };
    Kind kind = Kind::KeyShare;
    int line = 0;          // 1-based, as the author counts; 0 for the whole document
    int question = 0;      // 1-based; 0 for the whole document
    QString text;          // the line's text, cut to 60 characters
    QString detail;
    QString what;          // what is wrong, in Russian

    // "строка N, вопрос K: …" (the whole document: the text alone).
    QString describe() const;
};

struct DocumentWarnings
{
    std::array<int, 4> rightFields{}; // how many questions each field 1 to 4 answers
    QList<Warning> warnings;          // in the order of the document, the key first
};

// The limits the warnings use.
namespace WarningLimits {
inline constexpr int KeyShareMinQuestions = 8;    // a key share is judged from this many questions
inline constexpr int KeySharePercent = 40;        // one field holding more than this share
inline constexpr int KeyRun = 5;                  // the same field this many times in a row
inline constexpr qint64 PicturePixels = 40'000'000;
inline constexpr qint64 PictureBytes = 20LL * 1024 * 1024;
} // namespace WarningLimits

// The warnings of a document whose pictures lie in folder.
DocumentWarnings checkWarnings(const LineModel &lines, const QString &folder);
