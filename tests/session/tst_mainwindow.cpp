// The main testing window driven as the student and the teacher drive it:
// menus, the board, the countdown, the end of a test, the abort and exit
// questions, and the sound switches, with the real windows and boxes.
#include "tests/support/Program.h"
#include "tests/support/Wav.h"

#include "library/Cp1251.h"
#include "results/ResultsFile.h"
#include "session/ui/SystemServices.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QTranslator>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextEdit>

namespace {

// Counts how often a window is shown.
class ShowCounter final : public QObject
{
public:
    explicit ShowCounter(QWidget *widget) { widget->installEventFilter(this); }
    int shows = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

QStringList without(QStringList list, const QString &name)
{
    list.removeAll(name);
    return list;
}

// Posts a press and a release to the window as the window system queues
// them: they are handled when the event loop next comes round.
void queueClick(QWidget *surface, QPoint point)
{
    QWidget *window = surface->window();
    const QPointF local = surface->mapTo(window, point);
    const QPointF global = surface->mapToGlobal(point);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QCoreApplication::postEvent(window->windowHandle(),
                                    new QMouseEvent(type, local, local, global, Qt::LeftButton, held, Qt::NoModifier));
    }
}

// The texts a label had each time it was painted.
class PaintedTexts final : public QObject
{
public:
    explicit PaintedTexts(QLabel *label) : m_label(label) { label->installEventFilter(this); }
    QStringList texts;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            texts << m_label->text();
        return false;
    }

private:
    QLabel *m_label;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controlsAndPlaces_data();
    void controlsAndPlaces();
    void fixedClientArea();
    void menusIdleAndTesting();
    void wholeTestToResultsTable();
    void keysPressTheBoard();
    void menuKeysOnlyWhenIdle();
    void counterAndCaptionWithoutBudget();
    void onePressPerTick_data();
    void onePressPerTick();
    void pressDuringReactionIsNeverJudged();
    void clockTextOnScreenThroughPauses();
    void pressOutsideTestDoesNothing();
    void pokesAtTheTutor();
    void questionViewToggles();
    void wideTableScrolls();
    void enlargedViewCoversClockAndPicture();
    void lookZonesReportedOnChange();
    void timerCuesAndTimeOut();
    void timeOutDropsPressedField();
    void timeOutWhileAbortBoxOpenRecordsOnce();
    void timeOutWhileBrokenBaseBoxOpenRecordsOnce();
    void voiceLinesHeardWhole();
    void nameRequestHeardAfterChooserCloses();
    void abortCommand_data();
    void abortCommand();
    void closeQuery_data();
    void closeQuery();
    void brokenBaseEndsTest();
    void soundSwitches_data();
    void soundSwitches();
    void soundSwitchNotSaved();
    void cuesAskForShortBuffer();
    void systemPauseKeepsEventsGoing();
    void boxesSpeakRussian();
    void replayWithoutTopicKeepsCaption();
    void replayThroughChooser();
    void openBazaDialogSetup();
};

void TestMainWindow::controlsAndPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<bool>("visible");
    QTest::newRow("question view") << u"RichMemoTest"_qs << QRect(18, 16, 746, 257) << true;
    QTest::newRow("full-test view") << u"RichAllTest"_qs << QRect(18, 616, 746, 257) << false;
    QTest::newRow("clock") << u"PanelClock"_qs << QRect(269, 301, 131, 41) << true;
    QTest::newRow("picture box") << u"Image1"_qs << QRect(443, 303, 322, 181) << false;
}

void TestMainWindow::controlsAndPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(bool, visible);
    Program program;
    program.showAndGreet();
    auto *control = program.form1->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), place);
    QCOMPARE(control->isVisible(), visible);
    QCOMPARE(control->cursor().shape(), Qt::PointingHandCursor);

    auto *timer = program.form1->findChild<QTimer *>(u"Timer"_qs);
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
}

