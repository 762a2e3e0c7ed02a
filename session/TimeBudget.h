// The time budget of a timed test: the number of questions to ask times the
// seconds a topic allows per answer, counted down once a second on the
// clock panels. The main window's timer calls countDown and shows
// clockText; the cue points and the end of the test are its business.
#pragma once

#include <QByteArray>
#include <QString>

struct Countdown;
struct SessionState;

namespace TimeBudget {

// Sets TimeLimited and the clock from the time code (TestConfig line 0,
// read as a TimeLimit) and QuestionsToAsk. Any other code gives a limited test with nothing left.
// A budget beyond what the clock can hold (255:59:59) is held at that.
void StartTimeBudget(SessionState &state);
// The countdown a time code gives a test of questionsToAsk questions.
Countdown countdownFor(const QByteArray &code, int questionsToAsk);

// The seconds already spent taken off, never below 00:00:00.
void spend(Countdown &time, int seconds);

// One second less, never below 00:00:00.
void countDown(Countdown &time);

// True when the budget is used up.
bool timeIsUp(const Countdown &time);

// HH:MM:SS, two digits each; 100 hours or more show all their digits.
QString clockText(const Countdown &time);

} // namespace TimeBudget
