// The library files: line lists, the codec, index files, paths, and the
// library tree as a whole (opening it, new folders, rollback, leftovers).
#include "library/Codec.h"
#include "library/Cp1251.h"
#include "library/IndexFile.h"
#include "library/Library.h"
#include "library/LineList.h"
#include "library/Paths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif
#include <tuple>

class TestLibrary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codecVectors();
    void codecRoundTrip();
    void splitLines_data();
    void splitLines();
    void joinEndsEveryLine();
    void indexReadingRule();
    void allocation_data();
    void allocation();
    void allocationRefusesBadNumber();
    void nameCutting_data();
    void nameCutting();
    void nameWithEqualsSign();
    void nameOutsideCodePage();
    void sortRussianIgnoringCase();
    void lookupIgnoresLetterCase();
    void interruptedSaveKeepsOldFile();
    void fullDiskKeepsOldFile();
    void failedWriteKeepsOldFile();
    void fileErrorsInRussian();
    void unreadableSubjectIndexSaysWhy();
    void newFolderNumberIsFreeOnDisk();
    void rollBackTakesOnlyWhatWasAdded();
    void addedEntryIsTakenBackWhole();
    void subjectFolderWithForeignFilesStays();
    void saveLeftoversAreRemoved();
};

namespace {

// Writes over a file whose old bytes must survive a failed write: the
// write reports the failure with the file's name, and the folder holds the
// old file and nothing else.
void checkFailedWriteKeepsOldFile(const QString &folder, const QString &reason)
{
    const QString path = folder + QStringLiteral("/Index.dat");
    const Expected<QByteArray> before = LineLists::readBytes(path);
    QVERIFY(before);
    const QStringList files = QDir(folder).entryList(QDir::Files);
    const Status written = LineLists::write(path, {"Физика=1", "Химия=2", QByteArray(6000, 'x')});
    QVERIFY(!written);
    QVERIFY2(written.error().contains(path) && written.error().contains(reason), qPrintable(written.error()));
    QCOMPARE(*LineLists::readBytes(path), *before);
    QCOMPARE(QDir(folder).entryList(QDir::Files), files);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readBack(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

void TestLibrary::codecVectors()
{
    QCOMPARE(Codec::codeLine("abc"), QByteArray("\x9E\x9D\x9C"));
    const QByteArray teKhaYa("\xF2\xF5\xFF");
    QCOMPARE(Codec::codeLine(teKhaYa), teKhaYa);
    QCOMPARE(Codec::codeLine(QByteArray()), QByteArray());
    // Coded lines never hold CR, LF or NUL, so they survive as a line list.
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all.append(char(b));
    const QByteArray coded = Codec::codeLine(all);
    QVERIFY(!coded.contains('\r') && !coded.contains('\n') && !coded.contains('\0'));
}

void TestLibrary::codecRoundTrip()
{
    QRandomGenerator rng(1251);
    LineList lines;
    for (int i = 0; i < 200; ++i) {
        QByteArray line;
        const int len = rng.bounded(0, 80);
        while (line.size() < len) {
            const char c = char(rng.bounded(1, 256));
            if (c != '\r' && c != '\n')
                line.append(c);
        }
        lines.append(line);
    }
    LineList coded = lines;
    Codec::codeLines(coded);
    LineList stored = LineLists::split(LineLists::join(coded));
    QCOMPARE(stored, coded);
    Codec::codeLines(stored);
    QCOMPARE(stored, lines);
}

void TestLibrary::splitLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<LineList>("lines");
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << LineList{"a", "b"};
    QTest::newRow("lone cr") << QByteArray("a\rb\r") << LineList{"a", "b"};
    QTest::newRow("lone lf") << QByteArray("a\nb\n") << LineList{"a", "b"};
    QTest::newRow("mixed") << QByteArray("a\r\n\rb\n\nc") << LineList{"a", "", "b", "", "c"};
    QTest::newRow("no final end") << QByteArray("a\r\nb") << LineList{"a", "b"};
    QTest::newRow("lf cr is two ends") << QByteArray("a\n\rb") << LineList{"a", "", "b"};
    QTest::newRow("nul stops") << QByteArray("a\r\nb\0c\r\nd", 10) << LineList{"a", "b"};
    QTest::newRow("empty") << QByteArray() << LineList{};
    QTest::newRow("one empty line") << QByteArray("\r\n") << LineList{""};
}

void TestLibrary::splitLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(LineList, lines);
    QCOMPARE(LineLists::split(bytes), lines);
}

void TestLibrary::joinEndsEveryLine()
{
    QCOMPARE(LineLists::join({"a", "", "b"}), QByteArray("a\r\n\r\nb\r\n"));
    QCOMPARE(LineLists::join({}), QByteArray());
}

void TestLibrary::indexReadingRule()
{
    IndexFile index;
    index.setLines({*Cp1251::encode(QStringLiteral("Физика=3")), "noequals", "a=b=c", "=7"});
    QCOMPARE(index.displayName(0), QStringLiteral("Физика"));
    QCOMPARE(*index.folderNumber(0), 3);
    QCOMPARE(index.displayName(1), QString());
    QCOMPARE(index.folderText(1), QStringLiteral("noequals"));
    QVERIFY(!index.folderNumber(1));
    QCOMPARE(index.displayName(2), QStringLiteral("a"));
    QCOMPARE(index.folderText(2), QStringLiteral("b=c"));
    QCOMPARE(index.displayName(3), QString());
    QCOMPARE(*index.folderNumber(3), 7);
}

void TestLibrary::allocation_data()
{
    QTest::addColumn<LineList>("lines");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty") << LineList{} << 1;
    QTest::newRow("1 3 4") << LineList{"a=1", "b=3", "c=4"} << 2;
    QTest::newRow("dense") << LineList{"a=2", "b=1", "c=3"} << 4;
    QTest::newRow("same names") << LineList{"a=1", "a=2"} << 3;
}

void TestLibrary::allocation()
{
    QFETCH(LineList, lines);
    QFETCH(int, expected);
    IndexFile index;
    index.setLines(lines);
    QCOMPARE(*index.allocateFolderNumber(), expected);
}

void TestLibrary::allocationRefusesBadNumber()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Index.dat"));
    QVERIFY(LineLists::write(path, {"a=1", "b=x2"}));
    IndexFile index;
    QVERIFY(index.load(path));
    const Expected<int> n = index.allocateFolderNumber();
    QVERIFY(!n);
    QVERIFY(n.error().contains(path));
    QVERIFY(n.error().contains(QStringLiteral("строка 2")));

