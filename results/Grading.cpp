#include "results/Grading.h"

#include "library/Rounding.h"
#include "results/ResultForm.h"
#include "session/Cues.h"

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
    const std::optional<ResultForm> form = ResultForm::parse(resultKind);
    if (!form)
        return std::nullopt;
    switch (form->scale()) {
    case ResultForm::Scale::Count:
        return WindowText{QString::number(correct) + QStringLiteral(" из ") + QString::number(asked),
                          QStringLiteral("(количество верных ответов)")};
    case ResultForm::Scale::Twelve:
        return WindowText{quoted(twelvePoint(correct, asked)), QStringLiteral("(по двенадцатибальной системе)")};
    case ResultForm::Scale::Ten:
        return WindowText{quoted(tenPoint(correct, asked)), QStringLiteral("(по десятибальной системе)")};
    case ResultForm::Scale::Five:
        return WindowText{quoted(fivePoint(correct, asked)), QStringLiteral("(по пятибальной системе)")};
    }
    return std::nullopt;
}

std::optional<QString> tableText(const QByteArray &resultKind, int correct, int asked)
{
    const std::optional<ResultForm> form = ResultForm::parse(resultKind);
    if (!form)
        return std::nullopt;
    switch (form->scale()) {
    case ResultForm::Scale::Count:
        return QString::number(correct) + QStringLiteral(" из ") + QString::number(asked);
    case ResultForm::Scale::Twelve:
        return QStringLiteral("[12-я]: ") + QString::number(twelvePoint(correct, asked));
    case ResultForm::Scale::Ten:
        return QStringLiteral("[10-я]: ") + QString::number(tenPoint(correct, asked));
    case ResultForm::Scale::Five:
        return QStringLiteral("[5-я]: ") + QString::number(fivePoint(correct, asked));
    }
    return std::nullopt;
}

std::optional<QString> finalCue(const QByteArray &resultKind, int correct, int asked)
{
    if (!ResultForm::parse(resultKind))
        return std::nullopt;
    switch (fivePoint(correct, asked)) {
    case 5:
        return QString(Cue::Final1);
    case 4:
        return QString(Cue::Final2);
    case 3:
        return QString(Cue::Final3);
    default:
        return QString(Cue::Final4);
    }
}

} // namespace Grading
