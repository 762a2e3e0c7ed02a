// Where the library lives: the settings file, the order of the places, the
// user's own library made from the template, and a library that can be read
// but not written.
#include "library/LibraryLocation.h"
#include "library/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace LibraryLocation;

class TestLibraryLocation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void settingsFile();
    void placesInOrder();
    void namedLibraryThatCannotBeUsed();
    void readOnlyLibraryKeepsResultsWithTheUser();
    void templateNeverOverwrites();
    void realPermissions();

private:
    QString path(const QString &relative) const { return m_dir->filePath(relative); }
    Places places() const
    {
        Places p;
        p.settingsFile = path(QStringLiteral("etc/nastavnik.conf"));
        p.programFolder = path(QStringLiteral("usr/bin/"));
        p.userData = path(QStringLiteral("home/.local/share/nastavnik/"));
        p.libraryTemplate = path(QStringLiteral("usr/share/nastavnik/Baza"));
        return p;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

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

bool always(const QString &)
{
    return true;
}

bool never(const QString &)
{
    return false;
}

} // namespace

void TestLibraryLocation::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // A template as the package installs it: a demo subject, sounds, results.
    const QString t = places().libraryTemplate;
    writeBytes(t + QStringLiteral("/Data/Index.dat"), "Физика=1\r\n");
    writeBytes(t + QStringLiteral("/Data/1/Index.dat"), "Оптика=1\r\n");
    writeBytes(t + QStringLiteral("/Data/1/1/Baza.dat"), "base");
    writeBytes(t + QStringLiteral("/Sound/Yes.wav"), "yes");
    writeBytes(t + QStringLiteral("/Images/normal.cfg"), "\r\n");
}

void TestLibraryLocation::settingsFile()
{
    const QString file = QStringLiteral("/etc/nastavnik.conf");
    Settings s = parseSettings("\xEF\xBB\xBF# the lab's library\r\n\r\n  BAZA = \"/srv/lab baza/\" \r\n", file);
    QCOMPARE(s.library, QStringLiteral("/srv/lab baza"));
    QVERIFY(s.problems.isEmpty());
    // A file written in the Russian code page by a Windows editor.
    s = parseSettings("baza=/srv/\xc1\xe0\xe7\xe0\n", file);
    QCOMPARE(s.library, QStringLiteral("/srv/База"));

    // What is not understood is told with the file and the line; the first
    // good line counts.
    s = parseSettings("baza=srv/baza\nbasa=/x\nпапка /y\nbaza=\nbaza=/a\x01\nbaza=/good\nbaza=/second\n", file);
    QCOMPARE(s.library, QStringLiteral("/good"));
    QCOMPARE(s.problems.size(), 6);
    const QStringList expected{
        QStringLiteral("строка 1: путь к папке библиотеки «srv/baza» должен быть полным"),
        QStringLiteral("строка 2: неизвестная настройка «basa»"),
        QStringLiteral("строка 3: «папка /y» не является настройкой"),
        QStringLiteral("строка 4: не указана папка библиотеки"),
        QStringLiteral("строка 5: в пути к папке библиотеки есть управляющие символы"),
        QStringLiteral("строка 7: папка библиотеки уже указана в строке 6"),
    };
    for (int i = 0; i < expected.size(); ++i) {
        QVERIFY2(s.problems.at(i).startsWith(QStringLiteral("Файл настроек ") + QDir::toNativeSeparators(file)),
                 qPrintable(s.problems.at(i)));
        QVERIFY2(s.problems.at(i).contains(expected.at(i)), qPrintable(s.problems.at(i)));
    }

    s = parseSettings(QByteArray(64 * 1024 + 1, 'x'), file);
    QVERIFY(s.library.isEmpty());
    QVERIFY(s.problems.value(0).contains(QStringLiteral("слишком велик")));

    // A missing file sets nothing and is no problem; a folder in its place is.
    QCOMPARE(readSettings(path(QStringLiteral("none.conf"))).problems, QStringList());
    QVERIFY(readSettings(m_dir->path()).problems.value(0).contains(QStringLiteral("не прочитан")));
}

