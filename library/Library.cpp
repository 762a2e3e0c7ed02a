#include "library/Library.h"

#include "library/Paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace Library {

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Every entry under a folder, as paths relative to it; links are listed but
// not followed.
QStringList entriesUnder(const QString &folder)
{
    QStringList entries;
    const QDir base(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(base.relativeFilePath(it.next()));
    return entries;
}

// A name taken on disk: a file, a folder, or a link, even one leading nowhere.
bool nameTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

Status openSubjectIndex(const QString &library, IndexFile &index)
{
    const QString path = Paths::subjectIndex(library);
    const Status loaded = index.load(path);
    if (loaded)
        return {};
    for (const QString &found : {Paths::resolve(library, {}), Paths::dataFolder(library)}) {
        const QFileInfo folder(found);
        if (!folder.exists())
            return Error{QStringLiteral("Не найдена папка библиотеки %1.").arg(native(folder.filePath()))};
        if (!folder.isDir())
            return Error{QStringLiteral("%1 не является папкой.").arg(native(folder.filePath()))};
    }
    const QFileInfo file(path);
    if (file.isSymLink() && !file.exists())
        return Error{QStringLiteral("Список предметов %1 — ссылка, которая никуда не ведёт.").arg(native(path))};
    if (!file.exists())
        return Error{QStringLiteral("Не найден список предметов %1.").arg(native(path))};
    if (file.isDir())
        return Error{QStringLiteral("Список предметов %1 является папкой, а не файлом.").arg(native(path))};
    return loaded;
}

Expected<int> newFolderNumber(const IndexFile &index, const QString &parentFolder)
{
    QList<int> used;
    used.reserve(index.count());
    for (int i = 0; i < index.count(); ++i) {
        Expected<int> number = index.folderNumber(i);
        if (!number)
            return Error{number.error()};
        used.append(*number);
    }
    for (int n = 1;; ++n) {
        if (!used.contains(n) && !nameTaken(Paths::resolve(parentFolder, QString::number(n))))
            return n;
    }
}

Status makeNewFolder(const QString &folder)
{
    if (nameTaken(folder))
        return Error{QStringLiteral("Папка %1 уже существует.").arg(native(folder))};
    const QString parent = Paths::folderOf(folder);
    if (!parent.isEmpty() && !QFileInfo(parent).isDir() && !QDir().mkpath(parent))
        return Error{QStringLiteral("Не удается создать папку %1.").arg(native(parent))};
    // mkdir, unlike mkpath, fails on a folder that appeared meanwhile.
    if (!QDir().mkdir(folder))
        return Error{QStringLiteral("Не удается создать папку %1.").arg(native(folder))};
    return {};
}

FolderSnapshot FolderSnapshot::take(const QString &folder)
{
    FolderSnapshot snapshot;
    snapshot.m_folder = folder;
    const QFileInfo info(folder);
    snapshot.m_existed = nameTaken(folder);
    if (info.isDir() && !info.isSymLink())
        snapshot.m_entries = entriesUnder(folder);
    return snapshot;
}

Status FolderSnapshot::rollBack() const
{
    const QFileInfo info(m_folder);
    if (!info.isDir() || info.isSymLink())
        return {};
    QStringList added;
    for (const QString &entry : entriesUnder(m_folder)) {
        if (!m_entries.contains(entry))
            added.append(entry);
    }
    // Deepest first, so that a folder the command made is empty when its
    // turn comes.
    std::stable_sort(added.begin(), added.end(),
                     [](const QString &a, const QString &b) { return a.count(u'/') > b.count(u'/'); });
    Status result;
    const QDir base(m_folder);
    for (const QString &entry : std::as_const(added)) {
        const QString path = base.filePath(entry);
        const QFileInfo item(path);
        const bool removed = item.isDir() && !item.isSymLink() ? QDir().rmdir(path) : QFile::remove(path);
        if (!removed && result)
            result = Error{QStringLiteral("Не удается удалить %1.").arg(native(path))};
    }
    // The folder goes only when the command made it and nothing else has
    // been put into it since.
    if (!m_existed)
        QDir().rmdir(m_folder);
    return result;
}

QStringList removeSaveLeftovers(const QString &library)
{
    // A save writes "<name>.XXXXXX" beside the file and renames it over the
    // file when complete; the six characters are letters and digits. A
    // suffix of letters in one case reads as a word ("Index.dat.backup",
    // "Config.dat.BACKUP"): more likely a teacher's own copy than a leftover,
    // so it is kept.
    static const QRegularExpression leftover(
        QStringLiteral("^(?i:index\\.dat|baza\\.dat|baza\\.ini|config\\.dat|normal\\.cfg|sound\\.cfg)\\."
                       "(?![a-z]{6}$)(?![A-Z]{6}$)[A-Za-z0-9]{6}$"));
    const QDir::Filters folders = QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks;
    const QString data = Paths::dataFolder(library);
    QStringList scanned{data, Paths::resolve(library, QStringLiteral("Images")),
                        Paths::resolve(library, QStringLiteral("Sound"))};
    for (const QString &subject : QDir(data).entryList(folders)) {
        const QString subjectFolder = data + u'/' + subject;
        scanned.append(subjectFolder);
        for (const QString &topic : QDir(subjectFolder).entryList(folders))
            scanned.append(subjectFolder + u'/' + topic);
    }
    QStringList removed;
    for (const QString &folder : std::as_const(scanned)) {
        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QFileInfo &file : files) {
            if (!file.isSymLink() && leftover.match(file.fileName()).hasMatch() && QFile::remove(file.filePath()))
                removed.append(file.filePath());
        }
    }
    return removed;
}

