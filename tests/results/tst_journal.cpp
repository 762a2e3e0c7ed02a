// The results journal: a whole test run through the real windows leaves its
// run and every answer in the SQLite file, each answer as soon as it is
// given; a journal that cannot be written is told once and the results
// table still gets its row.
#include "library/Cp1251.h"
#include "library/Paths.h"
#include "results/Journal.h"
#include "results/JournalSchema.h"
#include "results/ResultsFile.h"
#include "tests/support/Program.h"

#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Reads the journal through a connection of its own, as another program
// (the teacher's window, a second computer) would.
QList<QStringList> rows(const QString &path, const QString &sql)
{
    QList<QStringList> result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(sql, db);
            while (query.next()) {
                QStringList row;
                for (int i = 0; i < query.record().count(); ++i)
                    row << query.value(i).toString();
                result << row;
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("reader"));
    return result;
}

// Opens "Физика / Оптика" of the demo library through the chooser as
// "Иванов" and answers every other box with OK; seen keeps what came up.
struct Lesson
{
    explicit Lesson(Program &program)
        : program(program),
          answerer([this](QWidget *modal) {
              TForm2 &book = *this->program.form2;
              if (modal == &book) {
                  QTimer::singleShot(0, &book, [&book] {
                      pick(book, "ListPredmet", u"Физика"_qs);
                      pick(book, "ListTema", u"Оптика"_qs);
                      QTest::mouseClick(book.findChild<QWidget *>(u"ButtonOpen"_qs), Qt::LeftButton, {},
                                        QPoint(50, 10));
                  });
              } else if (auto *input = qobject_cast<QInputDialog *>(modal)) {
                  input->setTextValue(u"Иванов"_qs);
                  input->accept();
              } else {
                  if (auto *grade = modal->findChild<QLabel *>(u"Label3"_qs))
                      shownGrade = grade->text();
                  ModalAnswerer::press(modal, QMessageBox::Ok);
              }
              return true;
          })
    {
    }
    static void pick(TForm2 &book, const char *name, const QString &text)
    {
        auto *list = book.findChild<QListWidget *>(QString::fromLatin1(name));
        const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
        if (found.size() == 1)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    }
    void open() { program.form1->N2->trigger(); }

    Program &program;
    QString shownGrade;
    ModalAnswerer answerer;
};

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeTestKeepsEveryAnswer();
    void unwritableJournalIsToldOnce();
    void testCutShortGoesOn();
};

void TestJournal::wholeTestKeepsEveryAnswer()
{
    Program program("1\r\n1\r\n", Program::Library::Demo);
    const QString path = Paths::journalFile(program.libraryFolder());
    Journal journal(path, u"Кабинет-7"_qs);
    program.context->journal = &journal;
    program.showAndGreet();
    Lesson lesson(program);
    lesson.open();
    QVERIFY(program.state.SessionActive);
    QCOMPARE(program.state.QuestionsToAsk, 2);

    const int firstQuestion = program.state.DrawnQuestion;
    const int firstRight = program.state.CorrectAnswer;
    const int wrong = firstRight % 4 + 1;
    program.clock.msecs += 12'000;   // the student reads for twelve seconds, then answers in three
    program.answerAt(Program::fieldCentre(wrong));
    // The answer is in the file before the test goes on.
    QCOMPARE(rows(path, u"SELECT number, question, pressed, right_field, seconds FROM answers"_qs),
             (QList<QStringList>{{u"1"_qs, QString::number(firstQuestion), QString::number(wrong),
                                  QString::number(firstRight), u"15"_qs}}));
    QCOMPARE(rows(path, u"SELECT state FROM runs"_qs), (QList<QStringList>{{u"running"_qs}}));

    const int secondQuestion = program.state.DrawnQuestion;
    program.answerAt(Program::fieldCentre(program.state.CorrectAnswer));
    QVERIFY(!program.state.SessionActive);

    QCOMPARE(rows(path, u"SELECT computer, surname, subject, topic, questions, correct, grade, state FROM runs"_qs),
             (QList<QStringList>{{u"Кабинет-7"_qs, u"Иванов"_qs, u"Физика"_qs, u"Оптика"_qs, u"2"_qs, u"1"_qs,
                                  lesson.shownGrade, u"finished"_qs}}));
    QVERIFY(!lesson.shownGrade.isEmpty());
    const QList<QStringList> folders = rows(path, u"SELECT subject_folder, topic_folder FROM runs"_qs);
    QCOMPARE(Paths::topicFolder(Paths::subjectFolder(program.libraryFolder(), folders.at(0).at(0)), folders.at(0).at(1))
                 + u"/Baza.dat"_qs,
             QDir::cleanPath(program.state.CurrentBasePath));
    QCOMPARE(rows(path, u"SELECT number, question FROM answers ORDER BY number"_qs),
             (QList<QStringList>{{u"1"_qs, QString::number(firstQuestion)},
                                 {u"2"_qs, QString::number(secondQuestion)}}));
    QCOMPARE(rows(path, u"SELECT version FROM schema_version"_qs),
             (QList<QStringList>{{QString::number(JournalSchema::Version)}}));
}

