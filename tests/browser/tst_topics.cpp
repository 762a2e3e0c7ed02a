// Creating a topic from a test document through the chooser and the report
// dialog, and restoring it through the restore dialog: the topic folder's
// files, the restored document and pictures, compared byte for byte.
#include "Fixture.h"

#include "authoring/TopicFiles.h"
#include "library/Codec.h"

#include <QApplication>
#include <QDateTime>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

namespace {

const QDateTime PictureDate(QDate(2019, 3, 14), QTime(9, 26, 53));

void makePicture(const QString &path, Qt::GlobalColor colour)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path, "PNG"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(PictureDate, QFileDevice::FileModificationTime));
}

// A test document in plain Windows-1251 text: three questions, two of them
// with pictures, one of those in a sub-folder and written with other letter
// case than the file.
QByteArray plainDocument(bool finalLineEnd = true)
{
    QByteArray bytes = crlf({QStringLiteral("Контрольная работа"), QStringLiteral("{test=2}"), QStringLiteral("{pic=Луна.PNG}"),
                             QStringLiteral("Какой спутник у Земли?"), QStringLiteral("1) Фобос 2) Луна 3) Ио 4) Титан"),
                             QStringLiteral("{TEST=1}"), QStringLiteral("Сколько будет 2+2?"), QStringLiteral("1) 4 2) 5 3) 3 4) 22"),
                             QStringLiteral("{test=4}"), QStringLiteral("{pic=img\\sun.png}"), QStringLiteral("Что это?"),
                             QStringLiteral("1) Луна 2) Марс 3) Венера 4) Солнце")});
    if (!finalLineEnd)
        bytes.chop(2);
    return bytes;
}

struct Source
{
    QTemporaryDir dir;
    QString document;

    explicit Source(const QByteArray &bytes, bool pictures = true)
    {
        document = dir.path() + QStringLiteral("/тест.rtf");
        writeFile(document, bytes);
        if (pictures) {
            makePicture(dir.path() + QStringLiteral("/луна.png"), Qt::gray);
            makePicture(dir.path() + QStringLiteral("/img/sun.png"), Qt::yellow);
        }
    }
};

// Presses a button of the report dialog once it is shown, after checking
// what it says. The windows go on painting while the document is checked,
// so the report is waited for without holding the check up.
void answerReport(Env &env, const char *button, const QString &expected, bool createVisible, bool *seen)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &env, button, expected, createVisible, seen] {
        if (!env.form3->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        *seen = true;
        QCOMPARE(env.form3->findChild<QTextEdit *>(QStringLiteral("Raport"))->toPlainText(), expected);
        QCOMPARE(env.form3->findChild<QPushButton *>(QStringLiteral("Button2"))->isVisibleTo(env.form3.get()),
                 createVisible);
        QCOMPARE(env.form2->findChild<QWidget *>(QStringLiteral("PanelProg"))->isVisible(), false);
        env.form3->findChild<QPushButton *>(QString::fromLatin1(button))->click();
    });
    poll->start(5);
}

} // namespace

class TestTopics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createTopic();
    void failedCheckWritesNothing_data();
    void failedCheckWritesNothing();
    void cancelledTopicNameWritesNothing();
    void missingSourceStopsSilently();
    void escapeStopsTheCheck();
    void restore_data();
    void restore();
    void restoreRefusesFolderWithFiles();
    void restoreDeclinedWritesNothing();
    void newFolderBecomesDestination();
    void restoreCopiesWhatTheTopicHolds();
    void failedRestoreLeavesFolderEmpty();
    void pictureNamesCannotLeaveTheFolder();
    void questionBankThroughTheChooser();
};

