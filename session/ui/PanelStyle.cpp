#include "session/ui/PanelStyle.h"

#include <QLabel>
#include <QPalette>

QFont pixelFont(const QString &family, int pixels)
{
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

QFont pixelFont(const QString &family, int pixels, bool bold, bool italic)
{
    QFont font = pixelFont(family, pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void styleClockPanel(QLabel *panel)
{
    panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    panel->setLineWidth(1);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    panel->setAttribute(Qt::WA_NoMousePropagation);
    panel->setFont(pixelFont(QStringLiteral("Times New Roman"), 24, true, true));
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(palette);
}