void TestLibraryLocation::placesInOrder()
{
    Places p = places();
    const QString own = p.userData + QStringLiteral("Baza/");

    // Nothing beside the program: the user's own library, made from the
    // template.
    Location l = locate(p, always);
    QCOMPARE(l.origin, Origin::UserData);
    QCOMPARE(l.library, own);
    QCOMPARE(l.resultsLibrary, own);
    QVERIFY(l.writable);
    QVERIFY(l.notices.isEmpty());
    QCOMPARE(readBack(own + QStringLiteral("Data/1/1/Baza.dat")), QByteArray("base"));
    QCOMPARE(readBack(own + QStringLiteral("Sound/Yes.wav")), QByteArray("yes"));

    // Baza beside the program is used when it can be written: the portable
    // layout. When it cannot, the user's own library is.
    QVERIFY(QDir().mkpath(p.programFolder + QStringLiteral("Baza")));
    l = locate(p, always);
    QCOMPARE(l.origin, Origin::BesideProgram);
    QCOMPARE(l.library, p.programFolder + QStringLiteral("Baza/"));
    QCOMPARE(locate(p, never).library, own);

    // The settings file comes before it; a line it does not understand is
    // told, and the line naming the library still counts.
    const QString lab = path(QStringLiteral("lab"));
    QVERIFY(QDir().mkpath(lab));
    writeBytes(p.settingsFile, "colour=red\nbaza=" + lab.toUtf8() + '\n');
    l = locate(p, always);
    QCOMPARE(l.origin, Origin::SettingsFile);
    QCOMPARE(l.library, lab + u'/');
    QCOMPARE(l.notices.size(), 1);
    QVERIFY(l.notices.at(0).contains(QStringLiteral("colour")));

    // The environment comes first, and the settings file is not read then.
    p.environment = path(QStringLiteral("mine"));
    l = locate(p, always);
    QCOMPARE(l.origin, Origin::Environment);
    QCOMPARE(l.library, p.environment + u'/');
    QVERIFY(l.notices.isEmpty());
    // A named library that does not exist yet starts as the template.
    QCOMPARE(readBack(p.environment + QStringLiteral("/Data/Index.dat")), QByteArray("Физика=1\r\n"));

    // The share folder of an installed program lies beside its bin folder.
    QCOMPARE(Paths::shareFolder(p.programFolder), path(QStringLiteral("usr/share/nastavnik/")));
    QCOMPARE(Paths::shareFolder(own), own);
}

void TestLibraryLocation::namedLibraryThatCannotBeUsed()
{
    Places p = places();
    const QString own = p.userData + QStringLiteral("Baza/");
    // A file where the library should be, and a folder under a file.
    writeBytes(path(QStringLiteral("file")), "x");
    for (const QString &named : {path(QStringLiteral("file")), path(QStringLiteral("file/Baza"))}) {
        p.environment = named;
        const Location l = locate(p, always);
        QCOMPARE(l.library, own);
        QCOMPARE(l.notices.size(), 2);
        QVERIFY2(l.notices.at(0).contains(QDir::toNativeSeparators(named))
                     && l.notices.at(0).contains(QStringLiteral("NASTAVNIK_BAZA")),
                 qPrintable(l.notices.at(0)));
        QVERIFY2(l.notices.at(1).contains(QDir::toNativeSeparators(QDir::cleanPath(own))),
                 qPrintable(l.notices.at(1)));
    }
}

