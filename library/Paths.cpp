#include "library/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace Paths {

QString programFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString shareFolder(const QString &programFolder)
{
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("../share/nastavnik"));
    return QFileInfo(installed).isDir() ? installed + u'/' : programFolder;
}

QString resolve(const QString &base, const QString &relative)
{
    QString path = base;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    const QStringList parts = QString(relative).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    bool exists = QFileInfo::exists(path);
    for (const QString &part : parts) {
        QString next = path + u'/' + part;
        if (exists && !QFileInfo::exists(next)) {
            const QStringList entries = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                             | QDir::NoDotAndDotDot);
            for (const QString &entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    next = path + u'/' + entry;
                    break;
                }
            }
        }
        exists = exists && QFileInfo::exists(next);
        path = next;
    }
    return path;
}

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity FileNameCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity FileNameCase = Qt::CaseSensitive;
#endif

// True when a relative name cannot leave its folder by its spelling alone.
bool staysInside(const QString &relative)
{
    if (relative.isEmpty() || relative.startsWith(u'/') || relative.startsWith(u'\\'))
        return false;
    if (relative.size() >= 2 && relative.at(1) == u':' && relative.at(0).isLetter())
        return false;
    const QStringList parts = QString(relative).replace(u'\\', u'/').split(u'/');
    for (QString part : parts) {
        // Windows drops trailing spaces: ".. " climbs there too.
        while (!part.isEmpty() && part.back().unicode() <= 32)
            part.chop(1);
        while (!part.isEmpty() && part.front().unicode() <= 32)
            part.remove(0, 1);
        if (part == QStringLiteral(".."))
            return false;
    }
    return true;
}

} // namespace

QString fileInside(const QString &folder, const QString &relative)
{
    if (!staysInside(relative))
        return {};
    const QFileInfo file(resolve(folder, relative));
    if (!file.isFile())
        return {};
    QString root = QFileInfo(folder).canonicalFilePath();
    const QString target = file.canonicalFilePath();
    if (root.isEmpty() || target.isEmpty())
        return {};
    if (!root.endsWith(u'/'))
        root += u'/';
    // Links are followed: where the file really is decides, not its name.
    if (!target.startsWith(root, FileNameCase))
        return {};
    return target;
}

QString dataFolder(const QString &library)
{
    return resolve(library, QStringLiteral("Data"));
}

QString subjectIndex(const QString &library)
{
    return resolve(library, QStringLiteral("Data/Index.dat"));
}

QString subjectFolder(const QString &library, const QString &number)
{
    return resolve(library, QStringLiteral("Data/") + number);
}

QString topicIndex(const QString &subjectFolder)
{
    return resolve(subjectFolder, QStringLiteral("Index.dat"));
}

QString topicFolder(const QString &subjectFolder, const QString &number)
{
    return resolve(subjectFolder, number);
}

QString baseFile(const QString &topicFolder)
{
    return resolve(topicFolder, QStringLiteral("Baza.dat"));
}

QString tagIndexFile(const QString &topicFolder)
{
    return resolve(topicFolder, QStringLiteral("Baza.ini"));
}

QString configFile(const QString &topicFolder)
{
    return resolve(topicFolder, QStringLiteral("Config.dat"));
}

QString soundConfig(const QString &library)
{
    return resolve(library, QStringLiteral("Sound/Sound.cfg"));
}

QString cueFile(const QString &library, const QString &cue)
{
    return resolve(library, QStringLiteral("Sound/") + cue + QStringLiteral(".wav"));
}

QString resultsFile(const QString &library)
{
    return resolve(library, QStringLiteral("Images/normal.cfg"));
}

QString journalFile(const QString &library)
{
    return resolve(library, QStringLiteral("Images/journal.sqlite"));
}

QString journalSettings(const QString &library)
{
    return resolve(library, QStringLiteral("journal.cfg"));
}

QString helpFile(const QString &shareFolder)
{
    return resolve(shareFolder, QStringLiteral("Help.chm"));
}

QString folderOf(const QString &filePath)
{
    const qsizetype slash = filePath.lastIndexOf(u'/');
    return slash < 0 ? QString() : filePath.left(slash);
}

} // namespace Paths
