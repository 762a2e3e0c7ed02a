// The question engine of a running test: keeps the tag index of the opened
// base sound, draws questions at random without repetition, and finds where
// the drawn question lies in the full-test document. It shows nothing
// itself: the little it must show (a progress bar, a warning box) goes
// through EngineUi, and the main window copies the question's text and
// shows its picture from the QuestionPlace it is given.
#pragma once

#include "library/Expected.h"
#include "library/LineList.h"

#include <QString>

class Clock;
class Cues;
class LineModel;
struct DrawPool;
struct SessionState;

// What the engine asks the window to show while it works.
class EngineUi
{
public:
    virtual ~EngineUi() = default;
    virtual void showProgress(bool visible) = 0;
    virtual void setProgress(int value) = 0;
    // A blocking message box with an OK button and an exclamation icon.
    virtual void warn(const QString &caption, const QString &text) = 0;
};

namespace Comp {

// Checks a tag index against the document's lines and, when it does not
// match the base (an entry that is not the line of a tag line, a missing or
// extra entry, a last entry that is not the line count), rebuilds it from
// the document after a warning and saves it as the topic folder's
// Baza.ini. A document without any tag line is a damaged base: the index
// file is left as it is and tagIndex lists no question, which the caller
// reports. The error is that of saving the rebuilt file; tagIndex is
// rebuilt even then.
Status CheckTagIndex(LineList &tagIndex, const LineModel &lines, const QString &topicFolder, Cues &cues,
                     EngineUi &ui);

// The tag index the document's lines call for: the line of every line that
// holds "{test=" (any letter case), then the line count.
LineList tagIndexOf(const LineModel &lines);

// The number of questions the tag index lists.
int questionsInBase(const LineList &tagIndex);

// A question count from config.dat kept within what the base holds (a
// hand-edited file may ask for more, or for a negative number).
int clampedQuestionCount(const LineList &tagIndex, int requested);

// Fills the pool with the ordinals 1 .. pool.PoolRemaining. PoolRemaining
// is first clamped to the questions the tag index lists.
void InitQuestionPool(DrawPool &pool, const LineList &tagIndex);

// Takes the questions already asked out of a filled pool, as when a test
// cut short goes on.
void setAsked(DrawPool &pool, const QList<int> &asked);

// Removes a random ordinal from the pool and returns it; the generator is
// reseeded from the clock's milliseconds of the day before each draw. An
// empty pool gives 0, which the caller treats as a broken base.
int DrawQuestion(DrawPool &pool, Clock &clock);

// Where a question (its ordinal in the tag index, from 1) lies in the
// document.
struct QuestionPlace
{
    bool broken = false;     // the tag index does not lead to a valid tag line
    int correct = 0;         // the tag's digit, 1 to 4
    QString pictureName;     // from the picture line, in lower case; empty when none
    int bodyStart = 0;       // offset where the body begins (after the picture line)
    int bodyEnd = 0;         // offset where the next question begins, or the document end
};

// A tag line whose digit is not a whole number from 1 to 4 (only a
// hand-edited base can hold one) makes the question broken: the student
// could not answer it on the four-field board.
QuestionPlace locateQuestion(const LineList &tagIndex, int question, const LineModel &lines);

// A decimal entry of the tag index; -1 when it is not one.
int tagIndexEntry(const LineList &tagIndex, int i);

} // namespace Comp
