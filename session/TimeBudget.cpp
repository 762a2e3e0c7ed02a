#include "session/TimeBudget.h"

#include "results/TimeLimit.h"
#include "session/SessionState.h"

#include <algorithm>

namespace TimeBudget {

void StartTimeBudget(SessionState &state)
{
    const QByteArray code = state.TestConfig.isEmpty() ? QByteArray() : state.TestConfig.constFirst();
    state.Time = countdownFor(code, state.QuestionsToAsk);
}

void spend(Countdown &time, int seconds)
{
    const int left = std::max(0, time.ClockHours * 3600 + time.ClockMinutes * 60 + time.ClockSeconds - std::max(0, seconds));
    time.ClockHours = std::uint8_t(left / 3600);
    time.ClockMinutes = std::uint8_t(left % 3600 / 60);
    time.ClockSeconds = std::uint8_t(left % 60);
}

Countdown countdownFor(const QByteArray &code, int questionsToAsk)
{
    Countdown time;
    time.TimeLimited = TimeLimit::limits(code);

    const std::optional<TimeLimit> limit = TimeLimit::parse(code);
    const qint64 perQuestion = limit ? limit->secondsPerAnswer() : 0;
    // The clock's hours are one byte wide.
    constexpr qint64 longest = 255 * 3600 + 59 * 60 + 59;
    const qint64 seconds = std::clamp(perQuestion * std::max(0, questionsToAsk), qint64(0), longest);

    if (time.TimeLimited) {
        time.ClockHours = std::uint8_t(seconds / 3600);
        const qint64 rest = seconds - time.ClockHours * 3600;
        time.ClockMinutes = std::uint8_t(rest / 60);
        time.ClockSeconds = std::uint8_t(rest - time.ClockMinutes * 60);
    }
    return time;
}

void countDown(Countdown &time)
{
    if (time.ClockSeconds > 0) {
        --time.ClockSeconds;
    } else if (time.ClockMinutes > 0) {
        --time.ClockMinutes;
        time.ClockSeconds = 59;
    } else if (time.ClockHours > 0) {
        --time.ClockHours;
        time.ClockMinutes = 59;
        time.ClockSeconds = 59;
    }
}

bool timeIsUp(const Countdown &time)
{
    return time.ClockHours == 0 && time.ClockMinutes == 0 && time.ClockSeconds == 0;
}

QString clockText(const Countdown &time)
{
    return ::clockText(time.ClockHours, time.ClockMinutes, time.ClockSeconds);
}

} // namespace TimeBudget
