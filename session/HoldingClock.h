// The clock the testing window pauses with: the tutor's nods, head shakes
// and head turns, the pause after the last answer and the second after a
// time-out. A pause lets its time pass on the window thread while the
// window goes on painting and the voice goes on playing, but it holds the
// student back: a press, a key or a move made during a pause is dropped
// (an answer made before the next question was on screen is never judged),
// and the one-second tick that falls due meanwhile runs once, after the
// pause, when the window has finished what the pause was part of.
#pragma once

#include "session/Services.h"

#include <QPointer>

#include <functional>
#include <memory>

class QObject;

class HoldingClock final : public Clock
{
public:
    // `inner` says how the time passes: the system clock runs the event
    // loop for that long, a test clock lets the queued events through.
    explicit HoldingClock(Clock &inner);
    ~HoldingClock() override;
    Q_DISABLE_COPY_MOVE(HoldingClock)

    QTime currentTime() const override;
    int msecsOfDay() const override;
    void pause(int milliseconds) override;

    // True while a pause lasts.
    bool holding() const { return m_depth > 0; }

    // A tick that falls due while a pause lasts: `tick` runs once when the
    // outermost pause is over, after the handler that paused has returned
    // (so a time-out never ends a test in the middle of an answer). More
    // ticks held back by the same pause are not made up.
    void holdTick(QObject *context, std::function<void()> tick);

private:
    class InputFilter;

    Clock &m_inner;
    int m_depth = 0;
    std::unique_ptr<InputFilter> m_filter;
    QPointer<QObject> m_tickContext;
    std::function<void()> m_heldTick;
};