void TestTopics::createTopic()
{
    Source source(plainDocument());
    Env env;
    env.setSubjects({QStringLiteral("Природа=1")});
    env.setTopics(1, {QStringLiteral("Старое=1")});
    env.makeTopic(1, 1);
    // Topic 2 was taken out of the index by hand; its folder is not free.
    env.makeTopic(1, 2);
    const QByteArray hiddenBase = fileBytes(env.data() + QStringLiteral("/1/2/Baza.dat"));
    const QByteArray hiddenConfig = fileBytes(env.data() + QStringLiteral("/1/2/Config.dat"));
    TForm2 &book = env.open();
    book.show();
    env.select("ListPredmet", 0);
    QList<int> progress;
    connect(book.findChild<QProgressBar *>(QStringLiteral("ProgressBar")), &QProgressBar::valueChanged, this,
            [&progress](int value) { progress.append(value); });
    env.sink.played.clear();
    env.scripted.files << source.document;
    env.scripted.inputs << QStringLiteral("Астрономия для начинающих");
    bool seen = false;
    answerReport(env, "Button2", QStringLiteral("База создана:\n\nТестов: 3\nРисунков: 2"), true, &seen);
    book.AddTopic();
    QVERIFY(seen);
    QCOMPARE(progress, QList<int>({3, 10, 25, 40, 55, 70, 85, 95, 100}));
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("OkNewBaza"), QStringLiteral("Cancel"),
                                           QStringLiteral("Ding"), QStringLiteral("Cancel"), QStringLiteral("NewPredmet")}));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")),
             crlf({QStringLiteral("Старое=1"), QStringLiteral("Астрономия для =3")}));
    QCOMPARE(env.rows("ListTema").constLast(), QStringLiteral("Астрономия для "));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/2/Baza.dat")), hiddenBase);
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/2/Config.dat")), hiddenConfig);
    QCOMPARE(QDir(env.data() + QStringLiteral("/1/2")).entryList(QDir::Files),
             QStringList({QStringLiteral("Baza.dat"), QStringLiteral("Config.dat")}));

    const QString topic = env.data() + QStringLiteral("/1/3");
    LineList stored = LineLists::read(topic + QStringLiteral("/Baza.dat")).value();
    const LineList original = LineLists::split(plainDocument());
    QCOMPARE(stored.size(), original.size());
    Codec::codeLines(stored);
    QCOMPARE(stored, original);
    QCOMPARE(fileBytes(topic + QStringLiteral("/Baza.ini")), QByteArray("1\r\n5\r\n8\r\n12\r\n"));
    QCOMPARE(fileBytes(topic + QStringLiteral("/Config.dat")), QByteArray("1\r\n1\r\n1\r\n3\r\n"));
    QCOMPARE(fileBytes(topic + QStringLiteral("/Луна.PNG")), fileBytes(source.dir.path() + QStringLiteral("/луна.png")));
    QCOMPARE(QFileInfo(topic + QStringLiteral("/Луна.PNG")).lastModified(), PictureDate);
    QCOMPARE(QFileInfo(topic + QStringLiteral("/img/sun.png")).lastModified(), PictureDate);
    QCOMPARE(QDir(topic).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({QStringLiteral("Baza.dat"), QStringLiteral("Baza.ini"), QStringLiteral("Config.dat"),
                          QStringLiteral("img"), QStringLiteral("Луна.PNG")}));
    QVERIFY(env.state.TagIndex.isEmpty());
    QVERIFY(env.host.document.isEmpty());
    book.hide();
}

void TestTopics::failedCheckWritesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("report");
    QTest::newRow("no tests") << crlf({QStringLiteral("Просто текст без вопросов")})
                              << QStringLiteral("Выбранный файл не содержит тестов");
    // A Word 97 file saved under an .rtf name: its text holds tags, but a
    // topic could not store it.
    QTest::newRow("Word document") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10) + plainDocument()
                                   << QStringLiteral("Файл «тест.rtf» — документ Microsoft Word (DOC), а не RTF.\n\n"
                                                     "Сохраните документ в формате RTF.");
    // Under the message, every fault with its line and question, then the
    // warnings.
    QTest::newRow("faults listed") << crlf({QStringLiteral("{test=1} лишнее"), QStringLiteral("Вопрос"),
                                            QStringLiteral("{test=7}"), QStringLiteral("Вопрос два")})
                                   << QStringLiteral("В файле нарушен синтаксис:\n\n"
                                                     "Строки с тегом {Test=*} не должны содержать другой информации.\n\n"
                                                     "Найдено ошибок: 2\n"
                                                     "строка 1, вопрос 1: в строке с тегом есть другой текст: «лишнее» "
                                                     "({test=1} лишнее)\n"
                                                     "строка 3, вопрос 2: номер правильного поля «7» не от 1 до 4 "
                                                     "({test=7})\n\n"
                                                     "Предупреждения: 2\n"
                                                     "строка 1, вопрос 1: не найдены нумерованные ответы 1, 2, 3, 4 "
                                                     "({test=1} лишнее)\n"
                                                     "строка 3, вопрос 2: не найдены нумерованные ответы 1, 2, 3, 4 "
                                                     "({test=7})");
}

