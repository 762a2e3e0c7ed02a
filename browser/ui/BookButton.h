// A button drawn with three bitmaps: the pointer away from it, the pointer
// over it, and a mouse button held on it. The chooser's "Открыть" and "А…Я"
// buttons are of this kind; they differ in which release counts as a click,
// so the button reports every release over it with the mouse button.
#pragma once

#include <QPixmap>
#include <QWidget>

class BookButton final : public QWidget
{
    Q_OBJECT

public:
    enum class Look { Away, Hover, Pressed };

    // Bitmap names are the program's bitmaps (Bitmaps::pixmap); a missing one is drawn as a plain
    // face with the caption.
    BookButton(const QString &away, const QString &hover, const QString &pressed, const QString &caption,
               QWidget *parent = nullptr);

    Look look() const { return m_look; }
    const QPixmap &pixmap(Look look) const;

Q_SIGNALS:
    // A mouse button was released over the button; leftClick is true when the
    // left button was both pressed and released on it.
    void released(Qt::MouseButton button, bool leftClick);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void setLook(Look look);

    QPixmap m_pixmaps[3];
    QString m_caption;
    Look m_look = Look::Away;
    bool m_leftPressed = false;
};
