#include "session/ui/Bitmaps.h"

#include <QFile>
#include <QGuiApplication>

namespace Bitmaps {

int ratio()
{
    // The highest ratio of the screens: a window may be moved to any of them.
    return qGuiApp && qGuiApp->devicePixelRatio() > 1.0 ? 2 : 1;
}

QImage image(const QString &name)
{
    if (ratio() > 1) {
        QImage sharp(QStringLiteral(":/bitmaps/%1@2x.png").arg(name));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2);
            return sharp;
        }
    }
    return QImage(QStringLiteral(":/bitmaps/%1.png").arg(name));
}

QPixmap pixmap(const QString &name)
{
    return QPixmap::fromImage(image(name));
}

} // namespace Bitmaps
