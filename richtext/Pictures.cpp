#include "richtext/Pictures.h"

#include "library/FileErrors.h"
#include "richtext/EmfRenderer.h"
#include "richtext/PictPlayer.h"
#include "richtext/WmfPlayer.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace Pictures {

namespace {

constexpr quint32 PlaceableWmfKey = 0x9AC6CDD7;
constexpr quint32 EmfSignature = 0x464D4520; // " EMF"

quint16 u16At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

quint32 u32At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

QString damaged()
{
    return QStringLiteral("Рисунок повреждён или его формат не поддерживается.");
}

QString tooLarge(QSize size)
{
    return QStringLiteral("Рисунок слишком велик (%1 × %2 точек).").arg(size.width()).arg(size.height());
}

// The chunks of a PNG stream must lie within the data. libpng believes a
// chunk's length and allocates it before finding the data is not there: a
// damaged length of a gigabyte costs seconds and a gigabyte of memory.
bool pngChunksFit(const QByteArray &data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype size = data.size();
    qsizetype pos = 8;
    while (pos + 12 <= size) {
        const quint32 length = qFromBigEndian<quint32>(p + pos);
        if (length > quint32(size - pos - 12))
            return false;
        if (std::memcmp(p + pos + 4, "IEND", 4) == 0)
            return true;
        pos += 12 + qsizetype(length);
    }
    return pos == size;
}

// Raster decoding through Qt's image plugins. qtFormat names the plugin, or
// is empty to let Qt recognise the data; only well-known formats are taken.
Expected<QImage> decodeRaster(const QByteArray &data, const QByteArray &qtFormat)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, qtFormat);
    reader.setDecideFormatFromContent(qtFormat.isEmpty());
    reader.setAllocationLimit(int(MaxPixels * 4 / (1024 * 1024)) + 1);
    if (qtFormat.isEmpty()) {
        static const QByteArrayList accepted = {"png", "jpeg", "bmp", "gif", "ico", "pbm", "pgm", "ppm"};
        if (!accepted.contains(reader.format()))
            return Error{damaged()};
    }

    if (reader.format() == "png" && !pngChunksFit(data))
        return Error{damaged()};

    // An icon holds several images: take the largest.
    if (reader.format() == "ico" && reader.imageCount() > 1) {
        int best = 0;
        qint64 bestArea = -1;
        for (int i = 0; i < reader.imageCount(); ++i) {
            if (!reader.jumpToImage(i))
                break;
            const QSize s = reader.size();
            if (qint64(s.width()) * s.height() > bestArea) {
                bestArea = qint64(s.width()) * s.height();
                best = i;
            }
        }
        reader.jumpToImage(best);
    }

    const QSize size = reader.size();
    if (size.isValid() && (qint64(size.width()) * size.height() > MaxPixels
                           || size.width() > MaxSide || size.height() > MaxSide))
        return Error{tooLarge(size)};
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return Error{damaged()};
    return image;
}

Expected<QImage> decodeAs(const QByteArray &data, Format format, QSize targetSize);

Expected<QImage> scaledTo(Expected<QImage> image, QSize targetSize)
{
    if (!image || !targetSize.isValid() || targetSize.isEmpty())
        return image;
    const QSize size = limitedImageSize(targetSize);
    if (image->size() == size)
        return image;
    return image->scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

Expected<QImage> decodeAs(const QByteArray &data, Format format, QSize targetSize)
{
    switch (format) {
    case Format::Wmf:
        return WmfPlayer::render(data, targetSize);
    case Format::Emf:
        return EmfRenderer::render(data, targetSize);
    case Format::Pict:
        return PictPlayer::render(data, targetSize);
    case Format::Dib:
        return scaledTo(decodeDib(data), targetSize);
    case Format::Png:
        return scaledTo(decodeRaster(data, "png"), targetSize);
    case Format::Jpeg:
        return scaledTo(decodeRaster(data, "jpeg"), targetSize);
    case Format::Bmp:
        return scaledTo(decodeRaster(data, "bmp"), targetSize);
    case Format::Gif:
        return scaledTo(decodeRaster(data, "gif"), targetSize);
    case Format::Ico:
        return scaledTo(decodeRaster(data, "ico"), targetSize);
    case Format::Unknown:
        break;
    }
    return scaledTo(decodeRaster(data, {}), targetSize);
}

} // namespace

Format formatFromExtension(const QString &fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == u"png")
        return Format::Png;
    if (ext == u"jpg" || ext == u"jpeg" || ext == u"jpe" || ext == u"jfif")
        return Format::Jpeg;
    if (ext == u"bmp")
        return Format::Bmp;
    if (ext == u"dib")
        return Format::Dib;
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

