#include "results/Grading.h"

#include "library/Rounding.h"

#include <algorithm>

namespace Grading {

namespace {

struct Counts
{
    long long correct;
    long long asked;
};

// The counts the grades are taken from; see the header for why 0 asked is
// read as 1.
Counts sane(int correct, int asked)
{
    const long long t = std::max(asked, 1);
    const long long c = std::clamp<long long>(correct, 0, t);
    return {c, t};
}

bool isKind(const QByteArray &kind, char digit)
{
    return kind.size() == 1 && kind.at(0) == digit;
}

QString quoted(int grade)
{
    return u'"' + QString::number(grade) + u'"';
}

} // namespace

int twelvePoint(int correct, int asked)
{
    const Counts n = sane(correct, asked);
    return int(roundHalfEven(12 * n.correct, n.asked));
}

int tenPoint(int correct, int asked)
{
    const Counts n = sane(correct, asked);
    return int(roundHalfEven(10 * n.correct, n.asked));
}

int fivePoint(int correct, int asked)
{
    const Counts n = sane(correct, asked);
    return int(std::max<long long>(2, roundHalfEven(25 * n.correct + n.asked, 5 * n.asked)));
}

std::optional<WindowText> windowText(const QByteArray &resultKind, int correct, int asked)
{
    if (isKind(resultKind, '1'))
        return WindowText{QString::number(correct) + QStringLiteral(" из ") + QString::number(asked),
                          QStringLiteral("(количество верных ответов)")};
    if (isKind(resultKind, '2'))
        return WindowText{quoted(twelvePoint(correct, asked)), QStringLiteral("(по двенадцатибальной системе)")};
    if (isKind(resultKind, '3'))
        return WindowText{quoted(tenPoint(correct, asked)), QStringLiteral("(по десятибальной системе)")};
    if (isKind(resultKind, '4'))
        return WindowText{quoted(fivePoint(correct, asked)), QStringLiteral("(по пятибальной системе)")};
    return std::nullopt;
}

std::optional<QString> tableText(const QByteArray &resultKind, int correct, int asked)
{
    if (isKind(resultKind, '1'))
        return QString::number(correct) + QStringLiteral(" из ") + QString::number(asked);
    if (isKind(resultKind, '2'))
        return QStringLiteral("[12-я]: ") + QString::number(twelvePoint(correct, asked));
    if (isKind(resultKind, '3'))
        return QStringLiteral("[10-я]: ") + QString::number(tenPoint(correct, asked));
    if (isKind(resultKind, '4'))
        return QStringLiteral("[5-я]: ") + QString::number(fivePoint(correct, asked));
    return std::nullopt;
}

std::optional<QString> finalCue(const QByteArray &resultKind, int correct, int asked)
{
    if (resultKind.size() != 1 || resultKind.at(0) < '1' || resultKind.at(0) > '4')
        return std::nullopt;
    switch (fivePoint(correct, asked)) {
    case 5:
        return QStringLiteral("Final1");
    case 4:
        return QStringLiteral("Final2");
    case 3:
        return QStringLiteral("Final3");
    default:
        return QStringLiteral("Final4");
    }
}

} // namespace Grading
