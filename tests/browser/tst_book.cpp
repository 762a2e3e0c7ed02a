// The chooser: its lists, the subject and topic commands, the sort, the
// context menus and the cues, driven through the real window with scripted
// answers (and a few real input and message boxes), with the index files
// read back byte for byte.
#include "Fixture.h"

#include "browser/ui/BookButton.h"
#include "library/LibraryLocation.h"

#include <QAbstractButton>
#include <QDirIterator>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

class TestBook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadsSubjectsAndTopics();
    void focusAloneChoosesNothing();
    void missingSubjectIndexStartsEmpty();
    void addSubject_data();
    void addSubject();
    void addSubjectReusesFreedNumber();
    void addSubjectRefusesUnstorableName();
    void addSubjectCancelled();
    void renameSubjectAndTopic();
    void deleteTopic();
    void deleteTopicDeclined();
    void deleteSubject();
    void deleteTopicPartlyGone();
    void deleteSubjectWithPartlyGoneTopic();
    void damagedTopicLineHasNoTopic();
    void damagedSubjectLineHasNoSubject();
    void deleteSubjectWithForeignFileKeepsIt();
    void deleteTopicIndexUnwritableKeepsLine();
    void sort();
    void sortEmptyLibrary();
    void sortPassesDamagedSubjectLine();
    void readOnlyLibraryRefusesEdits();
    void menus();
    void rightClickSelectsAndOpensMenu();
    void closeCues();
    void realInputBoxAddsSubject();
    void realConfirmationDeletesTopic();
};

void TestBook::loadsSubjectsAndTopics()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=2"), QStringLiteral("Алгебра=1")});
    env.setTopics(1, {QStringLiteral("Дроби=1")});
    env.setTopics(2, {QStringLiteral("Оптика=3"), QStringLiteral("Механика=1")});
    env.open();
    QCOMPARE(env.rows("ListPredmet"), QStringList({QStringLiteral("Физика"), QStringLiteral("Алгебра")}));
    QVERIFY(env.rows("ListTema").isEmpty());
    env.select("ListPredmet", 0);
    QCOMPARE(env.rows("ListTema"), QStringList({QStringLiteral("Оптика"), QStringLiteral("Механика")}));
    QCOMPARE(env.state.CurrentSubjectFolder, env.data() + QStringLiteral("/2"));
    env.select("ListTema", 0);
    QCOMPARE(env.state.CurrentBasePath, env.data() + QStringLiteral("/2/3/Baza.dat"));
    // Another subject empties the topic selection but keeps the path.
    env.select("ListPredmet", 1);
    QCOMPARE(env.rows("ListTema"), QStringList({QStringLiteral("Дроби")}));
    QCOMPARE(env.list("ListTema")->currentRow(), -1);
    QCOMPARE(env.state.CurrentBasePath, env.data() + QStringLiteral("/2/3/Baza.dat"));
    QVERIFY(env.scripted.messages.isEmpty());
}

void TestBook::focusAloneChoosesNothing()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=2"), QStringLiteral("Алгебра=1")});
    env.setTopics(1, {QStringLiteral("Дроби=1")});
    env.setTopics(2, {QStringLiteral("Оптика=3")});
    TForm2 &book = env.open();
    book.show();
    QVERIFY(QTest::qWaitForWindowExposed(&book));
    QListWidget *subjects = env.list("ListPredmet");
    subjects->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(subjects->hasFocus());
    QVERIFY(subjects->selectedItems().isEmpty());
    QVERIFY(env.rows("ListTema").isEmpty());
    QVERIFY(env.state.CurrentSubjectFolder.isEmpty());

    // The keyboard chooses, from the first row, and the topics follow the
    // highlighted subject.
    QTest::keyClick(subjects, Qt::Key_Down);
    QCOMPARE(subjects->selectedItems().size(), 1);
    QCOMPARE(env.rows("ListTema"), QStringList{QStringLiteral("Оптика")});
    QTest::keyClick(subjects, Qt::Key_Down);
    QCOMPARE(env.rows("ListTema"), QStringList{QStringLiteral("Дроби")});
    QTest::keyClick(subjects, Qt::Key_Up);
    QCOMPARE(env.rows("ListTema"), QStringList{QStringLiteral("Оптика")});

    // The menus' commands have keys in their lists: F2 renames the subject
    // (cancelled here), Del on the topic asks first (and is refused).
    env.scripted.inputs.enqueue(QString());
    QTest::keyClick(subjects, Qt::Key_F2);
    QCOMPARE(env.scripted.asked.size(), 1);
    QListWidget *topics = env.list("ListTema");
    topics->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(topics->hasFocus());
    QTest::keyClick(topics, Qt::Key_Down);
    QCOMPARE(topics->selectedItems().size(), 1);
    env.scripted.confirms.enqueue(false);
    QTest::keyClick(topics, Qt::Key_Delete);
    QCOMPARE(env.scripted.asked.size(), 2);
    QCOMPARE(env.rows("ListTema"), QStringList{QStringLiteral("Оптика")});
    book.hide();
}