    // A freed number is reused first.
    index.setLines({"a=1", "b=2", "c=3"});
    index.remove(1);
    QCOMPARE(*index.allocateFolderNumber(), 2);
}

void TestLibrary::nameCutting_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("stored");
    QTest::newRow("subject 20") << QStringLiteral("Математика и физика!") << 12 << QStringLiteral("Математика и");
    QTest::newRow("subject 12") << QStringLiteral("Астрономия 7") << 12 << QStringLiteral("Астрономия 7");
    QTest::newRow("topic 20") << QStringLiteral("Тригонометрия, часть") << 15 << QStringLiteral("Тригонометрия, ");
    QTest::newRow("topic 15") << QStringLiteral("Дроби и проценты").left(15) << 15 << QStringLiteral("Дроби и процент");
    QTest::newRow("spaces kept") << QStringLiteral("  Химия ") << 12 << QStringLiteral("  Химия ");
}

void TestLibrary::nameCutting()
{
    QFETCH(QString, typed);
    QFETCH(int, limit);
    QFETCH(QString, stored);
    const Expected<QByteArray> bytes = IndexFile::storedName(typed, limit);
    QVERIFY(bytes);
    QCOMPARE(bytes->size(), stored.size());
    QCOMPARE(Cp1251::decode(*bytes), stored);
}

void TestLibrary::nameWithEqualsSign()
{
    const Expected<QByteArray> name = IndexFile::storedName(QStringLiteral("a=b"), 12);
    QVERIFY(name);
    IndexFile index;
    index.append(IndexFile::makeLine(*name, 5));
    QCOMPARE(index.displayName(0), QStringLiteral("a-b"));
    QCOMPARE(*index.folderNumber(0), 5);
}

