#include "richtext/WmfPlayer.h"

#include "richtext/Charsets.h"
#include "richtext/Pictures.h"
#include "richtext/SymbolFonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <iterator>
#include <cmath>
#include <optional>
#include <vector>

namespace Pictures {

namespace {

constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr int PlaceableSize = 22;
constexpr int HeaderSize = 18;
// Points farther than this from the picture are pulled in: the painter then
// never works on absurd geometry that damaged data may carry.
constexpr double CoordinateLimit = 1.0e6;
constexpr int MaxSavedStates = 1000;

// Record functions.
enum : quint16 {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_REALIZEPALETTE = 0x0035,
    META_SETPALENTRIES = 0x0037,
    META_CREATEPALETTE = 0x00F7,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104,
    META_SETRELABS = 0x0105,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETSTRETCHBLTMODE = 0x0107,
    META_SETTEXTCHAREXTRA = 0x0108,
    META_RESTOREDC = 0x0127,
    META_INVERTREGION = 0x012A,
    META_PAINTREGION = 0x012B,
    META_SELECTCLIPREGION = 0x012C,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_RESIZEPALETTE = 0x0139,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_SETLAYOUT = 0x0149,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209,
    META_SETTEXTJUSTIFICATION = 0x020A,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_SETVIEWPORTORG = 0x020D,
    META_SETVIEWPORTEXT = 0x020E,
    META_OFFSETWINDOWORG = 0x020F,
    META_OFFSETVIEWPORTORG = 0x0211,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_OFFSETCLIPRGN = 0x0220,
    META_FILLREGION = 0x0228,
    META_SETMAPPERFLAGS = 0x0231,
    META_SELECTPALETTE = 0x0234,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_SCALEWINDOWEXT = 0x0410,
    META_SCALEVIEWPORTEXT = 0x0412,
    META_EXCLUDECLIPRECT = 0x0415,
    META_INTERSECTCLIPRECT = 0x0416,
    META_ELLIPSE = 0x0418,
    META_FLOODFILL = 0x0419,
    META_FRAMEREGION = 0x0429,
    META_RECTANGLE = 0x041B,
    META_SETPIXEL = 0x041F,
    META_ANIMATEPALETTE = 0x0436,
    META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538,
    META_EXTFLOODFILL = 0x0548,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_ESCAPE = 0x0626,
    META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_BITBLT = 0x0922,
    META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32,
    META_STRETCHBLT = 0x0B23,
    META_DIBSTRETCHBLT = 0x0B41,
    META_SETDIBTODEV = 0x0D33,
    META_STRETCHDIB = 0x0F43,
};

enum { MM_TEXT = 1, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8 };
enum { TRANSPARENT = 1, OPAQUE = 2 };
enum { ALTERNATE = 1, WINDING = 2 };
enum { TA_UPDATECP = 0x0001, TA_RIGHT = 0x0002, TA_CENTER = 0x0006, TA_BOTTOM = 0x0008,
       TA_BASELINE = 0x0018 };
enum { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004, ETO_GLYPH_INDEX = 0x0010 };
enum { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
       PS_INSIDEFRAME = 6, PS_STYLE_MASK = 0x000F, PS_ENDCAP_SQUARE = 0x0100,
       PS_ENDCAP_FLAT = 0x0200, PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000 };
enum { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5,
       BS_DIBPATTERNPT = 6 };
enum { SYMBOL_CHARSET = 2 };

// Raster operations of the bit-block records.
enum : quint32 {
    BLACKNESS = 0x00000042,
    NOTSRCERASE = 0x001100A6,
    NOTSRCCOPY = 0x00330008,
    SRCERASE = 0x00440328,
    DSTINVERT = 0x00550009,
    PATINVERT = 0x005A0049,
    SRCINVERT = 0x00660046,
    SRCAND = 0x008800C6,
    DSTCOPY = 0x00AA0029,
    MERGEPAINT = 0x00BB0226,
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    PATCOPY = 0x00F00021,
    WHITENESS = 0x00FF0062,
};

// One record: its function and its parameters as 16-bit words. Reads past
// the record give 0, and every handler checks the word count it needs first.
struct Record
{
    quint16 function = 0;
    const uchar *params = nullptr;
    qsizetype words = 0;