void TestBook::missingSubjectIndexStartsEmpty()
{
    Env env;
    // The subject index is gone, its subjects' folders are still there.
    env.setTopics(1, {QStringLiteral("Дроби=1")});
    env.makeTopic(1, 1);
    const QByteArray topicsOfOne = fileBytes(env.data() + QStringLiteral("/1/Index.dat"));
    TForm2 &book = env.open();
    QVERIFY(env.rows("ListPredmet").isEmpty());
    QVERIFY(env.scripted.messages.isEmpty());
    // Said once, when the chooser opens.
    book.show();
    QCOMPARE(env.scripted.messages.size(), 1);
    QVERIFY(env.scripted.messages.at(0).text.contains(
        QDir::toNativeSeparators(env.data() + QStringLiteral("/Index.dat"))));
    book.hide();
    book.show();
    QCOMPARE(env.scripted.messages.size(), 1);

    env.scripted.inputs.enqueue(QStringLiteral("История"));
    book.AddSubject();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")), crlf({QStringLiteral("История=2")}));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/2/Index.dat")), QByteArray());
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), topicsOfOne);
    QVERIFY(QFileInfo::exists(env.data() + QStringLiteral("/1/1/Baza.dat")));
    book.hide();
}

void TestBook::addSubject_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("plain") << QStringLiteral("Физика") << QStringLiteral("Физика");
    QTest::newRow("13 chars cut to 12") << QStringLiteral("Информатика12") << QStringLiteral("Информатика1");
    QTest::newRow("exactly 12") << QStringLiteral("Природоведен") << QStringLiteral("Природоведен");
    QTest::newRow("20 chars") << QStringLiteral("абвгдеёжзийклмнопрст") << QStringLiteral("абвгдеёжзийк");
    QTest::newRow("equals replaced") << QStringLiteral("2=2 Счёт") << QStringLiteral("2-2 Счёт");
    QTest::newRow("spaces kept") << QStringLiteral("  Хим ") << QStringLiteral("  Хим ");
}

void TestBook::addSubject()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Env env;
    env.setSubjects({QStringLiteral("Алгебра=1")});
    env.setTopics(1, {});
    TForm2 &book = env.open();
    book.show();
    env.sink.played.clear();
    env.scripted.inputs.enqueue(typed);
    book.AddSubject();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")),
             crlf({QStringLiteral("Алгебра=1"), stored + QStringLiteral("=2")}));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/2/Index.dat")), QByteArray());
    QCOMPARE(env.rows("ListPredmet"), QStringList({QStringLiteral("Алгебра"), stored}));
    QCOMPARE(env.list("ListPredmet")->currentRow(), -1);
    // The input box takes the focus from the chooser right after "Ding".
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("Cancel"), QStringLiteral("NewPredmet")}));
    QCOMPARE(env.scripted.asked, QStringList({QStringLiteral("Новый предмет")}));
}

void TestBook::addSubjectReusesFreedNumber()
{
    Env env;
    env.setSubjects({QStringLiteral("A=1"), QStringLiteral("B=3"), QStringLiteral("C=4")});
    TForm2 &book = env.open();
    env.scripted.inputs << QStringLiteral("D") << QStringLiteral("E");
    book.AddSubject();
    book.AddSubject();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")),
             crlf({QStringLiteral("A=1"), QStringLiteral("B=3"), QStringLiteral("C=4"), QStringLiteral("D=2"),
                   QStringLiteral("E=5")}));
    QVERIFY(QFileInfo(env.data() + QStringLiteral("/2")).isDir());
    QVERIFY(QFileInfo(env.data() + QStringLiteral("/5/Index.dat")).isFile());
}