void TestMainWindow::fixedClientArea()
{
    Program program;
    program.showAndGreet();
    TForm1 &form = *program.form1;
    QCOMPARE(program.surface()->size(), QSize(782, 514));
    QCOMPARE(form.windowTitle(), u"Тестирование..."_qs);
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(form.RichMemoTest->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(form.RichMemoTest->isReadOnly());
    const QFont clock = form.PanelClock->font();
    QVERIFY(clock.bold() && clock.italic());
    QCOMPARE(clock.pixelSize(), 24);
}

void TestMainWindow::menusIdleAndTesting()
{
    Program program;
    TForm1 &form = *program.form1;
    const auto texts = [](QMenu *menu) {
        QStringList list;
        for (QAction *a : menu->actions())
            list << (a->isSeparator() ? u"-"_qs : a->text() + (a->isChecked() ? u" [x]"_qs : QString()));
        return list;
    };
    QCOMPARE(form.N1->title(), u"Тест"_qs);
    QCOMPARE(texts(form.N1), (QStringList{u"Выбрать тему"_qs, u"Повторить последнюю"_qs, u"-"_qs, u"Выход"_qs}));
    QCOMPARE(texts(form.N3), QStringList{u"Нет"_qs});
    QCOMPARE(form.N6->title(), u"Сервис"_qs);
    QCOMPARE(texts(form.N6), (QStringList{u"Таблица результатов"_qs, u"Журнал результатов..."_qs,
                                          u"Пароль учителя..."_qs, u"-"_qs, u"Включить голосовые эффекты [x]"_qs,
                                          u"Включить звуковые эффекты [x]"_qs}));
    QCOMPARE(form.N10->title(), u"?"_qs);
    QCOMPARE(texts(form.N10), (QStringList{u"Помощь"_qs, u"-"_qs, u"Визитка..."_qs}));
    QCOMPARE(form.N12->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(form.N18->text(), u"Прервать тестирование"_qs);
    QVERIFY(form.menuBar()->actions().contains(form.N18));
    for (const char *name : {"N2", "replay", "N5", "N8", "N19", "N20", "N11", "N7", "N12", "N13", "N18"})
        QVERIFY2(form.findChild<QAction *>(QString::fromLatin1(name)), name);

    const auto shown = [&] {
        return QList<bool>{form.N1->menuAction()->isVisible(), form.N6->menuAction()->isVisible(),
                           form.N10->menuAction()->isVisible(), form.N18->isVisible()};
    };
    QCOMPARE(shown(), (QList<bool>{true, true, true, false}));
    form.SetSessionMenus(false);
    QCOMPARE(shown(), (QList<bool>{false, false, false, true}));
    form.SetSessionMenus(true);
    QCOMPARE(shown(), (QList<bool>{true, true, true, false}));
}

void TestMainWindow::wholeTestToResultsTable()
{
    Program program;
    program.showAndGreet();
    program.loadDocument(questionDocument({1, 2, 3, 4, 2}));
    ShowCounter table(program.form5);
    program.startTest(5);
    TForm1 &form = *program.form1;

    QSet<QString> shownQuestions;
    ModalAnswerer answerer;
    // Three right answers, then two wrong ones.
    for (int k = 1; k <= 5; ++k) {
        QVERIFY(program.state.SessionActive);
        QCOMPARE(program.state.AskedCount, k);
        const QString text = form.RichMemoTest->toPlainText();
        QVERIFY2(text.startsWith(u"Вопрос "_qs), qPrintable(text));
        QVERIFY(!text.contains(u"Вступление"_qs));
        QVERIFY(!text.contains(u"{test="_qs));
        shownQuestions.insert(text.section(u'\n', 0, 0));
        const int correct = program.state.CorrectAnswer;
        const int field = k <= 3 ? correct : correct % 4 + 1;
        program.answerAt(Program::fieldCentre(field));
    }
    QCOMPARE(shownQuestions.size(), 5);   // each question once
    QCOMPARE(table.shows, 1);
    QCOMPARE(program.state.CorrectCount, 3);
    QCOMPARE(program.state.QuestionsToAsk, 5);
    QVERIFY(!program.state.SessionActive);
    QVERIFY(!program.state.TestEnded);
    QCOMPARE(program.state.AskedCount, 0);
    QCOMPARE(program.state.PressedField, 0);
    QCOMPARE(form.windowTitle(), u"Тестирование..."_qs);
    QVERIFY(form.RichMemoTest->toPlainText().isEmpty());
    QVERIFY(form.PanelClock->text().isEmpty());
    QVERIFY(form.N1->menuAction()->isVisible());
    QVERIFY(!form.N18->isVisible());
    QVERIFY(!form.isDimmed());
    QVERIFY(form.RichMemoTest->isVisible());
    QVERIFY(program.clock.pauses.contains(700));
    QCOMPARE(program.state.RightStreak, 0);
    QCOMPARE(program.state.WrongStreak, 0);
}

// Keys 1 to 4, on the top row and on the keypad, answer as the mouse does:
// one answer a tick, and nothing while the test is not running.
void TestMainWindow::keysPressTheBoard()
{
    Program program;
    program.showAndGreet();
    program.loadDocument(questionDocument({1, 2, 3, 4, 2}));
    ShowCounter table(program.form5);
    ModalAnswerer answerer;
    TForm1 &form = *program.form1;
    QTest::keyClick(&form, Qt::Key_2);   // no test: nothing happens
    QCOMPARE(program.state.PressedField, 0);
    program.startTest(3);
    // Keys go where a user's would: to the question view, which has the focus.
    QWidget *keys = form.RichMemoTest;

    const int right = program.state.CorrectAnswer;
    program.clock.msecs += 3000;
    QTest::keyPress(keys, Qt::Key(Qt::Key_0 + right));
    QCOMPARE(int(program.state.PressedField), right);
    QTest::keyRelease(keys, Qt::Key(Qt::Key_0 + right));
    QCOMPARE(program.state.CorrectCount, 1);
    QCOMPARE(program.state.AskedCount, 2);
    // A second key before the next tick counts for nothing.
    QTest::keyClick(keys, Qt::Key(Qt::Key_0 + program.state.CorrectAnswer));
    QCOMPARE(program.state.AskedCount, 2);

    program.tick();
    const int wrong = program.state.CorrectAnswer % 4 + 1;
    QTest::keyClick(keys, Qt::Key(Qt::Key_0 + wrong), Qt::KeypadModifier);
    QCOMPARE(program.state.AskedCount, 3);
    QCOMPARE(program.state.CorrectCount, 1);
    program.tick();
    QTest::keyClick(keys, Qt::Key(Qt::Key_0 + program.state.CorrectAnswer), Qt::KeypadModifier);
    QVERIFY(!program.state.SessionActive);
    QCOMPARE(program.state.CorrectCount, 2);
    QCOMPARE(table.shows, 1);
}

void TestMainWindow::menuKeysOnlyWhenIdle()
{
    // Ctrl+T opens the results table when idle; mid-test no key of a hidden
    // menu opens anything, and the idle keys come back after the test.
    Program program;
    program.showAndGreet();
    program.loadDocument(questionDocument({1, 2}));
    ShowCounter table(program.form5);
    ShowCounter chooser(program.form2);
    ModalAnswerer answerer;
    TForm1 &form = *program.form1;
    QTest::keyClick(&form, Qt::Key_T, Qt::ControlModifier);
    QTRY_COMPARE(table.shows, 1);

    program.startTest(1);
    // No window manager gives the main window back its activation here.
    QApplication::setActiveWindow(&form);
    for (const QKeyCombination key : {Qt::CTRL | Qt::Key_T, Qt::CTRL | Qt::Key_O, Qt::CTRL | Qt::Key_R,
                                      Qt::SHIFT | Qt::Key_F1}) {
        QTest::keyClick(form.RichMemoTest, key.key(), key.keyboardModifiers());
        QVERIFY(!QApplication::activeModalWidget());
    }
    QCOMPARE(table.shows, 1);
    QCOMPARE(chooser.shows, 0);
    QVERIFY(program.state.SessionActive);

    // The abort command's key works mid-test (its box is answered OK).
    QTest::keyClick(form.RichMemoTest, Qt::Key_F4, Qt::ControlModifier);
    QVERIFY(!program.state.SessionActive);
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    QTRY_COMPARE(chooser.shows, 1);
}

void TestMainWindow::counterAndCaptionWithoutBudget()
{
    Program program;
    program.loadDocument(questionDocument({1, 1, 1}));
    program.startTest(2);
    TForm1 &form = *program.form1;
    QCOMPARE(form.windowTitle(), u"Тестирование...   1 из 2"_qs);
    QCOMPARE(form.PanelClock->text(), u"1 из 2"_qs);
    program.answerAt(Program::fieldCentre(1));
    QCOMPARE(form.windowTitle(), u"Тестирование...   2 из 2"_qs);
    QCOMPARE(form.PanelClock->text(), u"2 из 2"_qs);

    // During the pause after the last answer the clock says "Все..!".
    QString clockDuringPause;
    program.clock.onPause = [&](int ms) {
        if (ms == 700)
            clockDuringPause = form.PanelClock->text();
    };
    ModalAnswerer answerer;
    program.answerAt(Program::fieldCentre(1));
    QCOMPARE(clockDuringPause, u"Все..!"_qs);
    QCOMPARE(program.state.CorrectCount, 2);
}

void TestMainWindow::onePressPerTick_data()
{
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<int>("firstField");
    QTest::newRow("field 1") << QPoint(150, 400) << 1;
    QTest::newRow("gap between 1 and 2") << QPoint(180, 400) << 0;
    QTest::newRow("gap between the rows") << QPoint(150, 425) << 0;
    QTest::newRow("field 4 corner") << QPoint(187, 432) << 4;
    QTest::newRow("field 3 corner") << QPoint(175, 485) << 3;
    QTest::newRow("field 2 corner") << QPoint(281, 364) << 2;
}

void TestMainWindow::onePressPerTick()
{
    QFETCH(QPoint, first);
    QFETCH(int, firstField);
    Program program;
    program.loadDocument(questionDocument({1, 2, 3, 4, 1, 2}));
    program.startTest(6);
    SessionState &state = program.state;

    program.press(first);
    QCOMPARE(int(state.PressedField), firstField);
    QVERIFY(!state.ClickAllowed);
    program.release(first);
    const int asked = firstField > 0 ? 2 : 1;
    QCOMPARE(state.AskedCount, asked);
    QCOMPARE(int(state.PressedField), 0);

    // A second press before the next tick is not taken, wherever it lands.
    program.press(Program::fieldCentre(2));
    QCOMPARE(int(state.PressedField), 0);
    program.release(Program::fieldCentre(2));
    QCOMPARE(state.AskedCount, asked);

    program.form1->TimerTimer();
    QVERIFY(state.ClickAllowed);
    program.press(Program::fieldCentre(2));
    QCOMPARE(int(state.PressedField), 2);
    program.release(Program::fieldCentre(2));
    QCOMPARE(state.AskedCount, asked + 1);
}

// The student answers and, while the tutor still nods, presses another
// field; a tick falls due meanwhile. The press is queued behind the pause
// the way the window system queues it. It is never judged: the second
// question waits for a press made once it is on screen.
void TestMainWindow::pressDuringReactionIsNeverJudged()
{
    Program program;
    program.showAndGreet();
    program.loadDocument(questionDocument({1, 2, 3, 4}));
    program.startTest(4);
    SessionState &state = program.state;
    QTimer *timer = program.form1->Timer;
    int ticks = 0;
    int ticksInPause = 0;
    QObject::connect(timer, &QTimer::timeout, timer, [&] { ++ticks; });
    program.clock.onPause = [&](int) {
        if (program.clock.pauses.size() == 1) {
            // The tick falls due during the nod and is queued before the
            // press, as the event loop delivers a timer's due tick.
            QCoreApplication::postEvent(timer, new QTimerEvent(timer->timerId()));
            queueClick(program.surface(), Program::fieldCentre(4));
        } else if (program.clock.pauses.size() == 3) {
            ticksInPause = ticks;
        }
    };
    program.clock.msecs += 5000;   // the student reads the question
    program.clock.pauses.clear();
    const int correct = state.CorrectAnswer;
    program.press(Program::fieldCentre(correct));
    program.release(Program::fieldCentre(correct));
    program.clock.onPause = nullptr;
    QVERIFY(ticksInPause > 0);
    QVERIFY(!state.ClickAllowed);
    QCoreApplication::processEvents();   // the held tick, and whatever else is queued

    QCOMPARE(program.clock.pauses.size(), 7);   // the nod, and nothing nested in it
    QCOMPARE(state.AskedCount, 2);
    QCOMPARE(state.CorrectCount, 1);
    QCOMPARE(int(state.PressedField), 0);
    QVERIFY(state.ClickAllowed);   // the tick held back by the nod has run
    // The next press is the second question's own.
    const int second = state.CorrectAnswer;
    program.press(Program::fieldCentre(second));
    program.release(Program::fieldCentre(second));
    QCOMPARE(state.AskedCount, 3);
    QCOMPARE(state.CorrectCount, 2);
}

// "Все..!" after the last answer and "00:00:00" at a time-out are on the
// screen while the pause that follows them lasts.
void TestMainWindow::clockTextOnScreenThroughPauses()
{
    for (const bool timed : {false, true}) {
        Program program;
        program.showAndGreet();
        program.loadDocument(questionDocument({1, 2}));
        program.startTest(1, timed ? "5" : "1");
        PaintedTexts painted(program.form1->PanelClock);
        QString onScreen;
        program.clock.onPause = [&](int ms) {
            if (ms == (timed ? 1000 : 700) && onScreen.isNull())
                onScreen = painted.texts.value(painted.texts.size() - 1);
        };
        ModalAnswerer answerer;
        if (timed) {
            program.state.Time.ClockMinutes = 0;
            program.state.Time.ClockSeconds = 1;
            program.tick();
        } else {
            program.answerAt(Program::fieldCentre(program.state.CorrectAnswer));
        }
        QCOMPARE(onScreen, timed ? u"00:00:00"_qs : u"Все..!"_qs);
        QVERIFY(!program.state.SessionActive);
    }
}

void TestMainWindow::pressOutsideTestDoesNothing()
{
    Program program;
    program.showAndGreet();
    program.press(QPoint(150, 400));
    program.release(QPoint(150, 400));
    QCOMPARE(int(program.state.PressedField), 0);
    QVERIFY(program.state.ClickAllowed);
    QVERIFY(program.sink.played.isEmpty());
}

void TestMainWindow::pokesAtTheTutor()
{
    Program program;
    program.showAndGreet();
    for (int i = 0; i < 6; ++i) {
        program.press(QPoint(21 + i * 10, 281 + i * 40));
        program.release(QPoint(21 + i * 10, 281 + i * 40));
    }
    QCOMPARE(without(program.sink.played, u"Hello"_qs),
             (QStringList{u"Gmm"_qs, u"Gmm"_qs, u"Gmm"_qs, u"Sora"_qs}));
    QCOMPARE(int(program.state.PokeCount), 10);

    // Just outside the figure: nothing.
    program.sink.clear();
    program.state.PokeCount = 0;
    program.press(QPoint(80, 300));
    program.press(QPoint(50, 500));
    QVERIFY(program.sink.played.isEmpty());

    // The end of a test lets him speak again.
    program.state.PokeCount = 10;
    program.loadDocument(questionDocument({1}));
    program.startTest(1);
    ModalAnswerer answerer;
    program.answerAt(Program::fieldCentre(1));
    QCOMPARE(int(program.state.PokeCount), 0);
}

// A table wider than the question view is scrolled to sideways, not cut
// off at the view's edge.
void TestMainWindow::wideTableScrolls()
{
    Program program;
    program.showAndGreet();
    QFile file(QStringLiteral(NASTAVNIK_SOURCE_DIR "/tests/data/rtf/made/tables.rtf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    program.loadRtf(file.readAll());
    program.startTest(1);
    QScrollBar *bar = program.form1->RichMemoTest->horizontalScrollBar();
    QTRY_VERIFY(bar->isVisible());
    // The table's right edge (14000 twips from its left) can be brought into view.
    QVERIFY2(bar->maximum() + program.form1->RichMemoTest->viewport()->width() >= 14000 / 15,
             qPrintable(QString::number(bar->maximum())));
}

void TestMainWindow::questionViewToggles()
{
    Program program;
    program.showAndGreet();
    TForm1 &form = *program.form1;
    QWidget *view = form.RichMemoTest->viewport();

    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(form.RichMemoTest->height(), 257);
    QVERIFY(!program.sink.played.contains(u"Down"_qs));

    program.loadDocument(questionDocument({1, 2}));
    program.startTest(2);
    program.sink.clear();
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(form.RichMemoTest->height(), 493);
    QCOMPARE(form.RichMemoTest->textCursor().position(), 0);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(form.RichMemoTest->height(), 257);
    QCOMPARE(program.sink.played, (QStringList{u"Down"_qs, u"Down"_qs}));

    // Left enlarged, the end of the test brings it back.
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(form.RichMemoTest->height(), 493);
    ModalAnswerer answerer;
    form.N18Click();
    QCOMPARE(form.RichMemoTest->height(), 257);
}

// Enlarged, the question view lies over the clock and the picture: their
// places show the question, and a press there shrinks the view instead of
// opening the picture window.
void TestMainWindow::enlargedViewCoversClockAndPicture()
{
    Program program;
    program.showAndGreet();
    QDir().mkpath(program.topicFolder());
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::green);
    QVERIFY(image.save(program.topicFolder() + u"/p.png"_qs));
    QStringList document{u"{test=1}"_qs, u"{pic=p.png}"_qs};
    for (int line = 1; line <= 30; ++line)
        document << u"Строка %1 длинного вопроса"_qs.arg(line);
    program.loadDocument(document);
    program.startTest(1);
    TForm1 &form = *program.form1;
    QVERIFY(form.Image1->isVisible());
    QTest::mouseClick(form.RichMemoTest->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(form.RichMemoTest->height(), 493);

    const QPoint clock = form.PanelClock->geometry().center();
    const QPoint picture = form.Image1->geometry().center();
    for (const QPoint point : {clock, picture}) {
        QWidget *top = program.surface()->childAt(point);
        QVERIFY2(top && (top == form.RichMemoTest || form.RichMemoTest->isAncestorOf(top)),
                 top ? top->metaObject()->className() : "nothing");
    }
    ModalAnswerer answerer;
    program.sink.clear();
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, program.surface()->mapTo(&form, picture));
    QCOMPARE(form.RichMemoTest->height(), 257);
    QCOMPARE(program.sink.played, QStringList{u"Down"_qs});
    QVERIFY(answerer.seen.isEmpty());   // no picture window
}

void TestMainWindow::lookZonesReportedOnChange()
{
    Program program;
    program.showAndGreet();
    QTest::mouseMove(program.surface(), QPoint(100, 400));
    QCOMPARE(int(program.state.LookZone), 2);
    QCOMPARE(program.clock.pauses, QList<int>{100});
    QTest::mouseMove(program.surface(), QPoint(200, 450));
    QCOMPARE(program.clock.pauses, QList<int>{100});
    QTest::mouseMove(program.surface(), QPoint(349, 450));
    QCOMPARE(int(program.state.LookZone), 2);
    QTest::mouseMove(program.surface(), QPoint(350, 450));
    QCOMPARE(int(program.state.LookZone), 3);
    QTest::mouseMove(program.surface(), QPoint(600, 450));
    QCOMPARE(program.clock.pauses, (QList<int>{100, 100}));
    QTest::mouseMove(program.form1->RichMemoTest->viewport(), QPoint(100, 100));
    QCOMPARE(int(program.state.LookZone), 1);
    QCOMPARE(program.clock.pauses, (QList<int>{100, 100, 100, 100}));
}

void TestMainWindow::timerCuesAndTimeOut()
{
    Program program;
    program.showAndGreet();
    program.loadDocument(questionDocument({1, 2}));
    program.startTest(1, "5");   // 15 seconds
    TForm1 &form = *program.form1;
    QVERIFY(program.state.Time.TimeLimited);
    QVERIFY(program.form7->Panel1->isVisibleTo(program.form7));

    ShowCounter table(program.form5);
    QStringList clock;
    QList<QStringList> cues;
    for (int tick = 1; tick <= 14; ++tick) {
        program.sink.clear();
        program.tick();
        clock << form.PanelClock->text();
        cues << program.sink.played;
        QCOMPARE(program.form7->Panel1->text(), form.PanelClock->text());
    }
    QCOMPARE(clock.first(), u"00:00:14"_qs);
    QCOMPARE(clock.last(), u"00:00:01"_qs);
    for (int tick = 1; tick <= 14; ++tick) {
        const int left = 15 - tick;
        QStringList expected;
        if (left == 11)
            expected << u"Time1"_qs;
        if (left >= 1 && left <= 6)
            expected << u"Clock"_qs;
        QCOMPARE(cues.at(tick - 1), expected);
    }
    QCOMPARE(table.shows, 0);

    program.sink.clear();
    program.clock.pauses.clear();
    ModalAnswerer answerer;
    program.tick();
    QCOMPARE(program.sink.played.first(), u"Time"_qs);
    QCOMPARE(program.clock.pauses.mid(0, 2), (QList<int>{1000, 700}));
    QCOMPARE(table.shows, 1);
    QVERIFY(!program.state.SessionActive);

    // Later ticks leave the clock alone.
    form.TimerTimer();
    QVERIFY(form.PanelClock->text().isEmpty());
    QCOMPARE(table.shows, 1);
}

void TestMainWindow::timeOutDropsPressedField()
{
    Program program;
    program.loadDocument(questionDocument({1, 2}));
    program.startTest(2, "5");
    program.state.Time.ClockSeconds = 1;
    program.state.Time.ClockMinutes = 0;
    program.press(Program::fieldCentre(1));
    QCOMPARE(int(program.state.PressedField), 1);
    {
        ModalAnswerer answerer;
        program.form1->TimerTimer();
    }
    QCOMPARE(int(program.state.PressedField), 0);
    program.release(Program::fieldCentre(1));
    QCOMPARE(program.state.CorrectCount, 0);
}

void TestMainWindow::timeOutWhileAbortBoxOpenRecordsOnce()
{
    Program program;
    program.loadDocument(questionDocument({1, 2, 3}));
    program.startTest(3, "5");
    program.state.Time.ClockMinutes = 0;
    program.state.Time.ClockSeconds = 1;
    ShowCounter table(program.form5);

    // While the question is open, the time runs out: the test ends by the
    // time-out and is recorded; the OK given afterwards ends nothing more.
    ModalAnswerer answerer([&](QWidget *modal) {
        if (!qobject_cast<QMessageBox *>(modal))
            return false;
        ModalAnswerer closeResults;
        program.form1->TimerTimer();
        ModalAnswerer::press(modal, QMessageBox::Ok);
        return true;
    });
    program.form1->N18Click();
    QCOMPARE(answerer.seen, QStringList{u"Внимание !!!|Вы действительно хотите прервать тестирование ?"_qs});
    QCOMPARE(table.shows, 1);
    QVERIFY(!program.state.SessionActive);
}

void TestMainWindow::timeOutWhileBrokenBaseBoxOpenRecordsOnce()
{
    Program program;
    program.loadDocument(questionDocument({1, 2}));
    // The index names the question text instead of the second tag line.
    program.state.TagIndex[1] = QByteArray::number(program.state.TagIndex[1].toInt() + 1);
    QVERIFY(program.state.TagIndex[0] != program.state.TagIndex[1]);
    ShowCounter table(program.form5);
    // Whichever question comes first, the broken one follows the answer.
    bool boxAnswered = false;
    ModalAnswerer answerer([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box || !program.state.SessionActive) {
            // Whatever opens after the message has been answered is closed.
            if (boxAnswered)
                modal->hide();
            return false;
        }
        // The time runs out while the student reads the message.
        ModalAnswerer closeResults;
        program.state.Time.ClockMinutes = 0;
        program.state.Time.ClockSeconds = 1;
        program.tick();
        ModalAnswerer::press(modal, QMessageBox::Ok);
        boxAnswered = true;
        return true;
    });
    program.startTest(2, "5");
    if (program.state.SessionActive)
        program.answerAt(Program::fieldCentre(program.state.CorrectAnswer));
    QCOMPARE(answerer.seen, QStringList{u"Ошибка !!!|Нарушена структура базы..."_qs});
    QCOMPARE(table.shows, 1);
    QVERIFY(!program.state.SessionActive);
}

// Every voice line is heard whole and with the movement it goes with: the
// right-answer line starts as the nod starts, and the final line waits for
// "Время вышло!" however long that is.
void TestMainWindow::voiceLinesHeardWhole()
{
    Program program;
    program.showAndGreet();
    QVERIFY(writeSilence(Paths::cueFile(program.libraryFolder(), u"Time"_qs), 3000));
    program.loadDocument(questionDocument({1, 2, 3}));
    program.startTest(3, "5");
    QList<int> frameTimes;
    program.clock.onPause = [&](int ms) { frameTimes << program.clock.msecs - ms; };
    program.sink.clear();
    program.answerAt(Program::fieldCentre(program.state.CorrectAnswer));
    QCOMPARE(program.sink.played.size(), 1);
    QCOMPARE(program.sink.startedAt.first(), frameTimes.first());

    program.sink.clear();
    program.state.Time.ClockMinutes = 0;
    program.state.Time.ClockSeconds = 1;
    ModalAnswerer answerer;
    program.tick();
    QVERIFY(!program.state.SessionActive);
    const int time = program.sink.start(u"Time"_qs);
    const int final = program.sink.start(u"Final4"_qs);
    QVERIFY(time >= 0 && final >= 0);
    QVERIFY2(final >= time + 3000, qPrintable(u"Time at %1, Final4 at %2"_qs.arg(time).arg(final)));
}

// Opening a topic closes the chooser with its "Cancel" effect and asks for
// the surname: the request comes after the effect, whole.
void TestMainWindow::nameRequestHeardAfterChooserCloses()
{
    Program program("1\r\n1\r\n", Program::Library::Demo);
    program.showAndGreet();
    TForm2 &book = *program.form2;
    auto *subjects = book.findChild<QListWidget *>(u"ListPredmet"_qs);
    auto *topics = book.findChild<QListWidget *>(u"ListTema"_qs);
    auto *open = book.findChild<QWidget *>(u"ButtonOpen"_qs);
    QVERIFY(subjects && topics && open);
    const auto pick = [](QListWidget *list, const QString &text) {
        const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
        if (found.size() == 1)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    };
    QStringList heardBeforeBox;
    ModalAnswerer answerer([&](QWidget *modal) {
        if (modal == &book) {
            QTimer::singleShot(0, &book, [&] {
                pick(subjects, u"Физика"_qs);
                pick(topics, u"Оптика"_qs);
                QTest::mouseClick(open, Qt::LeftButton, {}, QPoint(50, 10));
            });
        } else if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            heardBeforeBox = program.sink.played;
            input->setTextValue(u"Иванов"_qs);
            input->accept();
        } else {
            modal->hide();
        }
        return true;
    });
    program.form1->N2->trigger();
    QVERIFY(program.state.SessionActive);
    QCOMPARE(heardBeforeBox.mid(heardBeforeBox.size() - 2), (QStringList{u"Cancel"_qs, u"Name"_qs}));
    const int cancel = program.sink.start(u"Cancel"_qs);
    QVERIFY(program.sink.start(u"Name"_qs) >= cancel + Cues::wavLength(Paths::cueFile(program.libraryFolder(), u"Cancel"_qs)));
}

void TestMainWindow::abortCommand_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK ends and records") << true;
    QTest::newRow("Cancel goes on") << false;
}

