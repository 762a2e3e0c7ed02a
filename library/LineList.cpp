#include "library/LineList.h"

#include <QFile>
#include <QSaveFile>

namespace LineLists {

LineList split(const QByteArray &bytes)
{
    LineList lines;
    qsizetype end = bytes.indexOf('\0');
    if (end < 0)
        end = bytes.size();
    const char *data = bytes.constData();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < end) {
        const char c = data[i];
        if (c == '\r' || c == '\n') {
            lines.append(QByteArray(data + start, i - start));
            if (c == '\r' && i + 1 < end && data[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < end)
        lines.append(QByteArray(data + start, end - start));
    return lines;
}

QByteArray join(const LineList &lines)
{
    qsizetype size = 0;
    for (const QByteArray &line : lines)
        size += line.size() + 2;
    QByteArray bytes;
    bytes.reserve(size);
    for (const QByteArray &line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

Expected<QByteArray> readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("Не удается открыть файл %1: %2").arg(path, file.errorString())};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Error{QStringLiteral("Ошибка чтения файла %1: %2").arg(path, file.errorString())};
    return bytes;
}

Expected<LineList> read(const QString &path)
{
    Expected<QByteArray> bytes = readBytes(path);
    if (!bytes)
        return Error{bytes.error()};
    return split(*bytes);
}

Status writeBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error{QStringLiteral("Не удается записать файл %1: %2").arg(path, file.errorString())};
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Error{QStringLiteral("Ошибка записи файла %1: %2").arg(path, file.errorString())};
    return {};
}

Status write(const QString &path, const LineList &lines)
{
    return writeBytes(path, join(lines));
}

} // namespace LineLists
