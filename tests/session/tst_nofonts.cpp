// The program on a machine without a font that has Cyrillic letters: it
// says so once at start, in a language such a machine can show.
#include "Program.h"

#include <QFontDatabase>

class TestNoFonts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void warnsOnceAtStart();
};

void TestNoFonts::warnsOnceAtStart()
{
    QVERIFY(QFontDatabase::families(QFontDatabase::Cyrillic).isEmpty());
    Program program;
    ModalAnswerer answerer;
    program.form1->show();
    QTRY_COMPARE(answerer.seen.size(), 1);
    QVERIFY2(answerer.seen.first().contains(u"No font with Cyrillic letters is installed"_qs),
             qPrintable(answerer.seen.first()));
    program.form1->hide();
    program.form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(program.form1));
    QTRY_VERIFY(!program.state.GreetingPending);
    QCOMPARE(answerer.seen.size(), 1);
}

// Fonts come from fontconfig; it is pointed at an empty font folder before
// the application looks for any.
int main(int argc, char *argv[])
{
    QTemporaryDir fonts;
    QFile config(fonts.filePath(QStringLiteral("fonts.conf")));
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    config.write(QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig><dir>%1</dir><cachedir>%1</cachedir></fontconfig>\n")
                     .arg(fonts.path())
                     .toUtf8());
    config.close();
    qputenv("FONTCONFIG_FILE", QFile::encodeName(config.fileName()));
    QApplication app(argc, argv);
    TestNoFonts test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_nofonts.moc"
