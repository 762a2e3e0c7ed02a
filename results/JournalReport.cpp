#include "results/JournalReport.h"

#include "library/LineList.h"
#include "library/Rounding.h"
#include "results/Grading.h"
#include "results/ResultForm.h"

#include <QLocale>
#include <QMap>

#include <algorithm>

namespace JournalReport {

namespace {

const QLocale &russian()
{
    static const QLocale locale(QLocale::Russian, QLocale::Russia);
    return locale;
}

std::optional<ResultForm> formOf(const Run &run)
{
    return ResultForm::parse(run.resultForm.toLatin1());
}

bool finished(const Run &run)
{
    return run.state == JournalQueries::State::Finished && run.correct >= 0;
}

int computedGrade(ResultForm::Scale scale, int correct, int asked)
{
    switch (scale) {
    case ResultForm::Scale::Twelve:
        return Grading::twelvePoint(correct, asked);
    case ResultForm::Scale::Ten:
        return Grading::tenPoint(correct, asked);
    case ResultForm::Scale::Five:
        return Grading::fivePoint(correct, asked);
    case ResultForm::Scale::Count:
        break;
    }
    return 0;
}

std::pair<int, int> scaleRange(ResultForm::Scale scale)
{
    switch (scale) {
    case ResultForm::Scale::Twelve:
        return {0, 12};
    case ResultForm::Scale::Ten:
        return {0, 10};
    case ResultForm::Scale::Five:
        return {2, 5};
    case ResultForm::Scale::Count:
        break;
    }
    return {0, -1};
}

QString scaleName(ResultForm::Scale scale)
{
    switch (scale) {
    case ResultForm::Scale::Twelve:
        return QStringLiteral("12-балльная");
    case ResultForm::Scale::Ten:
        return QStringLiteral("10-балльная");
    case ResultForm::Scale::Five:
        return QStringLiteral("5-балльная");
    case ResultForm::Scale::Count:
        break;
    }
    return QStringLiteral("количество верных");
}

// The strength of a finished run: its count over the questions it was to
// ask, as a fraction kept exact for comparing.
struct Strength
{
    qint64 correct;
    qint64 asked;
    bool operator>(const Strength &other) const { return correct * other.asked > other.correct * asked; }
};

Strength strengthOf(const Run &run)
{
    const qint64 asked = std::max(run.questions, 1);
    return {std::clamp<qint64>(run.correct, 0, asked), asked};
}

// ------------------------------------------------------------------- CSV

class Csv
{
public:
    Csv() { m_bytes = QByteArrayLiteral("\xEF\xBB\xBF"); }

    // Text as the user typed it: quoted when it must be, and kept from
    // being read as a formula.
    Csv &text(const QString &value)
    {
        QString cell = value;
        if (!cell.isEmpty() && QStringLiteral("=+-@\t\r").contains(cell.front()))
            cell.prepend(u'\'');
        return field(cell);
    }
    Csv &number(int value) { return field(QString::number(value)); }
    Csv &decimal(double value) { return field(russian().toString(value, 'f', 2)); }
    Csv &empty() { return field(QString()); }
    void endRow()
    {
        m_bytes += "\r\n";
        m_first = true;
    }
    const QByteArray &bytes() const { return m_bytes; }

private:
    Csv &field(const QString &cell)
    {
        if (!m_first)
            m_bytes += ';';
        m_first = false;
        const bool quote = cell.contains(u';') || cell.contains(u'"') || cell.contains(u'\n') || cell.contains(u'\r')
                           || (!cell.isEmpty() && (cell.front().isSpace() || cell.back().isSpace()));
        if (!quote) {
            m_bytes += cell.toUtf8();
            return *this;
        }
        QString doubled = cell;
        doubled.replace(u'"', QStringLiteral("\"\""));
        m_bytes += '"' + doubled.toUtf8() + '"';
        return *this;
    }

    QByteArray m_bytes;
    bool m_first = true;
};

} // namespace

QString dateText(const QDate &date)
{
    return date.isValid() ? russian().toString(date, QLocale::ShortFormat) : QString();
}

QString timeText(const QTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QString();
}

QString durationText(int seconds)
{
    if (seconds < 0)
        return QString();
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar(u'0'));
}

