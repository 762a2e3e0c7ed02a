// The whole program for window tests: a program folder in a temporary
// directory with the library beside the program (the template copied in), the nine windows created in
// their fixed order, a clock whose pauses take no real time but let the
// events queued meanwhile through (presses, ticks, painting), a cue sink
// that records what would have been heard and when, and the real message
// boxes.
#pragma once

#include "library/LineList.h"
#include "library/Paths.h"
#include "library/TagLine.h"
#include "richtext/LineModel.h"
#include "richtext/RtfReader.h"
#include "session/ui/AppContext.h"
#include "session/Comp.h"
#include "session/Cues.h"
#include "session/ui/Prompter.h"
#include "session/Services.h"
#include "session/SessionState.h"
#include "session/ui/Windows.h"
#include "authoring/ui/Reindex.h"
#include "authoring/ui/ResCompil.h"
#include "browser/ui/Book.h"
#include "results/ui/Result.h"
#include "results/ui/Table.h"
#include "results/ui/TestOption.h"
#include "session/ui/About.h"
#include "session/ui/Main.h"
#include "session/ui/Pic.h"
#include "tests/support/DocBuilder.h"
#include "tests/support/Doubles.h"
#include "tests/support/ModalBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

struct Program
{
    UnexpectedBoxes unexpectedBoxes;
    QTemporaryDir dir;
    SessionState state;
    FakeClock clock{36'000'000, 7919, true};
    RecordingSink sink{clock};
    std::unique_ptr<Cues> cues;
    WidgetPrompter prompter;
    std::unique_ptr<AppContext> context;

    // The windows as the program makes them; the pointers are theirs.
    std::unique_ptr<ProgramWindows> windows;
    TForm1 *form1 = nullptr;
    TForm2 *form2 = nullptr;
    TForm3 *form3 = nullptr;
    TForm4 *form4 = nullptr;
    TForm5 *form5 = nullptr;
    TForm6 *form6 = nullptr;
    TForm7 *form7 = nullptr;
    TForm8 *form8 = nullptr;
    TForm9 *form9 = nullptr;

    enum class Library { Template, Demo };

    // soundCfg: the switch file to start with; empty for none. The library
    // is the empty template, or the demo library the program ships with.
    explicit Program(const QByteArray &soundCfg = "1\r\n1\r\n", Library library = Library::Template)
    {
        copyTemplate(QStringLiteral(NASTAVNIK_SOURCE_DIR "/resources/Baza"), folder() + QStringLiteral("Baza"));
#ifdef NASTAVNIK_DEMO_LIBRARY
        if (library == Library::Demo)
            copyTemplate(QStringLiteral(NASTAVNIK_DEMO_LIBRARY "/Baza"), folder() + QStringLiteral("Baza"));
#else
        if (library == Library::Demo)
            qFatal("this test program is built without the demo library");
#endif
        const QString cfg = Paths::soundConfig(libraryFolder());
        QFile::remove(cfg);
        if (!soundCfg.isEmpty()) {
            QFile file(cfg);
            if (file.open(QIODevice::WriteOnly))
                file.write(soundCfg);
        }
        state.ProgramFolder = folder();
        state.LibraryFolder = state.ResultsLibraryFolder = libraryFolder();
        cues = std::make_unique<Cues>(sink, libraryFolder());
        context = std::make_unique<AppContext>(AppContext{state, *cues, clock, prompter});
        windows = std::make_unique<ProgramWindows>(*context);
        form1 = &windows->form1();
        form2 = &windows->form2();
        form3 = &windows->form3();
        form4 = &windows->form4();
        form5 = &windows->form5();
        form6 = &windows->form6();
        form7 = &windows->form7();
        form8 = &windows->form8();
        form9 = &windows->form9();
    }

    ~Program() { quit(); }

    // Destroys the windows as the end of the program does.
    void quit()
    {
        windows.reset();
        form1 = nullptr;
        form2 = nullptr;
        form3 = nullptr;
        form4 = nullptr;
        form5 = nullptr;
        form6 = nullptr;
        form7 = nullptr;
        form8 = nullptr;
        form9 = nullptr;
    }

    QString folder() const { return dir.path() + u'/'; }
    QString libraryFolder() const { return folder() + QStringLiteral("Baza/"); }
    QWidget *surface() const { return form1->centralWidget(); }