void TestLibrary::nameOutsideCodePage()
{
    const Expected<QByteArray> name = IndexFile::storedName(QStringLiteral("Математика ∑"), 15);
    QVERIFY(!name);
    QVERIFY(name.error().contains(QStringLiteral("∑")));
    QVERIFY(IndexFile::storedName(QStringLiteral("Ёжик «№1»"), 15));
    QVERIFY(!IndexFile::storedName(QStringLiteral("😀"), 15));
    // Only the characters that cannot be stored are named, each once, not
    // the good letters after the first bad one.
    QVERIFY(Cp1251::encode(QStringLiteral("АбΩвг")).error().contains(QStringLiteral("«Ω»")));
    QVERIFY(Cp1251::encode(QStringLiteral("Ω1∑ж∑😀я")).error().contains(QStringLiteral("«Ω∑😀»")));
}

void TestLibrary::sortRussianIgnoringCase()
{
    IndexFile index;
    auto line = [](const QString &name, int n) { return IndexFile::makeLine(*Cp1251::encode(name), n); };
    index.setLines({line(QStringLiteral("история"), 1), line(QStringLiteral("Алгебра"), 2),
                    line(QStringLiteral("биология"), 3), line(QStringLiteral("Ёлки"), 4),
                    line(QStringLiteral("English"), 5)});
    index.sort();
    QStringList names;
    for (int i = 0; i < index.count(); ++i)
        names << index.displayName(i);
    QCOMPARE(names, (QStringList{QStringLiteral("Алгебра"), QStringLiteral("биология"), QStringLiteral("Ёлки"),
                                 QStringLiteral("история"), QStringLiteral("English")}));
    QCOMPARE(*index.folderNumber(0), 2);
}

void TestLibrary::lookupIgnoresLetterCase()
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    QVERIFY(QDir(root).mkpath(QStringLiteral("BAZA/DATA/3")));
    QFile f(root + QStringLiteral("BAZA/DATA/INDEX.DAT"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Физика=3\r\n");
    f.close();
    const QString library = Paths::resolve(root, QStringLiteral("Baza"));
    QCOMPARE(library, root + QStringLiteral("BAZA"));
    QCOMPARE(Paths::subjectIndex(library), root + QStringLiteral("BAZA/DATA/INDEX.DAT"));
    QCOMPARE(Paths::subjectFolder(library, QStringLiteral("3")), root + QStringLiteral("BAZA/DATA/3"));
    // A missing file is created under the fixed spelling inside the found folders.
    QCOMPARE(Paths::topicIndex(Paths::subjectFolder(library, QStringLiteral("3"))),
             root + QStringLiteral("BAZA/DATA/3/Index.dat"));
    QCOMPARE(Paths::resultsFile(library), root + QStringLiteral("BAZA/Images/normal.cfg"));
    IndexFile index;
    QVERIFY(index.load(Paths::subjectIndex(library)));
    QCOMPARE(index.count(), 1);
}

void TestLibrary::interruptedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Index.dat"));
    QVERIFY(LineLists::write(path, {"old=1"}));
    // A writer that dies before committing leaves the old file as it was and
    // no temporary file behind.
    {
        QSaveFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("torn");
    }
    QCOMPARE(*LineLists::read(path), LineList{"old=1"});
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Index.dat")});
    // A save that cannot be made reports it.
    QVERIFY(!LineLists::write(dir.filePath(QStringLiteral("missing/Index.dat")), {"x=1"}));
    QVERIFY(LineLists::write(path, {"new=1", "more=2"}));
    QCOMPARE(*LineLists::read(path), (LineList{"new=1", "more=2"}));
}

// A full disk: the write fails, the file keeps its old bytes, and the
// message says that the disk is full.
void TestLibrary::fullDiskKeepsOldFile()
{
#ifndef Q_OS_LINUX
    QSKIP("a small file system is mounted with Linux's mount command");
#else
    QTemporaryDir dir;
    const QString disk = dir.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(disk));
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                    QStringLiteral("size=64k"), QStringLiteral("tmpfs"), disk})
        != 0)
        QSKIP("mounting a small tmpfs was refused (not root?); failedWriteKeepsOldFile covers the rule");
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {disk}); });
    QVERIFY(LineLists::write(disk + QStringLiteral("/Index.dat"), {"old=1", "older=2"}));
    {
        QFile filler(disk + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
    }
    checkFailedWriteKeepsOldFile(disk, QStringLiteral("на диске нет свободного места"));
#endif
}

