// The teacher's preview, driven through the real chooser on the demo
// library: every question of "Физика / Оптика" in the document's order,
// with its picture in the picture box and its right field marked, as the
// topic's document has them; the keys turn the pages and Esc closes.
#include "authoring/ui/Preview.h"
#include "tests/support/Program.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTextEdit>

class TestPreviewWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsEveryQuestionAsTheStudentSees();
};

void TestPreviewWindow::showsEveryQuestionAsTheStudentSees()
{
    Program program("1\r\n1\r\n", Program::Library::Demo);
    program.showAndGreet();
    TForm2 &book = *program.form2;
    struct Page
    {
        QString text;
        int right = 0;
        bool picture = false;
        QRect pictureBox;
    };
    QList<Page> pages;
    const auto read = [&](TestPreview *preview) {
        Page page;
        page.text = preview->findChild<QTextEdit *>(u"RichMemoTest"_qs)->toPlainText();
        for (int field = 1; field <= 4; ++field) {
            if (preview->findChild<QLabel *>(u"Field%1"_qs.arg(field))->property("right").toBool())
                page.right = field;
        }
        auto *picture = preview->findChild<QLabel *>(u"Image1"_qs);
        page.picture = picture->isVisible() && !picture->pixmap().isNull();
        page.pictureBox = picture->geometry();
        return page;
    };
    QString title;
    int lastPage = 0;
    int homePage = 0;
    ModalAnswerer answerer([&](QWidget *modal) {
        if (modal == &book) {
            QTimer::singleShot(0, &book, [&] {
                for (const auto &[name, text] : {std::pair{"ListPredmet", u"Физика"_qs}, std::pair{"ListTema", u"Оптика"_qs}}) {
                    auto *list = book.findChild<QListWidget *>(QString::fromLatin1(name));
                    const QListWidgetItem *item = list->findItems(text, Qt::MatchExactly).value(0);
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
                }
                for (QAction *action : book.findChild<QMenu *>(u"TemaMenu"_qs)->actions()) {
                    if (action->text() == u"Просмотр теста"_qs)
                        action->trigger();
                }
                book.reject();
            });
        } else if (auto *preview = qobject_cast<TestPreview *>(modal)) {
            title = preview->windowTitle();
            for (int page = 0; page < preview->questionCount(); ++page) {
                pages << read(preview);
                QTest::keyClick(preview, Qt::Key_Right);
            }
            lastPage = preview->currentQuestion();   // no page past the last
            QTest::keyClick(preview, Qt::Key_Home);
            homePage = preview->currentQuestion();
            // Until the window system has made the preview the active window,
            // the topic list under it keeps the keyboard: its keys (Esc closes
            // the book) must not act while the preview is up.
            QApplication::setActiveWindow(&book);
            book.findChild<QListWidget *>(u"ListTema"_qs)->setFocus();
            QTest::keyClick(preview, Qt::Key_Escape);
        }
        return true;
    });
    program.form1->N2->trigger();
    QCOMPARE(title, u"Просмотр теста: Физика - ( Оптика )"_qs);
    QCOMPARE(pages.size(), 3);
    QCOMPARE(lastPage, 3);
    QCOMPARE(homePage, 1);
    QVERIFY(pages.at(0).text.startsWith(u"Какая линза изображена на схеме?"_qs));
    QCOMPARE(pages.at(0).right, 2);
    QVERIFY(pages.at(0).picture);
    // The picture lies in the main window's picture box, where the student sees it.
    QVERIFY(QRect(443, 303, 322, 181).contains(pages.at(0).pictureBox));
    QVERIFY(pages.at(1).text.startsWith(u"Угол падения равен углу"_qs));
    QCOMPARE(pages.at(1).right, 1);
    QVERIFY(!pages.at(1).picture);
    QVERIFY(pages.at(2).text.startsWith(u"Скорость света в вакууме"_qs));
    QCOMPARE(pages.at(2).right, 3);
    QVERIFY(!program.state.SessionActive);
}

QTEST_MAIN(TestPreviewWindow)
#include "tst_preview.moc"
