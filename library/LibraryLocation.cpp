#include "library/LibraryLocation.h"

#include "library/Cp1251.h"
#include "library/FileErrors.h"
#include "library/Paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

namespace LibraryLocation {

namespace {

// A settings file is a few lines; anything much larger is not one.
constexpr qint64 MaxSettingsSize = 64 * 1024;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

QString withSlash(const QString &folder)
{
    QString path = QDir::cleanPath(folder);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

QString quoted(const QString &text)
{
    return u'«' + text + u'»';
}

// A line of the settings file as a message quotes it: cut to 60 characters.
QString quotedLine(const QString &text)
{
    return quoted(text.size() > 60 ? text.left(60) + u'…' : text);
}

QString decodeSettings(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    // A file saved by a Windows editor in the Russian code page is not UTF-8.
    return utf8.hasError() ? Cp1251::decode(bytes) : text;
}

bool hasControlCharacters(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Format)
            return true;
    }
    return false;
}

// True when the library has no subjects yet: no subject index, or an empty
// one and nothing else in its Data folder.
bool hasNoSubjects(const QString &library)
{
    const QString data = Paths::resolve(library, QStringLiteral("Data"));
    const QFileInfo index(Paths::resolve(data, QStringLiteral("Index.dat")));
    if (!index.exists())
        return !index.isSymLink();
    if (!index.isFile() || index.size() != 0)
        return false;
    const QStringList entries =
        QDir(data).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return entries.size() == 1;
}

Status copyFile(const QString &from, const QString &to)
{
    QDir().mkpath(QFileInfo(to).path());
    QFile source(from);
    if (!source.copy(to))
        return Error{QStringLiteral("Файл %1 не скопирован в %2: %3")
                         .arg(native(from), native(to), FileErrors::reason(source))};
    // A template installed read-only must not make the user's copy read-only.
    QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    return {};
}

} // namespace

Settings parseSettings(const QByteArray &bytes, const QString &fileName)
{
    Settings settings;
    const QString file = native(fileName);
    if (bytes.size() > MaxSettingsSize) {
        settings.problems.append(
            QStringLiteral("Файл настроек %1 слишком велик (больше 64 КБ) и не прочитан.").arg(file));
        return settings;
    }
    const QString text = decodeSettings(bytes);
    const QStringList lines = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                  .replace(u'\r', u'\n')
                                  .split(u'\n');
    int libraryLine = 0;
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines.at(n).trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        const QString where = QStringLiteral("Файл настроек %1, строка %2: ").arg(file).arg(n + 1);
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            settings.problems.append(where + QStringLiteral("%1 не является настройкой вида имя=значение.")
                                                 .arg(quotedLine(line)));
            continue;
        }
        const QString name = line.left(equals).trimmed();
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        if (name.compare(QStringLiteral("baza"), Qt::CaseInsensitive) != 0) {
            settings.problems.append(where + QStringLiteral("неизвестная настройка %1.").arg(quotedLine(name)));
            continue;
        }
        if (libraryLine > 0) {
            settings.problems.append(
                where + QStringLiteral("папка библиотеки уже указана в строке %1; эта строка не учтена.")
                            .arg(libraryLine));
            continue;
        }
        if (value.isEmpty()) {
            settings.problems.append(where + QStringLiteral("не указана папка библиотеки."));
            continue;
        }
        if (hasControlCharacters(value)) {
            settings.problems.append(where + QStringLiteral("в пути к папке библиотеки есть управляющие символы."));
            continue;
        }
        const QString path = QDir::fromNativeSeparators(value);
        if (QDir::isRelativePath(path)) {
            settings.problems.append(
                where + QStringLiteral("путь к папке библиотеки %1 должен быть полным.").arg(quotedLine(value)));
            continue;
        }
        libraryLine = n + 1;
        settings.library = QDir::cleanPath(path);
    }
    return settings;
}

Settings readSettings(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason = info.isDir() ? QStringLiteral("это папка") : FileErrors::reason(file);
        return {{}, {QStringLiteral("Файл настроек %1 не прочитан: %2").arg(native(path), reason)}};
    }
    return parseSettings(file.read(MaxSettingsSize + 1), path);
}

Places systemPlaces()
{
    Places places;
    places.environment = qEnvironmentVariable("NASTAVNIK_BAZA");
    places.programFolder = Paths::programFolder();
#ifdef Q_OS_WIN
    places.settingsFile = places.programFolder + QStringLiteral("nastavnik.conf");
#else
    places.settingsFile = QStringLiteral("/etc/nastavnik.conf");
#endif
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    places.userData = withSlash(data + QStringLiteral("/nastavnik"));
    const QString libraryTemplate = Paths::resolve(Paths::shareFolder(places.programFolder), QStringLiteral("Baza"));
    if (QFileInfo(libraryTemplate).isDir())
        places.libraryTemplate = libraryTemplate;
    return places;
}