void TestMainWindow::abortCommand()
{
    QFETCH(bool, ok);
    Program program;
    program.loadDocument(questionDocument({1, 2, 3, 4, 1, 2, 3, 4, 1, 2}));
    program.startTest(10);
    // Two right answers and one wrong: the fourth question is shown.
    for (int k = 0; k < 3; ++k) {
        const int correct = program.state.CorrectAnswer;
        program.answerAt(Program::fieldCentre(k < 2 ? correct : correct % 4 + 1));
    }
    QCOMPARE(program.state.AskedCount, 4);
    ShowCounter table(program.form5);
    program.sink.clear();
    ModalAnswerer answerer([&](QWidget *modal) {
        if (qobject_cast<QMessageBox *>(modal))
            ModalAnswerer::press(modal, ok ? QMessageBox::Ok : QMessageBox::Cancel);
        else
            modal->hide();
        return true;
    });
    program.form1->N18Click();
    QCOMPARE(answerer.seen.first(), u"Внимание !!!|Вы действительно хотите прервать тестирование ?"_qs);
    QCOMPARE(program.sink.played.first(), u"We"_qs);
    if (ok) {
        QCOMPARE(table.shows, 1);
        QCOMPARE(program.state.CorrectCount, 2);
        QCOMPARE(program.state.QuestionsToAsk, 10);
        QVERIFY(!program.state.SessionActive);
    } else {
        QCOMPARE(table.shows, 0);
        QCOMPARE(program.sink.played, (QStringList{u"We"_qs, u"Next"_qs}));
        QVERIFY(program.state.SessionActive);
        QCOMPARE(program.state.AskedCount, 4);
    }
}