void TestBook::addSubjectRefusesUnstorableName()
{
    Env env;
    env.setSubjects({QStringLiteral("A=1")});
    const QByteArray before = fileBytes(env.data() + QStringLiteral("/Index.dat"));
    TForm2 &book = env.open();
    env.scripted.inputs.enqueue(QStringLiteral("日本語"));
    book.AddSubject();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")), before);
    QVERIFY(!QFileInfo::exists(env.data() + QStringLiteral("/2")));
    QCOMPARE(env.scripted.messages.size(), 1);
    QVERIFY(env.scripted.messages.at(0).text.contains(QStringLiteral("日本語")));
    QCOMPARE(env.rows("ListPredmet"), QStringList({QStringLiteral("A")}));
}

void TestBook::addSubjectCancelled()
{
    Env env;
    env.setSubjects({QStringLiteral("A=1")});
    TForm2 &book = env.open();
    env.scripted.inputs.enqueue(QString());
    book.AddSubject();
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Ding"), QStringLiteral("Cancel")}));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")), crlf({QStringLiteral("A=1")}));
    QVERIFY(!QFileInfo::exists(env.data() + QStringLiteral("/2")));
}

void TestBook::renameSubjectAndTopic()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=1"), QStringLiteral("Химия=2")});
    env.setTopics(2, {QStringLiteral("Кислоты=1"), QStringLiteral("Соли=2")});
    TForm2 &book = env.open();
    env.select("ListPredmet", 1);
    env.scripted.inputs << QStringLiteral("Органическая химия");
    book.RenameSubject();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")),
             crlf({QStringLiteral("Физика=1"), QStringLiteral("Органическая=2")}));
    QCOMPARE(env.rows("ListPredmet").at(1), QStringLiteral("Органическая"));
    QCOMPARE(env.sink.played.constLast(), QStringLiteral("Rename"));

    env.select("ListTema", 1);
    env.scripted.inputs << QStringLiteral("Соли и основания=");
    book.RenameTopic();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/2/Index.dat")),
             crlf({QStringLiteral("Кислоты=1"), QStringLiteral("Соли и основани=2")}));
    QCOMPARE(env.sink.played.constLast(), QStringLiteral("NewPredmet"));

    // An empty answer changes nothing and plays "Cancel".
    env.scripted.inputs << QString();
    book.RenameTopic();
    QCOMPARE(env.sink.played.constLast(), QStringLiteral("Cancel"));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/2/Index.dat")),
             crlf({QStringLiteral("Кислоты=1"), QStringLiteral("Соли и основани=2")}));
}

void TestBook::deleteTopic()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=1")});
    env.setTopics(1, {QStringLiteral("Оптика=1"), QStringLiteral("Механика=2")});
    env.makeTopic(1, 1);
    env.makeTopic(1, 2);
    writeFile(env.data() + QStringLiteral("/1/2/img/лампа.png"), "png");
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.select("ListTema", 1);
    env.sink.played.clear();
    env.scripted.confirms << true;
    book.DeleteTopic();
    QVERIFY(!QFileInfo::exists(env.data() + QStringLiteral("/1/2")));
    QVERIFY(QFileInfo::exists(env.data() + QStringLiteral("/1/1/Baza.dat")));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), crlf({QStringLiteral("Оптика=1")}));
    QCOMPARE(env.rows("ListTema"), QStringList({QStringLiteral("Оптика")}));
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Warn"), QStringLiteral("Del")}));

    // The last topic leaves a zero-byte index, not a deleted one.
    env.select("ListTema", 0);
    env.scripted.confirms << true;
    book.DeleteTopic();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), QByteArray());
    QVERIFY(env.scripted.messages.isEmpty());
}

void TestBook::deleteTopicDeclined()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=1")});
    env.setTopics(1, {QStringLiteral("Оптика=1")});
    env.makeTopic(1, 1);
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.select("ListTema", 0);
    env.sink.played.clear();
    env.scripted.confirms << false;
    book.DeleteTopic();
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Warn"), QStringLiteral("Cancel")}));
    QVERIFY(QFileInfo::exists(env.data() + QStringLiteral("/1/1/Baza.dat")));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), crlf({QStringLiteral("Оптика=1")}));
}

