#include "session/Comp.h"

#include "library/LineList.h"
#include "library/Paths.h"
#include "library/TagLine.h"
#include "richtext/LineModel.h"
#include "session/Captions.h"
#include "session/Cues.h"
#include "session/Services.h"
#include "session/SessionState.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace Comp {

namespace {

// Decimal digits only, short enough for an int; anything else is -1.
int parseEntry(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 9)
        return -1;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
    }
    return text.toInt();
}

QString lowerTrimmedLine(const LineModel &lines, int line)
{
    return TagLine::normalized(lines.lineText(line));
}

// Whole-number progress with an exact half going to the even neighbour.
int rounded(double value)
{
    return int(std::nearbyint(value));
}

Status rebuild(LineList &tagIndex, LineList rebuilt, const QString &topicFolder, Cues &cues, EngineUi &ui)
{
    cues.PlaySoundCue(Cue::ErrorNewBaza);
    ui.warn(Caption::Attention, QStringLiteral("Будет произведена переиндексация выбранной базы..."));
    ui.showProgress(true);
    ui.setProgress(0);
    tagIndex = std::move(rebuilt);
    ui.setProgress(100);
    const Status saved = LineLists::write(Paths::tagIndexFile(topicFolder), tagIndex);
    ui.showProgress(false);
    return saved;
}

} // namespace

int tagIndexEntry(const LineList &tagIndex, int i)
{
    if (i < 0 || i >= tagIndex.size())
        return -1;
    return parseEntry(tagIndex.at(i));
}

LineList tagIndexOf(const LineModel &lines)
{
    LineList index;
    int last = -1;
    const QString opening = TagLine::tagOpening();
    for (int hit = lines.find(opening, 0); hit >= 0; hit = lines.find(opening, hit + 1)) {
        const int line = lines.lineAt(hit);
        // A hit that runs over the end of its line does not count: the line
        // itself must hold the opening.
        if (line == last || !TagLine::isTagLine(lowerTrimmedLine(lines, line)))
            continue;
        index.append(QByteArray::number(line));
        last = line;
    }
    index.append(QByteArray::number(lines.lineCount()));
    return index;
}

Status CheckTagIndex(LineList &tagIndex, const LineModel &lines, const QString &topicFolder, Cues &cues,
                     EngineUi &ui)
{
    ui.showProgress(true);
    LineList expected = tagIndexOf(lines);
    if (expected.size() < 2) {
        // The document holds no tag line: the base itself is damaged. Its
        // index is left alone (it may well be right for the base that is
        // copied back); the caller finds no question and says so.
        tagIndex = std::move(expected);
        ui.showProgress(false);
        return {};
    }

    const int count = int(tagIndex.size());
    // An index that lists fewer or more tag lines than the base holds (a
    // single line, say, left by a damaged base) is stale too.
    const bool stale = count != expected.size() || tagIndex.constLast() != expected.constLast();
    double value = 0;
    for (int i = 0; i <= count - 2; ++i) {
        ui.setProgress(rounded(value));
        if (count > 2)
            value += 100.0 / (count - 2);
        else
            value = 100;
        if (stale || tagIndex.at(i) != expected.at(i))
            return rebuild(tagIndex, std::move(expected), topicFolder, cues, ui);
    }
    if (stale)
        return rebuild(tagIndex, std::move(expected), topicFolder, cues, ui);
    ui.showProgress(false);
    return {};
}

int questionsInBase(const LineList &tagIndex)
{
    return std::max(0, int(tagIndex.size()) - 1);
}

int clampedQuestionCount(const LineList &tagIndex, int requested)
{
    return std::clamp(requested, 0, questionsInBase(tagIndex));
}

void InitQuestionPool(DrawPool &pool, const LineList &tagIndex)
{
    pool.PoolRemaining = clampedQuestionCount(tagIndex, pool.PoolRemaining);
    pool.QuestionPool.resize(pool.PoolRemaining);
    for (int i = 0; i < pool.PoolRemaining; ++i)
        pool.QuestionPool[i] = i + 1;
}

void setAsked(DrawPool &pool, const QList<int> &asked)
{
    pool.QuestionPool.resize(std::min<qsizetype>(pool.QuestionPool.size(), std::max(0, pool.PoolRemaining)));
    for (const int question : asked)
        pool.QuestionPool.removeOne(question);
    pool.PoolRemaining = int(pool.QuestionPool.size());
}

int DrawQuestion(DrawPool &pool, Clock &clock)
{
    if (pool.PoolRemaining <= 0 || pool.PoolRemaining > pool.QuestionPool.size())
        return 0;
    // The seed goes through a seed sequence: seeds a millisecond apart would
    // otherwise give nearly the same first number from the generator.
    std::seed_seq seed{std::uint32_t(clock.msecsOfDay())};
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> pick(0, pool.PoolRemaining - 1);
    const int idx = pick(generator);
    const int result = pool.QuestionPool.at(idx);
    // Keep the order of the rest: the live entries stay at the front.
    for (int i = idx; i + 1 < pool.PoolRemaining; ++i)
        pool.QuestionPool[i] = pool.QuestionPool.at(i + 1);
    --pool.PoolRemaining;
    return result;
}

QuestionPlace locateQuestion(const LineList &tagIndex, int question, const LineModel &lines)
{
    QuestionPlace place;
    place.broken = true;
    if (question < 1 || question >= tagIndex.size())
        return place;
    int t = tagIndexEntry(tagIndex, question - 1);
    const int next = tagIndexEntry(tagIndex, question);
    if (t < 0 || t >= lines.lineCount() || next <= t || next > lines.lineCount())
        return place;

    const int correct = TagLine::rightField(lowerTrimmedLine(lines, t));
    if (correct == 0)
        return place;

    const QString picture = lowerTrimmedLine(lines, t + 1);
    if (TagLine::isPictureLine(picture)) {
        place.pictureName = TagLine::pictureName(picture);
        ++t;
    }
    place.broken = false;
    place.correct = correct;
    place.bodyStart = lines.lineStart(t + 1);
    place.bodyEnd = std::max(place.bodyStart, lines.lineStart(next));
    return place;
}

} // namespace Comp