QString stateText(JournalQueries::State state)
{
    switch (state) {
    case JournalQueries::State::Finished:
        return QStringLiteral("завершён");
    case JournalQueries::State::Abandoned:
        return QStringLiteral("прерван");
    case JournalQueries::State::Running:
        break;
    }
    return QStringLiteral("не завершён");
}

QString countText(const Run &run)
{
    if (!finished(run))
        return stateText(run.state);
    return QStringLiteral("%1 из %2").arg(run.correct).arg(run.questions);
}

std::optional<int> gradeValue(const Run &run)
{
    const std::optional<ResultForm> form = formOf(run);
    if (!finished(run) || !form || form->scale() == ResultForm::Scale::Count)
        return std::nullopt;
    // The grade the result window showed, between its quotes; computed
    // again only when the journal lacks it.
    QString shown = run.grade;
    shown.remove(u'"');
    bool ok = false;
    const int stored = shown.trimmed().toInt(&ok);
    const auto [low, high] = scaleRange(form->scale());
    if (ok && stored >= low && stored <= high)
        return stored;
    return computedGrade(form->scale(), run.correct, run.questions);
}

QString resultText(const Run &run)
{
    const std::optional<ResultForm> form = formOf(run);
    const std::optional<int> grade = gradeValue(run);
    if (!form || !grade)
        return countText(run);
    switch (form->scale()) {
    case ResultForm::Scale::Twelve:
        return QStringLiteral("[12-я]: %1").arg(*grade);
    case ResultForm::Scale::Ten:
        return QStringLiteral("[10-я]: %1").arg(*grade);
    case ResultForm::Scale::Five:
        return QStringLiteral("[5-я]: %1").arg(*grade);
    case ResultForm::Scale::Count:
        break;
    }
    return countText(run);
}

// ---------------------------------------------------------- item analysis

int groupSize(int runs)
{
    if (runs < 2)
        return 0;
    return std::max(1, int(roundHalfEven(27LL * runs, 100)));
}

QList<Item> itemAnalysis(const QList<Run> &runs, const QHash<QString, QList<Answer>> &answers)
{
    QList<const Run *> ranked;
    for (const Run &run : runs)
        if (finished(run) && answers.contains(run.id))
            ranked.append(&run);
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const Run *a, const Run *b) { return strengthOf(*a) > strengthOf(*b); });
    const int group = groupSize(int(ranked.size()));

    struct Tally
    {
        Item item;
        QMap<int, int> rightFields;   // right field -> times recorded
        int upperAsked = 0, upperRight = 0, lowerAsked = 0, lowerRight = 0;
    };
    QMap<int, Tally> tallies;
    for (qsizetype place = 0; place < ranked.size(); ++place) {
        const bool upper = place < group;
        const bool lower = place >= ranked.size() - group;
        for (const Answer &answer : answers.value(ranked.at(place)->id)) {
            Tally &tally = tallies[answer.question];
            tally.item.question = answer.question;
            ++tally.item.asked;
            ++tally.rightFields[answer.right];
            const bool right = answer.pressed == answer.right && answer.pressed != 0;
            if (right)
                ++tally.item.right;
            else if (answer.pressed >= 0 && answer.pressed <= 4)
                ++tally.item.wrong[std::size_t(answer.pressed)];
            if (upper) {
                ++tally.upperAsked;
                tally.upperRight += right;
            }
            if (lower) {
                ++tally.lowerAsked;
                tally.lowerRight += right;
            }
        }
    }

    QList<Item> items;
    for (Tally &tally : tallies) {
        Item &item = tally.item;
        int most = 0;
        for (auto it = tally.rightFields.cbegin(); it != tally.rightFields.cend(); ++it) {
            if (it.value() > most) {
                most = it.value();
                item.rightField = it.key();
            }
        }
        if (tally.upperAsked > 0 && tally.lowerAsked > 0)
            item.discrimination =
                double(tally.upperRight) / tally.upperAsked - double(tally.lowerRight) / tally.lowerAsked;
        item.nobodyRight = item.asked > 0 && item.right == 0;
        // Compared exactly, so that equal shares are never told apart by a
        // rounding error.
        item.weakerBetter = tally.upperAsked > 0 && tally.lowerAsked > 0
                            && qint64(tally.lowerRight) * tally.upperAsked > qint64(tally.upperRight) * tally.lowerAsked;
        items.append(item);
    }
    return items;
}