void TestMainWindow::closeQuery_data()
{
    QTest::addColumn<bool>("testing");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");
    const QString idle = u"Вы хотите завершить работу с программой ?"_qs;
    const QString test = u"Вы действительно хотите прервать тестирование и выйти из программы ?"_qs;
    QTest::newRow("idle, cancel") << false << false << idle;
    QTest::newRow("idle, ok") << false << true << idle;
    QTest::newRow("testing, cancel") << true << false << test;
    QTest::newRow("testing, ok") << true << true << test;
}

void TestMainWindow::closeQuery()
{
    QFETCH(bool, testing);
    QFETCH(bool, ok);
    QFETCH(QString, text);
    Program program;
    program.showAndGreet();
    if (testing) {
        program.loadDocument(questionDocument({1, 2}));
        program.startTest(2);
    }
    program.sink.clear();
    ShowCounter table(program.form5);
    ModalAnswerer answerer([&](QWidget *modal) {
        if (qobject_cast<QMessageBox *>(modal))
            ModalAnswerer::press(modal, ok ? QMessageBox::Ok : QMessageBox::Cancel);
        else
            modal->hide();
        return true;
    });
    const bool closed = program.form1->close();
    QCOMPARE(answerer.seen.first(), u"Внимание !!!|"_qs + text);
    QCOMPARE(closed, ok);
    QCOMPARE(program.form1->isVisible(), !ok);
    QCOMPARE(program.sink.played.first(), u"We"_qs);
    QCOMPARE(program.sink.played.contains(u"Next"_qs), !ok);
    QCOMPARE(table.shows, testing && ok ? 1 : 0);
    QCOMPARE(program.state.SessionActive, testing && !ok);
}

