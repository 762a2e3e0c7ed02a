// The doubles the tests, the benchmarks and the fuzz targets share: a clock
// whose time passes only when told, a cue sink that remembers what would
// have been heard (and when), and an engine display that remembers what it
// was asked to show.
#pragma once

#include "session/Comp.h"
#include "session/Services.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QList>
#include <QStringList>
#include <QTime>

#include <functional>

// Time stands still until a pause lets it pass, at once.
class FakeClock final : public Clock
{
public:
    // The time of day; how far each draw's seed moves on (none: the seed is
    // the time); whether a pause handles what is queued, as a real one would.
    explicit FakeClock(int msecs = 36'000'000, int drawStep = 0, bool pumpEvents = false)
        : msecs(msecs), drawStep(drawStep), pumpEvents(pumpEvents)
    {
    }

    int msecs;
    int drawStep;
    bool pumpEvents;
    QList<int> pauses;
    std::function<void(int)> onPause;

    QTime currentTime() const override { return QTime::fromMSecsSinceStartOfDay(msecs % 86'400'000); }
    int msecsOfDay() const override { return msecs + (drawStep ? ++m_draws * drawStep : 0); }
    void pause(int milliseconds) override
    {
        pauses << milliseconds;
        msecs += milliseconds;
        if (onPause)
            onPause(milliseconds);
        if (pumpEvents)
            QCoreApplication::processEvents();
    }

private:
    mutable int m_draws = 0;
};

// Remembers each cue by its name, and, given a clock, when it started.
class RecordingSink final : public CueSink
{
public:
    RecordingSink() = default;
    explicit RecordingSink(const FakeClock &clock) : m_clock(&clock) {}

    QStringList played;
    QList<int> startedAt;   // the clock's msecs when each cue of `played` started

    void play(const QString &wavPath) override
    {
        played << QFileInfo(wavPath).completeBaseName();
        startedAt << (m_clock ? m_clock->msecs : 0);
    }
    void clear()
    {
        played.clear();
        startedAt.clear();
    }
    // When the first cue of that name started, -1 if none did.
    int start(const QString &cue) const
    {
        const qsizetype at = played.indexOf(cue);
        return at < 0 ? -1 : startedAt.at(at);
    }

private:
    const FakeClock *m_clock = nullptr;
};

// What the question engine asked to show: progress values and warnings.
class RecordingUi final : public EngineUi
{
public:
    QStringList warnings;   // "caption|text"
    QList<int> progress;
    bool visible = false;
    int shown = 0;          // how often the progress was shown

    void showProgress(bool v) override
    {
        visible = v;
        shown += v ? 1 : 0;
    }
    void setProgress(int value) override { progress << value; }
    void warn(const QString &caption, const QString &text) override { warnings << caption + u'|' + text; }
};

// Hears nothing and remembers nothing: for benchmarks and fuzzing, which run
// long enough for a record to grow.
class SilentSink final : public CueSink
{
public:
    void play(const QString &) override {}
};

class SilentUi final : public EngineUi
{
public:
    void showProgress(bool) override {}
    void setProgress(int) override {}
    void warn(const QString &, const QString &) override {}
};