void TestTopics::failedCheckWritesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, report);
    Source source(bytes, false);
    Env env;
    env.setSubjects({QStringLiteral("Природа=1")});
    env.setTopics(1, {});
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.scripted.files << source.document;
    bool seen = false;
    answerReport(env, "Button1", report, false, &seen);
    book.AddTopic();
    QVERIFY(seen);
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("ErrorNewBaza"), QStringLiteral("Cancel")}));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), QByteArray());
    QCOMPARE(QDir(env.data() + QStringLiteral("/1")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(env.scripted.inputs.isEmpty());
}

void TestTopics::cancelledTopicNameWritesNothing()
{
    Source source(plainDocument());
    Env env;
    env.setSubjects({QStringLiteral("Природа=1")});
    env.setTopics(1, {});
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.scripted.files << source.document;
    env.scripted.inputs << QString();
    bool seen = false;
    answerReport(env, "Button2", QStringLiteral("База создана:\n\nТестов: 3\nРисунков: 2"), true, &seen);
    env.sink.played.clear();
    book.AddTopic();
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("OkNewBaza"), QStringLiteral("Ding")}));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), QByteArray());
    QCOMPARE(QDir(env.data() + QStringLiteral("/1")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
}

void TestTopics::missingSourceStopsSilently()
{
    Env env;
    env.setSubjects({QStringLiteral("Природа=1")});
    env.setTopics(1, {});
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.scripted.files << env.dir.path() + QStringLiteral("/нет.rtf");
    book.AddTopic();
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding")}));
    // A cancelled dialog plays "Cancel".
    book.AddTopic();
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("Ding"), QStringLiteral("Cancel")}));
    QVERIFY(env.scripted.messages.isEmpty());
}

void TestTopics::escapeStopsTheCheck()
{
    Source source(plainDocument());
    Env env;
    env.setSubjects({QStringLiteral("Природа=1")});
    env.setTopics(1, {QStringLiteral("Старое=1")});
    TForm2 &book = env.open();
    book.show();
    env.select("ListPredmet", 0);
    env.sink.played.clear();
    env.scripted.files << source.document;
    // Should the report come all the same, it is closed so the test ends.
    bool reported = false;
    auto *poll = new QTimer(&book);
    connect(poll, &QTimer::timeout, poll, [&env, &reported] {
        if (env.form3->isVisible()) {
            reported = true;
            env.form3->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        }
    });
    poll->start(5);
    // The author presses Esc as soon as the check has begun.
    QCoreApplication::postEvent(&book, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    book.AddTopic();
    delete poll;
    QVERIFY(!reported);
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("Cancel")}));
    QVERIFY(!book.findChild<QWidget *>(QStringLiteral("PanelProg"))->isVisible());
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), crlf({QStringLiteral("Старое=1")}));
    QVERIFY(env.scripted.inputs.isEmpty() && env.scripted.messages.isEmpty());
    QVERIFY(env.host.document.isEmpty());
    QVERIFY(env.state.TagIndex.isEmpty());
    book.hide();
}

void TestTopics::restore_data()
{
    QTest::addColumn<bool>("finalLineEnd");
    QTest::newRow("source ends with CR LF") << true;
    QTest::newRow("source without final line end") << false;
}

void TestTopics::restore()
{
    QFETCH(bool, finalLineEnd);
    Source source(plainDocument(finalLineEnd));
    Env env;
    env.setSubjects({QStringLiteral("Природа=1")});
    env.setTopics(1, {QStringLiteral("Астрономия=1")});
    const QString topic = env.data() + QStringLiteral("/1/1");
    QDir().mkpath(topic);
    QVERIFY(TopicFiles::writeTopicFiles(topic, source.document, {QStringLiteral("Луна.PNG"), QStringLiteral("img\\sun.png")},
                                        {"1", "5", "8", "12"}, 3));
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.select("ListTema", 0);
    QTemporaryDir dest;
    QDir().mkpath(dest.path() + QStringLiteral("/вложенная"));
    writeFile(dest.path() + QStringLiteral("/.hidden"), "x");
    TForm8 &restore = *env.form8;
    restore.show();
    restore.selectFolder(dest.path());
    QCOMPARE(QDir::fromNativeSeparators(restore.destination()), dest.path());
    env.sink.played.clear();
    env.scripted.confirms << true;
    restore.Button1Click();
    QVERIFY(env.scripted.messages.isEmpty());
    QVERIFY(!restore.isVisible());
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("Count"), QStringLiteral("Cancel")}));
    QCOMPARE(fileBytes(dest.path() + QStringLiteral("/test.rtf")), plainDocument(true));
    QCOMPARE(fileBytes(dest.path() + QStringLiteral("/Луна.PNG")), fileBytes(source.dir.path() + QStringLiteral("/луна.png")));
    QCOMPARE(QFileInfo(dest.path() + QStringLiteral("/img/sun.png")).lastModified(), PictureDate);
    QCOMPARE(QDir(dest.path()).entryList(QDir::Files), QStringList({QStringLiteral("test.rtf"), QStringLiteral("Луна.PNG")}));
    QVERIFY(env.host.document.isEmpty());
    Q_UNUSED(book);
}

