#include "results/TopicConfig.h"

#include <algorithm>

namespace TopicConfig {

LineList defaults(int questionTotal)
{
    return {"1", "1", "1", QByteArray::number(questionTotal)};
}

Expected<int> number(const LineList &config, Line line)
{
    if (line >= config.size())
        return Error{QStringLiteral("в файле нет строки %1").arg(int(line) + 1)};
    const QByteArray &text = config.at(line);
    const bool digits = !text.isEmpty() && text.size() <= 9
                        && std::all_of(text.cbegin(), text.cend(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits)
        return Error{QStringLiteral("строка %1 («%2») не является числом")
                         .arg(int(line) + 1)
                         .arg(QString::fromLatin1(text.left(40)))};
    return text.toInt();
}

Expected<LineList> load(const QString &path)
{
    Expected<LineList> lines = LineLists::read(path);
    if (!lines)
        return Error{lines.error()};
    if (lines->size() < 4)
        return Error{QStringLiteral("Файл настроек %1 повреждён: в нём %2 строк вместо четырёх.")
                         .arg(path)
                         .arg(lines->size())};
    for (Line line : {QuestionCount, QuestionTotal}) {
        const Expected<int> n = number(*lines, line);
        if (!n)
            return Error{QStringLiteral("Файл настроек %1 повреждён: %2.").arg(path, n.error())};
    }
    return lines;
}

} // namespace TopicConfig