void TestJournal::unwritableJournalIsToldOnce()
{
    Program program("1\r\n1\r\n", Program::Library::Demo);
    const QString path = Paths::journalFile(program.libraryFolder());
    QVERIFY(QDir().mkpath(path));   // a folder where the file should be
    Journal journal(path, u"Кабинет-7"_qs);
    program.context->journal = &journal;
    program.showAndGreet();
    Lesson lesson(program);
    for (int run = 0; run < 2; ++run) {
        lesson.open();
        QVERIFY(program.state.SessionActive);
        while (program.state.SessionActive)
            program.answerAt(Program::fieldCentre(program.state.CorrectAnswer));
        const Expected<LineList> table = ResultsFile::load(Paths::resultsFile(program.libraryFolder()));
        QVERIFY(table);
        QCOMPARE(Cp1251::decode(table->at(ResultsFile::lineIndex(14, 1))), u"Иванов"_qs);
    }
    QStringList told;
    for (const QString &seen : lesson.answerer.seen) {
        if (seen.contains(u"Журнал результатов"_qs))
            told << seen;
    }
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.first().contains(QDir::toNativeSeparators(path)), qPrintable(told.first()));
}

void TestJournal::testCutShortGoesOn()
{
    // The power goes after the first of two answers: the journal keeps a
    // running run, and the next start offers to go on with it.
    QTemporaryDir kept;
    const QString journalCopy = kept.filePath(u"journal.sqlite"_qs);
    int firstQuestion = 0;
    {
        Program program("1\r\n1\r\n", Program::Library::Demo);
        const QString path = Paths::journalFile(program.libraryFolder());
        Journal journal(path, u"Кабинет-7"_qs);
        program.context->journal = &journal;
        program.showAndGreet();
        Lesson lesson(program);
        lesson.open();
        firstQuestion = program.state.DrawnQuestion;
        program.answerAt(Program::fieldCentre(program.state.CorrectAnswer));
        QVERIFY(program.state.SessionActive);
        // What the disk holds when the power goes: the file and its log.
        QVERIFY(QFile::copy(path, journalCopy));
        QVERIFY(QFile::copy(path + u"-wal"_qs, journalCopy + u"-wal"_qs));
    }

    for (const bool goOn : {false, true}) {
        Program program("1\r\n1\r\n", Program::Library::Demo);
        const QString path = Paths::journalFile(program.libraryFolder());
        QFile::remove(path);
        QVERIFY(QFile::copy(journalCopy, path));
        QVERIFY(QFile::copy(journalCopy + u"-wal"_qs, path + u"-wal"_qs));
        Journal journal(path, u"Кабинет-7"_qs);
        program.context->journal = &journal;
        QStringList asked;
        ModalAnswerer answerer([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (box && box->text().startsWith(u"Продолжить тест"_qs)) {
                asked << box->text();
                ModalAnswerer::press(modal, goOn ? QMessageBox::Yes : QMessageBox::No);
            } else {
                ModalAnswerer::press(modal, QMessageBox::Ok);
            }
            return true;
        });
        program.showAndGreet();
        QTRY_COMPARE(asked, QStringList{u"Продолжить тест Иванов по теме Оптика?"_qs});
        if (!goOn) {
            QVERIFY(!program.state.SessionActive);
            QCOMPARE(rows(path, u"SELECT state FROM runs"_qs), (QList<QStringList>{{u"abandoned"_qs}}));
            continue;
        }
        // The second question is one not asked yet, and it is the last.
        QVERIFY(program.state.SessionActive);
        QVERIFY(program.state.DrawnQuestion != firstQuestion);
        QCOMPARE(program.form1->windowTitle(), u"Тестирование...   2 из 2"_qs);
        program.answerAt(Program::fieldCentre(program.state.CorrectAnswer));
        QVERIFY(!program.state.SessionActive);
        QCOMPARE(rows(path, u"SELECT surname, correct, state FROM runs"_qs),
                 (QList<QStringList>{{u"Иванов"_qs, u"2"_qs, u"finished"_qs}}));
        QCOMPARE(rows(path, u"SELECT COUNT(*) FROM answers"_qs), (QList<QStringList>{{u"2"_qs}}));
        const Expected<LineList> table = ResultsFile::load(Paths::resultsFile(program.libraryFolder()));
        QVERIFY(table);
        QCOMPARE(Cp1251::decode(table->at(ResultsFile::lineIndex(14, 1))), u"Иванов"_qs);
        QVERIFY(Cp1251::decode(table->at(ResultsFile::lineIndex(13, 1))) != u"Иванов"_qs);
    }
}

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