void TestTopics::restoreRefusesFolderWithFiles()
{
    Source source(plainDocument());
    Env env;
    env.setSubjects({QStringLiteral("Природа=1")});
    env.setTopics(1, {QStringLiteral("Астрономия=1")});
    const QString topic = env.data() + QStringLiteral("/1/1");
    QDir().mkpath(topic);
    QVERIFY(TopicFiles::writeTopicFiles(topic, source.document, {}, {"1", "12"}, 1));
    env.open();
    env.select("ListPredmet", 0);
    env.select("ListTema", 0);
    QTemporaryDir dest;
    writeFile(dest.path() + QStringLiteral("/чужой.doc"), "mine");
    env.form8->selectFolder(dest.path());
    env.form8->Button1Click();
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("ErrorNewBaza")}));
    QCOMPARE(env.scripted.messages.size(), 1);
    QCOMPARE(env.scripted.messages.at(0).text, QStringLiteral("Папка не пустая !!!"));
    QVERIFY(!QFileInfo::exists(dest.path() + QStringLiteral("/test.rtf")));
}

void TestTopics::restoreDeclinedWritesNothing()
{
    Source source(plainDocument());
    Env env;
    env.setSubjects({QStringLiteral("Природа=1")});
    env.setTopics(1, {QStringLiteral("Астрономия=1")});
    const QString topic = env.data() + QStringLiteral("/1/1");
    QDir().mkpath(topic);
    QVERIFY(TopicFiles::writeTopicFiles(topic, source.document, {}, {"1", "12"}, 1));
    env.open();
    env.select("ListPredmet", 0);
    env.select("ListTema", 0);
    QTemporaryDir dest;
    env.form8->selectFolder(dest.path());
    env.scripted.confirms << false;
    env.form8->Button1Click();
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("Cancel")}));
    QVERIFY(QDir(dest.path()).isEmpty());
}

void TestTopics::newFolderBecomesDestination()
{
    Env env;
    env.open();
    QTemporaryDir parent;
    TForm8 &restore = *env.form8;
    restore.selectFolder(parent.path());
    env.scripted.inputs << QStringLiteral("Тесты 7 класс");
    restore.Button2Click();
    QVERIFY(QFileInfo(parent.path() + QStringLiteral("/Тесты 7 класс")).isDir());
    QCOMPARE(QDir::fromNativeSeparators(restore.destination()), parent.path() + QStringLiteral("/Тесты 7 класс"));
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("OptTestCancel")}));
    // The same name again, or a name that climbs out, cannot be made.
    restore.selectFolder(parent.path());
    env.sink.played.clear();
    env.scripted.inputs << QStringLiteral("Тесты 7 класс") << QStringLiteral("../вне");
    restore.Button2Click();
    restore.Button2Click();
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("ErrorNewBaza"), QStringLiteral("Ding"),
                                           QStringLiteral("ErrorNewBaza")}));
    QCOMPARE(env.scripted.messages.size(), 2);
    QCOMPARE(env.scripted.messages.at(1).text, QStringLiteral("Невозможно создать папку !!!"));
    QCOMPARE(QDir::fromNativeSeparators(restore.destination()), parent.path());
    QVERIFY(!QFileInfo::exists(QFileInfo(parent.path()).absolutePath() + QStringLiteral("/вне")));
    // An empty answer plays "Cancel".
    env.sink.played.clear();
    env.scripted.inputs << QString();
    restore.Button2Click();
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("Cancel")}));
}