    qint16 s(qsizetype i) const
    {
        return i >= 0 && i < words ? qFromLittleEndian<qint16>(params + 2 * i) : 0;
    }
    quint16 u(qsizetype i) const
    {
        return i >= 0 && i < words ? qFromLittleEndian<quint16>(params + 2 * i) : 0;
    }
    quint32 u32(qsizetype i) const { return quint32(u(i)) | (quint32(u(i + 1)) << 16); }
    uchar byte(qsizetype offset) const
    {
        return offset >= 0 && offset < words * 2 ? params[offset] : 0;
    }
    QColor color(qsizetype i) const
    {
        return QColor(byte(2 * i), byte(2 * i + 1), byte(2 * i + 2));
    }
    // The bytes from word i to the end of the record.
    QByteArray tail(qsizetype i) const
    {
        if (i >= words)
            return {};
        return QByteArray(reinterpret_cast<const char *>(params + 2 * i), (words - i) * 2);
    }
    QByteArray bytesAt(qsizetype offset, qsizetype length) const
    {
        if (offset < 0 || length <= 0 || offset >= words * 2)
            return {};
        length = std::min(length, words * 2 - offset);
        return QByteArray(reinterpret_cast<const char *>(params + offset), length);
    }
};

struct LogPen
{
    int style = PS_SOLID;
    int width = 0;
    QColor color = Qt::black;
};

struct LogBrush
{
    int style = BS_SOLID;
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern;
};

struct LogFont
{
    int height = 0;
    int width = 0;
    int escapement = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0;
    int pitchAndFamily = 0;
    QString face = QStringLiteral("System");
};

struct GdiObject
{
    enum Kind { Pen, Brush, Font, Palette, Region };
    Kind kind = Pen;
    LogPen pen;
    LogBrush brush;
    LogFont font;
    QRect region; // logical bounds of a region
};

struct DcState
{
    LogPen pen;
    LogBrush brush;
    LogFont font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    int bkMode = OPAQUE;
    int textAlign = 0;
    int polyFillMode = ALTERNATE;
    int rop2 = 13; // R2_COPYPEN
    int mapMode = MM_TEXT;
    int charExtra = 0;
    QPointF windowOrg;
    QPointF windowExt;
    QPointF position; // the current position, logical
    std::optional<QRegion> clip; // in device units
};

double clampCoordinate(double v)
{
    if (!std::isfinite(v))
        return 0;
    return std::clamp(v, -CoordinateLimit, CoordinateLimit);
}

} // namespace

QString metafileText(const QByteArray &bytes, int charset, const QString &face)
{
    if (const SymbolFonts::Kind kind = SymbolFonts::kindOf(face); kind != SymbolFonts::Kind::None) {
        QString text;
        text.reserve(bytes.size());
        for (char c : bytes) {
            const char16_t u = SymbolFonts::toUnicode(kind, uchar(c));
            text.append(QChar(u ? u : u' '));
        }
        return text;
    }
    if (charset == SYMBOL_CHARSET)
        return QString::fromLatin1(bytes);
    // The default charset is the ANSI code page of the system that drew the
    // picture: a Russian one's.
    const int codePage = Charsets::codePage(charset);
    return Charsets::decode(codePage > 0 ? codePage : 1251, bytes);
}

namespace {

// The installed typeface that stands in for a Windows or Mac one.
QString familyFor(const QString &face, QFont::StyleHint &hint)
{
    struct Substitute { const char16_t *face; const char16_t *family; QFont::StyleHint hint; };
    static const Substitute table[] = {
        {u"Times New Roman", u"Liberation Serif", QFont::Serif},
        {u"Times New Roman Cyr", u"Liberation Serif", QFont::Serif},
        {u"Times", u"Liberation Serif", QFont::Serif},
        {u"Tms Rmn", u"Liberation Serif", QFont::Serif},
        {u"Palatino", u"Liberation Serif", QFont::Serif},
        {u"Book Antiqua", u"Liberation Serif", QFont::Serif},
        {u"Georgia", u"DejaVu Serif", QFont::Serif},
        {u"Symbol", u"DejaVu Serif", QFont::Serif},
        {u"MT Symbol", u"DejaVu Serif", QFont::Serif},
        {u"Euclid Symbol", u"DejaVu Serif", QFont::Serif},
        {u"MT Extra", u"DejaVu Sans", QFont::SansSerif},
        {u"Wingdings", u"DejaVu Sans", QFont::SansSerif},
        {u"Arial", u"Liberation Sans", QFont::SansSerif},
        {u"Arial Cyr", u"Liberation Sans", QFont::SansSerif},
        {u"Helvetica", u"Liberation Sans", QFont::SansSerif},
        {u"Geneva", u"Liberation Sans", QFont::SansSerif},
        {u"Verdana", u"DejaVu Sans", QFont::SansSerif},
        {u"Tahoma", u"DejaVu Sans", QFont::SansSerif},
        {u"MS Sans Serif", u"DejaVu Sans", QFont::SansSerif},
        {u"System", u"DejaVu Sans", QFont::SansSerif},
        {u"Courier New", u"Liberation Mono", QFont::Monospace},
        {u"Courier", u"Liberation Mono", QFont::Monospace},
    };
    for (const Substitute &s : table) {
        if (face.compare(QStringView(s.face), Qt::CaseInsensitive) == 0) {
            hint = s.hint;
            return QString::fromUtf16(s.family);
        }
    }
    return face;
}

QPainter::CompositionMode compositionForRop2(int rop2, bool &draw, std::optional<QColor> &forced)
{
    draw = true;
    switch (rop2) {
    case 1: forced = QColor(Qt::black); return QPainter::CompositionMode_SourceOver;   // R2_BLACK
    case 16: forced = QColor(Qt::white); return QPainter::CompositionMode_SourceOver;  // R2_WHITE
    case 11: draw = false; return QPainter::CompositionMode_SourceOver;                // R2_NOP
    case 4: return QPainter::RasterOp_NotSource;                                       // R2_NOTCOPYPEN
    case 6: return QPainter::RasterOp_NotDestination;                                  // R2_NOT
    case 7: return QPainter::RasterOp_SourceXorDestination;                            // R2_XORPEN
    case 9: return QPainter::RasterOp_SourceAndDestination;                            // R2_MASKPEN
    case 15: return QPainter::RasterOp_SourceOrDestination;                            // R2_MERGEPEN
    default: return QPainter::CompositionMode_SourceOver;
    }
}

class Playback
{
public:
    Playback(QPainter &painter, const QRectF &target, const QRect &frame, int objectCount)
        : m_painter(painter), m_target(target)
    {
        m_dc.windowOrg = frame.topLeft();
        m_dc.windowExt = QPointF(frame.width(), frame.height());
        m_objects.resize(std::clamp(objectCount, 0, WmfPlayer::MaxObjects));
        updateTransform();
    }

    void play(const Record &r);

private:
    // Coordinates
    void updateTransform();
    QPointF map(double x, double y) const
    {
        return {clampCoordinate(m_target.left() + (x - m_dc.windowOrg.x()) * m_sx),
                clampCoordinate(m_target.top() + (y - m_dc.windowOrg.y()) * m_sy)};
    }
    QRectF mapRect(double left, double top, double right, double bottom) const
    {
        return QRectF(map(left, top), map(right, bottom)).normalized();
    }
    // The destination of a blit record: its x at word `at`, then y, width
    // and height in the words before it (records store their parameters
    // last to first).
    QRectF blitRect(const Record &r, int at) const
    {
        return mapRect(r.s(at), r.s(at - 1), r.s(at) + r.s(at - 2), r.s(at - 1) + r.s(at - 3));
    }
    double mapWidth(double w) const { return std::abs(w * m_sx); }
    double mapHeight(double h) const { return std::abs(h * m_sy); }

    // Objects
    void addObject(GdiObject object);
    const GdiObject *object(int index) const;
    void selectObject(int index);

