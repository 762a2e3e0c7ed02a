// Enhanced metafiles (EMF) are converted to SVG by libemf2svg and the SVG is
// drawn with Qt's SVG renderer. libemf2svg trusts its input, so the header
// and the record stream are checked here before it sees them.
#pragma once

#include "library/Expected.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>

namespace Pictures::EmfRenderer {

struct EmfHeader
{
    QSize naturalSize;   // at 96 dpi, from the frame in 0.01 mm
    qsizetype bytes = 0; // the length of the metafile proper
    // Where the drawing (rclBounds) lies in the picture's frame (rclFrame),
    // as fractions of the frame's width and height; the whole frame when
    // the header does not say.
    QRectF drawing{0, 0, 1, 1};
};

// Checks the header and walks the records: every record at least 8 bytes,
// a multiple of 4, inside the data, and EMR_EOF the last one.
Expected<EmfHeader> check(const QByteArray &data);

// Converts to SVG (the text libemf2svg produces).
Expected<QByteArray> toSvg(const QByteArray &data, QSize targetSize = {});

Expected<QImage> render(const QByteArray &data, QSize targetSize);

inline constexpr int MaxRecords = 1'000'000;

} // namespace Pictures::EmfRenderer