// An old topic whose document names pictures the topic folder cannot give:
// one outside it by "..", one through a link that leads out of it.
QString storeOldTopic(Env &env, const QTemporaryDir &outside)
{
    env.setSubjects({QStringLiteral("Природа=1")});
    env.setTopics(1, {QStringLiteral("Астрономия=1")});
    const QString topic = env.data() + QStringLiteral("/1/1");
    LineList lines = LineLists::split(plainDocument() + crlf({QStringLiteral("{test=1}"), QStringLiteral("{pic=..\\чужой.png}"),
                                                              QStringLiteral("Вопрос"), QStringLiteral("{test=2}"),
                                                              QStringLiteral("{pic=ссылка.png}"), QStringLiteral("Вопрос")}));
    Codec::codeLines(lines);
    [&] {
        QVERIFY(QDir().mkpath(topic + QStringLiteral("/img")));
        QVERIFY(LineLists::write(topic + QStringLiteral("/Baza.dat"), lines));
        makePicture(topic + QStringLiteral("/Луна.PNG"), Qt::gray);
        makePicture(topic + QStringLiteral("/img/sun.png"), Qt::yellow);
        writeFile(env.data() + QStringLiteral("/1/чужой.png"), "other topic");
        writeFile(outside.path() + QStringLiteral("/secret"), "secret");
        QVERIFY(QFile::link(outside.path() + QStringLiteral("/secret"), topic + QStringLiteral("/ссылка.png")));
    }();
    return topic;
}

void TestTopics::restoreCopiesWhatTheTopicHolds()
{
    Env env;
    QTemporaryDir outside;
    const QString topic = storeOldTopic(env, outside);
    env.open();
    env.select("ListPredmet", 0);
    env.select("ListTema", 0);
    QTemporaryDir dest;
    TForm8 &restore = *env.form8;
    restore.show();
    restore.selectFolder(dest.path());
    env.sink.played.clear();
    env.scripted.confirms << true;
    restore.Button1Click();
    QCOMPARE(env.scripted.messages.size(), 1);
    QCOMPARE(env.scripted.messages.at(0).text,
             QStringLiteral("Тест восстановлен, но не скопированы рисунки, которых нет в папке темы:\n"
                            "«..\\чужой.png»\n«ссылка.png»"));
    QVERIFY(!restore.isVisible());
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("ErrorNewBaza"), QStringLiteral("Count"),
                                           QStringLiteral("Cancel")}));
    QCOMPARE(QDir(dest.path()).entryList(QDir::Files), QStringList({QStringLiteral("test.rtf"), QStringLiteral("Луна.PNG")}));
    QCOMPARE(fileBytes(dest.path() + QStringLiteral("/img/sun.png")), fileBytes(topic + QStringLiteral("/img/sun.png")));
    QVERIFY(!QFileInfo::exists(QFileInfo(dest.path()).absolutePath() + QStringLiteral("/чужой.png")));
}

void TestTopics::failedRestoreLeavesFolderEmpty()
{
    // The destination's picture sub-folder is a link to another place: the
    // picture is not written there, and the restore is taken back.
    Env env;
    QTemporaryDir outside;
    storeOldTopic(env, outside);
    env.open();
    env.select("ListPredmet", 0);
    env.select("ListTema", 0);
    QTemporaryDir dest;
    QTemporaryDir elsewhere;
    QVERIFY(QFile::link(elsewhere.path(), dest.path() + QStringLiteral("/img")));
    TForm8 &restore = *env.form8;
    restore.show();
    restore.selectFolder(dest.path());
    env.scripted.confirms << true;
    restore.Button1Click();
    QCOMPARE(env.scripted.messages.size(), 1);
    QVERIFY2(env.scripted.messages.at(0).text.contains(QStringLiteral("sun.png")),
             qPrintable(env.scripted.messages.at(0).text));
    QVERIFY(restore.isVisible());
    QVERIFY(QDir(elsewhere.path()).isEmpty());
    QVERIFY(TopicFiles::hasNoFiles(dest.path()));

    // Once the link is gone, the same folder is accepted.
    QVERIFY(QFile::remove(dest.path() + QStringLiteral("/img")));
    env.scripted.messages.clear();
    env.scripted.confirms << true;
    restore.Button1Click();
    QCOMPARE(env.scripted.messages.size(), 1);
    QVERIFY(!restore.isVisible());
    QVERIFY(QFileInfo(dest.path() + QStringLiteral("/img/sun.png")).isFile());
}