bool canWrite(const QString &library)
{
    const QFileInfo folder(library);
    const QFileInfo data(Paths::resolve(library, QStringLiteral("Data")));
    return folder.isDir() && folder.isWritable() && (!data.exists() || data.isWritable());
}

Status fillFromTemplate(const QString &libraryTemplate, const QString &library)
{
    if (!QDir().mkpath(library) || !QFileInfo(library).isDir())
        return Error{QStringLiteral("Не удалось создать папку %1.").arg(native(library))};
    if (!libraryTemplate.isEmpty() && QFileInfo(libraryTemplate).isDir()) {
        const bool addSubjects = hasNoSubjects(library);
        const QString root = withSlash(libraryTemplate);
        QString subjectIndex;
        QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString relative = from.mid(root.size());
            const bool subjects = relative.startsWith(QStringLiteral("Data/"), Qt::CaseInsensitive);
            if (subjects && !addSubjects)
                continue;
            // The subject index goes last: a copy cut short leaves no index,
            // and the next start completes it.
            if (relative.compare(QStringLiteral("Data/Index.dat"), Qt::CaseInsensitive) == 0) {
                subjectIndex = from;
                continue;
            }
            const QString to = Paths::resolve(library, relative);
            if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
                continue;
            if (Status copied = copyFile(from, to); !copied)
                return copied;
        }
        if (!subjectIndex.isEmpty()) {
            // An empty index is no one's data: the template's takes its place.
            const QString to = Paths::subjectIndex(library);
            QFile::remove(to);
            if (Status copied = copyFile(subjectIndex, to); !copied)
                return copied;
        }
    }
    for (const QString &folder : {QStringLiteral("Data"), QStringLiteral("Sound"), QStringLiteral("Images")}) {
        const QString path = Paths::resolve(library, folder);
        if (!QDir().mkpath(path))
            return Error{QStringLiteral("Не удалось создать папку %1.").arg(native(path))};
    }
    return {};
}

Location locate(const Places &places, const std::function<bool(const QString &)> &writable)
{
    Location location;
    const QString ownLibrary = withSlash(places.userData + QStringLiteral("Baza"));
    bool namedFailed = false;

    const auto chosen = [&](const QString &folder, Origin origin, bool canBeWritten) {
        location.library = withSlash(folder);
        location.origin = origin;
        location.writable = canBeWritten;
        location.resultsLibrary = location.library;
        if (namedFailed)
            location.notices.append(
                QStringLiteral("Используется библиотека %1.").arg(quoted(native(location.library))));
        if (canBeWritten || location.library == ownLibrary)
            return location;
        location.resultsLibrary = ownLibrary;
        const QString results = Paths::resolve(ownLibrary, QStringLiteral("Images"));
        QDir().mkpath(results);
        location.notices.append(
            QStringLiteral("Библиотека тестов %1 открыта только для чтения: тесты проходить можно, "
                           "но сохранить в ней результаты, изменить предметы и темы нельзя.\n"
                           "Таблица результатов и журнал сохраняются в папке %2.")
                .arg(quoted(native(location.library)), quoted(native(results))));
        return location;
    };

    QString named;
    QString namedBy;
    Origin namedOrigin = Origin::Environment;
    if (!places.environment.isEmpty()) {
        named = QFileInfo(QDir::fromNativeSeparators(places.environment)).absoluteFilePath();
        namedBy = QStringLiteral("переменной окружения NASTAVNIK_BAZA");
    } else {
        const Settings settings = readSettings(places.settingsFile);
        location.notices.append(settings.problems);
        named = settings.library;
        namedBy = QStringLiteral("файле настроек ") + native(places.settingsFile);
        namedOrigin = Origin::SettingsFile;
    }
    if (!named.isEmpty()) {
        const QFileInfo info(named);
        if (info.exists() && !info.isDir()) {
            location.notices.append(QStringLiteral("Папка библиотеки %1, указанная в %2, не является папкой.")
                                        .arg(quoted(native(named)), namedBy));
            namedFailed = true;
        } else if (!info.exists()) {
            // A new library named by the administrator starts as the template.
            if (Status made = fillFromTemplate(places.libraryTemplate, named); !made) {
                location.notices.append(
                    QStringLiteral("Папка библиотеки %1, указанная в %2, не найдена и не может быть создана.\n%3")
                        .arg(quoted(native(named)), namedBy, made.error()));
                namedFailed = true;
            }
        }
        if (!namedFailed)
            return chosen(named, namedOrigin, writable(named));
    }

    const QString beside = Paths::resolve(places.programFolder, QStringLiteral("Baza"));
    if (QFileInfo(beside).isDir() && writable(beside))
        return chosen(beside, Origin::BesideProgram, true);

    if (Status made = fillFromTemplate(places.libraryTemplate, ownLibrary); !made)
        location.notices.append(made.error());
    return chosen(ownLibrary, Origin::UserData, writable(ownLibrary));
}

} // namespace LibraryLocation