Status addEntry(IndexFile &index, const QString &indexPath, const QByteArray &name, int number,
                const QString &folder, const std::function<Status(const QString &folder)> &fill)
{
    const FolderSnapshot snapshot = FolderSnapshot::take(folder);
    const LineList before = index.lines();
    index.append(IndexFile::makeLine(name, number));
    if (Status saved = index.save(indexPath); !saved) {
        index.setLines(before);
        return saved;
    }
    const Status made = makeNewFolder(folder);
    const Status filled = made ? fill(folder) : made;
    if (filled)
        return {};
    // The index must not list an entry whose folder could not be made
    // whole: take back what this command wrote, and nothing else.
    if (made)
        (void)snapshot.rollBack();
    index.setLines(before);
    const Status restored = index.save(indexPath);
    return restored ? filled : Error{filled.error() + u'\n' + restored.error()};
}

Status renameEntry(IndexFile &index, const QString &indexPath, int row, const QByteArray &name)
{
    if (row < 0 || row >= index.count())
        return {};
    const QByteArray old = index.lines().at(row);
    index.replace(row, name + '=' + old.mid(old.indexOf('=') + 1));
    Status saved = index.save(indexPath);
    if (!saved)
        index.replace(row, old);
    return saved;
}

Status removeEntry(IndexFile &index, const QString &indexPath, int row)
{
    const LineList before = index.lines();
    index.remove(row);
    Status saved = index.save(indexPath);
    if (!saved)
        index.setLines(before);
    return saved;
}

Status removeSubjectFolder(const QString &subjectFolder)
{
    const QString topicIndex = Paths::topicIndex(subjectFolder);
    const QString indexName = QFileInfo(topicIndex).fileName();
    QStringList others;
    for (const QString &entry : QDir(subjectFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                                 | QDir::NoDotAndDotDot)) {
        if (entry != indexName)
            others.append(entry);
    }
    if (!others.isEmpty()) {
        return Error{QStringLiteral("Предмет не удален: в папке %1 есть посторонние файлы или папки (%2).")
                         .arg(QDir::toNativeSeparators(subjectFolder), others.join(QStringLiteral(", ")))};
    }
    if (QFileInfo::exists(topicIndex) && !QFile::remove(topicIndex)) {
        return Error{QStringLiteral("Предмет не удален: не удается удалить файл %1.")
                         .arg(QDir::toNativeSeparators(topicIndex))};
    }
    if (QFileInfo::exists(subjectFolder) && !QDir().rmdir(subjectFolder)) {
        return Error{QStringLiteral("Предмет не удален: не удается удалить папку %1.")
                         .arg(QDir::toNativeSeparators(subjectFolder))};
    }
    return {};
}

} // namespace Library