void TestBook::deleteSubject()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=1"), QStringLiteral("Химия=2")});
    env.setTopics(1, {QStringLiteral("Оптика=1"), QStringLiteral("Механика=2")});
    env.setTopics(2, {});
    env.makeTopic(1, 1);
    env.makeTopic(1, 2);
    writeFile(env.data() + QStringLiteral("/1/2/pics/a.png"), "png");
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.sink.played.clear();
    env.scripted.confirms << true;
    book.DeleteSubject();
    QVERIFY(!QFileInfo::exists(env.data() + QStringLiteral("/1")));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")), crlf({QStringLiteral("Химия=2")}));
    QCOMPARE(env.rows("ListPredmet"), QStringList({QStringLiteral("Химия")}));
    QVERIFY(env.rows("ListTema").isEmpty());
    // Topics go silently; only the subject's removal is heard.
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Warn"), QStringLiteral("Del")}));
    QCOMPARE(env.scripted.asked, QStringList({QStringLiteral("Внимание !!!")}));
    QVERIFY(!env.state.BrokenTopic && !env.state.SilentDelete);
}

void TestBook::deleteTopicPartlyGone()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=1")});
    env.setTopics(1, {QStringLiteral("Оптика=1"), QStringLiteral("Механика=2")});
    // A creation cut short before the base was written, and a topic whose
    // folder is gone altogether.
    env.makeTopic(1, 1, false);
    writeFile(env.data() + QStringLiteral("/1/1/Config.dat.aB3xYz"), "1\r\n");
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.select("ListTema", 0);
    env.scripted.confirms << true << true;
    book.DeleteTopic();
    QVERIFY(!QFileInfo::exists(env.data() + QStringLiteral("/1/1")));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), crlf({QStringLiteral("Механика=2")}));
    env.select("ListTema", 0);
    book.DeleteTopic();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), QByteArray());
    QVERIFY(env.rows("ListTema").isEmpty());
    QCOMPARE(env.scripted.asked, QStringList({QStringLiteral("Внимание !!!"), QStringLiteral("Внимание !!!")}));
    QVERIFY(env.scripted.messages.isEmpty());
}

void TestBook::deleteSubjectWithPartlyGoneTopic()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=1")});
    env.setTopics(1, {QStringLiteral("A=1"), QStringLiteral("B=2"), QStringLiteral("C=3")});
    env.makeTopic(1, 1);
    env.makeTopic(1, 2, false);
    env.makeTopic(1, 3);
    // A save of the topic index cut short left its temporary file; the next
    // start clears it away.
    writeFile(env.data() + QStringLiteral("/1/Index.dat.Qw12Er"), "A=1\r\n");
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.scripted.confirms << true;
    book.DeleteSubject();
    QVERIFY(!QFileInfo::exists(env.data() + QStringLiteral("/1")));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")), QByteArray());
    QVERIFY(env.rows("ListPredmet").isEmpty());
    QVERIFY(env.scripted.messages.isEmpty());
}

