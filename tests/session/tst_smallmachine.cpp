// The program on an old school machine: a 640 x 480 screen, smaller than
// the main window, and no font with Cyrillic letters.
#include "tests/support/Program.h"

#include <QFontDatabase>
#include <QMenuBar>
#include <QScreen>

class TestSmallMachine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowStartsOnScreen();
    void warnsOnceAtStart();
};

// The window does not fit, so it starts at the screen's top left: its menu
// bar can be reached.
void TestSmallMachine::windowStartsOnScreen()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(screen, QRect(0, 0, 640, 480));
    Program program;
    ModalAnswerer answerer;
    program.form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(program.form1));
    QCOMPARE(program.form1->frameGeometry().topLeft(), QPoint(0, 0));
    const QMenuBar *bar = program.form1->menuBar();
    // Its first menus, at least: the bar is as wide as the window.
    QVERIFY(screen.contains(QRect(bar->mapToGlobal(QPoint(0, 0)), QSize(200, bar->height()))));
}

// Without such a font the program says so once at start, in a language
// the machine can show.
void TestSmallMachine::warnsOnceAtStart()
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

// The offscreen platform makes the one small screen, and fontconfig, where
// fonts come from, is pointed at an empty font folder, before the
// application starts.
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
    QFile screens(fonts.filePath(QStringLiteral("screens.json")));
    if (!screens.open(QIODevice::WriteOnly))
        return 1;
    screens.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 640, "height": 480,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    QApplication app(argc, argv);
    TestSmallMachine test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_smallmachine.moc"
