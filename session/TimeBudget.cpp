#include "session/TimeBudget.h"

#include "results/TimeLimit.h"
#include "session/SessionState.h"

#include <algorithm>

namespace TimeBudget {

void StartTimeBudget(SessionState &state)
{
    const QByteArray code = state.TestConfig.isEmpty() ? QByteArray() : state.TestConfig.constFirst();
    state.TimeLimited = TimeLimit::limits(code);

    const std::optional<TimeLimit> limit = TimeLimit::parse(code);
    const qint64 perQuestion = limit ? limit->secondsPerAnswer() : 0;
    // The clock's hours are one byte wide.
    constexpr qint64 longest = 255 * 3600 + 59 * 60 + 59;
    const qint64 seconds = std::clamp(perQuestion * std::max(0, state.QuestionsToAsk), qint64(0), longest);

    if (state.TimeLimited) {
        state.ClockHours = std::uint8_t(seconds / 3600);
        const qint64 rest = seconds - state.ClockHours * 3600;
        state.ClockMinutes = std::uint8_t(rest / 60);
        state.ClockSeconds = std::uint8_t(rest - state.ClockMinutes * 60);
    }
}

void countDown(SessionState &state)
{
    if (state.ClockSeconds > 0) {
        --state.ClockSeconds;
    } else if (state.ClockMinutes > 0) {
        --state.ClockMinutes;
        state.ClockSeconds = 59;
    } else if (state.ClockHours > 0) {
        --state.ClockHours;
        state.ClockMinutes = 59;
        state.ClockSeconds = 59;
    }
}

bool timeIsUp(const SessionState &state)
{
    return state.ClockHours == 0 && state.ClockMinutes == 0 && state.ClockSeconds == 0;
}

QString clockText(const SessionState &state)
{
    return ::clockText(state.ClockHours, state.ClockMinutes, state.ClockSeconds);
}

} // namespace TimeBudget
