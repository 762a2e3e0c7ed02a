#include "browser/ui/BookButton.h"

#include "session/ui/Bitmaps.h"

#include <QMouseEvent>
#include <QPainter>

BookButton::BookButton(const QString &away, const QString &hover, const QString &pressed, const QString &caption,
                       QWidget *parent)
    : QWidget(parent), m_caption(caption)
{
    m_pixmaps[0] = Bitmaps::pixmap(away);
    m_pixmaps[1] = Bitmaps::pixmap(hover);
    m_pixmaps[2] = Bitmaps::pixmap(pressed);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
}

const QPixmap &BookButton::pixmap(Look look) const
{
    return m_pixmaps[int(look)];
}

void BookButton::setLook(Look look)
{
    if (m_look == look)
        return;
    m_look = look;
    update();
}

void BookButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPixmap &face = pixmap(m_look);
    if (!face.isNull()) {
        painter.drawPixmap(rect(), face);
        return;
    }
    // Without the bitmaps the button still has to be usable.
    const QColor fill = m_look == Look::Pressed ? QColor(150, 110, 60)
                        : m_look == Look::Hover ? QColor(230, 190, 120)
                                                : QColor(210, 170, 100);
    painter.fillRect(rect(), fill);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.drawText(rect(), Qt::AlignCenter, m_caption);
}

void BookButton::enterEvent(QEnterEvent *)
{
    setLook(m_leftPressed ? Look::Pressed : Look::Hover);
}

void BookButton::leaveEvent(QEvent *)
{
    setLook(Look::Away);
}

void BookButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    setLook(Look::Pressed);
}

void BookButton::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton)
        setLook(rect().contains(event->position().toPoint()) ? Look::Pressed : Look::Away);
    else
        setLook(rect().contains(event->position().toPoint()) ? Look::Hover : Look::Away);
}

void BookButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool over = rect().contains(event->position().toPoint());
    const bool leftClick = over && m_leftPressed && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton)
        m_leftPressed = false;
    setLook(over ? Look::Hover : Look::Away);
    if (over)
        Q_EMIT released(event->button(), leftClick);
}
