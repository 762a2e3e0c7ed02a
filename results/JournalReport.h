// What the teacher's journal window makes of the runs JournalQueries reads:
// the texts of a run as the window and the CSV files show them, a topic's
// item analysis, the grade chart, and the CSV files themselves.
//
// The CSV files are for Russian Excel and LibreOffice Calc: UTF-8 with a
// byte order mark (without it Excel reads the bytes as Windows-1251), ';'
// between fields (',' is the decimal comma there), CR LF line ends, dates
// and numbers written as the Russian locale writes them. A text field that
// begins like a formula gets an apostrophe first: surnames are typed by
// students, and a spreadsheet must not run them.
#pragma once

#include "library/Expected.h"
#include "results/JournalQueries.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace JournalReport {

using Run = JournalQueries::Run;
using Answer = JournalQueries::Answer;

// "09.12.2026", "09:05", "2:15" (minutes and seconds).
QString dateText(const QDate &date);
QString timeText(const QTime &time);
QString durationText(int seconds);
// "завершён", "не завершён", "прерван".
QString stateText(JournalQueries::State state);
// "7 из 10"; the state for a run that did not finish.
QString countText(const Run &run);
// As the results table writes it: "7 из 10", "[12-я]: 9", "[10-я]: 8",
// "[5-я]: 4"; the state for a run that did not finish.
QString resultText(const Run &run);
// The grade the student was shown, on the topic's scale; nothing for a
// count result or a run that did not finish.
std::optional<int> gradeValue(const Run &run);

// One question of a topic over the finished runs that asked it.
struct Item
{
    int question = 0;     // its number in the topic's document
    int asked = 0;
    int right = 0;
    // wrong[f], f 1 to 4: the field f pressed when another was right;
    // wrong[0]: the time ran out on it.
    std::array<int, 5> wrong{};
    int rightField = 0;   // the right field (the one recorded most often)
    // The share right among the best 27 % of the runs minus the share
    // among the worst 27 %, each over the runs of its group that asked the
    // question; nothing when either group never met it.
    std::optional<double> discrimination;
    bool nobodyRight = false;    // asked, and never answered right
    bool weakerBetter = false;   // the weaker runs did better than the stronger

    double shareRight() const { return asked > 0 ? double(right) / asked : 0.0; }
    bool looksBroken() const { return nobodyRight || weakerBetter; }
};

// Every question the finished runs among these asked, by number. A run's
// strength is its final count over the questions it was to ask; runs of
// equal strength keep the order they are given in.
QList<Item> itemAnalysis(const QList<Run> &runs, const QHash<QString, QList<Answer>> &answers);
// How many runs make each 27 % group of n runs (halves to even, at least
// one); 0 when there are fewer than two runs to compare.
int groupSize(int runs);
// "никто не ответил верно", "слабые ответили лучше сильных", or empty.
QString itemRemark(const Item &item);

// The grades of the finished runs among these, one bar per grade. When all
// of them share one scale, the bars cover the whole scale (0 to 12, 0 to 10,
// 2 to 5) with their bare grades as labels; otherwise there is a bar for
// each result that occurs, labelled as the results table writes it.
struct GradeBar
{
    QString label;
    int runs = 0;
};
struct GradeChart
{
    QString title;   // "Оценки по 12-балльной системе", ...
    QList<GradeBar> bars;
};
GradeChart gradeChart(const QList<Run> &runs);

QByteArray runsCsv(const QList<Run> &runs);
QByteArray itemsCsv(const QList<Item> &items);
// Writes a CSV file whole or not at all; the error names the file.
Status saveCsv(const QString &path, const QByteArray &bytes);

} // namespace JournalReport