void TestBook::damagedTopicLineHasNoTopic()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=1")});
    env.setTopics(1, {QStringLiteral("Механика=1"), QStringLiteral("Оптика=2"), QStringLiteral("Плохая=x")});
    env.makeTopic(1, 1);
    env.makeTopic(1, 2);
    const QByteArray config = fileBytes(env.data() + QStringLiteral("/1/1/Config.dat"));
    TForm2 &book = env.open();
    book.show();
    QVERIFY(QTest::qWaitForWindowExposed(&book));
    QListWidget *subjects = env.list("ListPredmet");
    QListWidget *topics = env.list("ListTema");
    clickRow(subjects, 0);
    clickRow(topics, 0);
    const QString damage = QStringLiteral("строка 3");

    // Choosing the damaged row says which line it is and chooses no topic.
    clickRow(topics, 2, Qt::RightButton);
    auto *menu = book.findChild<QMenu *>(QStringLiteral("TemaMenu"));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    QVERIFY(topics->item(2)->isSelected());
    QCOMPARE(env.scripted.messages.size(), 1);
    QVERIFY(env.scripted.messages.at(0).text.contains(damage));

    // Every command that needs a topic says the same and does nothing: no
    // surname is asked, no dialog opens.
    const auto action = [menu](const QString &caption) {
        for (QAction *a : menu->actions())
            if (a->text() == caption)
                return a;
        return static_cast<QAction *>(nullptr);
    };
    QStringList dialogs;
    for (const QString &command : {QStringLiteral("Открыть тест..."), QStringLiteral("Настройки темы..."),
                                   QStringLiteral("Восстановить тему"), QStringLiteral("Просмотр теста"),
                                   QStringLiteral("Экспорт в GIFT...")}) {
        QTimer::singleShot(0, &book, [&dialogs] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                dialogs << modal->objectName();
                modal->hide();
            }
        });
        const qsizetype before = env.scripted.messages.size();
        action(command)->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(env.scripted.messages.size(), before + 1);
        QVERIFY2(env.scripted.messages.constLast().text.contains(damage), qPrintable(command));
    }
    QVERIFY(dialogs.isEmpty());
    QVERIFY(env.host.calls.isEmpty());
    QCOMPARE(env.state.LastTopicPath, QStringLiteral("Нет"));

    // Deleting it takes out its line alone, once the user agrees.
    env.scripted.confirms << true;
    action(QStringLiteral("Удалить тему"))->trigger();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")),
             crlf({QStringLiteral("Механика=1"), QStringLiteral("Оптика=2")}));
    QCOMPARE(env.rows("ListTema"), QStringList({QStringLiteral("Механика"), QStringLiteral("Оптика")}));
    QVERIFY(QFileInfo::exists(env.data() + QStringLiteral("/1/1/Baza.dat")));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/1/Config.dat")), config);
    QVERIFY(QFileInfo::exists(env.data() + QStringLiteral("/1/2/Baza.dat")));
    QCOMPARE(env.scripted.asked.constLast(), QStringLiteral("Внимание !!!"));
    book.hide();
}

void TestBook::damagedSubjectLineHasNoSubject()
{
    Env env;
    env.setSubjects({QStringLiteral("Пустой=1"), QStringLiteral("Плохой=y")});
    env.setTopics(1, {});
    TForm2 &book = env.open();
    book.show();
    QVERIFY(QTest::qWaitForWindowExposed(&book));
    QListWidget *subjects = env.list("ListPredmet");
    clickRow(subjects, 0);
    clickRow(subjects, 1, Qt::RightButton);
    auto *menu = book.findChild<QMenu *>(QStringLiteral("PredmetMenu"));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    QCOMPARE(env.scripted.messages.size(), 1);
    QVERIFY(env.scripted.messages.at(0).text.contains(QStringLiteral("строка 2")));

    // No topic can be added to it: nothing is asked.
    env.scripted.asked.clear();
    book.AddTopic();
    QCOMPARE(env.scripted.asked, QStringList({QStringLiteral("Внимание !!!")}));
    QVERIFY(env.scripted.messages.constLast().text.contains(QStringLiteral("строка 2")));

    // Deleting it removes its line and touches the folder of no subject.
    env.scripted.confirms << true;
    book.DeleteSubject();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")), crlf({QStringLiteral("Пустой=1")}));
    QVERIFY(QFileInfo(env.data() + QStringLiteral("/1")).isDir());
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), QByteArray());
    QCOMPARE(env.rows("ListPredmet"), QStringList({QStringLiteral("Пустой")}));
    book.hide();
}

void TestBook::deleteSubjectWithForeignFileKeepsIt()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=1")});
    env.setTopics(1, {QStringLiteral("A=1")});
    env.makeTopic(1, 1);
    writeFile(env.data() + QStringLiteral("/1/заметки.txt"), "mine");
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.scripted.confirms << true;
    book.DeleteSubject();
    QVERIFY(!QFileInfo::exists(env.data() + QStringLiteral("/1/1")));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), QByteArray());
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/заметки.txt")), QByteArray("mine"));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")), crlf({QStringLiteral("Физика=1")}));
    QCOMPARE(env.scripted.messages.size(), 1);
    QVERIFY(env.scripted.messages.at(0).text.contains(QStringLiteral("заметки.txt")));
    QVERIFY(!env.sink.played.contains(QStringLiteral("Del")));
}

