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

} // namespace Pictures