void TestMainWindow::brokenBaseEndsTest()
{
    Program program;
    program.loadDocument(questionDocument({1, 2}));
    // The index names the question text instead of the tag line.
    program.state.TagIndex[0] = "2";
    program.state.TagIndex[1] = "2";
    ShowCounter table(program.form5);
    ModalAnswerer answerer([&](QWidget *modal) {
        ModalAnswerer::press(modal, QMessageBox::Ok);
        return true;
    });
    program.startTest(2);
    QCOMPARE(answerer.seen.first(), u"Ошибка !!!|Нарушена структура базы..."_qs);
    QVERIFY(program.sink.played.contains(u"ErrorNewBaza"_qs));
    QCOMPARE(table.shows, 1);
    QVERIFY(!program.state.SessionActive);
    QVERIFY(program.form1->RichMemoTest->toPlainText().isEmpty());
}

void TestMainWindow::soundSwitches_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<bool>("voice");
    QTest::addColumn<bool>("effects");
    QTest::addColumn<QString>("toggle");
    QTest::addColumn<QStringList>("heard");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("voice off, turned on") << QByteArray("0\r\n1\r\n") << false << true << u"N11"_qs
                                          << QStringList{u"OptTestMenu"_qs} << QByteArray("1\r\n1\r\n");
    QTest::newRow("both on, voice off") << QByteArray("1\r\n1\r\n") << true << true << u"N11"_qs
                                        << QStringList{u"OptTestMenu"_qs} << QByteArray("0\r\n1\r\n");
    QTest::newRow("effects off silently") << QByteArray("1\r\n1\r\n") << true << true << u"N7"_qs << QStringList{}
                                          << QByteArray("1\r\n0\r\n");
    QTest::newRow("effects on, heard") << QByteArray("1\r\n0\r\n") << true << false << u"N7"_qs
                                       << QStringList{u"OptTestMenu"_qs} << QByteArray("1\r\n1\r\n");
    QTest::newRow("no file: both on") << QByteArray() << true << true << u"N7"_qs << QStringList{}
                                      << QByteArray("1\r\n0\r\n");
    QTest::newRow("short file: both on") << QByteArray("0\r\n") << true << true << u"N11"_qs
                                         << QStringList{u"OptTestMenu"_qs} << QByteArray("0\r\n1\r\n");
}