void TestLibraryLocation::readOnlyLibraryKeepsResultsWithTheUser()
{
    Places p = places();
    const QString shared = path(QStringLiteral("share/lab"));
    writeBytes(shared + QStringLiteral("/Data/Index.dat"), "Химия=1\r\n");
    writeBytes(p.settingsFile, "baza=" + shared.toUtf8());
    const Location l = locate(p, [&shared](const QString &folder) { return QDir(folder) != QDir(shared); });
    QCOMPARE(l.origin, Origin::SettingsFile);
    QCOMPARE(l.library, shared + u'/');
    QVERIFY(!l.writable);
    const QString own = p.userData + QStringLiteral("Baza/");
    QCOMPARE(l.resultsLibrary, own);
    QVERIFY(QFileInfo(Paths::resultsFile(own)).dir().exists());
    // Only the results live there: no copy of the template's subjects.
    QVERIFY(!QFileInfo::exists(Paths::subjectIndex(own)));
    QCOMPARE(l.notices.size(), 1);
    const QString notice = l.notices.at(0);
    QVERIFY2(notice.contains(QDir::toNativeSeparators(shared)) && notice.contains(QStringLiteral("только для чтения"))
                 && notice.contains(QDir::toNativeSeparators(own + QStringLiteral("Images"))),
             qPrintable(notice));
    QCOMPARE(readBack(shared + QStringLiteral("/Data/Index.dat")), QByteArray("Химия=1\r\n"));
}

void TestLibraryLocation::templateNeverOverwrites()
{
    const QString t = places().libraryTemplate;
    const QString library = path(QStringLiteral("library"));

    // A teacher's library: its subjects, and a sound of its own, stay; a
    // sound it lacks is added.
    writeBytes(library + QStringLiteral("/Data/Index.dat"), "Химия=1\r\n");
    writeBytes(library + QStringLiteral("/Sound/Yes.wav"), "own");
    QVERIFY(fillFromTemplate(t, library));
    QCOMPARE(readBack(library + QStringLiteral("/Data/Index.dat")), QByteArray("Химия=1\r\n"));
    QVERIFY(!QFileInfo::exists(library + QStringLiteral("/Data/1")));
    QCOMPARE(readBack(library + QStringLiteral("/Sound/Yes.wav")), QByteArray("own"));
    QCOMPARE(readBack(library + QStringLiteral("/Images/normal.cfg")), QByteArray("\r\n"));

    // An empty subject index with nothing beside it holds nothing of anyone:
    // the template's subjects come in, index and all.
    const QString empty = path(QStringLiteral("empty"));
    writeBytes(empty + QStringLiteral("/DATA/INDEX.DAT"), "");
    QVERIFY(fillFromTemplate(t, empty));
    QCOMPARE(readBack(empty + QStringLiteral("/DATA/INDEX.DAT")), QByteArray("Физика=1\r\n"));
    QCOMPARE(readBack(empty + QStringLiteral("/DATA/1/1/Baza.dat")), QByteArray("base"));

    // A template installed read-only gives a copy its owner can write.
    QVERIFY(QFile::setPermissions(t + QStringLiteral("/Sound/Yes.wav"),
                                  QFileDevice::ReadOwner | QFileDevice::ReadOther));
    const QString fresh = path(QStringLiteral("fresh"));
    QVERIFY(fillFromTemplate(t, fresh));
    QVERIFY(QFile::permissions(fresh + QStringLiteral("/Sound/Yes.wav")) & QFileDevice::WriteOwner);

    // Without a template the folders are still made.
    QVERIFY(fillFromTemplate(QString(), path(QStringLiteral("bare"))));
    QVERIFY(QFileInfo(path(QStringLiteral("bare/Images"))).isDir());
}

void TestLibraryLocation::realPermissions()
{
    // Baza beside the program that the user may not write: the user's own
    // library is taken, by the file system's own answer.
    const Places p = places();
    const QString beside = p.programFolder + QStringLiteral("Baza");
    QVERIFY(QDir().mkpath(beside + QStringLiteral("/Data")));
    QVERIFY(canWrite(beside));
    QVERIFY(QFile::setPermissions(beside, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                              | QFileDevice::ExeOther));
    const auto restore = qScopeGuard(
        [&beside] { QFile::setPermissions(beside, QFile::permissions(beside) | QFileDevice::WriteOwner); });
    if (QFileInfo(beside).isWritable())
        QSKIP("file permissions do not bind this user (root): a folder without write permission stays writable");
    QVERIFY(!canWrite(beside));
    QCOMPARE(locate(p).origin, Origin::UserData);
}

QTEST_GUILESS_MAIN(TestLibraryLocation)
#include "tst_librarylocation.moc"
