// The main window's creation, menus, help, closing and the steps of a test
// session (next question, end of test, abort, replay).
#include "session/ui/Main.h"

#include "library/Paths.h"
#include "richtext/LineModel.h"
#include "session/Animate.h"
#include "session/ui/AppContext.h"
#include "session/Captions.h"
#include "help/ChmFile.h"
#include "session/Comp.h"
#include "session/Cues.h"
#include "help/ui/HelpWindow.h"
#include "session/HoldingClock.h"
#include "session/ui/PanelStyle.h"
#include "session/PictureFit.h"
#include "session/ui/QuestionPage.h"
#include "session/ui/Prompter.h"
#include "session/ui/TeacherGuard.h"
#include "session/Services.h"
#include "session/SessionState.h"
#include "session/TimeBudget.h"
#include "results/Journal.h"

#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

namespace {

const QString kIdleCaption = QStringLiteral("Тестирование...");

// The painted page: the central widget of the window. Presses, releases and
// moves over it are the window's own (not over a control).
class BoardSurface final : public QWidget
{
public:
    explicit BoardSurface(TForm1 &form) : QWidget(&form), m_form(form)
    {
        setObjectName(QStringLiteral("Surface"));
        setFixedSize(782, 514);
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_form.FormPaint(painter);
    }
    void mousePressEvent(QMouseEvent *event) override { m_form.FormMouseDown(event); }
    // The second press of a double click has already come as a press.
    void mouseDoubleClickEvent(QMouseEvent *event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent *event) override { m_form.FormMouseUp(event); }
    void mouseMoveEvent(QMouseEvent *event) override { m_form.FormMouseMove(event); }

private:
    TForm1 &m_form;
};

// The question view: a read-only rich text view whose presses, moves and
// double clicks the window handles besides the view's own selection.
class QuestionView final : public QTextEdit
{
public:
    QuestionView(TForm1 &form, QWidget *parent) : QTextEdit(parent), m_form(form)
    {
        setMouseTracking(true);
        viewport()->setMouseTracking(true);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        QTextEdit::mousePressEvent(event);
        m_form.RichMemoTestMouseDown();
    }
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        // Its press has already come as a press.
        QTextEdit::mouseDoubleClickEvent(event);
        m_form.RichMemoTestDblClick();
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        QTextEdit::mouseMoveEvent(event);
        m_form.RichMemoTestMouseMove();
    }

private:
    TForm1 &m_form;
};

// A picture that reports a click (press and release over it) and keeps its
// presses from reaching the page below.
class PictureBox final : public QLabel
{
public:
    PictureBox(TForm1 &form, QWidget *parent) : QLabel(parent), m_form(form)
    {
        setAttribute(Qt::WA_NoMousePropagation);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        event->accept();
        if (rect().contains(event->position().toPoint()))
            m_form.Image1Click();
    }

private:
    TForm1 &m_form;
};

} // namespace

TForm1::TForm1(AppContext &context, QWidget *parent)
    : QMainWindow(parent), m_context(context), m_clock(std::make_unique<HoldingClock>(context.clock))
{
    // A voice line that must wait for the cue before it waits through the
    // same pauses as the tutor.
    context.cues.setClock(m_clock.get());
    m_tutor = std::make_unique<Animate>(context.state, context.cues, *m_clock,
                                        [this](int frame) { drawHeadFrame(frame); });
    buildControls();
    buildMenus();
    FormCreate();
}

TForm1::~TForm1()
{
    FormDestroy();
    m_context.cues.setClock(nullptr);
}

