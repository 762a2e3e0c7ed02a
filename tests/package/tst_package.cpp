// The Debian package as a school gets it: built by CPack from this build,
// unpacked into a folder of its own, and run from there. The checker checks
// a demo document and the program starts for a user with no library yet,
// making the user's own library from the template it ships. lintian and
// appstreamcli, where installed, judge the package as Debian would.
#include <QDir>
#include <QSize>
#include <QtEndian>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

class TestPackage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void contents();
    void checkerRuns();
    void programStartsForANewUser();
    void lintian();
    void metainfo();

private:
    QString root(const QString &relative) const { return m_dir.filePath(QStringLiteral("root/") + relative); }

    QTemporaryDir m_dir;
    QString m_package;
};

namespace {

struct Run
{
    int code = -1;
    QString output;
};

// Runs a command to its end and returns its exit code and its output
// (standard output and errors together).
Run run(const QString &program, const QStringList &arguments, int timeoutMs = 300'000,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs))
        process.kill();
    process.waitForFinished();
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {code, QString::fromUtf8(process.readAll())};
}

QByteArray readBack(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The width and height a PNG file's header gives.
QSize pngSize(const QString &path)
{
    const QByteArray bytes = readBack(path);
    if (bytes.size() < 24 || !bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return {};
    const auto number = [&bytes](int at) { return qFromBigEndian<quint32>(bytes.constData() + at); };
    return QSize(int(number(16)), int(number(20)));
}

} // namespace

void TestPackage::initTestCase()
{
    const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
    if (dpkgDeb.isEmpty())
        QSKIP("dpkg-deb is not installed: the Debian package can be neither built nor checked here");
    QVERIFY(m_dir.isValid());
    const Run built = run(QStringLiteral(NASTAVNIK_CPACK),
                          {QStringLiteral("--config"), QStringLiteral(NASTAVNIK_BUILD_DIR "/CPackConfig.cmake"),
                           QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), m_dir.path()});
    QVERIFY2(built.code == 0, qPrintable(built.output));
    const Run arch = run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")});
    m_package = m_dir.filePath(QStringLiteral("nastavnik_%1_%2.deb")
                                   .arg(QStringLiteral(NASTAVNIK_VERSION), arch.output.trimmed()));
    QVERIFY2(QFileInfo(m_package).isFile(), qPrintable(built.output));
    const Run unpacked = run(dpkgDeb, {QStringLiteral("-x"), m_package, root({})});
    QVERIFY2(unpacked.code == 0, qPrintable(unpacked.output));
}

void TestPackage::contents()
{
    // Its dependencies are those of the programs' libraries, found by
    // dpkg-shlibdeps, besides what the program loads by name.
    const Run depends = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_package, QStringLiteral("Depends")});
    QVERIFY2(depends.output.contains(QStringLiteral("libqt6widgets6"))
                 && depends.output.contains(QStringLiteral("libc6")),
             qPrintable(depends.output));

    const QByteArray desktop = readBack(root(QStringLiteral("usr/share/applications/ru.nastavnik.Nastavnik.desktop")));
    QVERIFY2(desktop.contains("\nName[ru]=Наставник\n") && desktop.contains("\nComment[ru]=")
                 && desktop.contains("\nCategories=Education;\n") && desktop.contains("\nIcon=nastavnik\n"),
             desktop.constData());
    QVERIFY(QFileInfo(root(QStringLiteral("usr/share/icons/hicolor/scalable/apps/nastavnik.svg"))).isFile());
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString icon = root(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/nastavnik.png").arg(size));
        QCOMPARE(pngSize(icon), QSize(size, size));
    }
    QVERIFY(readBack(root(QStringLiteral("usr/share/man/man1/nastavnik-check.1.gz"))).startsWith("\x1f\x8b"));
    QVERIFY(QFileInfo(root(QStringLiteral("usr/share/nastavnik/Help.chm"))).size() > 0);
    // The template holds the sounds and the demo topics.
    QVERIFY(QFileInfo(root(QStringLiteral("usr/share/nastavnik/Baza/Sound/Hello.wav"))).size() > 0);
    QVERIFY(QFileInfo(root(QStringLiteral("usr/share/nastavnik/Baza/Data/Index.dat"))).size() > 0);
}

void TestPackage::checkerRuns()
{
    const QString document = QStringLiteral(NASTAVNIK_SOURCE_DIR "/resources/demo/fizika/optika.rtf");
    const Run checked = run(root(QStringLiteral("usr/bin/nastavnik-check")), {document});
    QVERIFY2(checked.code == 0, qPrintable(checked.output));
    QVERIFY2(checked.output.startsWith(QStringLiteral("== ") + document + u'\n'), qPrintable(checked.output));
}

void TestPackage::programStartsForANewUser()
{
#ifndef Q_OS_UNIX
    QSKIP("the program is stopped with SIGTERM here");
#else
    if (QFileInfo::exists(QStringLiteral("/etc/nastavnik.conf")))
        QSKIP("/etc/nastavnik.conf names a library for every user of this computer");
    const QString home = m_dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(home));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    environment.remove(QStringLiteral("NASTAVNIK_BAZA"));

    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(home);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(root(QStringLiteral("usr/bin/nastavnik")), {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    // Found its share folder beside its bin folder and made the user's own
    // library from the template there.
    const QString index = home + QStringLiteral("/.local/share/nastavnik/Baza/Data/Index.dat");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(index) || program.state() == QProcess::NotRunning, 60'000);
    QVERIFY2(program.state() == QProcess::Running, program.readAll().constData());
    // Asked to stop, it ends as it ends normally: that happens only in its
    // event loop, with its windows made.
    QVERIFY(::kill(pid_t(program.processId()), SIGTERM) == 0);
    QVERIFY(program.waitForFinished(60'000));
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0, program.readAll().constData());
    QCOMPARE(readBack(index), readBack(root(QStringLiteral("usr/share/nastavnik/Baza/Data/Index.dat"))));
    QVERIFY(QFileInfo(home + QStringLiteral("/.local/share/nastavnik/Baza/Sound/Hello.wav")).size() > 0);
#endif
}

void TestPackage::lintian()
{
    const QString lintian = QStandardPaths::findExecutable(QStringLiteral("lintian"));
    if (lintian.isEmpty())
        QSKIP("lintian is not installed");
    const Run judged = run(lintian, {QStringLiteral("--fail-on"), QStringLiteral("error"), m_package});
    QVERIFY2(judged.code == 0, qPrintable(judged.output));
}

void TestPackage::metainfo()
{
    const QString appstreamcli = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (appstreamcli.isEmpty())
        QSKIP("appstreamcli is not installed");
    const Run validated = run(appstreamcli, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                             root(QStringLiteral("usr/share/metainfo/ru.nastavnik.Nastavnik.metainfo.xml"))});
    QVERIFY2(validated.code == 0, qPrintable(validated.output));
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