    // Shows the main window and lets the greeting run, then forgets what it
    // played and paused.
    void showAndGreet()
    {
        form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(form1));
        QTRY_VERIFY(!state.GreetingPending);
        // The pointer is left where an earlier test put it, and a move to
        // the same place is no move at all: start it off the page.
        QTest::mouseMove(form1, QPoint(form1->width() - 1, 0));
        sink.clear();
        clock.pauses.clear();
    }

    // A topic folder with a base path, as the chooser would select it.
    QString topicFolder() const { return folder() + QStringLiteral("Baza/Data/1/1"); }

    // Puts a document into the full-test view, one paragraph per entry,
    // and builds its tag index.
    void loadDocument(const QStringList &paragraphs)
    {
        buildDocument(form1->fullTestDocument(), paragraphs);
        indexTags();
    }

    // The same with a real document read by the RTF reader.
    void loadRtf(const QByteArray &rtf)
    {
        RtfReader::load(rtf, form1->fullTestDocument());
        indexTags();
    }

    void indexTags()
    {
        const LineModel &lines = form1->fullTestLines();
        state.TagIndex.clear();
        for (int n = 0; n < lines.lineCount(); ++n)
            if (TagLine::isTagLine(TagLine::normalized(lines.lineText(n))))
                state.TagIndex << QByteArray::number(n);
        state.TagIndex << QByteArray::number(lines.lineCount());
    }

    // Starts a test the way the open command does; timeCode "1" to "5".
    void startTest(int questionsToAsk, const QByteArray &timeCode = "1", const QByteArray &resultKind = "1")
    {
        QDir().mkpath(topicFolder());
        state.CurrentBasePath = topicFolder() + QStringLiteral("/Baza.dat");
        state.StudentName = QStringLiteral("Иванов");
        state.LastTopicPath = state.CurrentBasePath;
        form1->setReplayCaption(QStringLiteral("Физика - ( Оптика )"));
        state.SessionActive = true;
        state.ClickAllowed = true;
        form1->SetSessionMenus(false);
        const int total = int(state.TagIndex.size()) - 1;
        state.TestConfig = {timeCode, QByteArray::number(questionsToAsk), resultKind, QByteArray::number(total)};
        form1->setPictureClockVisible(timeCode != "1");
        state.QuestionsToAsk = questionsToAsk;
        state.AskedCount = 0;
        state.CorrectCount = 0;
        state.Pool.PoolRemaining = total;
        form1->StartTimeBudget();
        Comp::InitQuestionPool(state.Pool, state.TagIndex);
        cues->PlayVoiceCue(QStringLiteral("Gong"));
        form1->NextQuestion();
    }

    void press(QPoint point)
    {
        QTest::mousePress(surface(), Qt::LeftButton, {}, point);
    }
    void release(QPoint point)
    {
        QTest::mouseRelease(surface(), Qt::LeftButton, {}, point);
    }
    // A second passes and the timer ticks.
    void tick()
    {
        clock.msecs += 1000;
        form1->TimerTimer();
    }
    // The student reads the question for a few seconds (the tutor has had
    // his say), presses and releases a point, then the timer re-arms the
    // board.
    void answerAt(QPoint point)
    {
        clock.msecs += 3000;
        press(point);
        release(point);
        tick();
    }

    // The board point of a field's centre.
    static QPoint fieldCentre(int field) { return TForm1::fieldCentre(field); }

private:
    static void copyTemplate(const QString &from, const QString &to)
    {
        QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString target = to + file.mid(from.size());
            QDir().mkpath(QFileInfo(target).path());
            QFile::remove(target);
            QFile::copy(file, target);
        }
    }
};

// A document of `count` questions; question k has the correct field
// answers[k - 1]. The text of question k is "Вопрос k".
inline QStringList questionDocument(const QList<int> &answers)
{
    QStringList paragraphs{QStringLiteral("Вступление, которое не показывается")};
    for (qsizetype k = 0; k < answers.size(); ++k) {
        paragraphs << QStringLiteral("{test=%1}").arg(answers.at(k));
        paragraphs << QStringLiteral("Вопрос %1").arg(k + 1);
        paragraphs << QStringLiteral("1) да 2) нет 3) может быть 4) не знаю");
    }
    return paragraphs;
}
