#include "session/TimeBudget.h"

#include "session/SessionState.h"

#include <algorithm>

namespace TimeBudget {

void StartTimeBudget(SessionState &state)
{
    const QByteArray code = state.TestConfig.isEmpty() ? QByteArray() : state.TestConfig.constFirst();
    state.TimeLimited = code != "1";

    qint64 perQuestion = 0;
    if (code == "2")
        perQuestion = 120;
    else if (code == "3")
        perQuestion = 60;
    else if (code == "4")
        perQuestion = 30;
    else if (code == "5")
        perQuestion = 15;
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
    return QStringLiteral("%1:%2:%3")
        .arg(int(state.ClockHours), 2, 10, QLatin1Char('0'))
        .arg(int(state.ClockMinutes), 2, 10, QLatin1Char('0'))
        .arg(int(state.ClockSeconds), 2, 10, QLatin1Char('0'));
}

} // namespace TimeBudget
