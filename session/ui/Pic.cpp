#include "session/ui/Pic.h"

#include "richtext/Pictures.h"
#include "session/ui/PanelStyle.h"
#include "session/ui/AppContext.h"
#include "session/PictureFit.h"
#include "session/ui/Prompter.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

TForm7::TForm7(AppContext &context, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_context(context)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Рисунок..."));
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::HighlightedText));
    setPalette(palette);

    // The picture and the clock let a click through to the window, which
    // closes; the clock keeps its clicks.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->hide();

    Panel1 = new QLabel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 105, 33);
    styleClockPanel(Panel1);
}

void TForm7::setClockText(const QString &text)
{
    Panel1->setText(text);
}

void TForm7::setClockVisible(bool visible)
{
    Panel1->setVisible(visible);
}

void TForm7::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TForm7::FormActivate()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(screen->availableGeometry());
    Image1->hide();

    Expected<QImage> image = Pictures::loadFile(m_picturePath);
    if (!image || image->isNull()) {
        // No fallback here: the error is told, and a click closes the window.
        const QString text = image ? QStringLiteral("Рисунок пуст: %1").arg(m_picturePath) : image.error();
        QTimer::singleShot(0, this, [this, text] { reportLoadError(text); });
        return;
    }
    const QSize desktop = screen ? screen->virtualGeometry().size() : QSize(1024, 768);
    const QRect place = PictureFit::fitOnDesktop(image->size(), desktop);
    const Pictures::Format format = Pictures::formatFromExtension(m_picturePath);
    if (format == Pictures::Format::Emf || format == Pictures::Format::Wmf) {
        Expected<QImage> sharp = Pictures::loadFile(m_picturePath, place.size());
        if (sharp && !sharp->isNull())
            image = std::move(sharp);
    }
    Image1->setPixmap(QPixmap::fromImage(image->scaled(place.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    Image1->setGeometry(place);
    Image1->show();
}

void TForm7::reportLoadError(const QString &text)
{
    if (isVisible())
        m_context.prompter.message(this, QStringLiteral("Рисунок..."), text, Prompter::Icon::Error);
}

void TForm7::hideEvent(QHideEvent *event)
{
    // The picture is loaded anew at the next showing.
    Image1->clear();
    Image1->hide();
    QDialog::hideEvent(event);
}

void TForm7::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    reject();
}
