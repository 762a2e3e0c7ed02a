// The teacher's journal window in the whole program, driven as a teacher
// would: opened from the Сервис menu over the dimmed main window, filtered
// by a part of a surname, a run selected for its answers, the item analysis
// of a topic, the runs saved through the real file dialog and read back;
// and a teacher's password that keeps it shut after three wrong tries.
#include "library/Paths.h"
#include "library/TeacherPassword.h"
#include "results/Journal.h"
#include "results/ui/JournalWindow.h"
#include "tests/support/Program.h"

#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>

namespace {

void writeLesson(const QString &path)
{
    Journal journal(path, QStringLiteral("Кабинет-7"));
    const auto run = [&journal](const QString &surname, const QString &topic, int minute, int right) {
        Journal::RunStart start;
        start.surname = surname;
        start.subject = QStringLiteral("Физика");
        start.topic = topic;
        start.started = QDateTime(QDate(2026, 12, 9), QTime(9, minute));
        start.timeCode = "1";
        start.resultForm = "2";
        start.questionsToAsk = 3;
        QVERIFY(journal.beginRun(start));
        for (int question = 1; question <= 3; ++question)
            QVERIFY(journal.recordAnswer({question, question <= right ? 1 : 2, 1, 10 + question}));
        QVERIFY(journal.finishRun({start.started.addSecs(60), right, QStringLiteral("\"%1\"").arg(4 * right)}));
    };
    run(QStringLiteral("Иванова"), QStringLiteral("Оптика"), 0, 2);
    run(QStringLiteral("Петров"), QStringLiteral("Оптика"), 5, 3);
    run(QStringLiteral("Сидоров"), QStringLiteral("Механика"), 10, 1);
}

} // namespace

class TestJournalWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void teacherReadsAndSaves();
    void passwordKeepsItShut();
};

void TestJournalWindow::teacherReadsAndSaves()
{
    Program program;
    writeLesson(Paths::journalFile(program.state.ResultsLibraryFolder));
    program.showAndGreet();
    JournalWindow &window = program.windows->journalWindow();
    const QString csv = program.folder() + QStringLiteral("Журнал 9 декабря.csv");

    bool dimmed = false;
    QString source;
    int listed = -1, filtered = -1, answers = -1, items = -1;
    QString answerShown;
    ModalAnswerer answerer([&](QWidget *modal) {
        if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            QTimer::singleShot(0, files, [files, &csv] {
                // As typed: a file picked by a call would not reach the
                // name box while it has the focus.
                files->findChild<QLineEdit *>(u"fileNameEdit"_qs)->setText(csv);
                static_cast<QDialog *>(files)->accept();
            });
            return true;
        }
        if (modal != &window)
            return false;
        QTimer::singleShot(0, &window, [&] {
            dimmed = program.form1->isDimmed();
            source = window.SourceLabel->text();
            listed = window.RunsView->model()->rowCount();
            window.SurnameEdit->setText(QStringLiteral("ИВА"));
            QTest::keyClick(window.SurnameEdit, Qt::Key_Return);
            filtered = window.RunsView->model()->rowCount();
            const QModelIndex first = window.RunsView->model()->index(0, 2);
            QTest::mouseClick(window.RunsView->viewport(), Qt::LeftButton, {},
                              window.RunsView->visualRect(first).center());
            answers = window.AnswersView->rowCount();
            answerShown = window.AnswersView->item(2, 2)->text() + u'/' + window.AnswersView->item(2, 4)->text();
            QTest::mouseClick(window.ExportRuns, Qt::LeftButton);
            window.SurnameEdit->clear();
            window.SubjectBox->setCurrentIndex(window.SubjectBox->findText(QStringLiteral("Физика")));
            window.TopicBox->setCurrentIndex(window.TopicBox->findText(QStringLiteral("Оптика")));
            window.Pages->setCurrentIndex(1);
            items = window.ItemsView->rowCount();
            QTest::mouseClick(window.CloseButton, Qt::LeftButton);
        });
        return true;
    });
    program.form1->N19->trigger();

    QVERIFY(dimmed);
    QVERIFY(!program.form1->isDimmed());
    QVERIFY2(source.startsWith(QStringLiteral("Журнал этого компьютера")), qPrintable(source));
    QCOMPARE(listed, 3);
    QCOMPARE(filtered, 1);
    QCOMPARE(answers, 3);
    QCOMPARE(answerShown, QStringLiteral("2/неверно"));
    QCOMPARE(items, 3);
    QFile saved(csv);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).startsWith("\xEF\xBB\xBF" "Дата;Начало;Фамилия;"));
    QCOMPARE(lines.at(1), QByteArray("09.12.2026;09:00;Иванова;Физика;Оптика;2;3;8;12-балльная;60;Кабинет-7;завершён\r"));
}

void TestJournalWindow::passwordKeepsItShut()
{
    Program program;
    QVERIFY(TeacherPassword::make(QStringLiteral("секрет")).save(Paths::teacherPassword(program.state.LibraryFolder)));
    program.showAndGreet();
    QStringList seen;
    ModalAnswerer answerer([&seen](QWidget *modal) {
        if (auto *box = qobject_cast<QInputDialog *>(modal)) {
            seen << (box->textEchoMode() == QLineEdit::Password ? u"hidden"_qs : u"shown"_qs);
            box->setTextValue(QStringLiteral("не тот"));
            box->accept();
        } else {
            seen << ModalAnswerer::describe(modal);
            ModalAnswerer::press(modal, QMessageBox::Ok);
        }
        return true;
    });
    program.form1->N19->trigger();
    QCOMPARE(seen, (QStringList{u"hidden"_qs, u"hidden"_qs, u"hidden"_qs,
                                u"Внимание !!!|Пароль учителя введён неверно три раза."_qs}));
    QVERIFY(program.sink.played.contains(u"ErrorNewBaza"_qs));
    QVERIFY(!program.sink.played.contains(u"Table"_qs));   // the journal was never shown
}

QTEST_MAIN(TestJournalWindow)
#include "tst_journalwindow.moc"
