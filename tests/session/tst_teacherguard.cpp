// The teacher's password at the journal window's and the chooser's doors:
// set and removed through the Сервис menu's command, three tries, the error
// cue, and a chooser editing command that asks first.
#include "library/Paths.h"
#include "session/ui/TeacherGuard.h"
#include "tests/browser/Fixture.h"

#include <QMenu>

namespace {

QAction *menuAction(TForm2 &book, const char *menu, const QString &caption)
{
    for (QAction *action : book.findChild<QMenu *>(QString::fromLatin1(menu))->actions())
        if (action->text() == caption)
            return action;
    return nullptr;
}

} // namespace

class TestTeacherGuard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void threeTriesAndTheChooser();
    void settingAndRemoving();
};

void TestTeacherGuard::threeTriesAndTheChooser()
{
    Env env;
    TeacherGuard guard(*env.context);
    env.context->teacher = &guard;
    // No password: every door open, nothing asked.
    QVERIFY(guard.allow(nullptr));
    QVERIFY(env.scripted.asked.isEmpty());

    env.scripted.passwords << u"секрет"_qs << u"секрет"_qs;
    guard.changePassword(nullptr);
    QCOMPARE(env.scripted.messages.constLast().text, u"Пароль учителя сохранён."_qs);
    guard.lock();

    // Three wrong tries: the error cue, and the door stays shut.
    env.scripted.asked.clear();
    env.sink.clear();
    env.scripted.passwords << u"Секрет"_qs << u"секрет "_qs << u"пароль"_qs;
    QVERIFY(!guard.allow(nullptr));
    QCOMPARE(env.scripted.asked, (QStringList{u"Пароль учителя|Введите пароль учителя:"_qs,
                                              u"Пароль учителя|Пароль неверен. Попытка 2 из 3:"_qs,
                                              u"Пароль учителя|Пароль неверен. Попытка 3 из 3:"_qs,
                                              u"Внимание !!!"_qs}));
    QCOMPARE(env.scripted.messages.constLast().text, u"Пароль учителя введён неверно три раза."_qs);
    QCOMPARE(env.sink.played, QStringList{u"ErrorNewBaza"_qs});

    // The chooser's editing commands ask first; a cancelled box ends there.
    TForm2 &book = env.open();
    env.scripted.asked.clear();
    env.scripted.passwords << QString();
    menuAction(book, "PredmetMenu1", u"Добавить предмет"_qs)->trigger();
    QCOMPARE(env.scripted.asked, QStringList{u"Пароль учителя|Введите пароль учителя:"_qs});
    // Given once, the password holds until the guard locks again.
    env.scripted.asked.clear();
    env.scripted.passwords << u"секрет"_qs;
    env.scripted.inputs << QString() << QString();
    menuAction(book, "PredmetMenu1", u"Добавить предмет"_qs)->trigger();
    menuAction(book, "PredmetMenu1", u"Добавить предмет"_qs)->trigger();
    QCOMPARE(env.scripted.asked, (QStringList{u"Пароль учителя|Введите пароль учителя:"_qs, u"Новый предмет"_qs,
                                              u"Новый предмет"_qs}));
    guard.lock();
    env.scripted.asked.clear();
    env.scripted.passwords << QString();
    menuAction(book, "PredmetMenu1", u"Добавить предмет"_qs)->trigger();
    QCOMPARE(env.scripted.asked, QStringList{u"Пароль учителя|Введите пароль учителя:"_qs});
}

void TestTeacherGuard::settingAndRemoving()
{
    Env env;
    TeacherGuard guard(*env.context);
    const QString path = Paths::teacherPassword(env.state.LibraryFolder);

    // Two answers that differ set nothing.
    env.scripted.passwords << u"один"_qs << u"два"_qs;
    guard.changePassword(nullptr);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(env.scripted.messages.constLast().text, u"Пароли не совпадают. Пароль учителя не изменён."_qs);

    env.scripted.passwords << u"один"_qs << u"один"_qs;
    guard.changePassword(nullptr);
    QVERIFY(QFile::exists(path));
    guard.lock();
    // Removing it takes the old password and a confirmation.
    env.scripted.passwords << u"один"_qs << QString();
    env.scripted.confirms << true;
    guard.changePassword(nullptr);
    QVERIFY(!QFile::exists(path));
    guard.lock();
    QVERIFY(guard.allow(nullptr));

    // A damaged file keeps the doors shut and says which file it is.
    writeFile(path, "junk");
    env.scripted.messages.clear();
    QVERIFY(!guard.allow(nullptr));
    QVERIFY(env.scripted.messages.constLast().text.contains(QDir::toNativeSeparators(path)));
}

QTEST_MAIN(TestTeacherGuard)
#include "tst_teacherguard.moc"
