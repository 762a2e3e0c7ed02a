#include "library/LineList.h"

#include "library/FileErrors.h"

#include <QFile>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

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
        return Error{QStringLiteral("Не удается открыть файл %1: %2").arg(path, FileErrors::reason(file))};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Error{QStringLiteral("Ошибка чтения файла %1: %2").arg(path, FileErrors::reason(file))};
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
    // Unbuffered: the bytes go to the system at once, so that a write it
    // refuses fails here, with the system's reason. Through Qt's buffer
    // they would go out only inside commit(), which (Qt 6.4) then puts the
    // temporary file in place of the real one all the same: on a full disk
    // that empties the file and reports success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Error{QStringLiteral("Не удается записать файл %1: %2").arg(path, FileErrors::reason(file))};
    const auto failed = [&] {
        return Error{QStringLiteral("Ошибка записи файла %1: %2").arg(path, FileErrors::reason(file))};
    };
    // A write the system takes only in part is followed by one for the
    // rest, which fails with the reason (disk full, file too large). Any
    // failure keeps the old file: the QSaveFile removes its temporary file.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return failed();
        done += written;
    }
    if (!file.flush())
        return failed();
#ifdef Q_OS_UNIX
    // Some file systems find out only now that the data has no room.
    if (::fsync(file.handle()) != 0 && errno != EINVAL) {
        const int error = errno;
        return Error{QStringLiteral("Ошибка записи файла %1: %2").arg(path, FileErrors::reason(qt_error_string(error)))};
    }
#endif
    if (!file.commit())
        return failed();
    return {};
}

Status write(const QString &path, const LineList &lines)
{
    return writeBytes(path, join(lines));
}

} // namespace LineLists
