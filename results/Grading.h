// Grading of a finished test: c correct answers out of t questions asked
// become a count or a grade on the 12-, 10- or 5-point scale, and the texts
// the result window and the results table show for it.
//
// The grades are computed on integers, with an exact half going to the even
// neighbour: round(12c/t), round(10c/t) and max(2, round((25c + t) / (5t))),
// the last being round(5c/t + 1/5). Doing this in double precision would be
// wrong at the boundaries (23 of 50 would give 3 instead of 2).
//
// A test always asks at least one question, so t >= 1 for every table the
// program writes itself. Should t still arrive as 0 (or c outside 0..t), the
// grades are those of c clamped into 0..t out of max(t, 1): nothing asked
// grades like nothing right, 0, 0 and 2, instead of dividing by zero.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Grading {

int twelvePoint(int correct, int asked);
int tenPoint(int correct, int asked);
int fivePoint(int correct, int asked);   // never below 2

// What the result window shows: the big result and what it means.
struct WindowText
{
    QString result;
    QString meaning;
};

// For a ResultKind of "1" to "4"; nothing for any other line, in which case
// the window keeps its previous texts.
std::optional<WindowText> windowText(const QByteArray &resultKind, int correct, int asked);

// The "Результат" column of the results table: "7 из 10", "[12-я]: 9",
// "[10-я]: 8" or "[5-я]: 2"; nothing for an unknown ResultKind.
std::optional<QString> tableText(const QByteArray &resultKind, int correct, int asked);

// The tutor's closing remark, chosen by the 5-point grade whatever form the
// result is shown in: 5 "Final1", 4 "Final2", 3 "Final3", 2 "Final4".
// Nothing for an unknown ResultKind.
std::optional<QString> finalCue(const QByteArray &resultKind, int correct, int asked);

} // namespace Grading