// The same rule wherever no file system can be mounted: a file size limit
// makes the system refuse the write part way, as a full disk does.
void TestLibrary::failedWriteKeepsOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("file size limits are a POSIX facility");
#else
    QTemporaryDir dir;
    QVERIFY(LineLists::write(dir.filePath(QStringLiteral("Index.dat")), {"old=1", "older=2"}));
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 1000;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const auto restore = qScopeGuard([&] {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    });
    checkFailedWriteKeepsOldFile(dir.path(), QStringLiteral("файл слишком велик"));
#endif
}

// The system's reasons come in Russian even when the system speaks English
// (the tests run under LC_ALL=C.UTF-8).
void TestLibrary::fileErrorsInRussian()
{
    QTemporaryDir dir;
    const Expected<LineList> missing = LineLists::read(dir.filePath(QStringLiteral("Index.dat")));
    QVERIFY(!missing);
    QVERIFY2(missing.error().endsWith(QStringLiteral("файл или папка не найдены")), qPrintable(missing.error()));
    QVERIFY(LineLists::write(dir.filePath(QStringLiteral("Index.dat")), {}));
    const Status underFile = LineLists::write(dir.filePath(QStringLiteral("Index.dat/1.dat")), {"x"});
    QVERIFY(!underFile);
    QVERIFY2(underFile.error().endsWith(QStringLiteral("часть пути не является папкой")), qPrintable(underFile.error()));
}

void TestLibrary::unreadableSubjectIndexSaysWhy()
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    const auto opened = [&root] {
        IndexFile index;
        index.setLines({"old=1"});
        const Status status = Library::openSubjectIndex(root + QStringLiteral("Baza/"), index);
        return std::pair{status, index.count()};
    };
    const QString baza = QDir::toNativeSeparators(root + QStringLiteral("Baza"));
    const QString data = QDir::toNativeSeparators(root + QStringLiteral("Baza/Data"));
    const QString file = QDir::toNativeSeparators(root + QStringLiteral("Baza/Data/Index.dat"));

    // No library at all.
    auto [status, count] = opened();
    QVERIFY(!status);
    QVERIFY2(status.error().contains(baza), qPrintable(status.error()));
    QCOMPARE(count, 0);

    // Data is a file.
    writeBytes(root + QStringLiteral("Baza/Data"), "not a folder");
    std::tie(status, count) = opened();
    QVERIFY(!status);
    QVERIFY2(status.error().contains(data) && status.error().contains(QStringLiteral("не является папкой")),
             qPrintable(status.error()));
    QCOMPARE(count, 0);

    // No index in the Data folder.
    QVERIFY(QFile::remove(root + QStringLiteral("Baza/Data")));
    QVERIFY(QDir().mkpath(root + QStringLiteral("Baza/Data")));
    std::tie(status, count) = opened();
    QVERIFY(!status);
    QVERIFY2(status.error().contains(file) && status.error().contains(QStringLiteral("Не найден")),
             qPrintable(status.error()));

    // An index that is a link going round in a loop.
    QVERIFY(QFile::link(root + QStringLiteral("Baza/Data/Index.dat"), root + QStringLiteral("Baza/Data/Index.dat")));
    std::tie(status, count) = opened();
    QVERIFY(!status);
    QVERIFY2(status.error().contains(file) && status.error().contains(QStringLiteral("ссылка")),
             qPrintable(status.error()));
    QCOMPARE(count, 0);

    // A readable index opens.
    QVERIFY(QFile::remove(root + QStringLiteral("Baza/Data/Index.dat")));
    writeBytes(root + QStringLiteral("Baza/Data/Index.dat"), "a=1\r\nb=2\r\n");
    std::tie(status, count) = opened();
    QVERIFY(status);
    QCOMPARE(count, 2);
}