void TestMainWindow::soundSwitches()
{
    QFETCH(QByteArray, start);
    QFETCH(bool, voice);
    QFETCH(bool, effects);
    QFETCH(QString, toggle);
    QFETCH(QStringList, heard);
    QFETCH(QByteArray, written);
    Program program(start);
    QCOMPARE(program.form1->N11->isChecked(), voice);
    QCOMPARE(program.form1->N7->isChecked(), effects);
    program.form1->findChild<QAction *>(toggle)->trigger();
    QCOMPARE(program.sink.played, heard);
    const QString cfg = Paths::soundConfig(program.libraryFolder());
    program.quit();
    const Expected<QByteArray> bytes = LineLists::readBytes(cfg);
    QVERIFY(bytes);
    QCOMPARE(*bytes, written);
}

// A switch change that cannot be saved holds for this run, and the user is
// told that the next start will not have it.
void TestMainWindow::soundSwitchNotSaved()
{
    Program program;
    // The sound folder has become a file: no Sound.cfg can be written in it.
    const QString soundFolder = QFileInfo(Paths::soundConfig(program.libraryFolder())).path();
    QVERIFY(QDir(soundFolder).removeRecursively());
    QVERIFY(LineLists::writeBytes(soundFolder, "not a folder"));
    ModalAnswerer answerer;
    program.form1->N11->trigger();
    QVERIFY(!program.form1->N11->isChecked());
    QVERIFY(!program.cues->voiceOn());
    QCOMPARE(answerer.seen.size(), 1);
    const QString box = answerer.seen.first();
    QVERIFY2(box.startsWith(u"Внимание !!!|Настройка звука не сохранена"_qs)
                 && box.contains(u"Sound.cfg: часть пути не является папкой"_qs),
             qPrintable(box));
    QCOMPARE(*LineLists::readBytes(soundFolder), QByteArray("not a folder"));
}

