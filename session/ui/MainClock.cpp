// The main window's one-second timer: it re-arms the board for the next
// press and, during a timed test, counts the time budget down on the clock
// panels, with the warning cues and the end of the test at zero.
#include "session/ui/Main.h"

#include "session/ui/AppContext.h"
#include "session/Cues.h"
#include "session/HoldingClock.h"
#include "session/SessionState.h"
#include "session/TimeBudget.h"

#include <QLabel>

void TForm1::TimerTimer()
{
    // During a pause the tick waits for its end: re-arming the board then
    // would let a press held back by the pause answer the next question,
    // and a time-out would end the test in the middle of an answer.
    if (m_clock->holding()) {
        m_clock->holdTick(this, [this] { TimerTimer(); });
        return;
    }
    SessionState &state = m_context.state;
    state.ClickAllowed = true;
    if (!state.SessionActive || !state.Time.TimeLimited)
        return;

    TimeBudget::countDown(state.Time);
    setClockText(TimeBudget::clockText(state.Time));
    picture().setClockText(PanelClock->text());

    if (state.Time.ClockHours != 0 || state.Time.ClockMinutes != 0)
        return;
    if (state.Time.ClockSeconds == 11)
        m_context.cues.PlayVoiceCue(Cue::Time1);
    if (state.Time.ClockSeconds >= 1 && state.Time.ClockSeconds <= 6)
        m_context.cues.PlaySoundCue(Cue::Clock);
    if (state.Time.ClockSeconds == 0) {
        m_context.cues.PlayVoiceCue(Cue::Time);
        m_clock->pause(1000);
        picture().closePicture();
        state.PressedField = 0;
        recordAnswer(0);
        EndTest();
    }
}