void TestBook::deleteTopicIndexUnwritableKeepsLine()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=1")});
    env.setTopics(1, {QStringLiteral("A=1")});
    env.makeTopic(1, 1);
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.select("ListTema", 0);
    // The topic index cannot be replaced once it is a folder.
    QFile::remove(env.data() + QStringLiteral("/1/Index.dat"));
    QDir().mkpath(env.data() + QStringLiteral("/1/Index.dat/x"));
    env.scripted.confirms << true;
    book.DeleteTopic();
    QCOMPARE(env.scripted.messages.size(), 1);
    QCOMPARE(env.rows("ListTema"), QStringList({QStringLiteral("A")}));
    QCOMPARE(book.topics().count(), 1);
}

void TestBook::sort()
{
    Env env;
    env.setSubjects({QStringLiteral("физика=3"), QStringLiteral("Zoology=1"), QStringLiteral("Алгебра=2"),
                     QStringLiteral("ёлки=4"), QStringLiteral("Биология=5")});
    env.setTopics(1, {QStringLiteral("b=2"), QStringLiteral("A=1")});
    env.setTopics(2, {});
    env.setTopics(3, {QStringLiteral("Оптика=1"), QStringLiteral("механика=2"), QStringLiteral("Атом=3")});
    env.setTopics(4, {QStringLiteral("ель=1")});
    env.setTopics(5, {QStringLiteral("Клетка=7")});
    TForm2 &book = env.open();
    env.sink.played.clear();
    book.ButtonSortClick();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")),
             crlf({QStringLiteral("Алгебра=2"), QStringLiteral("Биология=5"), QStringLiteral("ёлки=4"),
                   QStringLiteral("физика=3"), QStringLiteral("Zoology=1")}));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/3/Index.dat")),
             crlf({QStringLiteral("Атом=3"), QStringLiteral("механика=2"), QStringLiteral("Оптика=1")}));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), crlf({QStringLiteral("A=1"), QStringLiteral("b=2")}));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/2/Index.dat")), QByteArray());
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Sort")}));
    // The first subject is selected and its topics shown; folders kept.
    QCOMPARE(env.list("ListPredmet")->currentRow(), 0);
    QCOMPARE(env.state.CurrentSubjectFolder, env.data() + QStringLiteral("/2"));
    env.select("ListPredmet", 3);
    env.select("ListTema", 0);
    QCOMPARE(env.state.CurrentBasePath, env.data() + QStringLiteral("/3/3/Baza.dat"));
}

void TestBook::sortEmptyLibrary()
{
    Env env;
    TForm2 &book = env.open();
    book.ButtonSortClick();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")), QByteArray());
    QVERIFY(env.rows("ListPredmet").isEmpty());
    QVERIFY(env.rows("ListTema").isEmpty());
}

void TestBook::sortPassesDamagedSubjectLine()
{
    Env env;
    env.setSubjects({QStringLiteral("физика=2"), QStringLiteral("Плохой=z"), QStringLiteral("Алгебра=1")});
    env.setTopics(1, {});
    env.setTopics(2, {QStringLiteral("b=2"), QStringLiteral("A=1")});
    TForm2 &book = env.open();
    book.ButtonSortClick();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")),
             crlf({QStringLiteral("Алгебра=1"), QStringLiteral("Плохой=z"), QStringLiteral("физика=2")}));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/2/Index.dat")), crlf({QStringLiteral("A=1"), QStringLiteral("b=2")}));
    QCOMPARE(env.scripted.messages.size(), 1);
    QVERIFY(env.scripted.messages.at(0).text.contains(QStringLiteral("строка 2")));
}

// Every file of a folder tree with its bytes.
static QMap<QString, QByteArray> tree(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, fileBytes(path));
    }
    return files;
}