// The real player asks the sound server for a short buffer, so a cue is
// heard with the tutor's movement rather than most of a second after it,
// and leaves a buffer the user chose alone.
void TestMainWindow::cuesAskForShortBuffer()
{
    const QByteArray before = qgetenv("PULSE_LATENCY_MSEC");
    qunsetenv("PULSE_LATENCY_MSEC");
    {
        SoundEffectSink sink;
        QCOMPARE(qgetenv("PULSE_LATENCY_MSEC"), QByteArray("80"));
    }
    qputenv("PULSE_LATENCY_MSEC", "200");
    {
        SoundEffectSink sink;
        QCOMPARE(qgetenv("PULSE_LATENCY_MSEC"), QByteArray("200"));
    }
    if (before.isNull())
        qunsetenv("PULSE_LATENCY_MSEC");
    else
        qputenv("PULSE_LATENCY_MSEC", before);
}

// The real pause is no sleep: what is queued meanwhile is handled, so the
// window paints and the sound plays while the tutor moves.
void TestMainWindow::systemPauseKeepsEventsGoing()
{
    QWidget widget;
    bool handled = false;
    QMetaObject::invokeMethod(&widget, [&] { handled = true; }, Qt::QueuedConnection);
    SystemClock clock;
    clock.pause(0);
    QVERIFY(handled);
}

// Qt's own texts follow the program's language: the exit question offers
// "Отмена", not "Cancel".
void TestMainWindow::boxesSpeakRussian()
{
    Program program;
    QTranslator translator;
    QVERIFY(loadQtRussian(translator, program.folder()));
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QStringList buttons;
    ModalAnswerer answerer([&](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            for (QAbstractButton *button : box->buttons())
                buttons << button->text().remove(u'&');
        }
        ModalAnswerer::press(modal, QMessageBox::Cancel);
        return true;
    });
    program.form1->show();
    program.form1->N5->trigger();
    QCoreApplication::removeTranslator(&translator);
    QVERIFY(program.form1->isVisible());
    QVERIFY2(buttons.contains(u"Отмена"_qs), qPrintable(buttons.join(u", "_qs)));
    QVERIFY(!buttons.contains(u"Cancel"_qs));
}

void TestMainWindow::replayWithoutTopicKeepsCaption()
{
    Program program;
    program.state.LastTopicPath = u"Нет"_qs;
    program.form1->setReplayCaption(u"Нет"_qs);
    program.form1->replayClick();
    QCOMPARE(program.state.CurrentBasePath, u"Нет"_qs);
    QVERIFY(!program.state.ReplayInProgress);
    QVERIFY(!program.state.SessionActive);
    QCOMPARE(program.form1->replay->text(), u"Нет"_qs);
    QVERIFY(program.sink.played.isEmpty());
}