Format sniffFormat(const QByteArray &data)
{
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return Format::Png;
    if (data.startsWith("\xff\xd8\xff"))
        return Format::Jpeg;
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return Format::Gif;
    if (data.size() >= 18 && data.startsWith("BM"))
        return Format::Bmp;
    if (data.size() >= 6 && u16At(data, 0) == 0 && u16At(data, 2) == 1 && u16At(data, 4) > 0)
        return Format::Ico;
    if (data.size() >= 44 && u32At(data, 0) == 1 && u32At(data, 40) == EmfSignature)
        return Format::Emf;
    if (data.size() >= 4 && u32At(data, 0) == PlaceableWmfKey)
        return Format::Wmf;
    // A WMF without the placeable header: type, header size 9 words, version.
    if (data.size() >= 18 && (u16At(data, 0) == 1 || u16At(data, 0) == 2) && u16At(data, 2) == 9
        && (u16At(data, 4) == 0x0100 || u16At(data, 4) == 0x0300))
        return Format::Wmf;
    return Format::Unknown;
}

QSize limitedImageSize(QSize size)
{
    double w = std::max(1, size.width());
    double h = std::max(1, size.height());
    const double side = std::max(w, h);
    if (side > MaxSide) {
        w = w * MaxSide / side;
        h = h * MaxSide / side;
    }
    if (w * h > double(MaxPixels)) {
        const double k = std::sqrt(double(MaxPixels) / (w * h));
        w *= k;
        h *= k;
    }
    return QSize(std::max(1, int(std::floor(w))), std::max(1, int(std::floor(h))));
}

Expected<QImage> decodeDib(const QByteArray &data)
{
    if (data.startsWith("BM"))
        return decodeRaster(data, "bmp");
    if (data.size() < 12)
        return Error{damaged()};
    const quint32 headerSize = u32At(data, 0);
    qint64 paletteBytes = 0;
    qint64 maskBytes = 0;
    if (headerSize == 12) {
        // The old OS/2 header: 3-byte palette entries.
        const int bitCount = u16At(data, 10);
        if (bitCount <= 8)
            paletteBytes = 3LL << bitCount;
    } else if (headerSize >= 40 && headerSize <= 1024 && data.size() >= 40) {
        const int bitCount = u16At(data, 14);
        const quint32 compression = u32At(data, 16);
        const quint32 colorsUsed = u32At(data, 32);
        if (colorsUsed > 65536)
            return Error{damaged()};
        qint64 colors = colorsUsed;
        if (colors == 0 && bitCount <= 8)
            colors = 1LL << bitCount;
        paletteBytes = 4 * colors;
        // BI_BITFIELDS and BI_ALPHABITFIELDS keep their masks after a short header.
        if (headerSize == 40 && compression == 3)
            maskBytes = 12;
        else if (headerSize == 40 && compression == 6)
            maskBytes = 16;
        // BI_JPEG and BI_PNG: the bits are a whole JPEG or PNG stream.
        if (compression == 4 || compression == 5) {
            const qint64 at = headerSize + paletteBytes;
            if (at >= data.size())
                return Error{damaged()};
            return decodeRaster(data.mid(at), compression == 4 ? "jpeg" : "png");
        }
    } else {
        return Error{damaged()};
    }
    const qint64 bitsOffset = 14 + qint64(headerSize) + maskBytes + paletteBytes;
    if (bitsOffset - 14 > data.size())
        return Error{damaged()};

    // Put the 14-byte file header in front and read it as a BMP file.
    QByteArray file;
    file.reserve(14 + data.size());
    file.append("BM");
    char word[4];
    qToLittleEndian<quint32>(quint32(14 + data.size()), word);
    file.append(word, 4);
    qToLittleEndian<quint32>(0, word);
    file.append(word, 4);
    qToLittleEndian<quint32>(quint32(bitsOffset), word);
    file.append(word, 4);
    file.append(data);
    return decodeRaster(file, "bmp");
}

Expected<QImage> decode(const QByteArray &data, Format format, QSize targetSize)
{
    if (data.isEmpty())
        return Error{QStringLiteral("Файл рисунка пуст.")};
    // The bytes win over the name: a .jpg that holds a PNG still loads. A DIB
    // shows no magic, so a format that is only named Dib stays Dib.
    // A PICT has no magic of its own; its first bytes (size and frame) may
    // look like another format's.
    if (format == Format::Pict)
        return decodeAs(data, format, targetSize);
    const Format sniffed = sniffFormat(data);
    // A .bmp without its file header is a bare DIB.
    if (sniffed == Format::Unknown && format == Format::Bmp)
        return decodeAs(data, Format::Dib, targetSize);
    const Format effective = sniffed != Format::Unknown ? sniffed : format;
    return decodeAs(data, effective, targetSize);
}

Expected<QImage> loadFile(const QString &path, QSize targetSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("Не удается открыть рисунок %1: %2").arg(path, FileErrors::reason(file))};
    // Question pictures are small; a file this big is not one.
    constexpr qint64 MaxFileSize = 256LL * 1024 * 1024;
    if (file.size() > MaxFileSize)
        return Error{QStringLiteral("%1: %2").arg(path, QStringLiteral("файл рисунка слишком велик."))};
    const Format format = formatFromExtension(path);
    Expected<QImage> image = decode(file.readAll(), format, targetSize);
    if (!image)
        return Error{QStringLiteral("%1: %2").arg(path, image.error())};
    return image;
}

} // namespace Pictures