void TForm1::buildControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kIdleCaption);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setCursor(Qt::PointingHandCursor);

    m_surface = new BoardSurface(*this);
    setCentralWidget(m_surface);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    auto *question = new QuestionView(*this, m_surface);
    RichMemoTest = question;
    RichMemoTest->setObjectName(QStringLiteral("RichMemoTest"));
    RichMemoTest->setGeometry(QRect(QPoint(18, 16), QuestionPage::ViewSize));
    QuestionPage::styleView(RichMemoTest);
    RichMemoTest->viewport()->setCursor(Qt::PointingHandCursor);

    // The full-test view lies below the client area and is never seen; it
    // holds the whole document of the opened topic.
    RichAllTest = new QTextEdit(m_surface);
    RichAllTest->setObjectName(QStringLiteral("RichAllTest"));
    RichAllTest->setDocument(&m_fullTest);
    RichAllTest->setGeometry(18, 616, 746, 257);
    RichAllTest->setReadOnly(true);
    RichAllTest->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichAllTest->hide();
    connect(&m_fullTest, &QTextDocument::contentsChanged, this, [this] { m_fullTestLines.reset(); });

    PanelClock = new QLabel(m_surface);
    PanelClock->setObjectName(QStringLiteral("PanelClock"));
    PanelClock->setGeometry(269, 301, 131, 41);
    styleClockPanel(PanelClock);

    Image1 = new PictureBox(*this, m_surface);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(443, 303, 322, 181);
    Image1->setScaledContents(true);
    Image1->hide();

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(1000);
    connect(Timer, &QTimer::timeout, this, &TForm1::TimerTimer);
}