void TestLibrary::newFolderNumberIsFreeOnDisk()
{
    QTemporaryDir dir;
    const QString subject = dir.path() + QStringLiteral("/1");
    IndexFile index;
    index.setLines({"a=1", "b=3"});
    // Folder 2 is a topic taken out of the index, 4 a link leading nowhere.
    writeBytes(subject + QStringLiteral("/2/Baza.dat"), "hidden");
    QVERIFY(QDir().mkpath(subject + QStringLiteral("/1")));
    QVERIFY(QFile::link(subject + QStringLiteral("/nowhere"), subject + QStringLiteral("/4")));
    QCOMPARE(*Library::newFolderNumber(index, subject), 5);
    // With no folder on disk the index alone decides.
    QCOMPARE(*Library::newFolderNumber(index, dir.path() + QStringLiteral("/none")), 2);
    // A line whose number cannot be read leaves its folder unknown.
    index.append("c=x");
    const Expected<int> refused = Library::newFolderNumber(index, subject);
    QVERIFY(!refused);
    QVERIFY(refused.error().contains(QStringLiteral("строка 3")));

    // A new folder is made with the folders above it, never over an old one.
    QVERIFY(Library::makeNewFolder(dir.path() + QStringLiteral("/new/Data/1")));
    QVERIFY(QFileInfo(dir.path() + QStringLiteral("/new/Data/1")).isDir());
    QVERIFY(!Library::makeNewFolder(subject + QStringLiteral("/2")));
    QCOMPARE(readBack(subject + QStringLiteral("/2/Baza.dat")), QByteArray("hidden"));
}

void TestLibrary::rollBackTakesOnlyWhatWasAdded()
{
    QTemporaryDir dir;
    const QString topic = dir.path() + QStringLiteral("/4/3");
    writeBytes(topic + QStringLiteral("/notes.txt"), "teacher's notes");
    writeBytes(topic + QStringLiteral("/img/old.png"), "old picture");
    const Library::FolderSnapshot before = Library::FolderSnapshot::take(topic);
    writeBytes(topic + QStringLiteral("/Baza.dat"), "base");
    writeBytes(topic + QStringLiteral("/img/new.png"), "new picture");
    writeBytes(topic + QStringLiteral("/pics/deep/a.png"), "a");
    QVERIFY(before.rollBack());
    QCOMPARE(readBack(topic + QStringLiteral("/notes.txt")), QByteArray("teacher's notes"));
    QCOMPARE(readBack(topic + QStringLiteral("/img/old.png")), QByteArray("old picture"));
    QCOMPARE(QDir(topic).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("img"), QStringLiteral("notes.txt")}));
    QCOMPARE(QDir(topic + QStringLiteral("/img")).entryList(QDir::Files), QStringList{QStringLiteral("old.png")});

    // A folder the command made goes with what it holds.
    const QString fresh = dir.path() + QStringLiteral("/4/5");
    const Library::FolderSnapshot none = Library::FolderSnapshot::take(fresh);
    writeBytes(fresh + QStringLiteral("/img/b.png"), "b");
    writeBytes(fresh + QStringLiteral("/Config.dat"), "1\r\n");
    QVERIFY(none.rollBack());
    QVERIFY(!QFileInfo::exists(fresh));
}

