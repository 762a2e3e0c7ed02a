// How a topic's result is shown, as the third line of its options file holds
// it ("1" to "4"): the count of right answers, or a grade on the 12-, 10- or
// 5-point scale. The options window, grading and the results file read the
// line through here.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class ResultForm final
{
public:
    enum class Scale { Count = 1, Twelve, Ten, Five };
    // The codes run from 1 to Forms.
    static constexpr int Forms = 4;

    // A line that is exactly one of "1" to "4"; nothing for any other.
    static std::optional<ResultForm> parse(const QByteArray &line);
    // A code of 1 to 4; nothing for any other.
    static std::optional<ResultForm> fromCode(int code);

    Scale scale() const { return m_scale; }
    int code() const { return int(m_scale); }
    QByteArray line() const { return QByteArray::number(code()); }
    // The option button: "Кол. верных из общего", "12 бальная сис-ма",
    // "10 бальная сис-ма", "5 бальная сис-ма".
    QString caption() const;

private:
    explicit ResultForm(Scale scale) : m_scale(scale) {}

    Scale m_scale;
};
