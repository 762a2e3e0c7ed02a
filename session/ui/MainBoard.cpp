// The main window's painted page: the background, the tutor's head frames,
// the board with its four fields and the star marker, the question view
// under the mouse, the picture box, and the darkening behind modal windows.
#include "session/ui/Bitmaps.h"
#include "session/ui/Main.h"

#include "library/Paths.h"
#include "richtext/Pictures.h"
#include "session/Animate.h"
#include "session/ui/AppContext.h"
#include "session/Cues.h"
#include "session/PictureFit.h"
#include "session/ui/QuestionPage.h"
#include "session/SessionState.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextEdit>
#include <QTimer>

namespace {

const QRect kBoard(83, 364, 281 - 83 + 1, 485 - 364 + 1);
const QRect kTutor(21, 281, 79 - 21 + 1, 499 - 281 + 1);
const QPoint kHeadPosition(34, 273);
const QPoint kBoardPosition(67, 344);

QPixmap bitmap(const QString &name)
{
    return Bitmaps::pixmap(name);
}

} // namespace

void TForm1::loadBitmaps()
{
    m_background = bitmap(QStringLiteral("tetrad"));
    m_board = bitmap(QStringLiteral("ButNorm"));
    m_headFrames.clear();
    for (int frame = 0; frame < Animate::FrameCount; ++frame)
        m_headFrames.append(bitmap(Animate::frameResource(frame)));

    // The marker is a star on a plain ground: the colour of its top-left
    // pixel is see-through.
    QImage marker = Bitmaps::image(QStringLiteral("Marker")).convertToFormat(QImage::Format_ARGB32);
    if (!marker.isNull()) {
        const QRgb clear = marker.pixel(0, 0);
        for (int y = 0; y < marker.height(); ++y)
            for (int x = 0; x < marker.width(); ++x)
                if (marker.pixel(x, y) == clear)
                    marker.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
    m_marker = QPixmap::fromImage(marker);
}

// ---------------------------------------------------------------- painting

void TForm1::FormPaint(QPainter &painter)
{
    if (m_background.isNull())
        painter.fillRect(m_surface->rect(), m_dimmed ? QColor(60, 60, 60) : QColor(Qt::white));
    else
        painter.drawPixmap(0, 0, m_background);
    if (m_dimmed)
        return;
    if (m_boardDrawn)
        painter.drawPixmap(kBoardPosition, m_board);
    if (m_markerField > 0)
        painter.drawPixmap(markerPosition(m_markerField), m_marker);
    if (m_headFrame >= 0 && m_headFrame < m_headFrames.size())
        painter.drawPixmap(kHeadPosition, m_headFrames.at(m_headFrame));
    if (m_context.state.GreetingPending && !m_greetingQueued) {
        // The greeting draws frames of its own, which cannot happen inside
        // this paint: it follows straight after it.
        m_greetingQueued = true;
        QTimer::singleShot(0, this, &TForm1::greetOnce);
    }
}

void TForm1::greetOnce()
{
    m_tutor->AnimateGreeting();
    // A test cut short by a power cut is offered once the tutor has
    // greeted, as the next thing the student sees.
    QTimer::singleShot(0, this, [this] { m_context.windows.offerResume(); });
}

void TForm1::drawHeadFrame(int frame)
{
    m_headFrame = frame;
    m_surface->repaint(QRect(kHeadPosition, QSize(45, 54)));
}

void TForm1::drawMarker(int field)
{
    m_markerField = field;
    m_surface->repaint(QRect(markerPosition(field), m_marker.deviceIndependentSize().toSize().expandedTo(QSize(99, 101))));
}

void TForm1::wipeMarker()
{
    // The board's own bitmap goes over the marker.
    m_markerField = 0;
    m_boardDrawn = !m_dimmed;
    m_surface->repaint(QRect(kBoardPosition, QSize(224, 163)).united(QRect(QPoint(79, 346), QSize(205, 161))));
}

void TForm1::DimMainWindow()
{
    m_dimmed = true;
    m_background = bitmap(QStringLiteral("Tetrad_black"));
    m_markerField = 0;
    m_headFrame = -1;
    m_boardDrawn = false;
    m_surface->repaint();
    RichMemoTest->hide();
    PanelClock->hide();
}

void TForm1::RestoreMainWindow()
{
    m_dimmed = false;
    m_background = bitmap(QStringLiteral("tetrad"));
    m_surface->repaint();
    PanelClock->show();
    RichMemoTest->show();
}

// ------------------------------------------------------------------- board

int TForm1::boardFieldAt(QPoint point)
{
    if (!kBoard.contains(point))
        return -1;
    const int x = point.x();
    const int y = point.y();
    // Tried in the order 1, 2, 4, 3.
    if (x >= 83 && x <= 175 && y >= 364 && y <= 420)
        return 1;
    if (x >= 187 && x <= 281 && y >= 364 && y <= 420)
        return 2;
    if (x >= 187 && x <= 281 && y >= 432 && y <= 485)
        return 4;
    if (x >= 83 && x <= 175 && y >= 432 && y <= 485)
        return 3;
    return 0;
}

QPoint TForm1::fieldCentre(int field)
{
    switch (field) {
    case 1:
        return {129, 392};
    case 2:
        return {234, 392};
    case 3:
        return {129, 458};
    case 4:
        return {234, 458};
    default:
        return {};
    }
}

namespace {

// The field a key names: 1 to 4 on the top row or the keypad; 0 for any
// other key and for a key held down, which repeats.
int boardKey(const QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return 0;
    const int key = event->key();
    return key >= Qt::Key_1 && key <= Qt::Key_4 ? key - Qt::Key_0 : 0;
}

} // namespace

// A key goes down and comes up where a press of the mouse would on its
// field, so the board's rules hold for both: one press a tick, the star on
// the field, nothing while the tutor reacts.
void TForm1::keyPressEvent(QKeyEvent *event)
{
    const int field = boardKey(event);
    if (field == 0)
        return QMainWindow::keyPressEvent(event);
    const QPointF at = fieldCentre(field);
    QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    m_keyField = field;
    FormMouseDown(&press);
}

void TForm1::keyReleaseEvent(QKeyEvent *event)
{
    const int field = boardKey(event);
    if (field == 0 || field != m_keyField)
        return QMainWindow::keyReleaseEvent(event);
    m_keyField = 0;
    const QPointF at = fieldCentre(field);
    QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    FormMouseUp(&release);
}

QPoint TForm1::markerPosition(int field)
{
    switch (field) {
    case 1:
        return {79, 346};
    case 2:
        return {185, 346};
    case 3:
        return {79, 406};
    case 4:
        return {185, 406};
    default:
        return {};
    }
}

void TForm1::FormMouseDown(QMouseEvent *event)
{
    SessionState &state = m_context.state;
    const QPoint point = event->position().toPoint();

    if (kTutor.contains(point) && state.PokeCount != 10) {
        if (state.PokeCount < 3) {
            ++state.PokeCount;
            m_context.cues.PlayVoiceCue(Cue::Gmm);
        } else {
            m_context.cues.PlayVoiceCue(Cue::Sora);
            state.PokeCount = 10;
        }
    }

    if (!state.SessionActive || !state.ClickAllowed)
        return;
    const int field = boardFieldAt(point);
    if (field < 0)
        return;
    // One press per tick of the timer, a press in a gap included.
    state.ClickAllowed = false;
    state.PressedField = std::uint8_t(field);
    if (field > 0)
        drawMarker(field);
}

void TForm1::FormMouseUp(QMouseEvent *)
{
    SessionState &state = m_context.state;
    if (!state.SessionActive || state.PressedField < 1 || state.PressedField > 4)
        return;
    recordAnswer(state.PressedField);
    if (state.PressedField == state.CorrectAnswer) {
        m_tutor->AnimateRight();
        ++state.CorrectCount;
    } else {
        m_tutor->AnimateWrong();
    }
    NextQuestion();
    wipeMarker();
    state.PressedField = 0;
}

void TForm1::FormMouseMove(QMouseEvent *event)
{
    m_tutor->LookAt(event->position().x() >= 350 ? 3 : 2);
}

// ----------------------------------------------------------- question view

void TForm1::setQuestionViewHeight(int height)
{
    RichMemoTest->resize(746, height);
    // Enlarged, the view lies over the clock and the picture (made after
    // it): it must be on top of them, for the eye and for the mouse.
    if (height > 257)
        RichMemoTest->raise();
}

void TForm1::RichMemoTestMouseDown()
{
    if (!m_context.state.SessionActive)
        return;
    m_context.cues.PlaySoundCue(Cue::Down);
    setQuestionViewHeight(RichMemoTest->height() == 257 ? 493 : 257);
    RichMemoTestDblClick();
}

void TForm1::RichMemoTestMouseMove()
{
    m_tutor->LookAt(1);
}

void TForm1::RichMemoTestDblClick()
{
    QTextCursor cursor = RichMemoTest->textCursor();
    cursor.setPosition(0);
    RichMemoTest->setTextCursor(cursor);
    RichMemoTest->ensureCursorVisible();
}

// ------------------------------------------------------------- picture box

void TForm1::ShowPicture(const QString &name)
{
    m_picturePath = Paths::resolve(Paths::folderOf(m_context.state.CurrentBasePath), name);
    picture().setPicturePath(m_picturePath);
    Image1->hide();

    QRect place;
    Image1->setPixmap(QuestionPage::boxPicture(m_picturePath, place));
    Image1->setGeometry(place);
    Image1->show();
}

void TForm1::HidePicture()
{
    Image1->hide();
    Image1->clear();
}

void TForm1::Image1Click()
{
    picture().setPicturePath(m_picturePath);
    picture().showPicture();
}
