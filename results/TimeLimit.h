// The time a topic allows per answer, as the first line of its options file
// holds it ("1" to "5"), with everything the program says about it: the
// seconds, the caption of its option button, the "Таймер" column of the
// results table. The options window, the results file, the opening of a
// topic and the countdown all read the line through here. Also the
// "hh:mm:ss" text of a duration that the clock panels and the options window
// show.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class TimeLimit final
{
public:
    // The codes run from 1 (no limit) to Count.
    static constexpr int Count = 5;

    // A line that is exactly one of "1" to "5"; nothing for any other.
    static std::optional<TimeLimit> parse(const QByteArray &line);
    // A code of 1 to 5; nothing for any other.
    static std::optional<TimeLimit> fromCode(int code);
    // Whether a test with this time line runs against the clock: any line
    // but "1", so an unreadable line gives a clock with no time on it.
    static bool limits(const QByteArray &line);

    int code() const { return m_code; }
    QByteArray line() const { return QByteArray::number(m_code); }
    bool isLimited() const { return m_code != 1; }
    // 0 (no limit), 120, 60, 30 or 15.
    int secondsPerAnswer() const;
    // The option button: "Бесконечно", "2 минуты", "1 минута", "30 секунд",
    // "15 секунд".
    QString caption() const;
    // The "Таймер" column: "Нет", "2 мин.", "1 мин.", "30 сек.", "15 сек.".
    QString tableText() const;

private:
    explicit TimeLimit(int code) : m_code(code) {}

    int m_code;
};

// A duration as "hh:mm:ss", two digits each; 100 hours or more show all
// their digits.
QString clockText(int hours, int minutes, int seconds);
QString clockText(int seconds);
