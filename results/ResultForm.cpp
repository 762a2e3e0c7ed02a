#include "results/ResultForm.h"

std::optional<ResultForm> ResultForm::parse(const QByteArray &line)
{
    // Code 0 is no option: anything but a single digit is refused.
    return fromCode(line.size() == 1 ? line.at(0) - '0' : 0);
}

std::optional<ResultForm> ResultForm::fromCode(int code)
{
    if (code < 1 || code > Forms)
        return std::nullopt;
    return ResultForm(Scale(code));
}

QString ResultForm::caption() const
{
    switch (m_scale) {
    case Scale::Count:
        return QStringLiteral("Кол. верных из общего");
    case Scale::Twelve:
        return QStringLiteral("12 бальная сис-ма");
    case Scale::Ten:
        return QStringLiteral("10 бальная сис-ма");
    case Scale::Five:
        return QStringLiteral("5 бальная сис-ма");
    }
    return {};
}