void TestBook::readOnlyLibraryRefusesEdits()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=1")});
    env.setTopics(1, {QStringLiteral("Оптика=1")});
    env.makeTopic(1, 1);
    // The library is named for the program, and the file system says it
    // cannot be written.
    LibraryLocation::Places places;
    places.environment = env.state.LibraryFolder;
    places.userData = env.root() + QStringLiteral("home/");
    const LibraryLocation::Location location = LibraryLocation::locate(places, [](const QString &) { return false; });
    env.state.LibraryReadOnly = !location.writable;
    env.state.LibraryNotices = location.notices;
    const QMap<QString, QByteArray> before = tree(env.data());

    TForm2 &book = env.open();
    bool optionsShown = false;
    env.context->windows.showTopicOptions = [&optionsShown] { optionsShown = true; };
    // Said once: when the chooser first opens.
    book.show();
    QCOMPARE(env.scripted.messages.size(), 1);
    QCOMPARE(env.scripted.messages.at(0).text, location.notices.join(QStringLiteral("\n\n")));
    QCOMPARE(env.scripted.messages.at(0).icon, Prompter::Icon::Exclamation);
    book.hide();
    book.show();
    QCOMPARE(env.scripted.messages.size(), 1);

    clickRow(env.list("ListPredmet"), 0);
    clickRow(env.list("ListTema"), 0);
    env.scripted.messages.clear();
    env.sink.played.clear();
    // Each editing command says why it cannot be done, and asks nothing.
    const QList<void (TForm2::*)()> commands{&TForm2::AddSubject, &TForm2::RenameSubject, &TForm2::DeleteSubject,
                                             &TForm2::AddTopic,   &TForm2::RenameTopic,   &TForm2::DeleteTopic,
                                             &TForm2::TopicOptions, &TForm2::ButtonSortClick};
    for (const auto command : commands)
        (book.*command)();
    QCOMPARE(env.scripted.asked.size(), 1 + commands.size());
    QCOMPARE(env.scripted.messages.size(), commands.size());
    for (const ScriptedPrompter::Box &box : std::as_const(env.scripted.messages)) {
        QCOMPARE(box.caption, QStringLiteral("Внимание !!!"));
        QCOMPARE(box.text, QStringLiteral("Библиотека тестов «%1» открыта только для чтения: "
                                          "предметы и темы в ней изменить нельзя.")
                               .arg(QDir::toNativeSeparators(QDir::cleanPath(env.state.LibraryFolder))));
    }
    QCOMPARE(env.sink.played, QStringList(commands.size(), QStringLiteral("ErrorNewBaza")));
    QVERIFY(!optionsShown);
    QCOMPARE(tree(env.data()), before);
    QCOMPARE(env.rows("ListPredmet"), QStringList{QStringLiteral("Физика")});
    QCOMPARE(env.rows("ListTema"), QStringList{QStringLiteral("Оптика")});
    book.hide();
}

void TestBook::menus()
{
    Env env;
    env.open();
    const auto captions = [&env](const char *name) {
        QStringList texts;
        const QMenu *menu = env.form2->findChild<QMenu *>(QString::fromLatin1(name));
        for (const QAction *action : menu->actions())
            texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    };
    QCOMPARE(captions("PredmetMenu"),
             QStringList({QStringLiteral("Удалить предмет"), QStringLiteral("Переименовать предмет"),
                          QStringLiteral("Добавить предмет"), QStringLiteral("-"), QStringLiteral("Добавить новую тему"),
                          QStringLiteral("Импорт вопросов (GIFT, Aiken)..."), QStringLiteral("-"),
                          QStringLiteral("Закрыть книгу")}));
    QCOMPARE(captions("PredmetMenu1"),
             QStringList({QStringLiteral("Добавить предмет"), QStringLiteral("-"), QStringLiteral("Закрыть книгу")}));
    QCOMPARE(captions("TemaMenu"),
             QStringList({QStringLiteral("Открыть тест..."), QStringLiteral("Просмотр теста"), QStringLiteral("-"),
                          QStringLiteral("Удалить тему"),
                          QStringLiteral("Переименовать тему"), QStringLiteral("Восстановить тему"),
                          QStringLiteral("Экспорт в GIFT..."), QStringLiteral("Экспорт в Aiken..."), QStringLiteral("-"),
                          QStringLiteral("Настройки темы..."), QStringLiteral("-"), QStringLiteral("Закрыть книгу")}));
    QCOMPARE(captions("TemaMenu1"), QStringList({QStringLiteral("Закрыть книгу")}));
    QCOMPARE(env.form2->windowTitle(), QStringLiteral("Выбор..."));
    QCOMPARE(env.form2->size(), QSize(609, 413));
    QCOMPARE(env.list("ListPredmet")->geometry(), QRect(49, 47, 215, 285));
    QCOMPARE(env.list("ListTema")->geometry(), QRect(326, 48, 232, 283));
}

