#include "session/ui/QuestionPage.h"

#include "richtext/LineModel.h"
#include "richtext/Pictures.h"
#include "session/PictureFit.h"
#include "session/ui/Bitmaps.h"

#include <QPainter>
#include <QPalette>
#include <QTextCursor>
#include <QTextEdit>

namespace {

// The picture shown for a question whose picture cannot be loaded.
QImage noPicture()
{
    QImage image(QStringLiteral(":/bitmaps/NoPic.png"));   // scaled into the box as any picture
    if (!image.isNull())
        return image;
    // Without the resource: a white 300 x 200 picture crossed in red.
    image = QImage(300, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::red, 2));
    painter.drawLine(0, 0, 299, 199);
    painter.drawLine(299, 0, 0, 199);
    return image;
}

} // namespace

namespace QuestionPage {

void styleView(QTextEdit *view)
{
    view->setReadOnly(true);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A table wider than the view is scrolled to, not cut off.
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setLineWrapMode(QTextEdit::WidgetWidth);
    view->setFont(QFont(QStringLiteral("Times New Roman"), 12));
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, Qt::white);
    view->setPalette(palette);
}

void show(QTextEdit *view, const QTextDocument &fullTest, int bodyStart, int bodyEnd)
{
    view->clear();
    // clear() keeps the last character format; a new question starts plain.
    view->setCurrentCharFormat(QTextCharFormat());
    view->setReadOnly(false);
    QTextCursor cursor(view->document());
    LineModel::copyRange(fullTest, bodyStart, bodyEnd, cursor);
    view->setReadOnly(true);
    QTextCursor top(view->document());
    view->setTextCursor(top);
    view->ensureCursorVisible();
}

QPixmap boxPicture(const QString &path, QRect &place)
{
    // Whatever goes wrong with the file, the crossed-out placeholder is
    // shown instead, and no message.
    Expected<QImage> loaded = Pictures::loadFile(path);
    QImage image = loaded ? std::move(*loaded) : noPicture();
    if (image.isNull())
        image = noPicture();
    place = PictureFit::fitInBox(image.size());
    // On a scaled screen the picture gets as many pixels as the screen has.
    const int ratio = Bitmaps::ratio();
    const QSize pixels = place.size() * ratio;
    if (loaded && (Pictures::formatFromExtension(path) == Pictures::Format::Emf
                   || Pictures::formatFromExtension(path) == Pictures::Format::Wmf)) {
        // Metafiles are drawn again at the size they are shown.
        Expected<QImage> sharp = Pictures::loadFile(path, pixels);
        if (sharp && !sharp->isNull())
            image = std::move(*sharp);
    }
    QPixmap shown = QPixmap::fromImage(image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    shown.setDevicePixelRatio(ratio);
    return shown;
}

} // namespace QuestionPage
