#include "library/TopicConfig.h"

#include "library/Decimal.h"

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
    const std::optional<int> value = text.size() <= 9 ? parseDecimal(text) : std::nullopt;
    if (!value)
        return Error{QStringLiteral("строка %1 («%2») не является числом")
                         .arg(int(line) + 1)
                         .arg(QString::fromLatin1(text.left(40)))};
    return *value;
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