// Opens a topic of the demo library through the chooser, runs it to the
// end, picks another topic in the chooser without opening it, then replays:
// the replay opens the first topic again, asks for a new surname and never
// shows the chooser, and both results name the topic that ran.
void TestMainWindow::replayThroughChooser()
{
    Program program("1\r\n1\r\n", Program::Library::Demo);
    program.showAndGreet();
    TForm1 &form = *program.form1;
    TForm2 &book = *program.form2;
    auto *subjects = book.findChild<QListWidget *>(u"ListPredmet"_qs);
    auto *topics = book.findChild<QListWidget *>(u"ListTema"_qs);
    auto *open = book.findChild<QWidget *>(u"ButtonOpen"_qs);
    QVERIFY(subjects && topics && open);

    struct Choice
    {
        QString subject;
        QString topic;
        bool open;
    } choice;
    QString surname;
    QStringList prompts;
    const auto pick = [](QListWidget *list, const QString &text) {
        const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
        if (found.size() == 1)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    };
    ModalAnswerer answerer([&](QWidget *modal) {
        if (modal == &book) {
            // Opening shows the input box, which this answerer must be free
            // to answer: the press comes after it returns.
            QTimer::singleShot(0, &book, [&] {
                pick(subjects, choice.subject);
                pick(topics, choice.topic);
                if (choice.open)
                    QTest::mouseClick(open, Qt::LeftButton, {}, QPoint(50, 10));
                else
                    book.CloseBook();
            });
        } else if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            prompts << input->windowTitle();
            input->setTextValue(surname);
            input->accept();
        } else {
            ModalAnswerer::press(modal, QMessageBox::Ok);   // the table and the result window
        }
        return true;
    });
    const auto runToEnd = [&] {
        for (int k = 0; k < 10 && program.state.SessionActive; ++k)
            program.answerAt(Program::fieldCentre(program.state.CorrectAnswer));
    };
    const auto newestResult = [&](int row) {
        const Expected<LineList> lines = ResultsFile::load(Paths::resultsFile(program.libraryFolder()));
        return lines ? QStringList{Cp1251::decode(lines->at(ResultsFile::lineIndex(row, 1))),
                                   Cp1251::decode(lines->at(ResultsFile::lineIndex(row, 3))),
                                   Cp1251::decode(lines->at(ResultsFile::lineIndex(row, 6)))}
                     : QStringList{lines.error()};
    };

    choice = {u"Физика"_qs, u"Оптика"_qs, true};
    surname = u"Иванов"_qs;
    form.N2->trigger();
    QVERIFY(program.state.SessionActive);
    const QString optics = program.state.CurrentBasePath;
    QCOMPARE(program.state.LastTopicPath, optics);
    QCOMPARE(form.replay->text(), u"Физика - ( Оптика )"_qs);
    QCOMPARE(program.state.QuestionsToAsk, 2);
    QVERIFY(form.RichAllTest->toPlainText().contains(u"линза"_qs));
    runToEnd();
    QVERIFY(!program.state.SessionActive);
    QCOMPARE(newestResult(14), (QStringList{u"Иванов"_qs, u"Физика - ( Оптика )"_qs, u"[5-я]: 5"_qs}));

    // Another topic chosen but not opened.
    choice = {u"Математика"_qs, u"Дроби"_qs, false};
    form.N2->trigger();
    QVERIFY(!program.state.SessionActive);
    QVERIFY(program.state.CurrentBasePath != optics);
    QCOMPARE(form.replay->text(), u"Физика - ( Оптика )"_qs);

    surname = u"Петров"_qs;
    const qsizetype shownBefore = answerer.seen.size();
    program.sink.clear();
    form.replay->trigger();
    QVERIFY(program.state.SessionActive);
    QVERIFY(!program.state.ReplayInProgress);
    QCOMPARE(program.state.CurrentBasePath, optics);
    QCOMPARE(program.state.StudentName, u"Петров"_qs);
    QCOMPARE(program.state.AskedCount, 1);
    QCOMPARE(program.state.CorrectCount, 0);
    QVERIFY(form.RichAllTest->toPlainText().contains(u"линза"_qs));
    QCOMPARE(form.replay->text(), u"Физика - ( Оптика )"_qs);
    QVERIFY(!answerer.seen.mid(shownBefore).contains(u"TForm2"_qs));
    QVERIFY(program.sink.played.contains(u"Gong"_qs));
    QCOMPARE(prompts, (QStringList{u"Представтесь..."_qs, u"Представтесь..."_qs}));

    // One wrong answer this time.
    program.answerAt(Program::fieldCentre(program.state.CorrectAnswer % 4 + 1));
    runToEnd();
    QVERIFY(!program.state.SessionActive);
    QCOMPARE(newestResult(14), (QStringList{u"Петров"_qs, u"Физика - ( Оптика )"_qs, u"[5-я]: 3"_qs}));
    QCOMPARE(newestResult(13), (QStringList{u"Иванов"_qs, u"Физика - ( Оптика )"_qs, u"[5-я]: 5"_qs}));
}

void TestMainWindow::openBazaDialogSetup()
{
    // "Добавить новую тему" opens the real file dialog in the folder above
    // the program, showing test documents.
    Program program;
    QString folder;
    QStringList filters;
    ModalAnswerer answerer([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog)
            return false;
        folder = dialog->directory().canonicalPath();
        filters = dialog->nameFilters();
        dialog->reject();
        return true;
    });
    program.form2->AddTopic();
    QCOMPARE(answerer.seen, QStringList{u"QFileDialog"_qs});
    QCOMPARE(folder, QFileInfo(program.dir.path()).canonicalPath());
    QCOMPARE(filters, QStringList{u"Файл с тестами (*.RTF *.rtf)"_qs});
    QCOMPARE(program.sink.played, (QStringList{u"Ding"_qs, u"Cancel"_qs}));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