void TestBook::rightClickSelectsAndOpensMenu()
{
    Env env;
    env.setSubjects({QStringLiteral("Физика=1"), QStringLiteral("Химия=2")});
    env.setTopics(1, {QStringLiteral("Оптика=1")});
    env.setTopics(2, {QStringLiteral("Кислоты=1"), QStringLiteral("Соли=2")});
    TForm2 &book = env.open();
    book.show();
    QVERIFY(QTest::qWaitForWindowExposed(&book));
    QListWidget *subjects = env.list("ListPredmet");
    const QPoint row1 = subjects->visualItemRect(subjects->item(1)).center();
    env.sink.played.clear();
    QTest::mouseClick(subjects->viewport(), Qt::RightButton, {}, row1);
    QCOMPARE(subjects->currentRow(), 1);
    QCOMPARE(env.rows("ListTema"), QStringList({QStringLiteral("Кислоты"), QStringLiteral("Соли")}));
    auto *menu = book.findChild<QMenu *>(QStringLiteral("PredmetMenu"));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("ContecstMenu")}));

    // A left click on a row plays its selection cue.
    QListWidget *topics = env.list("ListTema");
    env.sink.played.clear();
    clickRow(topics, 1);
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("SelectTema")}));
    QCOMPARE(env.state.CurrentBasePath, env.data() + QStringLiteral("/2/2/Baza.dat"));

    // The empty part of the list opens the short menu and changes nothing.
    QTest::mouseClick(subjects->viewport(), Qt::RightButton, {}, QPoint(10, 270));
    auto *menu1 = book.findChild<QMenu *>(QStringLiteral("PredmetMenu1"));
    QTRY_VERIFY(menu1->isVisible());
    menu1->hide();
    QCOMPARE(subjects->currentRow(), 1);
    book.hide();
}

void TestBook::closeCues()
{
    Env env;
    TForm2 &book = env.open();
    book.show();
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Book")}));
    book.CloseBook();
    QVERIFY(!book.isVisible());
    QCOMPARE(env.sink.played, QStringList({QStringLiteral("Book"), QStringLiteral("Cancel")}));
    // Closing after a test was opened is silent and clears the flag.
    book.show();
    env.state.ChooserOpenedTest = true;
    book.accept();
    QCOMPARE(env.sink.played.constLast(), QStringLiteral("Book"));
    QVERIFY(!env.state.ChooserOpenedTest);
}

// Answers the next modal box when it appears; fails the test if none does.
template <typename Box, typename Answer>
static void answerNext(Answer answer)
{
    QTimer::singleShot(0, qApp, [answer] {
        QTRY_VERIFY(qobject_cast<Box *>(QApplication::activeModalWidget()));
        answer(qobject_cast<Box *>(QApplication::activeModalWidget()));
    });
}

void TestBook::realInputBoxAddsSubject()
{
    Env env(true);
    env.setSubjects({});
    TForm2 &book = env.open();
    book.show();
    answerNext<QInputDialog>([](QInputDialog *box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Новый предмет"));
        QCOMPARE(box->labelText(), QStringLiteral("Введите имя нового предмета"));
        box->setTextValue(QStringLiteral("География"));
        box->accept();
    });
    book.AddSubject();
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/Index.dat")), crlf({QStringLiteral("География=1")}));
    book.hide();
}

void TestBook::realConfirmationDeletesTopic()
{
    Env env(true);
    env.setSubjects({QStringLiteral("Физика=1")});
    env.setTopics(1, {QStringLiteral("Оптика=1")});
    env.makeTopic(1, 1);
    TForm2 &book = env.open();
    env.select("ListPredmet", 0);
    env.select("ListTema", 0);
    answerNext<QMessageBox>([](QMessageBox *box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Внимание !!!"));
        QCOMPARE(box->text(), QStringLiteral("Удалить эту тему?"));
        box->button(QMessageBox::Ok)->click();
    });
    book.DeleteTopic();
    QVERIFY(!QFileInfo::exists(env.data() + QStringLiteral("/1/1")));
    QCOMPARE(fileBytes(env.data() + QStringLiteral("/1/Index.dat")), QByteArray());
}

QTEST_MAIN(TestBook)
#include "tst_book.moc"
