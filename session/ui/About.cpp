#include "session/ui/About.h"

#include "session/ui/Bitmaps.h"
#include "session/ui/AppContext.h"
#include "session/Cues.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

TForm9::TForm9(AppContext &context, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_context(context)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("О программе: Наставник 1.0"));
    setFixedSize(450, 275);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setCursor(Qt::PointingHandCursor);

    // The picture lets its clicks through to the window, which closes.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 450, 275);
    Image1->setScaledContents(true);
    Image1->setPixmap(Bitmaps::pixmap(QStringLiteral("About")));
}

void TForm9::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    // Each activation sounds once and each loss of it (the closing
    // included) once after it.
    if (isActiveWindow() && !m_active) {
        m_active = true;
        FormActivate();
    } else if (!isActiveWindow() && m_active) {
        m_active = false;
        FormDeactivate();
    }
}

void TForm9::FormActivate()
{
    m_context.cues.PlaySoundCue(Cue::About);
}

void TForm9::FormDeactivate()
{
    m_context.cues.PlaySoundCue(Cue::BookEnd);
}

void TForm9::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    accept();
}
