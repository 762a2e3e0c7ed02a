#include "authoring/TopicFiles.h"

#include "authoring/CompileCheck.h"
#include "authoring/SourceDocument.h"
#include "library/Codec.h"
#include "library/FileErrors.h"
#include "library/Paths.h"
#include "library/TagLine.h"
#include "library/TopicConfig.h"
#include "richtext/LineModel.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace TopicFiles {

namespace {

QString normalised(const QString &name)
{
    return QString(name).replace(u'\\', u'/');
}

Error cannot(const QString &what, const QString &path, const QString &why)
{
    return Error{QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), why)};
}

} // namespace

QStringList pictureNames(const LineModel &lines)
{
    const QString opening = TagLine::pictureOpening();
    QStringList names;
    for (int hit = lines.find(opening, 0); hit >= 0; hit = lines.find(opening, hit + int(opening.size())))
        names.append(TagLine::pictureName(lines.lineText(lines.lineAt(hit + int(opening.size()) - 1))));
    return names;
}

Status copyKeepingDate(const QString &from, const QString &to)
{
    const QFileInfo source(from);
    if (!source.isFile())
        return cannot(QStringLiteral("Не найден файл"), from, QStringLiteral("нет такого файла"));
    // A file copied onto itself (a bank exported into its own topic's
    // folder, say) is already there: replacing it would remove it first.
    if (QFileInfo::exists(to) && source.canonicalFilePath() == QFileInfo(to).canonicalFilePath())
        return {};
    const QString folder = QFileInfo(to).absolutePath();
    if (!QDir().mkpath(folder))
        return cannot(QStringLiteral("Не удается создать папку"), folder, QStringLiteral("отказано"));
    if (QFileInfo(to).isDir())
        return cannot(QStringLiteral("Не удается заменить"), to, QStringLiteral("это папка"));
    if (QFileInfo::exists(to) && !QFile::remove(to))
        return cannot(QStringLiteral("Не удается заменить файл"), to, QStringLiteral("отказано"));
    QFile in(from);
    if (!in.copy(to))
        return cannot(QStringLiteral("Не удается скопировать файл"), from, FileErrors::reason(in));
    QFile out(to);
    if (!out.open(QIODevice::ReadWrite)
        || !out.setFileTime(source.lastModified(), QFileDevice::FileModificationTime))
        return cannot(QStringLiteral("Не удается установить дату файла"), to, FileErrors::reason(out));
    return {};
}

PictureCopy copyPictures(const QString &fromFolder, const QString &toFolder, const QStringList &pictureNames)
{
    PictureCopy result;
    QString root = QFileInfo(toFolder).canonicalFilePath();
    if (!root.endsWith(u'/'))
        root += u'/';
    for (const QString &name : pictureNames) {
        const Expected<QString> source = findPicture(fromFolder, name);
        if (!source) {
            result.missing.append(name);
            continue;
        }
        const QString target = toFolder + u'/' + normalised(name);
        const QString folder = QFileInfo(target).absolutePath();
        if (!QDir().mkpath(folder)) {
            result.status = cannot(QStringLiteral("Не удается создать папку"), folder, QStringLiteral("отказано"));
            return result;
        }
        const QString real = QFileInfo(folder).canonicalFilePath() + u'/';
#ifdef Q_OS_WIN
        const bool inside = real.startsWith(root, Qt::CaseInsensitive);
#else
        const bool inside = real.startsWith(root);
#endif
        if (!inside) {
            result.status = cannot(QStringLiteral("Не удается записать рисунок"), target,
                                   QStringLiteral("его папка ведет за пределы папки ") + QDir::toNativeSeparators(toFolder));
            return result;
        }
        if (Status copied = copyKeepingDate(*source, target); !copied) {
            result.status = copied;
            return result;
        }
        result.copied.append(target);
    }
    return result;
}

Status writeTopicFiles(const QString &topicFolder, const LineList &sourceLines, const QString &pictureFolder,
                       const QStringList &pictureNames, const LineList &tagIndex, int testCount)
{
    LineList coded = sourceLines;
    Codec::codeLines(coded);
    if (Status written = LineLists::write(Paths::baseFile(topicFolder), coded); !written)
        return written;
    const PictureCopy pictures = copyPictures(pictureFolder, topicFolder, pictureNames);
    if (!pictures.status)
        return pictures.status;
    if (!pictures.missing.isEmpty())
        return Error{QStringLiteral("Рисунок «%1» не найден.")
                         .arg(QDir::toNativeSeparators(picturePathAsWritten(pictureFolder, pictures.missing.constFirst())))};
    if (Status written = LineLists::write(Paths::tagIndexFile(topicFolder), tagIndex); !written)
        return written;
    return LineLists::write(Paths::configFile(topicFolder), TopicConfig::defaults(testCount));
}

Status writeTopicFiles(const QString &topicFolder, const QString &sourcePath, const QStringList &pictureNames,
                       const LineList &tagIndex, int testCount)
{
    const Expected<LineList> source = SourceDocument::read(sourcePath);
    if (!source)
        return Error{source.error()};
    return writeTopicFiles(topicFolder, *source, QFileInfo(sourcePath).absolutePath(), pictureNames, tagIndex,
                           testCount);
}

Expected<QByteArray> restoreSource(const QString &basePath, const QString &destFolder)
{
    Expected<LineList> lines = LineLists::read(basePath);
    if (!lines)
        return Error{lines.error()};
    Codec::codeLines(*lines);
    const QByteArray bytes = LineLists::join(*lines);
    if (Status written = LineLists::writeBytes(destFolder + QStringLiteral("/test.rtf"), bytes); !written)
        return Error{written.error()};
    return bytes;
}

bool hasNoFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty();
}

Status removeTopicFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return {};
    if (!info.isDir() || info.isSymLink())
        return cannot(QStringLiteral("Не удается удалить папку темы"), folder, QStringLiteral("это не папка"));
    // Children first: a child's path is longer than its folder's.
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(it.next());
    std::stable_sort(entries.begin(), entries.end(),
                     [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &path : std::as_const(entries)) {
        const QFileInfo entry(path);
        if (entry.isDir() && !entry.isSymLink()) {
            if (!QDir().rmdir(path))
                return cannot(QStringLiteral("Не удается удалить папку"), path, QStringLiteral("отказано"));
        } else {
            QFile file(path);
            if (!file.remove())
                return cannot(QStringLiteral("Не удается удалить файл"), path, FileErrors::reason(file));
        }
    }
    if (!QDir().rmdir(folder))
        return cannot(QStringLiteral("Не удается удалить папку"), folder, QStringLiteral("отказано"));
    return {};
}

} // namespace TopicFiles