void TestLibrary::saveLeftoversAreRemoved()
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    const QStringList leftovers{
        QStringLiteral("Baza/Data/Index.dat.aB3xYz"),        QStringLiteral("Baza/Data/2/Index.dat.Qw12Er"),
        QStringLiteral("Baza/Data/2/7/Config.dat.ZZ9ZZZ"),   QStringLiteral("Baza/Data/2/7/BAZA.INI.x1Y2z3"),
        QStringLiteral("Baza/Data/2/7/Baza.dat.000000"),     QStringLiteral("Baza/Images/normal.cfg.abc0ef"),
        QStringLiteral("Baza/Sound/Sound.cfg.Mn0pQr"),
    };
    const QStringList kept{
        QStringLiteral("Baza/Data/Index.dat"),            QStringLiteral("Baza/Data/Index.dat.bak"),
        QStringLiteral("Baza/Data/Index.dat.aB3xYz7"),    QStringLiteral("Baza/Data/2/notes.dat.aB3xYz"),
        QStringLiteral("Baza/Data/2/7/Config.dat"),       QStringLiteral("Baza/Data/2/7/Config.dat.ab-cde"),
        QStringLiteral("Baza/Data/2/7/img/Config.dat.aB3xYz"), QStringLiteral("Baza/Images/normal.cfg"),
        QStringLiteral("Baza/Data/Index.dat.backup"),     QStringLiteral("Baza/Data/2/7/Config.dat.BACKUP"),
    };
    for (const QString &path : leftovers + kept)
        writeBytes(root + path, path.toUtf8());
    QStringList removed = Library::removeSaveLeftovers(root + QStringLiteral("Baza/"));
    removed.sort();
    QStringList expected;
    for (const QString &path : leftovers)
        expected.append(root + path);
    expected.sort();
    QCOMPARE(removed, expected);
    for (const QString &path : leftovers)
        QVERIFY2(!QFileInfo::exists(root + path), qPrintable(path));
    for (const QString &path : kept)
        QCOMPARE(readBack(root + path), path.toUtf8());
}

// An entry whose folder cannot be filled is taken back: the index file
// holds its old bytes, the new folder is gone, and the error is the fill's.
void TestLibrary::addedEntryIsTakenBackWhole()
{
    QTemporaryDir dir;
    const QString indexPath = dir.path() + QStringLiteral("/Index.dat");
    writeBytes(indexPath, "\x94\xa8\xa7\xa8\xaa\xa0=1\r\n");
    IndexFile index;
    QVERIFY(index.load(indexPath));
    const QByteArray before = readBack(indexPath);

    const QString failing = dir.path() + QStringLiteral("/2");
    const Status failed = Library::addEntry(index, indexPath, "Chemistry", 2, failing, [](const QString &folder) {
        writeBytes(folder + QStringLiteral("/Baza.dat"), "half");
        return Status(Error{QStringLiteral("диск полон")});
    });
    QCOMPARE(failed.error(), QStringLiteral("диск полон"));
    QCOMPARE(readBack(indexPath), before);
    QCOMPARE(index.count(), 1);
    QVERIFY(!QFileInfo::exists(failing));

    const QString folder = dir.path() + QStringLiteral("/3");
    QVERIFY(Library::addEntry(index, indexPath, "Chemistry", 3, folder, [](const QString &made) {
        return LineLists::writeBytes(Paths::topicIndex(made), {});
    }));
    QCOMPARE(readBack(indexPath), before + "Chemistry=3\r\n");
    QVERIFY(QFileInfo(Paths::topicIndex(folder)).isFile());

    QVERIFY(Library::renameEntry(index, indexPath, 1, "Biology"));
    QCOMPARE(readBack(indexPath), before + "Biology=3\r\n");
    QVERIFY(Library::removeEntry(index, indexPath, 0));
    QCOMPARE(readBack(indexPath), QByteArray("Biology=3\r\n"));
}

// A subject folder that holds a teacher's own file is not removed, nor is
// anything in it; an empty one goes with its topic index.
void TestLibrary::subjectFolderWithForeignFilesStays()
{
    QTemporaryDir dir;
    const QString subject = dir.path() + QStringLiteral("/5");
    writeBytes(Paths::topicIndex(subject), "");
    writeBytes(subject + QStringLiteral("/notes.txt"), "teacher's notes");
    const Status refused = Library::removeSubjectFolder(subject);
    QVERIFY(refused.error().contains(QStringLiteral("notes.txt")));
    QVERIFY(QFileInfo::exists(Paths::topicIndex(subject)));
    QCOMPARE(readBack(subject + QStringLiteral("/notes.txt")), QByteArray("teacher's notes"));

    QVERIFY(QFile::remove(subject + QStringLiteral("/notes.txt")));
    QVERIFY(Library::removeSubjectFolder(subject));
    QVERIFY(!QFileInfo::exists(subject));
}

QTEST_GUILESS_MAIN(TestLibrary)
#include "tst_library.moc"
