#include "results/ResultsFile.h"

#include "library/Codec.h"
#include "library/Cp1251.h"
#include "library/Paths.h"
#include "results/Grading.h"
#include "results/TimeLimit.h"

#include <QDir>
#include <QFileInfo>

namespace ResultsFile {

Expected<LineList> load(const QString &path)
{
    LineList lines;
    if (QFileInfo::exists(path)) {
        Expected<LineList> read = LineLists::read(path);
        if (!read)
            return Error{read.error()};
        lines = std::move(*read);
        Codec::codeLines(lines);
    }
    while (lines.size() < LineCount)
        lines.append(QByteArray());
    return lines;
}

Status save(const QString &path, const LineList &lines)
{
    const QString folder = Paths::folderOf(path);
    if (!folder.isEmpty() && !QDir().mkpath(folder))
        return Error{QStringLiteral("Не удается создать папку %1").arg(folder)};
    LineList coded = lines;
    Codec::codeLines(coded);
    return LineLists::write(path, coded);
}

void append(LineList &lines, const Record &record)
{
    Q_ASSERT(lines.size() >= LineCount);
    for (int row = 1; row < RecordCount; ++row)
        for (int column = 1; column <= FieldCount; ++column)
            lines[lineIndex(row, column)] = lines.at(lineIndex(row + 1, column));
    for (int field = 0; field < FieldCount; ++field)
        if (record[field])
            lines[lineIndex(RecordCount, field + 1)] = *record[field];
}

QByteArray fieldBytes(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString piece = text.mid(i, len);
        i += len - 1;
        if (piece == u"\r" || piece == u"\n" || piece == QChar(0)) {
            bytes += ' ';
            continue;
        }
        const Expected<QByteArray> encoded = Cp1251::encode(piece);
        bytes += encoded ? *encoded : QByteArray("?");
    }
    return bytes;
}

Record makeRecord(const Outcome &outcome)
{
    Record record;
    record[Surname] = fieldBytes(outcome.surname);
    record[Time] = fieldBytes(outcome.time.toString(QStringLiteral("hh:mm")));
    record[Topic] = fieldBytes(outcome.topic);
    record[Questions] = QByteArray::number(outcome.asked);
    if (const std::optional<TimeLimit> limit = TimeLimit::parse(outcome.timeCode))
        record[Timer] = fieldBytes(limit->tableText());
    if (const std::optional<QString> result = Grading::tableText(outcome.resultKind, outcome.correct, outcome.asked))
        record[Result] = fieldBytes(*result);
    return record;
}

} // namespace ResultsFile