void TestTopics::pictureNamesCannotLeaveTheFolder()
{
    QTemporaryDir from;
    QTemporaryDir to;
    QTemporaryDir outside;
    writeFile(from.path() + QStringLiteral("/a.png"), "a");
    writeFile(outside.path() + QStringLiteral("/secret"), "secret");
    QVERIFY(QFile::link(outside.path() + QStringLiteral("/secret"), from.path() + QStringLiteral("/link.png")));
    QVERIFY(QFile::link(outside.path(), from.path() + QStringLiteral("/linkdir")));
    const QStringList names{QStringLiteral("../a.png"), QStringLiteral("/etc/passwd"), QStringLiteral("C:\\x.png"),
                            QStringLiteral("img\\..\\..\\a.png"), QStringLiteral("link.png"),
                            QStringLiteral("linkdir/secret")};
    const TopicFiles::PictureCopy copy = TopicFiles::copyPictures(from.path() + QStringLiteral("/"), to.path(), names);
    QVERIFY(copy.status);
    QCOMPARE(copy.missing, names);
    QVERIFY(copy.copied.isEmpty());
    QVERIFY(QDir(to.path()).isEmpty());
}

// A GIFT file with a picture becomes a document in the folder the teacher
// picks and, right away, a topic; the topic goes out again as GIFT with its
// picture beside it.
void TestTopics::questionBankThroughTheChooser()
{
    QTemporaryDir banks;
    const QString bank = banks.filePath(QStringLiteral("физика.gift"));
    QVERIFY(QFile::copy(QStringLiteral(NASTAVNIK_SOURCE_DIR "/tests/data/banks/moodle.gift"), bank));
    const QByteArray picture = fileBytes(QStringLiteral(NASTAVNIK_SOURCE_DIR "/tests/data/banks/map small.png"));
    writeFile(banks.filePath(QStringLiteral("map small.png")), picture);
    QTemporaryDir documents;
    Env env;
    env.setSubjects({QStringLiteral("Природа=1")});
    env.setTopics(1, {});
    TForm2 &book = env.open();
    book.show();
    env.select("ListPredmet", 0);
    env.scripted.files << bank;
    env.scripted.folders << documents.path();
    env.scripted.confirms << true;
    env.scripted.inputs << QStringLiteral("Силы");
    bool seen = false;
    const QString hint = QStringLiteral("вопрос %1: не найдены нумерованные ответы %2 ({test=%3})");
    answerReport(env, "Button2",
                 QStringLiteral("База создана:\n\nТестов: 5\nРисунков: 1\n\nПредупреждения: 3\n")
                     + QStringLiteral("строка 18, ") + hint.arg(3).arg(4).arg(3) + u'\n'
                     + QStringLiteral("строка 24, ") + hint.arg(4).arg(4).arg(1) + u'\n'
                     + QStringLiteral("строка 30, ") + hint.arg(5).arg(QStringLiteral("3, 4")).arg(1),
                 true, &seen);
    book.ImportQuestions();
    QVERIFY(seen);
    QCOMPARE(env.scripted.asked, QStringList({QStringLiteral("open"), QStringLiteral("folder"),
                                              QStringLiteral("Внимание !!!"), QStringLiteral("Новая тема")}));
    QCOMPARE(fileBytes(documents.filePath(QStringLiteral("map small.png"))), picture);
    QCOMPARE(env.rows("ListTema"), QStringList({QStringLiteral("Силы")}));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/1/map small.png")), picture);

    env.select("ListTema", 0);
    QTemporaryDir out;
    env.scripted.saves << out.filePath(QStringLiteral("силы.gift.txt"));
    book.ExportGift();
    QCOMPARE(env.scripted.messages.size(), 1);
    QVERIFY2(env.scripted.messages.at(0).text.contains(QStringLiteral("Вопросов: 5\nРисунков рядом с ним: 1")),
             qPrintable(env.scripted.messages.at(0).text));
    const QString gift = QString::fromUtf8(fileBytes(out.filePath(QStringLiteral("силы.gift.txt"))));
    QVERIFY2(gift.startsWith(QStringLiteral("// Силы\n\nКакая сила тянет яблоко вниз? {\n~Сила трения\n=Сила тяжести\n")),
             qPrintable(gift));
    QCOMPARE(fileBytes(out.filePath(QStringLiteral("map small.png"))), picture);
    book.hide();
}

QTEST_MAIN(TestTopics)
#include "tst_topics.moc"
