#include "results/TimeLimit.h"

namespace {

struct Option
{
    int seconds;
    const char16_t *caption;
    const char16_t *tableText;
};

constexpr Option Options[TimeLimit::Count] = {
    {0, u"Бесконечно", u"Нет"},
    {120, u"2 минуты", u"2 мин."},
    {60, u"1 минута", u"1 мин."},
    {30, u"30 секунд", u"30 сек."},
    {15, u"15 секунд", u"15 сек."},
};

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

std::optional<TimeLimit> TimeLimit::parse(const QByteArray &line)
{
    // Code 0 is no option: anything but a single digit is refused.
    return fromCode(line.size() == 1 ? line.at(0) - '0' : 0);
}

std::optional<TimeLimit> TimeLimit::fromCode(int code)
{
    if (code < 1 || code > Count)
        return std::nullopt;
    return TimeLimit(code);
}

bool TimeLimit::limits(const QByteArray &line)
{
    const std::optional<TimeLimit> limit = parse(line);
    return !limit || limit->isLimited();
}

int TimeLimit::secondsPerAnswer() const
{
    return Options[m_code - 1].seconds;
}

QString TimeLimit::caption() const
{
    return QString::fromUtf16(Options[m_code - 1].caption);
}

QString TimeLimit::tableText() const
{
    return QString::fromUtf16(Options[m_code - 1].tableText);
}

QString clockText(int hours, int minutes, int seconds)
{
    return twoDigits(hours) + u':' + twoDigits(minutes) + u':' + twoDigits(seconds);
}

QString clockText(int seconds)
{
    return clockText(seconds / 3600, seconds % 3600 / 60, seconds % 60);
}
