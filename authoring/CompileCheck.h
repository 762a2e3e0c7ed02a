// The compile check: decides whether a loaded test document can become a
// topic's base. It scans the document's lines for tag lines ("{test=N}")
// and picture lines ("{pic=name}"), counts them, builds the tag index that
// is stored as the topic's Baza.ini, checks that every picture file exists
// beside the document, and gives one verdict with the report message the
// report dialog shows.
//
// The check only computes: the caller (base creation, the command-line
// checker) shows the message, plays the cue and decides what to write.
// Picture lookup is shared with base creation and restore, so a picture the
// check accepted is the file that is later copied.
#pragma once

#include "authoring/CheckWarnings.h"
#include "library/Expected.h"
#include "library/LineList.h"

#include <QString>

#include <functional>

class LineModel;

enum class Verdict {
    Ok = 0,
    TagCountMismatch,
    NoTests,
    PictureMissing,
    PictureNotAfterTag,
    TagLineHasOtherText,
    EmptyQuestion,
    NotStorable,  // a file a topic cannot hold (SourceDocument), never from the check itself
};

// One fault of a document, with its place: the line as the author counts
// it (1-based, each paragraph and each manual line break starting a line),
// the question it belongs to (1-based; 0 before the first tag line) and the
// line's text, cut to 60 characters.
struct Finding
{
    enum class Kind {
        TagLineHasOtherText, // detail: the other text
        TagDigitOutOfRange,  // detail: what stands for the digit
        EmptyQuestion,
        PictureNotAfterTag,
        PictureMissing,      // detail: the full path looked for
        PictureOutsideFolder // detail: the name as written
    };
    Kind kind = Kind::EmptyQuestion;
    int line = 0;
    int question = 0;
    QString text;
    QString detail;

    // "строка N, вопрос K: …", in Russian, as the report and the checker show it.
    QString describe() const;
};

struct CheckResult
{
    Verdict verdict = Verdict::Ok;
    int testCount = 0;          // hits of "{test=1}" .. "{test=4}"
    int tagCount = 0;           // hits of "{test"
    int pictureCount = 0;       // hits of "{pic="
    int picturesAfterTags = 0;  // tag hits whose next line holds "{pic="
    LineList tagIndex;          // tag lines, then the line count
    QString missingPicture;     // full path of the first picture not found
    QString message;            // the report, lines broken with CR LF
    QList<Finding> findings;    // every fault, in the order of the document
    // What a careful colleague would point out; never changes the verdict.
    std::array<int, 4> rightFields{}; // questions whose right field is 1 .. 4
    QList<Warning> warnings;
};

// Checks a document whose lines are given; sourcePath is the document's
// file, whose folder holds its pictures. progress receives the caller's
// progress bar values: 25, 40, 55, 70 and 85 after the five tag passes and
// 95 after the picture pass (the caller shows 10 before the check).
CheckResult compileCheck(const LineModel &lines, const QString &sourcePath,
                         const std::function<void(int)> &progress = {});

// The sound cue that goes with a verdict.
QString cueFor(Verdict verdict);

// The full path of a picture as the report names it: the folder, "/" and
// the name as written, trimmed.
QString picturePathAsWritten(const QString &folder, const QString &name);

// Finds a picture file named in a document, inside the document's folder,
// by the one rule of Paths::fileInside: sub-folders written with '\' or
// '/', any letter case, and never a file that is (or, through a symbolic
// link, leads) outside the folder. The check, the checker, base creation
// and restore all find pictures here. The error is the path as written
// (picturePathAsWritten).
Expected<QString> findPicture(const QString &folder, const QString &name);
