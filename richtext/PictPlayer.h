// A player for QuickDraw pictures (PICT, versions 1 and 2), the pictures
// Word for Mac wrote into RTF (\macpict): it reads the opcode stream and
// draws lines, rectangles, rounded rectangles, ovals, arcs, polygons, text
// and bitmaps (one-bit, indexed and direct, packed or not) on a QPainter.
// Regions are drawn as their bounding boxes; patterns as the grey their
// bits make. A picture that shows nothing the player can draw (a QuickTime
// movie, say) is an error, so that the document's other representation of
// it can stand in.
//
// The player trusts nothing in the data: every opcode is checked against
// the bounds of the data, bitmaps against the picture size limits, and the
// number of opcodes is capped.
#pragma once

#include "library/Expected.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

namespace Pictures {

class PictPlayer final
{
public:
    explicit PictPlayer(QByteArray data);

    // Reads the header: the picture's frame and its version.
    Status open();

    // The picture's frame in QuickDraw coordinates (points, 72 dpi).
    QRect frame() const { return m_frame; }
    int version() const { return m_version; }
    // The size at 96 dpi.
    QSize naturalSize() const;

    // Draws the picture so that its frame fills target. An error when the
    // picture draws nothing; what came before damaged data is drawn.
    Status play(QPainter &painter, const QRectF &target) const;

    // Decodes and draws into an image of targetSize (or the natural size).
    static Expected<QImage> render(const QByteArray &data, QSize targetSize);

    static constexpr int MaxOpcodes = 1'000'000;

private:
    QByteArray m_data;
    QRect m_frame;
    int m_version = 0;
    qsizetype m_start = 0;   // the first opcode after the version
};

} // namespace Pictures