    // Drawing helpers
    bool preparePen(bool &drawNothing);
    void prepareBrush();
    void applyClip();
    void fillAndStroke(const QPainterPath &path);
    void strokeOnly(const QPainterPath &path);
    void drawText(double x, double y, const QByteArray &bytes, const QList<int> &dx, int options,
                  const std::optional<QRectF> &rect);
    void drawDib(const QByteArray &dib, quint32 rop, const QRectF &dest, int xSrc, int ySrc,
                 int srcWidth, int srcHeight);
    void fillWithRop(const QRectF &dest, quint32 rop);

    // Records
    void polygon(const Record &r, bool closed);
    void polyPolygon(const Record &r);
    void arc(const Record &r, int kind);
    void textOut(const Record &r);
    void extTextOut(const Record &r);
    void createFont(const Record &r);

    QPainter &m_painter;
    QRectF m_target;
    DcState m_dc;
    std::vector<DcState> m_saved;
    std::vector<std::optional<GdiObject>> m_objects;
    double m_sx = 1;
    double m_sy = 1;
};

void Playback::updateTransform()
{
    const double ex = m_dc.windowExt.x();
    const double ey = m_dc.windowExt.y();
    m_sx = ex != 0 ? m_target.width() / ex : 1;
    m_sy = ey != 0 ? m_target.height() / ey : 1;
    if (m_dc.mapMode == MM_ISOTROPIC) {
        const double s = std::min(std::abs(m_sx), std::abs(m_sy));
        m_sx = std::copysign(s, m_sx);
        m_sy = std::copysign(s, m_sy);
    }
}

void Playback::addObject(GdiObject object)
{
    // A new object takes the lowest free slot of the table.
    for (auto &slot : m_objects) {
        if (!slot) {
            slot = std::move(object);
            return;
        }
    }
    if (int(m_objects.size()) < WmfPlayer::MaxObjects)
        m_objects.push_back(std::move(object));
}

const GdiObject *Playback::object(int index) const
{
    if (index < 0 || index >= int(m_objects.size()) || !m_objects[size_t(index)])
        return nullptr;
    return &*m_objects[size_t(index)];
}

void Playback::selectObject(int index)
{
    const GdiObject *o = object(index);
    if (!o)
        return;
    switch (o->kind) {
    case GdiObject::Pen: m_dc.pen = o->pen; break;
    case GdiObject::Brush: m_dc.brush = o->brush; break;
    case GdiObject::Font: m_dc.font = o->font; break;
    case GdiObject::Region:
        m_dc.clip = QRegion(mapRect(o->region.left(), o->region.top(), o->region.right(),
                                    o->region.bottom()).toAlignedRect());
        break;
    case GdiObject::Palette: break;
    }
}

bool Playback::preparePen(bool &drawNothing)
{
    drawNothing = false;
    const int style = m_dc.pen.style & PS_STYLE_MASK;
    if (style == PS_NULL) {
        m_painter.setPen(Qt::NoPen);
        return false;
    }
    std::optional<QColor> forced;
    bool draw = true;
    const auto mode = compositionForRop2(m_dc.rop2, draw, forced);
    if (!draw) {
        drawNothing = true;
        return false;
    }
    m_painter.setCompositionMode(mode);
    const double width = m_dc.pen.width == 0 ? 1.0 : std::clamp(mapWidth(m_dc.pen.width), 1.0, 1.0e4);
    QPen pen(forced.value_or(m_dc.pen.color), width);
    if (m_dc.pen.width == 0)
        pen.setCosmetic(true);
    // Wide pens of the old kind are always solid.
    if (width <= 1.5) {
        switch (style) {
        case PS_DASH: pen.setStyle(Qt::DashLine); break;
        case PS_DOT: pen.setStyle(Qt::DotLine); break;
        case PS_DASHDOT: pen.setStyle(Qt::DashDotLine); break;
        case PS_DASHDOTDOT: pen.setStyle(Qt::DashDotDotLine); break;
        default: break;
        }
    }
    if (m_dc.pen.style & PS_ENDCAP_FLAT)
        pen.setCapStyle(Qt::FlatCap);
    else if (m_dc.pen.style & PS_ENDCAP_SQUARE)
        pen.setCapStyle(Qt::SquareCap);
    else
        pen.setCapStyle(Qt::RoundCap);
    if (m_dc.pen.style & PS_JOIN_BEVEL)
        pen.setJoinStyle(Qt::BevelJoin);
    else if (m_dc.pen.style & PS_JOIN_MITER)
        pen.setJoinStyle(Qt::MiterJoin);
    else
        pen.setJoinStyle(Qt::RoundJoin);
    m_painter.setPen(pen);
    return true;
}

void Playback::prepareBrush()
{
    const LogBrush &b = m_dc.brush;
    switch (b.style) {
    case BS_NULL:
        m_painter.setBrush(Qt::NoBrush);
        break;
    case BS_HATCHED: {
        static const Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                 Qt::BDiagPattern, Qt::CrossPattern,
                                                 Qt::DiagCrossPattern};
        m_painter.setBrush(QBrush(b.color, b.hatch >= 0 && b.hatch < 6 ? hatches[b.hatch]
                                                                       : Qt::SolidPattern));
        break;
    }
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
        if (!b.pattern.isNull())
            m_painter.setBrush(QBrush(b.pattern));
        else
            m_painter.setBrush(QBrush(Qt::gray));
        break;
    default:
        m_painter.setBrush(b.color);
        break;
    }
}

void Playback::applyClip()
{
    if (m_dc.clip)
        m_painter.setClipRegion(*m_dc.clip);
    else
        m_painter.setClipping(false);
}

void Playback::fillAndStroke(const QPainterPath &path)
{
    bool nothing = false;
    m_painter.save();
    applyClip();
    std::optional<QColor> forced;
    bool draw = true;
    const auto mode = compositionForRop2(m_dc.rop2, draw, forced);
    if (draw && m_dc.brush.style != BS_NULL) {
        m_painter.setCompositionMode(mode);
        m_painter.setPen(Qt::NoPen);
        if (m_dc.brush.style == BS_HATCHED && m_dc.bkMode == OPAQUE)
            m_painter.fillPath(path, m_dc.bkColor);
        prepareBrush();
        if (forced)
            m_painter.setBrush(*forced);
        m_painter.drawPath(path);
    }
    m_painter.setBrush(Qt::NoBrush);
    if (preparePen(nothing))
        m_painter.drawPath(path);
    m_painter.restore();
}

void Playback::strokeOnly(const QPainterPath &path)
{
    bool nothing = false;
    m_painter.save();
    applyClip();
    m_painter.setBrush(Qt::NoBrush);
    if (preparePen(nothing))
        m_painter.drawPath(path);
    m_painter.restore();
}

void Playback::polygon(const Record &r, bool closed)
{
    const int count = r.s(0);
    if (count < 2 || r.words < 1 + 2 * qsizetype(count))
        return;
    QPolygonF points;
    points.reserve(count);
    for (int i = 0; i < count; ++i)
        points.append(map(r.s(1 + 2 * i), r.s(2 + 2 * i)));
    QPainterPath path;
    path.setFillRule(m_dc.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    path.addPolygon(points);
    if (closed) {
        path.closeSubpath();
        fillAndStroke(path);
    } else {
        strokeOnly(path);
    }
}

void Playback::polyPolygon(const Record &r)
{
    const int polygons = r.s(0);
    if (polygons <= 0 || r.words < 1 + polygons)
        return;
    qsizetype total = 0;
    for (int i = 0; i < polygons; ++i)
        total += r.u(1 + i);
    if (r.words < 1 + polygons + 2 * total)
        return;
    QPainterPath path;
    path.setFillRule(m_dc.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    qsizetype at = 1 + polygons;
    for (int i = 0; i < polygons; ++i) {
        const int count = r.u(1 + i);
        QPolygonF points;
        points.reserve(count);
        for (int k = 0; k < count; ++k, at += 2)
            points.append(map(r.s(at), r.s(at + 1)));
        if (count >= 2) {
            path.addPolygon(points);
            path.closeSubpath();
        }
    }
    fillAndStroke(path);
}

// Arc, Pie and Chord: an elliptic arc drawn counter-clockwise from the radial
// through the start point to the radial through the end point.
void Playback::arc(const Record &r, int kind)
{
    if (r.words < 8)
        return;
    const QRectF box = mapRect(r.s(7), r.s(6), r.s(5), r.s(4));
    if (box.width() <= 0 || box.height() <= 0)
        return;
    const QPointF start = map(r.s(3), r.s(2));
    const QPointF end = map(r.s(1), r.s(0));
    const QPointF c = box.center();
    const double rx = box.width() / 2;
    const double ry = box.height() / 2;
    // Qt's angles are parametric and count counter-clockwise on screen.
    auto angleOf = [&](const QPointF &p) {
        return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180.0 / M_PI;
    };
    const double a0 = angleOf(start);
    double sweep = angleOf(end) - a0;
    while (sweep <= 0)
        sweep += 360;
    if (sweep > 360)
        sweep = 360;
    QPainterPath path;
    if (kind == META_PIE) {
        path.moveTo(c);
        path.arcTo(box, a0, sweep);
        path.closeSubpath();
        fillAndStroke(path);
    } else if (kind == META_CHORD) {
        path.arcMoveTo(box, a0);
        path.arcTo(box, a0, sweep);
        path.closeSubpath();
        fillAndStroke(path);
    } else {
        path.arcMoveTo(box, a0);
        path.arcTo(box, a0, sweep);
        strokeOnly(path);
    }
}

void Playback::createFont(const Record &r)
{
    GdiObject o;
    o.kind = GdiObject::Font;
    LogFont &f = o.font;
    f.height = r.s(0);
    f.width = r.s(1);
    f.escapement = r.s(2);
    f.weight = r.s(4);
    f.italic = r.byte(10) != 0;
    f.underline = r.byte(11) != 0;
    f.strikeOut = r.byte(12) != 0;
    f.charset = r.byte(13);
    f.pitchAndFamily = r.byte(17);
    QByteArray face = r.bytesAt(18, 32);
    const qsizetype nul = face.indexOf('\0');
    if (nul >= 0)
        face.truncate(nul);
    QStringDecoder decoder("windows-1251");
    f.face = QString(decoder.decode(face)).trimmed();
    addObject(std::move(o));
}

void Playback::textOut(const Record &r)
{
    const int length = r.s(0);
    if (length <= 0 || r.words < 1 + (length + 1) / 2 + 2)
        return;
    const QByteArray bytes = r.bytesAt(2, length);
    const qsizetype after = 1 + (length + 1) / 2;
    drawText(r.s(after + 1), r.s(after), bytes, {}, 0, std::nullopt);
}

void Playback::extTextOut(const Record &r)
{
    if (r.words < 4)
        return;
    const int y = r.s(0);
    const int x = r.s(1);
    const int length = r.s(2);
    const int options = r.u(3);
    qsizetype at = 4;
    std::optional<QRectF> rect;
    if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
        if (r.words < at + 4)
            return;
        rect = mapRect(r.s(at), r.s(at + 1), r.s(at + 2), r.s(at + 3));
        at += 4;
    }
    if (length < 0 || r.words < at + (length + 1) / 2)
        return;
    const QByteArray bytes = r.bytesAt(at * 2, length);
    at += (length + 1) / 2;
    QList<int> dx;
    if (length > 0 && r.words >= at + length) {
        dx.reserve(length);
        for (int i = 0; i < length; ++i)
            dx.append(r.s(at + i));
    }
    drawText(x, y, bytes, dx, options, rect);
}

void Playback::drawText(double x, double y, const QByteArray &bytes, const QList<int> &dx,
                        int options, const std::optional<QRectF> &rect)
{
    m_painter.save();
    applyClip();
    if (rect && (options & ETO_OPAQUE))
        m_painter.fillRect(*rect, m_dc.bkColor);
    if (rect && (options & ETO_CLIPPED))
        m_painter.setClipRect(*rect, m_dc.clip ? Qt::IntersectClip : Qt::ReplaceClip);
    if (bytes.isEmpty() || (options & ETO_GLYPH_INDEX)) {
        m_painter.restore();
        return;
    }

    const LogFont &lf = m_dc.font;
    const bool updateCp = m_dc.textAlign & TA_UPDATECP;
    if (updateCp) {
        x = m_dc.position.x();
        y = m_dc.position.y();
    }
    QString text = metafileText(bytes, lf.charset, lf.face);
    // Each byte has its own advance; a multi-byte code page makes them disagree.
    const bool perCharacter = !dx.isEmpty() && text.size() == bytes.size();

    QFont::StyleHint hint = QFont::AnyStyle;
    switch (lf.pitchAndFamily & 0xF0) {
    case 0x10: hint = QFont::Serif; break;
    case 0x20: hint = QFont::SansSerif; break;
    case 0x30: hint = QFont::Monospace; break;
    case 0x40: hint = QFont::Decorative; break;
    default: break;
    }
    QFont font;
    font.setFamilies({familyFor(lf.face, hint), lf.face});
    font.setStyleHint(hint);
    font.setWeight(QFont::Weight(std::clamp(lf.weight == 0 ? 400 : lf.weight, 1, 1000)));
    font.setItalic(lf.italic);
    font.setUnderline(lf.underline);
    font.setStrikeOut(lf.strikeOut);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);

    const int dpi = std::max(1, m_painter.device() ? m_painter.device()->logicalDpiY() : 96);
    auto setPixels = [&](double px) { font.setPointSizeF(px * 72.0 / dpi); };
    // A negative height is the character height, a positive one the cell
    // height, which includes the internal leading.
    double pixels = lf.height == 0 ? 16.0 : mapHeight(lf.height);
    pixels = std::clamp(pixels, 0.5, 5000.0);
    setPixels(pixels);
    if (lf.height > 0) {
        const QFontMetricsF fm(font, m_painter.device());
        const double cell = fm.ascent() + fm.descent();
        if (cell > 0)
            setPixels(std::clamp(pixels * pixels / cell, 0.5, 5000.0));
    }
    const QFontMetricsF fm(font, m_painter.device());
    // Horizontal scale: the logical x/y aspect, or the font's own width.
    double stretch = std::abs(m_sy) > 0 ? std::abs(m_sx) / std::abs(m_sy) : 1.0;
    if (lf.width > 0) {
        const double average = fm.averageCharWidth();
        if (average > 0)
            stretch = mapWidth(lf.width) / average;
    }
    stretch = std::clamp(stretch, 0.02, 50.0);

    // Width in device units along the baseline.
    QList<double> advances;
    double width = 0;
    if (perCharacter) {
        advances.reserve(dx.size());
        for (int d : dx) {
            advances.append(mapWidth(d));
            width += advances.back();
        }
    } else {
        width = (fm.horizontalAdvance(text) + m_dc.charExtra * std::abs(m_sx) * text.size()) * stretch;
    }

    double offsetX = 0;
    const int horizontal = m_dc.textAlign & TA_CENTER;
    if (horizontal == TA_CENTER)
        offsetX = -width / 2;
    else if (horizontal == TA_RIGHT)
        offsetX = -width;
    double offsetY = 0;
    const int vertical = m_dc.textAlign & TA_BASELINE;
    if (vertical == TA_BASELINE)
        offsetY = 0;
    else if (vertical == TA_BOTTOM)
        offsetY = -fm.descent();
    else
        offsetY = fm.ascent();

    const QPointF origin = map(x, y);
    m_painter.translate(origin);
    m_painter.rotate(-lf.escapement / 10.0);
    if (m_dc.bkMode == OPAQUE)
        m_painter.fillRect(QRectF(offsetX, offsetY - fm.ascent(), width, fm.ascent() + fm.descent()),
                           m_dc.bkColor);
    m_painter.translate(offsetX, offsetY);
    m_painter.scale(stretch, 1);
    m_painter.setFont(font);
    m_painter.setPen(m_dc.textColor);
    if (perCharacter) {
        double pos = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            m_painter.drawText(QPointF(pos / stretch, 0), QString(text.at(i)));
            pos += advances.at(i);
        }
    } else if (m_dc.charExtra != 0) {
        double pos = 0;
        for (QChar ch : std::as_const(text)) {
            m_painter.drawText(QPointF(pos, 0), QString(ch));
            pos += fm.horizontalAdvance(ch) + m_dc.charExtra * std::abs(m_sx) / stretch;
        }
    } else {
        m_painter.drawText(QPointF(0, 0), text);
    }
    m_painter.restore();

