// Picture loading for question pictures and for pictures embedded in RTF.
// Raster formats go through Qt's image plugins; Windows metafiles (EMF and
// WMF) are rendered by the program itself into a raster image.
#pragma once

#include "library/Expected.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace Pictures {

enum class Format {
    Unknown,   // sniffed from the data
    Png,
    Jpeg,
    Bmp,       // a .bmp file, with its file header
    Dib,       // a device-independent bitmap without file header (RTF \dibitmap)
    Gif,
    Ico,
    Emf,
    Wmf,       // with or without the 22-byte placeable header
    Pict,      // QuickDraw, as Word for Mac wrote pictures (RTF \macpict)
};

// The format named by a file's extension (bmp, ico, wmf, emf, jpg, jpeg,
// gif, png); Unknown for anything else.
Format formatFromExtension(const QString &fileName);

// Decodes picture bytes. Vector pictures are drawn at targetSize when it is
// valid, otherwise at their own size (at 96 dpi). Never crashes on damaged
// data: a picture that cannot be decoded is an error.
Expected<QImage> decode(const QByteArray &data, Format format, QSize targetSize = {});

// Loads a picture file; the format comes from the extension.
Expected<QImage> loadFile(const QString &path, QSize targetSize = {});

// The format the bytes themselves show (magic numbers and header fields);
// Unknown when they show none. A DIB has no magic and is never sniffed.
Format sniffFormat(const QByteArray &data);

// Decodes a device-independent bitmap (a BMP without its file header), as
// RTF \dibitmap and the bitmap records of metafiles carry it.
Expected<QImage> decodeDib(const QByteArray &data);

// The largest picture decoded, in pixels: a small file can claim a huge
// image, and such a picture is refused rather than allocated.
inline constexpr qint64 MaxPixels = 40'000'000;
inline constexpr int MaxSide = 16'384;

// size, shrunk with its aspect kept until it fits MaxPixels and MaxSide.
QSize limitedImageSize(QSize size);

} // namespace Pictures
