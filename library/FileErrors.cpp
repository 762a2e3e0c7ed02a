#include "library/FileErrors.h"

#include <QFileDevice>

namespace FileErrors {

namespace {

struct Reason
{
    const char *system;   // as the system says it in English, lower case
    const char16_t *russian;
};

// The texts of POSIX (strerror, and Qt's own for the most common errors)
// and of Windows (FormatMessage), without their final full stop.
constexpr Reason kReasons[] = {
    {"no such file or directory", u"файл или папка не найдены"},
    {"the system cannot find the file specified", u"файл не найден"},
    {"the system cannot find the path specified", u"папка не найдена"},
    {"permission denied", u"доступ запрещён"},
    {"operation not permitted", u"доступ запрещён"},
    {"access is denied", u"доступ запрещён"},
    {"no space left on device", u"на диске нет свободного места"},
    {"there is not enough space on the disk", u"на диске нет свободного места"},
    {"disk quota exceeded", u"превышена дисковая квота"},
    {"file too large", u"файл слишком велик"},
    {"not a directory", u"часть пути не является папкой"},
    {"the directory name is invalid", u"часть пути не является папкой"},
    {"is a directory", u"это папка, а не файл"},
    {"read-only file system", u"диск доступен только для чтения"},
    {"the media is write protected", u"диск защищён от записи"},
    {"input/output error", u"ошибка ввода-вывода"},
    {"too many open files", u"открыто слишком много файлов"},
    {"file name too long", u"слишком длинное имя файла"},
    {"the filename, directory name, or volume label syntax is incorrect", u"недопустимое имя файла"},
};

} // namespace

QString reason(const QString &systemText)
{
    QString key = systemText.trimmed().toLower();
    while (key.endsWith(u'.'))
        key.chop(1);
    for (const Reason &known : kReasons)
        if (key == QLatin1String(known.system))
            return QString::fromUtf16(known.russian);
    return systemText;
}

QString reason(const QFileDevice &file)
{
    return reason(file.errorString());
}

} // namespace FileErrors