QString itemRemark(const Item &item)
{
    if (item.nobodyRight)
        return QStringLiteral("никто не ответил верно");
    if (item.weakerBetter)
        return QStringLiteral("слабые ответили лучше сильных");
    return QString();
}

// ------------------------------------------------------------- the grades

GradeChart gradeChart(const QList<Run> &runs)
{
    // (scale, grade or share) -> bar; share as correct/asked for counts.
    struct Key
    {
        int scale;
        qint64 correct;
        qint64 asked;
        bool operator<(const Key &o) const
        {
            if (scale != o.scale)
                return scale < o.scale;
            if (correct * o.asked != o.correct * asked)
                return correct * o.asked < o.correct * asked;
            return asked < o.asked;
        }
    };
    std::map<Key, GradeBar> bars;
    std::optional<ResultForm::Scale> common;
    bool mixed = false;
    for (const Run &run : runs) {
        const std::optional<ResultForm> form = formOf(run);
        if (!finished(run) || !form)
            continue;
        if (!common)
            common = form->scale();
        else if (*common != form->scale())
            mixed = true;
        const std::optional<int> grade = gradeValue(run);
        const Key key = grade ? Key{form->code(), *grade, 1} : Key{form->code(), run.correct, std::max(run.questions, 1)};
        GradeBar &bar = bars[key];
        bar.label = resultText(run);
        ++bar.runs;
    }
    GradeChart chart;
    if (common && !mixed && *common != ResultForm::Scale::Count) {
        chart.title = QStringLiteral("Оценки: %1 система").arg(scaleName(*common));
        const auto [low, high] = scaleRange(*common);
        for (int grade = low; grade <= high; ++grade) {
            const auto found = bars.find(Key{int(*common), grade, 1});
            chart.bars.append({QString::number(grade), found == bars.end() ? 0 : found->second.runs});
        }
        return chart;
    }
    chart.title = common && !mixed ? QStringLiteral("Количество верных ответов") : QStringLiteral("Результаты");
    for (const auto &[key, bar] : bars)
        chart.bars.append(bar);
    return chart;
}

// -------------------------------------------------------------------- CSV

QByteArray runsCsv(const QList<Run> &runs)
{
    Csv csv;
    for (const char *title : {"Дата", "Начало", "Фамилия", "Предмет", "Тема", "Верно", "Вопросов", "Оценка",
                              "Система оценки", "Длительность, с", "Компьютер", "Состояние"})
        csv.text(QString::fromUtf8(title));
    csv.endRow();
    for (const Run &run : runs) {
        csv.text(dateText(run.date)).text(timeText(run.started)).text(run.surname).text(run.subject).text(run.topic);
        if (finished(run))
            csv.number(run.correct);
        else
            csv.empty();
        csv.number(run.questions);
        if (const std::optional<int> grade = gradeValue(run))
            csv.number(*grade);
        else
            csv.empty();
        if (const std::optional<ResultForm> form = formOf(run))
            csv.text(scaleName(form->scale()));
        else
            csv.empty();
        if (run.seconds >= 0)
            csv.number(run.seconds);
        else
            csv.empty();
        csv.text(run.computer).text(stateText(run.state));
        csv.endRow();
    }
    return csv.bytes();
}

QByteArray itemsCsv(const QList<Item> &items)
{
    Csv csv;
    for (const char *title : {"Вопрос", "Задан", "Верно", "Доля верных", "Неверно: поле 1", "Неверно: поле 2",
                              "Неверно: поле 3", "Неверно: поле 4", "Время вышло", "Верное поле",
                              "Индекс дискриминации", "Замечание"})
        csv.text(QString::fromUtf8(title));
    csv.endRow();
    for (const Item &item : items) {
        csv.number(item.question).number(item.asked).number(item.right).decimal(item.shareRight());
        for (int field = 1; field <= 4; ++field)
            csv.number(item.wrong[std::size_t(field)]);
        csv.number(item.wrong[0]).number(item.rightField);
        if (item.discrimination)
            csv.decimal(*item.discrimination);
        else
            csv.empty();
        csv.text(itemRemark(item));
        csv.endRow();
    }
    return csv.bytes();
}

Status saveCsv(const QString &path, const QByteArray &bytes)
{
    return LineLists::writeBytes(path, bytes);
}

} // namespace JournalReport
