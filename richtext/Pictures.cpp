#include "richtext/Pictures.h"

#include <QFile>
#include <QFileInfo>

namespace Pictures {

Format formatFromExtension(const QString &fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == u"png")
        return Format::Png;
    if (ext == u"jpg" || ext == u"jpeg")
        return Format::Jpeg;
    if (ext == u"bmp")
        return Format::Bmp;
    if (ext == u"gif")
        return Format::Gif;
    if (ext == u"ico")
        return Format::Ico;
    if (ext == u"emf")
        return Format::Emf;
    if (ext == u"wmf")
        return Format::Wmf;
    return Format::Unknown;
}

Expected<QImage> decode(const QByteArray &data, Format format, QSize targetSize)
{
    QImage image;
    if (!image.loadFromData(data))
        return Error{QStringLiteral("Рисунок повреждён или его формат не поддерживается.")};
    if (targetSize.isValid() && image.size() != targetSize)
        image = image.scaled(targetSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

Expected<QImage> loadFile(const QString &path, QSize targetSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("Не удается открыть рисунок %1: %2").arg(path, file.errorString())};
    const Format format = formatFromExtension(path);
    Expected<QImage> image = decode(file.readAll(), format, targetSize);
    if (!image)
        return Error{QStringLiteral("%1: %2").arg(path, image.error())};
    return image;
}

} // namespace Pictures
