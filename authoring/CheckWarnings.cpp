#include "authoring/CheckWarnings.h"

#include "authoring/CompileCheck.h"
#include "authoring/Questions.h"
#include "library/Rounding.h"
#include "richtext/LineModel.h"

#include <QFileInfo>
#include <QHash>
#include <QImageReader>

#include <algorithm>

namespace {

// A body's text for comparing: blanks of any kind folded into one space,
// letter case ignored.
QString comparable(const QStringList &body)
{
    return body.join(u' ').simplified().toCaseFolded();
}

int percent(int part, int whole)
{
    return int(roundHalfEven(std::int64_t(part) * 100, whole));
}

} // namespace

QString Warning::describe() const
{
    if (line == 0)
        return what;
    return QStringLiteral("строка %1, вопрос %2: %3 (%4)").arg(line).arg(question).arg(what, text);
}

DocumentWarnings checkWarnings(const LineModel &lines, const QString &folder)
{
    DocumentWarnings result;
    const QList<DocumentQuestion> questions = documentQuestions(lines);
    const auto add = [&](Warning::Kind kind, const DocumentQuestion *question, const QString &detail,
                         const QString &what) {
        Warning warning{kind, 0, 0, {}, detail, what};
        if (question) {
            warning.line = question->line + 1;
            warning.question = question->number;
            warning.text = placeText(lines.lineText(question->line));
        }
        result.warnings.append(warning);
    };

    // The key: how often each field is right, and runs of one field.
    int keyed = 0;
    for (const DocumentQuestion &question : questions) {
        if (question.field > 0) {
            ++result.rightFields[size_t(question.field - 1)];
            ++keyed;
        }
    }
    if (keyed >= WarningLimits::KeyShareMinQuestions) {
        for (int field = 1; field <= 4; ++field) {
            const int count = result.rightFields[size_t(field - 1)];
            if (count * 100 <= keyed * WarningLimits::KeySharePercent)
                continue;
            QStringList shares;
            for (int f = 1; f <= 4; ++f)
                shares << QStringLiteral("%1 — %2 %").arg(f).arg(percent(result.rightFields[size_t(f - 1)], keyed));
            add(Warning::Kind::KeyShare, nullptr, QStringLiteral("%1:%2").arg(field).arg(percent(count, keyed)),
                QStringLiteral("правильный ответ %1 в %2 вопросах из %3 (%4 %): ученики заметят, какой номер "
                               "верен чаще. Доли правильных полей: %5")
                    .arg(field).arg(count).arg(keyed).arg(percent(count, keyed)).arg(shares.join(QStringLiteral(", "))));
        }
    }
    for (qsizetype i = 0; i < questions.size();) {
        qsizetype j = i + 1;
        while (j < questions.size() && questions.at(i).field > 0 && questions.at(j).field == questions.at(i).field)
            ++j;
        const int run = int(j - i);
        if (run >= WarningLimits::KeyRun) {
            const DocumentQuestion &first = questions.at(i);
            add(Warning::Kind::KeyRun, &first, QStringLiteral("%1:%2").arg(first.field).arg(run),
                QStringLiteral("правильный ответ %1 повторяется %2 раз подряд (вопросы %3–%4)")
                    .arg(first.field).arg(run).arg(first.number).arg(questions.at(j - 1).number));
        }
        i = j;
    }

    QHash<QString, int> seen; // body text -> the first question that has it
    for (const DocumentQuestion &question : questions) {
        // The same text and another embedded picture is another question.
        const QString text = comparable(question.body);
        if (!text.isEmpty() && !question.hasObjects) {
            const auto earlier = seen.constFind(text);
            if (earlier != seen.cend()) {
                add(Warning::Kind::SameText, &question, QString::number(*earlier),
                    QStringLiteral("текст вопроса совпадает с вопросом %1").arg(*earlier));
            } else {
                seen.insert(text, question.number);
            }
        }

        if (!question.body.isEmpty()) {
            const qsizetype found = numberedAnswers(question.body).answers.size();
            if (found < 4) {
                QStringList missing;
                for (qsizetype n = found + 1; n <= 4; ++n)
                    missing << QString::number(n);
                add(Warning::Kind::NoNumberedAnswers, &question, missing.join(u','),
                    QStringLiteral("не найдены нумерованные ответы %1").arg(missing.join(QStringLiteral(", "))));
            }
        }

        if (!question.picture.isEmpty()) {
            const Expected<QString> file = findPicture(folder, question.picture);
            if (!file)
                continue; // a fault the check reports
            const qint64 bytes = QFileInfo(*file).size();
            const QSize size = QImageReader(*file).size();
            const qint64 pixels = size.isValid() ? qint64(size.width()) * size.height() : 0;
            if (bytes > WarningLimits::PictureBytes) {
                add(Warning::Kind::LargePicture, &question, question.picture,
                    QStringLiteral("файл рисунка «%1» занимает %2 МБ (больше %3 МБ): тест будет открываться долго")
                        .arg(question.picture)
                        .arg(roundHalfEven(bytes, 1024 * 1024))
                        .arg(WarningLimits::PictureBytes / (1024 * 1024)));
            } else if (pixels > WarningLimits::PicturePixels) {
                add(Warning::Kind::LargePicture, &question, question.picture,
                    QStringLiteral("рисунок «%1» размером %2 × %3 точек (больше %4 мегапикселей): уменьшите его")
                        .arg(question.picture)
                        .arg(size.width())
                        .arg(size.height())
                        .arg(WarningLimits::PicturePixels / 1'000'000));
            }
        }
    }
    std::stable_sort(result.warnings.begin(), result.warnings.end(),
                     [](const Warning &a, const Warning &b) { return a.line < b.line; });
    return result;
}