void TForm1::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    N1 = bar->addMenu(QStringLiteral("Тест"));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = N1->addAction(QStringLiteral("Выбрать тему"));
    N2->setObjectName(QStringLiteral("N2"));
    N3 = N1->addMenu(QStringLiteral("Повторить последнюю"));
    N3->setObjectName(QStringLiteral("N3"));
    replay = N3->addAction(m_context.state.ReplayCaption);
    replay->setObjectName(QStringLiteral("replay"));
    N1->addSeparator()->setObjectName(QStringLiteral("N4"));
    N5 = N1->addAction(QStringLiteral("Выход"));
    N5->setObjectName(QStringLiteral("N5"));

    N6 = bar->addMenu(QStringLiteral("Сервис"));
    N6->setObjectName(QStringLiteral("N6"));
    N8 = N6->addAction(QStringLiteral("Таблица результатов"));
    N8->setObjectName(QStringLiteral("N8"));
    N19 = N6->addAction(QStringLiteral("Журнал результатов..."));
    N19->setObjectName(QStringLiteral("N19"));
    N20 = N6->addAction(QStringLiteral("Пароль учителя..."));
    N20->setObjectName(QStringLiteral("N20"));
    N6->addSeparator()->setObjectName(QStringLiteral("N9"));
    N11 = N6->addAction(QStringLiteral("Включить голосовые эффекты"));
    N11->setObjectName(QStringLiteral("N11"));
    N11->setCheckable(true);
    N11->setChecked(true);
    N7 = N6->addAction(QStringLiteral("Включить звуковые эффекты"));
    N7->setObjectName(QStringLiteral("N7"));
    N7->setCheckable(true);
    N7->setChecked(true);

    N10 = bar->addMenu(QStringLiteral("?"));
    N10->setObjectName(QStringLiteral("N10"));
    N12 = N10->addAction(QStringLiteral("Помощь"));
    N12->setObjectName(QStringLiteral("N12"));
    N12->setShortcut(QKeySequence(Qt::Key_F1));
    N10->addSeparator()->setObjectName(QStringLiteral("N14"));
    N13 = N10->addAction(QStringLiteral("Визитка..."));
    N13->setObjectName(QStringLiteral("N13"));

    N18 = bar->addAction(QStringLiteral("Прервать тестирование"));
    N18->setObjectName(QStringLiteral("N18"));

    // Every command has its key. Qt keeps the keys of a hidden menu dead,
    // so that mid-test no key opens a window.
    const std::pair<QAction *, QKeySequence> keys[] = {
        {N2, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {replay, QKeySequence(Qt::CTRL | Qt::Key_R)},
        {N5, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {N8, QKeySequence(Qt::CTRL | Qt::Key_T)},
        {N19, QKeySequence(Qt::CTRL | Qt::Key_J)},
        {N20, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
        {N11, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)},
        {N7, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {N13, QKeySequence(Qt::SHIFT | Qt::Key_F1)},
        {N18, QKeySequence(Qt::CTRL | Qt::Key_F4)},
    };
    for (const auto &[action, key] : keys)
        action->setShortcut(key);

    connect(N2, &QAction::triggered, this, &TForm1::N2Click);
    connect(replay, &QAction::triggered, this, &TForm1::replayClick);
    connect(N5, &QAction::triggered, this, &TForm1::N5Click);
    connect(N8, &QAction::triggered, this, &TForm1::N8Click);
    connect(N19, &QAction::triggered, this, &TForm1::N19Click);
    connect(N20, &QAction::triggered, this, &TForm1::N20Click);
    connect(N11, &QAction::triggered, this, &TForm1::N11Click);
    connect(N7, &QAction::triggered, this, &TForm1::N7Click);
    connect(N12, &QAction::triggered, this, &TForm1::N12Click);
    connect(N13, &QAction::triggered, this, &TForm1::N13Click);
    connect(N18, &QAction::triggered, this, &TForm1::N18Click);
}

void TForm1::FormCreate()
{
    SessionState &state = m_context.state;
    state.SessionActive = false;
    state.AskedCount = 0;
    state.QuestionsToAsk = 1;
    SetSessionMenus(true);
    state.CorrectCount = 0;
    state.GreetingPending = true;
    state.ReplayInProgress = false;
    state.WrongStreak = state.RightStreak = state.PokeCount = 0;
    state.LastTopicPath = QStringLiteral("Нет");
    state.PressedField = 0;
    state.LookZone = 0;
    state.TestEnded = false;
    state.ClickAllowed = true;

    m_context.cues.loadSwitches();
    N11->setChecked(m_context.cues.voiceOn());
    N7->setChecked(m_context.cues.soundOn());

    loadBitmaps();
    placeWindow();
    Timer->start();
}

void TForm1::FormDestroy()
{
    // The switches were saved when they were changed (saveSoundSwitches),
    // while a window was there to say that they could not be.
}

void TForm1::placeWindow()
{
    adjustSize();
    // The screen the program is started on is the one the pointer is on.
    const QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    move(PictureFit::windowPosition(screen->availableGeometry(), frameGeometry().size()));
}

void TForm1::saveSoundSwitches()
{
    const Status saved = m_context.cues.saveSwitches();
    if (!saved)
        m_context.prompter.message(this, Caption::Attention,
                                   QStringLiteral("Настройка звука не сохранена: при следующем запуске "
                                                  "программы она будет прежней.\n%1")
                                       .arg(saved.error()),
                                   Prompter::Icon::Exclamation);
}

void TForm1::StartWarnings()
{
    // Without a font that has Cyrillic letters every text of the program is
    // a row of empty boxes, this warning's Russian included: it says it in
    // English too.
    if (QFontDatabase::families(QFontDatabase::Cyrillic).isEmpty())
        m_context.prompter.message(
            this, QStringLiteral("Наставник"),
            QStringLiteral("Не установлен ни один шрифт с русскими буквами: надписи программы не будут видны. "
                           "Установите шрифты, например DejaVu или Liberation.\n\n"
                           "No font with Cyrillic letters is installed, so the program's Russian texts cannot "
                           "be shown. Please install fonts such as DejaVu or Liberation "
                           "(Debian: fonts-dejavu-core, fonts-liberation)."),
            Prompter::Icon::Exclamation);
}

QString TForm1::openBazaFilter() const
{
    // Test documents come from Windows, so both spellings of the extension.
    return QStringLiteral("Файл с тестами (*.RTF *.rtf)");
}

QString TForm1::openBazaFolder() const
{
    // A portable copy of the program usually sits among the teacher's
    // documents; an installed program's folder holds nothing of the user's.
    const QString programFolder = m_context.state.ProgramFolder;
    if (Paths::shareFolder(programFolder) != programFolder)
        return QDir::homePath();
    return programFolder + QStringLiteral("..");
}

// ---------------------------------------------------------------- TestHost

QTextDocument &TForm1::fullTestDocument()
{
    return m_fullTest;
}

const LineModel &TForm1::fullTestLines()
{
    if (!m_fullTestLines)
        m_fullTestLines = std::make_unique<LineModel>(m_fullTest);
    return *m_fullTestLines;
}

void TForm1::SetSessionMenus(bool idle)
{
    for (QMenu *menu : {N1, N6, N10})
        menu->menuAction()->setVisible(idle);
    N18->setVisible(!idle);
}

void TForm1::StartTimeBudget()
{
    TimeBudget::StartTimeBudget(m_context.state);
}

void TForm1::setReplayCaption(const QString &caption)
{
    m_context.state.ReplayCaption = caption;
    replay->setText(caption);
}

QString TForm1::replayCaption() const
{
    return m_context.state.ReplayCaption;
}

void TForm1::recordAnswer(int pressed)
{
    const SessionState &state = m_context.state;
    if (!m_context.journal || !state.SessionActive)
        return;
    int seconds = m_questionShownAt.isValid() ? m_questionShownAt.secsTo(m_context.clock.currentTime()) : 0;
    if (seconds < 0)
        seconds += 24 * 3600;   // the test ran over midnight
    (void)m_context.journal->recordAnswer({state.DrawnQuestion, pressed, state.CorrectAnswer, seconds});
}

PictureView &TForm1::picture()
{
    class NoPicture final : public PictureView
    {
    public:
        void setPicturePath(const QString &) override {}
        void setClockText(const QString &) override {}
        void setClockVisible(bool) override {}
        void showPicture() override {}
        void closePicture() override {}
    };
    static NoPicture none;
    return m_context.windows.picture ? *m_context.windows.picture : none;
}

void TForm1::setPictureClockVisible(bool visible)
{
    picture().setClockVisible(visible);
}

// ------------------------------------------------------------ session flow

void TForm1::NextQuestion()
{
    SessionState &state = m_context.state;
    ++state.AskedCount;
    HidePicture();

    const QString questionCount =
        state.TestConfig.size() > 1 ? QString::fromLatin1(state.TestConfig.at(1)) : QString::number(state.QuestionsToAsk);
    const bool past = state.AskedCount > state.QuestionsToAsk;
    if (!state.Time.TimeLimited)
        setClockText(past ? QStringLiteral("Все..!") : QStringLiteral("%1 из %2").arg(state.AskedCount).arg(questionCount));
    setWindowTitle(past ? kIdleCaption
                        : QStringLiteral("Тестирование...   %1 из %2").arg(state.AskedCount).arg(questionCount));

    if (past) {
        state.AskedCount = 0;
        clearQuestionView();
        state.SessionActive = false;
        EndTest();
        return;
    }
    clearQuestionView();
    state.DrawnQuestion = Comp::DrawQuestion(state.Pool, m_context.clock);
    state.CorrectAnswer = ShowQuestion();
}

int TForm1::ShowQuestion()
{
    SessionState &state = m_context.state;
    const Comp::QuestionPlace place = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, fullTestLines());
    if (place.broken) {
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        m_context.prompter.message(this, Caption::Failure, QStringLiteral("Нарушена структура базы..."),
                                   Prompter::Icon::Exclamation);
        // The countdown keeps running under the box: a time-out may already
        // have ended and recorded the test, which must not be recorded twice.
        if (state.SessionActive)
            EndTest();
        return 0;
    }
    if (!place.pictureName.isEmpty())
        ShowPicture(place.pictureName);
    m_questionShownAt = m_context.clock.currentTime();

    RichMemoTest->show();
    RichMemoTest->setFocus();
    QuestionPage::show(RichMemoTest, m_fullTest, place.bodyStart, place.bodyEnd);
    return place.correct;
}

void TForm1::EndTest()
{
    SessionState &state = m_context.state;
    setQuestionViewHeight(257);
    m_clock->pause(700);
    setWindowTitle(kIdleCaption);
    HidePicture();
    state.TestEnded = true;
    state.SessionActive = false;
    SetSessionMenus(true);
    state.AskedCount = 0;
    clearQuestionView();
    setClockText(QString());

    DimMainWindow();
    m_context.windows.showResultsTable();
    RestoreMainWindow();

    state.TestEnded = false;
    state.WrongStreak = state.RightStreak = state.PokeCount = 0;
}

void TForm1::clearQuestionView()
{
    RichMemoTest->clear();
    // clear() keeps the last character format; a new question starts plain.
    RichMemoTest->setCurrentCharFormat(QTextCharFormat());
}

void TForm1::setClockText(const QString &text)
{
    PanelClock->setText(text);
    // "Все..!" and "00:00:00" are followed by a pause: they are on screen
    // when it starts, not only once the event loop has come round to them.
    if (PanelClock->isVisible())
        PanelClock->repaint();
}

// ------------------------------------------------------------------- menus

void TForm1::N2Click()
{
    DimMainWindow();
    m_context.windows.showChooser();
    // The teacher's password, given for an editing command, holds while
    // the chooser is open and no longer.
    if (m_context.teacher)
        m_context.teacher->lock();
    RestoreMainWindow();
}

void TForm1::replayClick()
{
    SessionState &state = m_context.state;
    state.ReplayInProgress = true;
    const QString caption = replayCaption();
    state.CurrentBasePath = state.LastTopicPath;
    m_context.windows.openLastTopic();
    setReplayCaption(caption);
    state.ReplayInProgress = false;
}

void TForm1::N5Click()
{
    close();
}

void TForm1::N8Click()
{
    DimMainWindow();
    m_context.cues.PlaySoundCue(Cue::Table);
    m_context.windows.showResultsTable();
    RestoreMainWindow();
}

void TForm1::N19Click()
{
    DimMainWindow();
    if (!m_context.teacher || m_context.teacher->allow(this)) {
        m_context.cues.PlaySoundCue(Cue::Table);
        m_context.windows.showJournal();
        if (m_context.teacher)
            m_context.teacher->lock();
    }
    RestoreMainWindow();
}

void TForm1::N20Click()
{
    DimMainWindow();
    if (m_context.teacher) {
        m_context.teacher->changePassword(this);
        m_context.teacher->lock();
    }
    RestoreMainWindow();
}

void TForm1::N11Click()
{
    // The action has already inverted its check mark.
    m_context.cues.setVoiceOn(N11->isChecked());
    m_context.cues.PlaySoundCue(Cue::OptTestMenu);
    saveSoundSwitches();
}

void TForm1::N7Click()
{
    m_context.cues.setSoundOn(N7->isChecked());
    m_context.cues.PlaySoundCue(Cue::OptTestMenu);
    saveSoundSwitches();
}

void TForm1::N12Click()
{
    const QString helpFile = Paths::helpFile(Paths::shareFolder(m_context.state.ProgramFolder));
    Expected<std::shared_ptr<ChmFile>> chm = ChmFile::open(helpFile);
    if (!chm) {
        m_context.prompter.message(this, QStringLiteral("Наставник"), QStringLiteral("Cant start Help.chm"),
                                   Prompter::Icon::None);
        return;
    }
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->setFile(*chm);
    m_help->showMaximized();
    m_help->raise();
    m_help->activateWindow();
}

void TForm1::N13Click()
{
    DimMainWindow();
    m_context.windows.showAbout();
    RestoreMainWindow();
}

void TForm1::N18Click()
{
    m_context.cues.PlayVoiceCue(Cue::We);
    const bool ok = m_context.prompter.confirm(this, Caption::Attention,
                                               QStringLiteral("Вы действительно хотите прервать тестирование ?"));
    if (!ok) {
        m_context.cues.PlayVoiceCue(Cue::Next);
        return;
    }
    // The countdown keeps running under the box: a time-out may already
    // have ended and recorded the test, which must not be recorded twice.
    if (m_context.state.SessionActive)
        EndTest();
}

// ----------------------------------------------------------------- closing

bool TForm1::FormCloseQuery()
{
    m_context.cues.PlayVoiceCue(Cue::We);
    const bool testing = m_context.state.SessionActive;
    const QString text = testing ? QStringLiteral("Вы действительно хотите прервать тестирование и выйти из программы ?")
                                 : QStringLiteral("Вы хотите завершить работу с программой ?");
    if (!m_context.prompter.confirm(this, Caption::Attention, text)) {
        m_context.cues.PlayVoiceCue(Cue::Next);
        return false;
    }
    if (m_context.state.SessionActive)
        EndTest();
    return true;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (FormCloseQuery()) {
        event->accept();
        if (m_help)
            m_help->close();
    } else {
        event->ignore();
    }
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_startWarned) {
        m_startWarned = true;
        QTimer::singleShot(0, this, &TForm1::StartWarnings);
    }
    // Whenever the window is exposed again (uncovered, restored), the whole
    // page is painted anew and a head frame drawn over it is gone.
    if (!m_exposeWatched && windowHandle()) {
        windowHandle()->installEventFilter(this);
        m_exposeWatched = true;
    }
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && watched == windowHandle())
        m_headFrame = -1;
    return QMainWindow::eventFilter(watched, event);
}
