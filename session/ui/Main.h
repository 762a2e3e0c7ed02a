// The main testing window: the painted notebook page with the tutor and his
// board, the question view, the clock, the picture box and the menu bar.
// It runs a test from the first question (shown by the open command of the
// chooser through TestHost) to the end, when the results table records it.
//
// The implementation is spread by aspect: Main.cpp (creation, menus, help,
// closing, the session steps), MainBoard.cpp (painting, the board, the
// question view, the picture box, the tutor's drawing) and MainClock.cpp
// (the one-second timer and the countdown).
#pragma once

#include "session/TestHost.h"

#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QTime>
#include <QTextDocument>

#include <memory>

class Animate;
class HoldingClock;
class HelpWindow;
class LineModel;
class QAction;
class QLabel;
class QMenu;
class QMouseEvent;
class QPainter;
class QTextEdit;
class QTimer;
class PictureView;
struct AppContext;

class TForm1 final : public QMainWindow, public TestHost
{
    Q_OBJECT

public:
    explicit TForm1(AppContext &context, QWidget *parent = nullptr);
    ~TForm1() override;
    Q_DISABLE_COPY_MOVE(TForm1)

    // TestHost: what the open command of the chooser uses.
    QTextDocument &fullTestDocument() override;
    const LineModel &fullTestLines() override;
    void SetSessionMenus(bool idle) override;
    void StartTimeBudget() override;
    void NextQuestion() override;
    void setReplayCaption(const QString &caption) override;
    QString replayCaption() const override;
    void setPictureClockVisible(bool visible) override;

    // The session steps.
    void EndTest();
    int ShowQuestion();
    void ShowPicture(const QString &name);
    void HidePicture();
    QString currentPicturePath() const { return m_picturePath; }

    // The darkened window behind the modal windows opened from the menu and
    // behind the results table at the end of a test.
    void DimMainWindow();
    void RestoreMainWindow();
    bool isDimmed() const { return m_dimmed; }

    // The one-second tick.
    void TimerTimer();

    // Menu commands.
    void N2Click();       // Выбрать тему
    void replayClick();   // Повторить последнюю -> the last topic
    void N5Click();       // Выход
    void N8Click();       // Таблица результатов
    void N19Click();      // Журнал результатов...
    void N20Click();      // Пароль учителя...
    void N11Click();      // voice cues on/off
    void N7Click();       // sound effects on/off
    void N12Click();      // Помощь
    void N13Click();      // Визитка...
    void N18Click();      // Прервать тестирование

    // The open-file dialog `OpenBaza` with which base creation picks a test
    // document: its filter and its first folder (the one above the program).
    QString openBazaFilter() const override;
    QString openBazaFolder() const override;

    // The tutor, for the windows that make him react.
    Animate &tutor() { return *m_tutor; }

    // Handlers of the painted surface and of the controls (public so that
    // the small widget classes of the window can forward to them).
    void FormPaint(QPainter &painter);
    void FormMouseDown(QMouseEvent *event);
    void FormMouseUp(QMouseEvent *event);
    void FormMouseMove(QMouseEvent *event);
    void RichMemoTestMouseDown();
    void RichMemoTestMouseMove();
    void RichMemoTestDblClick();
    void Image1Click();
    bool FormCloseQuery();

    // The field (1 to 4) under a board point, 0 in a gap, -1 off the board.
    static int boardFieldAt(QPoint point);
    // Where the marker of a field is drawn.
    static QPoint markerPosition(int field);
    // The centre of a field, where a key press lands.
    static QPoint fieldCentre(int field);

protected:
    void closeEvent(QCloseEvent *event) override;
    // Keys 1 to 4 (top row or keypad) press the board's fields.
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormDestroy();
    void buildMenus();
    void buildControls();
    void loadBitmaps();
    void placeWindow();
    void saveSoundSwitches();
    // Told once, when the window is first shown.
    void StartWarnings();
    // Draws at once, bypassing the event loop, as the tutor's sequences and
    // the board do: the frame shows while the thread is blocked.
    void drawHeadFrame(int frame);
    void drawMarker(int field);
    void wipeMarker();
    void clearQuestionView();
    void setClockText(const QString &text);
    void setQuestionViewHeight(int height);
    void greetOnce();
    // Puts the answer to the question on the board in the journal: the
    // field pressed, 0 when the time ran out.
    void recordAnswer(int pressed);
    // The picture window, or one that shows nothing while none is linked.
    PictureView &picture();

    AppContext &m_context;
    QTime m_questionShownAt;   // for the seconds an answer took
    int m_keyField = 0;        // the field a key holds down
    // Every pause of the window goes through this clock, which holds the
    // student's input and the tick back while it lasts.
    std::unique_ptr<HoldingClock> m_clock;
    std::unique_ptr<Animate> m_tutor;
    QTextDocument m_fullTest;
    std::unique_ptr<LineModel> m_fullTestLines;
    QString m_picturePath;

    // Bitmaps.
    QPixmap m_background;
    QPixmap m_board;
    QPixmap m_marker;
    QList<QPixmap> m_headFrames;

    // What is drawn over the background: the marker of a pressed field (0
    // none), the head frame (-1 none: the background's own head) and
    // whether the board has been repainted from its own bitmap.
    int m_markerField = 0;
    int m_headFrame = -1;
    bool m_boardDrawn = false;
    bool m_dimmed = false;
    bool m_greetingQueued = false;
    bool m_exposeWatched = false;
    bool m_startWarned = false;

    QWidget *m_surface = nullptr;
    HelpWindow *m_help = nullptr;

public:
    // Controls, named as in the window's design.
    QTextEdit *RichMemoTest = nullptr;
    QTextEdit *RichAllTest = nullptr;
    QLabel *PanelClock = nullptr;
    QLabel *Image1 = nullptr;
    QTimer *Timer = nullptr;

    QMenu *N1 = nullptr;        // Тест
    QAction *N2 = nullptr;      // Выбрать тему
    QMenu *N3 = nullptr;        // Повторить последнюю
    QAction *replay = nullptr;  // the last topic
    QAction *N5 = nullptr;      // Выход
    QMenu *N6 = nullptr;        // Сервис
    QAction *N8 = nullptr;      // Таблица результатов
    QAction *N19 = nullptr;     // Журнал результатов...
    QAction *N20 = nullptr;     // Пароль учителя...
    QAction *N11 = nullptr;     // Включить голосовые эффекты
    QAction *N7 = nullptr;      // Включить звуковые эффекты
    QMenu *N10 = nullptr;       // ?
    QAction *N12 = nullptr;     // Помощь
    QAction *N13 = nullptr;     // Визитка...
    QAction *N18 = nullptr;     // Прервать тестирование
};
