// A player for Windows metafiles (WMF): it reads the record stream and draws
// each record on a QPainter, the way GDI would play it on a device. Question
// pictures and equation-editor formulas embedded in RTF documents come as
// WMF, with or without the 22-byte placeable header.
//
// The player trusts nothing in the data: every record is checked against the
// bounds of the file, the number of records and objects is capped, and a
// record that cannot be understood is skipped.
#pragma once

#include "library/Expected.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

namespace Pictures {

class WmfPlayer final
{
public:
    explicit WmfPlayer(QByteArray data);

    // Reads and checks the headers. Must succeed before naturalSize or play.
    Status open();

    bool isPlaceable() const { return m_placeable; }
    // The picture's frame in logical units: the placeable header's box, or
    // the window origin and extent the records set first.
    QRect frame() const { return m_frame; }
    // The size at 96 dpi: from the placeable header's box and its units per
    // inch; for a headerless metafile a guess from the window extent.
    QSize naturalSize() const;

    // Draws the picture so that its frame fills target. Returns an error
    // when a record runs past the end of the data (what came before it is
    // drawn all the same).
    Status play(QPainter &painter, const QRectF &target) const;

    // Decodes and draws into an image of targetSize (or the natural size).
    static Expected<QImage> render(const QByteArray &data, QSize targetSize);

    // The most records and objects a metafile may have.
    static constexpr int MaxRecords = 1'000'000;
    static constexpr int MaxObjects = 65'535;

private:
    QByteArray m_data;
    bool m_placeable = false;
    int m_unitsPerInch = 0;
    QRect m_frame;
    qsizetype m_recordsStart = 0;
    int m_objectCount = 0;
};

// The text that the bytes of a text record show in a font with this charset
// (204 Cyrillic, 0 Western, 2 Symbol, 1 the default of a Russian system...)
// and face name: the codes of Symbol, MT Extra and Wingdings become the
// Greek letters, math signs and marks they show.
QString metafileText(const QByteArray &bytes, int charset, const QString &face);

} // namespace Pictures