    if (updateCp) {
        const double logical = m_sx != 0 ? width / m_sx : 0;
        if (horizontal == TA_RIGHT)
            m_dc.position.rx() -= logical;
        else if (horizontal != TA_CENTER)
            m_dc.position.rx() += logical;
    }
}

QPainter::CompositionMode compositionForRop(quint32 rop)
{
    switch (rop) {
    case SRCAND: return QPainter::RasterOp_SourceAndDestination;
    case SRCPAINT: return QPainter::RasterOp_SourceOrDestination;
    case SRCINVERT: return QPainter::RasterOp_SourceXorDestination;
    case NOTSRCCOPY: return QPainter::RasterOp_NotSource;
    case SRCERASE: return QPainter::RasterOp_SourceAndNotDestination;
    case NOTSRCERASE: return QPainter::RasterOp_NotSourceAndNotDestination;
    case MERGEPAINT: return QPainter::RasterOp_NotSourceOrDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

void Playback::fillWithRop(const QRectF &dest, quint32 rop)
{
    m_painter.save();
    applyClip();
    switch (rop) {
    case BLACKNESS: m_painter.fillRect(dest, Qt::black); break;
    case WHITENESS: m_painter.fillRect(dest, Qt::white); break;
    case DSTINVERT:
        m_painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        m_painter.fillRect(dest, Qt::black);
        break;
    case DSTCOPY: break;
    case PATINVERT:
        m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        [[fallthrough]];
    default:
        if (m_dc.brush.style != BS_NULL) {
            m_painter.setPen(Qt::NoPen);
            prepareBrush();
            m_painter.drawRect(dest);
        }
        break;
    }
    m_painter.restore();
}

// The vertical orientation of a DIB: rows stored bottom-up unless the
// height in its header is negative.
bool dibIsBottomUp(const QByteArray &dib)
{
    if (dib.size() < 12)
        return true;
    const auto *p = reinterpret_cast<const uchar *>(dib.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(p);
    if (headerSize == 12)
        return qFromLittleEndian<qint16>(p + 6) > 0;
    return qFromLittleEndian<qint32>(p + 8) > 0;
}

void Playback::drawDib(const QByteArray &dib, quint32 rop, const QRectF &dest, int xSrc, int ySrc,
                       int srcWidth, int srcHeight)
{
    Expected<QImage> image = decodeDib(dib);
    if (!image || image->isNull())
        return;
    QRect source(xSrc, ySrc, srcWidth, srcHeight);
    if (srcWidth <= 0 || srcHeight <= 0)
        source = image->rect();
    else if (dibIsBottomUp(dib))
        source.moveTop(image->height() - ySrc - srcHeight);
    source = source.intersected(image->rect());
    if (source.isEmpty())
        return;
    m_painter.save();
    applyClip();
    // Enlarged bitmaps keep their pixels sharp, as GDI stretches them;
    // reduced ones are smoothed rather than dropping rows.
    const QRectF device = m_painter.transform().mapRect(dest);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform,
                            device.width() < source.width() || device.height() < source.height());
    m_painter.setCompositionMode(compositionForRop(rop));
    m_painter.drawImage(dest, *image, source);
    m_painter.restore();
}

void Playback::play(const Record &r)
{
    switch (r.function) {
    case META_SAVEDC:
        if (m_saved.size() < MaxSavedStates)
            m_saved.push_back(m_dc);
        break;
    case META_RESTOREDC: {
        const int n = r.s(0);
        qsizetype keep = -1; // how many saved states remain after restoring
        if (n < 0)
            keep = qsizetype(m_saved.size()) + n;
        else if (n > 0)
            keep = n - 1;
        if (keep >= 0 && keep < qsizetype(m_saved.size())) {
            m_dc = m_saved[size_t(keep)];
            m_saved.resize(size_t(keep));
            updateTransform();
        }
        break;
    }
    case META_SETBKMODE: m_dc.bkMode = r.u(0); break;
    case META_SETMAPMODE:
        m_dc.mapMode = r.u(0);
        updateTransform();
        break;
    case META_SETROP2: m_dc.rop2 = r.u(0); break;
    case META_SETPOLYFILLMODE: m_dc.polyFillMode = r.u(0); break;
    case META_SETTEXTCHAREXTRA: m_dc.charExtra = std::clamp<int>(r.s(0), -1000, 1000); break;
    case META_SETTEXTALIGN: m_dc.textAlign = r.u(0); break;
    case META_SETBKCOLOR: if (r.words >= 2) m_dc.bkColor = r.color(0); break;
    case META_SETTEXTCOLOR: if (r.words >= 2) m_dc.textColor = r.color(0); break;
    case META_SETWINDOWORG:
        if (r.words >= 2) {
            m_dc.windowOrg = QPointF(r.s(1), r.s(0));
            updateTransform();
        }
        break;
    case META_SETWINDOWEXT:
        if (r.words >= 2 && r.s(0) != 0 && r.s(1) != 0) {
            m_dc.windowExt = QPointF(r.s(1), r.s(0));
            updateTransform();
        }
        break;
    case META_OFFSETWINDOWORG:
        if (r.words >= 2) {
            m_dc.windowOrg += QPointF(r.s(1), r.s(0));
            updateTransform();
        }
        break;
    case META_SCALEWINDOWEXT:
        if (r.words >= 4 && r.s(0) != 0 && r.s(2) != 0) {
            const double x = m_dc.windowExt.x() * r.s(3) / r.s(2);
            const double y = m_dc.windowExt.y() * r.s(1) / r.s(0);
            if (x != 0 && y != 0) {
                m_dc.windowExt = QPointF(x, y);
                updateTransform();
            }
        }
        break;
    case META_MOVETO:
        if (r.words >= 2)
            m_dc.position = QPointF(r.s(1), r.s(0));
        break;
    case META_LINETO:
        if (r.words >= 2) {
            const QPointF to(r.s(1), r.s(0));
            QPainterPath path(map(m_dc.position.x(), m_dc.position.y()));
            path.lineTo(map(to.x(), to.y()));
            strokeOnly(path);
            m_dc.position = to;
        }
        break;
    case META_POLYGON: polygon(r, true); break;
    case META_POLYLINE: polygon(r, false); break;
    case META_POLYPOLYGON: polyPolygon(r); break;
    case META_RECTANGLE:
    case META_ELLIPSE:
        if (r.words >= 4) {
            const QRectF rect = mapRect(r.s(3), r.s(2), r.s(1), r.s(0));
            QPainterPath path;
            if (r.function == META_RECTANGLE)
                path.addRect(rect);
            else
                path.addEllipse(rect);
            fillAndStroke(path);
        }
        break;
    case META_ROUNDRECT:
        if (r.words >= 6) {
            QPainterPath path;
            path.addRoundedRect(mapRect(r.s(5), r.s(4), r.s(3), r.s(2)), mapWidth(r.s(1)) / 2,
                                mapHeight(r.s(0)) / 2);
            fillAndStroke(path);
        }
        break;
    case META_ARC:
    case META_PIE:
    case META_CHORD:
        arc(r, r.function);
        break;
    case META_SETPIXEL:
        if (r.words >= 4) {
            m_painter.save();
            applyClip();
            const QPointF p = map(r.s(3), r.s(2));
            m_painter.fillRect(QRectF(p, QSizeF(std::max(1.0, std::abs(m_sx)),
                                                 std::max(1.0, std::abs(m_sy)))),
                               r.color(0));
            m_painter.restore();
        }
        break;
    case META_TEXTOUT: textOut(r); break;
    case META_EXTTEXTOUT: extTextOut(r); break;

    case META_CREATEPENINDIRECT: {
        GdiObject o;
        o.kind = GdiObject::Pen;
        o.pen.style = r.u(0);
        o.pen.width = r.s(1);
        o.pen.color = r.color(3);
        addObject(std::move(o));
        break;
    }
    case META_CREATEBRUSHINDIRECT: {
        GdiObject o;
        o.kind = GdiObject::Brush;
        o.brush.style = r.u(0);
        o.brush.color = r.color(1);
        o.brush.hatch = r.u(3);
        addObject(std::move(o));
        break;
    }
    case META_DIBCREATEPATTERNBRUSH: {
        GdiObject o;
        o.kind = GdiObject::Brush;
        o.brush.style = BS_DIBPATTERN;
        if (r.u(0) != BS_PATTERN) {
            Expected<QImage> pattern = decodeDib(r.tail(2));
            if (pattern && pattern->width() <= 256 && pattern->height() <= 256)
                o.brush.pattern = *pattern;
        }
        addObject(std::move(o));
        break;
    }
    case META_CREATEPATTERNBRUSH: {
        GdiObject o;
        o.kind = GdiObject::Brush;
        o.brush.style = BS_PATTERN;
        addObject(std::move(o));
        break;
    }
    case META_CREATEFONTINDIRECT: createFont(r); break;
    case META_CREATEPALETTE: {
        GdiObject o;
        o.kind = GdiObject::Palette;
        addObject(std::move(o));
        break;
    }
    case META_CREATEREGION: {
        GdiObject o;
        o.kind = GdiObject::Region;
        if (r.words >= 11)
            o.region = QRect(QPoint(r.s(7), r.s(8)), QPoint(r.s(9), r.s(10)));
        addObject(std::move(o));
        break;
    }
    case META_SELECTOBJECT: selectObject(r.u(0)); break;
    case META_DELETEOBJECT: {
        const int index = r.u(0);
        if (index < int(m_objects.size()))
            m_objects[size_t(index)].reset();
        break;
    }
    case META_SELECTCLIPREGION: {
        const GdiObject *o = object(r.u(0));
        if (o && o->kind == GdiObject::Region)
            selectObject(r.u(0));
        else
            m_dc.clip.reset();
        break;
    }
    case META_INTERSECTCLIPRECT:
    case META_EXCLUDECLIPRECT:
        if (r.words >= 4) {
            const QRect rect = mapRect(r.s(3), r.s(2), r.s(1), r.s(0)).toAlignedRect();
            if (r.function == META_INTERSECTCLIPRECT) {
                m_dc.clip = m_dc.clip ? m_dc.clip->intersected(rect) : QRegion(rect);
            } else {
                const QRect all = QRectF(-CoordinateLimit, -CoordinateLimit, 2 * CoordinateLimit,
                                         2 * CoordinateLimit).toRect();
                m_dc.clip = (m_dc.clip ? *m_dc.clip : QRegion(all)).subtracted(rect);
            }
        }
        break;
    case META_OFFSETCLIPRGN:
        if (m_dc.clip && r.words >= 2)
            m_dc.clip->translate(QPointF(r.s(1) * m_sx, r.s(0) * m_sy).toPoint());
        break;
    case META_FILLREGION:
    case META_PAINTREGION:
    case META_FRAMEREGION:
    case META_INVERTREGION: {
        const GdiObject *region = object(r.u(0));
        if (!region || region->kind != GdiObject::Region)
            break;
        const QRectF rect = mapRect(region->region.left(), region->region.top(),
                                    region->region.right(), region->region.bottom());
        if (r.function == META_INVERTREGION) {
            fillWithRop(rect, DSTINVERT);
            break;
        }
        const LogBrush saved = m_dc.brush;
        if (r.function != META_PAINTREGION) {
            const GdiObject *brush = object(r.u(1));
            if (brush && brush->kind == GdiObject::Brush)
                m_dc.brush = brush->brush;
        }
        if (r.function == META_FRAMEREGION) {
            m_painter.save();
            applyClip();
            prepareBrush();
            const double w = std::max(1.0, mapWidth(r.s(3)));
            const double h = std::max(1.0, mapHeight(r.s(2)));
            QPainterPath path;
            path.addRect(rect);
            path.addRect(rect.adjusted(w, h, -w, -h));
            path.setFillRule(Qt::OddEvenFill);
            m_painter.setPen(Qt::NoPen);
            m_painter.drawPath(path);
            m_painter.restore();
        } else {
            fillWithRop(rect, PATCOPY);
        }
        m_dc.brush = saved;
        break;
    }
    case META_PATBLT:
        if (r.words >= 6)
            fillWithRop(blitRect(r, 5), r.u32(0));
        break;
    case META_STRETCHDIB:
        if (r.words > 11) {
            drawDib(r.tail(11), r.u32(0), blitRect(r, 10), r.s(6), r.s(5), r.s(4), r.s(3));
        }
        break;
    case META_DIBSTRETCHBLT:
        if (r.words == 11) {
            fillWithRop(blitRect(r, 10), r.u32(0));
        } else if (r.words > 10) {
            drawDib(r.tail(10), r.u32(0), blitRect(r, 9), r.s(5), r.s(4), r.s(3), r.s(2));
        }
        break;
    case META_DIBBITBLT:
        if (r.words == 9) {
            fillWithRop(blitRect(r, 8), r.u32(0));
        } else if (r.words > 8) {
            drawDib(r.tail(8), r.u32(0), blitRect(r, 7), r.s(3), r.s(2), r.s(5), r.s(4));
        }
        break;
    case META_STRETCHBLT:
        // The old device-dependent bitmaps are not drawn; only the pattern form.
        if (r.words == 11)
            fillWithRop(blitRect(r, 10), r.u32(0));
        break;
    case META_BITBLT:
        if (r.words == 9)
            fillWithRop(blitRect(r, 8), r.u32(0));
        break;
    case META_SETDIBTODEV:
        if (r.words > 9) {
            drawDib(r.tail(9), SRCCOPY, blitRect(r, 8), r.s(4), r.s(3), r.s(6), r.s(5));
        }
        break;

    // The viewport belongs to the device the picture is played on: here that
    // is the target rectangle, whatever the records say.
    case META_SETVIEWPORTORG:
    case META_SETVIEWPORTEXT:
    case META_OFFSETVIEWPORTORG:
    case META_SCALEVIEWPORTEXT:
    // Palettes, escapes and modes that make no difference on a true-colour image.
    case META_REALIZEPALETTE:
    case META_SETPALENTRIES:
    case META_RESIZEPALETTE:
    case META_ANIMATEPALETTE:
    case META_SELECTPALETTE:
    case META_ESCAPE:
    case META_SETSTRETCHBLTMODE:
    case META_SETRELABS:
    case META_SETMAPPERFLAGS:
    case META_SETLAYOUT:
    case META_SETTEXTJUSTIFICATION:
    case META_FLOODFILL:
    case META_EXTFLOODFILL:
    default:
        break;
    }
}

} // namespace

WmfPlayer::WmfPlayer(QByteArray data) : m_data(std::move(data)) {}

Status WmfPlayer::open()
{
    const auto *p = reinterpret_cast<const uchar *>(m_data.constData());
    const qsizetype size = m_data.size();
    qsizetype at = 0;
    if (size >= 4 && qFromLittleEndian<quint32>(p) == PlaceableKey) {
        if (size < PlaceableSize + HeaderSize)
            return Error{QStringLiteral("Метафайл WMF обрезан.")};
        m_placeable = true;
        const qint16 left = qFromLittleEndian<qint16>(p + 6);
        const qint16 top = qFromLittleEndian<qint16>(p + 8);
        const qint16 right = qFromLittleEndian<qint16>(p + 10);
        const qint16 bottom = qFromLittleEndian<qint16>(p + 12);
        m_unitsPerInch = qFromLittleEndian<quint16>(p + 14);
        m_frame = QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                        QSize(std::abs(right - left), std::abs(bottom - top)));
        at = PlaceableSize;
    }
    if (size < at + HeaderSize)
        return Error{QStringLiteral("Метафайл WMF обрезан.")};
    const quint16 type = qFromLittleEndian<quint16>(p + at);
    const quint16 headerWords = qFromLittleEndian<quint16>(p + at + 2);
    const quint16 version = qFromLittleEndian<quint16>(p + at + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        return Error{QStringLiteral("Это не метафайл WMF.")};
    m_objectCount = qFromLittleEndian<quint16>(p + at + 10);
    m_recordsStart = at + HeaderSize;

    // The window the records set first gives the frame of a headerless file
    // (and the logical coordinates of a placeable one).
    std::optional<QPoint> org;
    std::optional<QSize> ext;
    qsizetype pos = m_recordsStart;
    for (int count = 0; pos + 6 <= size && count < MaxRecords && !(org && ext); ++count) {
        const quint32 words = qFromLittleEndian<quint32>(p + pos);
        const quint16 function = qFromLittleEndian<quint16>(p + pos + 4);
        if (words < 3 || qint64(words) * 2 > size - pos || function == META_EOF)
            break;
        if (words >= 5 && function == META_SETWINDOWORG && !org)
            org = QPoint(qFromLittleEndian<qint16>(p + pos + 8), qFromLittleEndian<qint16>(p + pos + 6));
        if (words >= 5 && function == META_SETWINDOWEXT && !ext)
            ext = QSize(qFromLittleEndian<qint16>(p + pos + 8), qFromLittleEndian<qint16>(p + pos + 6));
        pos += qsizetype(words) * 2;
    }
    if (!m_placeable) {
        if (!ext || ext->width() == 0 || ext->height() == 0)
            return Error{QStringLiteral("Метафайл WMF не задаёт размеров рисунка.")};
        m_frame = QRect(org.value_or(QPoint()), *ext);
    } else if (m_frame.isEmpty()) {
        return Error{QStringLiteral("Метафайл WMF имеет пустые размеры.")};
    }
    return {};
}

QSize WmfPlayer::naturalSize() const
{
    const double w = std::abs(m_frame.width());
    const double h = std::abs(m_frame.height());
    double perPixel = 1;
    if (m_placeable)
        perPixel = (m_unitsPerInch > 0 ? m_unitsPerInch : 1440) / 96.0;
    else if (std::max(w, h) > 1500)
        perPixel = 1440 / 96.0; // most likely twips
    return QSize(std::max(1, int(std::lround(w / perPixel))), std::max(1, int(std::lround(h / perPixel))));
}

Status WmfPlayer::play(QPainter &painter, const QRectF &target) const
{
    if (m_recordsStart <= 0)
        return Error{QStringLiteral("Метафайл WMF не открыт.")};
    const auto *p = reinterpret_cast<const uchar *>(m_data.constData());
    const qsizetype size = m_data.size();

    // The initial window: for a placeable file the window records that follow
    // replace it, as they would when the file is played into its box.
    Playback playback(painter, target, m_frame, m_objectCount);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    qsizetype pos = m_recordsStart;
    bool broken = false;
    for (int count = 0; pos + 6 <= size && count < MaxRecords; ++count) {
        const quint32 words = qFromLittleEndian<quint32>(p + pos);
        const quint16 function = qFromLittleEndian<quint16>(p + pos + 4);
        if (words < 3 || qint64(words) * 2 > size - pos) {
            broken = true; // a record running past the data: the file is cut or damaged
            break;
        }
        if (function == META_EOF)
            break;
        Record record;
        record.function = function;
        record.params = p + pos + 6;
        record.words = qsizetype(words) - 3;
        playback.play(record);
        pos += qsizetype(words) * 2;
    }
    // Bytes left over that cannot hold a record: the file was cut.
    if (pos < size && pos + 6 > size)
        broken = true;
    painter.restore();
    if (broken)
        return Error{QStringLiteral("Метафайл WMF повреждён: запись выходит за конец файла.")};
    return {};
}

Expected<QImage> WmfPlayer::render(const QByteArray &data, QSize targetSize)
{
    WmfPlayer player(data);
    if (Status opened = player.open(); !opened)
        return Error{opened.error()};
    QSize size = targetSize.isValid() && !targetSize.isEmpty() ? targetSize : player.naturalSize();
    size = limitedImageSize(size);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return Error{QStringLiteral("Недостаточно памяти для рисунка.")};
    image.fill(Qt::white);
    QPainter painter(&image);
    if (Status played = player.play(painter, QRectF(QPointF(0, 0), QSizeF(size))); !played)
        return Error{played.error()};
    painter.end();
    return image;
}

} // namespace Pictures
