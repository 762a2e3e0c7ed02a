// Services that block or make noise, passed in so that tests can run the
// pauses without waiting and record which cues played.
#pragma once

#include <QString>
#include <QTime>

class Clock
{
public:
    virtual ~Clock() = default;
    // Local time of day.
    virtual QTime currentTime() const = 0;
    // Milliseconds since midnight, used to seed random draws.
    virtual int msecsOfDay() const { return currentTime().msecsSinceStartOfDay(); }
    // Lets the time pass on the calling (window) thread and returns after
    // it, while the thread goes on handling its events: windows paint, the
    // sound plays, timers fire. What of the user's input is handled
    // meanwhile is the caller's business (see HoldingClock).
    virtual void pause(int milliseconds) = 0;
};

// Plays one WAV file at a time; a new file stops the one still playing.
// Playing never fails towards the caller: a missing or unplayable file, or a
// machine without sound, is silent.
class CueSink
{
public:
    virtual ~CueSink() = default;
    virtual void play(const QString &wavPath) = 0;
};
