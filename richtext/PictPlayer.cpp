#include "richtext/PictPlayer.h"

#include "richtext/Pictures.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

namespace Pictures {

namespace {

QString damaged()
{
    return QStringLiteral("Рисунок PICT повреждён.");
}

// Big-endian reading within the data; reading past the end sets failed and
// gives zeros, so a caller checks once after a group of fields.
struct Reader
{
    const QByteArray &data;
    qsizetype pos = 0;
    bool failed = false;

    bool has(qsizetype n) const { return n >= 0 && pos <= data.size() && data.size() - pos >= n; }
    const uchar *take(qsizetype n)
    {
        if (!has(n)) {
            failed = true;
            pos = data.size();
            return nullptr;
        }
        const auto *p = reinterpret_cast<const uchar *>(data.constData() + pos);
        pos += n;
        return p;
    }
    void skip(qsizetype n) { take(n); }
    quint8 u8()
    {
        const uchar *p = take(1);
        return p ? p[0] : 0;
    }
    qint8 s8() { return qint8(u8()); }
    quint16 u16()
    {
        const uchar *p = take(2);
        return p ? quint16((p[0] << 8) | p[1]) : 0;
    }
    qint16 s16() { return qint16(u16()); }
    quint32 u32()
    {
        const uchar *p = take(4);
        return p ? (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3] : 0;
    }
    QPoint point()
    {
        const int v = s16();
        return QPoint(s16(), v);
    }
    QRect rect()
    {
        const int top = s16(), left = s16(), bottom = s16(), right = s16();
        return QRect(QPoint(left, top), QPoint(right, bottom));   // the edges: see edges()
    }
};

// QuickDraw rectangles are given by their edges; QRect's right and bottom
// are one less than the edge.
QRectF edges(const QRect &r)
{
    return QRectF(r.left(), r.top(), r.right() - r.left(), r.bottom() - r.top());
}

using Pattern = std::array<quint8, 8>;

// The grey that a two-colour pattern makes: its share of set bits.
QColor patternColour(const Pattern &pattern, const QColor &fore, const QColor &back)
{
    int bits = 0;
    for (quint8 b : pattern)
        bits += std::popcount(b);
    const double k = bits / 64.0;
    return QColor::fromRgbF(float(back.redF() + (fore.redF() - back.redF()) * k),
                            float(back.greenF() + (fore.greenF() - back.greenF()) * k),
                            float(back.blueF() + (fore.blueF() - back.blueF()) * k));
}

// The eight colours of QuickDraw's old colour model.
QColor oldColour(quint32 code)
{
    switch (code) {
    case 30: return Qt::white;
    case 69: return Qt::yellow;
    case 137: return Qt::magenta;
    case 205: return Qt::red;
    case 273: return Qt::cyan;
    case 341: return Qt::green;
    case 409: return Qt::blue;
    default: return Qt::black;
    }
}

// The classic Macintosh font numbers, by the kind of family they name.
QString familyOfFontNumber(int id)
{
    switch (id) {
    case 2: case 20: return QStringLiteral("Times New Roman");
    case 4: case 22: return QStringLiteral("Courier New");
    case 23: return QStringLiteral("Symbol");
    default: return QStringLiteral("Arial");
    }
}

// Unpacks PackBits data (in bytes, or in 16-bit words for 16-bit pixels)
// into out, which keeps its size; what the data lacks stays zero.
void unpackBits(const uchar *in, qsizetype n, QByteArray &out, int unit)
{
    qsizetype i = 0, o = 0;
    const qsizetype size = out.size();
    char *dst = out.data();
    while (i < n && o < size) {
        const int flag = qint8(in[i++]);
        if (flag >= 0) {
            const qsizetype count = std::min<qsizetype>({qsizetype(flag + 1) * unit, n - i, size - o});
            std::copy_n(in + i, count, dst + o);
            i += qsizetype(flag + 1) * unit;
            o += count;
        } else if (flag != -128) {
            if (n - i < unit)
                break;
            for (int k = 0; k < 1 - flag && o < size; ++k)
                for (int b = 0; b < unit && o < size; ++b)
                    dst[o++] = char(in[i + b]);
            i += unit;
        }
    }
}

class Player
{
public:
    Player(const QByteArray &data, qsizetype start, int version, QPainter &painter, const QTransform &base)
        : m_in{data, start}, m_base(start - (version == 2 ? 14 : 12)), m_version(version), m_painter(painter),
          m_transform(base)
    {
        m_penPattern.fill(0xff);
        m_fillPattern.fill(0xff);
        m_backPattern.fill(0);
        m_painter.setTransform(m_transform);
    }

    // False when the data ran out before the end of the picture.
    bool run(const QRect &frame);
    bool drewSomething() const { return m_drew; }

private:
    int opcode()
    {
        if (m_version == 2) {
            if ((m_in.pos - m_base) & 1)
                m_in.skip(1);
            return m_in.u16();
        }
        return m_in.u8();
    }
    void skipCounted16() { m_in.skip(m_in.u16()); }
    void skipCounted32()
    {
        const quint32 n = m_in.u32();
        m_in.skip(qsizetype(std::min<quint32>(n, 0x7fffffff)));
    }
    Pattern pattern()
    {
        Pattern p{};
        if (const uchar *b = m_in.take(8))
            std::copy_n(b, 8, p.begin());
        return p;
    }
    void pixPattern(Pattern &target);
    void header(const QRect &frame);
    void shape(int verb, const QPainterPath &path, bool closed);
    void line(QPointF from, QPointF to);
    void text(const QByteArray &bytes);
    void bits(int op);
    QRect region()
    {
        const quint16 size = m_in.u16();
        const QRect box = m_in.rect();
        m_in.skip(std::max(0, int(size) - 10));
        return size == 10 ? box : QRect();   // only rectangular regions are drawn
    }

    Reader m_in;
    qsizetype m_base;
    int m_version;
    QPainter &m_painter;
    QTransform m_transform;
    bool m_drew = false;

    QPointF m_pen, m_textAt;
    QSizeF m_penSize{1, 1};
    QColor m_fore = Qt::black, m_back = Qt::white;
    Pattern m_penPattern{}, m_fillPattern{}, m_backPattern{};
    QSize m_oval;
    QRect m_lastRect, m_lastRoundRect, m_lastOval, m_lastArc, m_lastRegion;
    QPolygonF m_lastPoly;
    int m_font = 0, m_textSize = 12, m_face = 0;
    QHash<int, QString> m_fontNames;
};

void Player::header(const QRect &frame)
{
    // An extended version 2 header gives the rectangle that the picture's
    // own coordinates span, at its own resolution.
    const qsizetype at = m_in.pos;
    const int kind = m_in.s16();
    m_in.skip(10);
    const QRect source = m_in.rect();
    m_in.pos = at;
    m_in.skip(24);
    if (kind == -2 && !edges(source).isEmpty() && !edges(frame).isEmpty()) {
        const QRectF from = edges(source), to = edges(frame);
        QTransform map;
        map.translate(to.left(), to.top());
        map.scale(to.width() / from.width(), to.height() / from.height());
        map.translate(-from.left(), -from.top());
        m_painter.setTransform(map * m_transform);
    }
}

void Player::pixPattern(Pattern &target)
{
    const quint16 type = m_in.u16();
    target = pattern();
    if (type == 1) {
        // A colour pattern with its own pixel map: its colours are not
        // mixed in, the two-colour pattern above stands for it.
        bits(-1);
    } else if (type == 2) {
        m_in.skip(6);
    }
}

void Player::shape(int verb, const QPainterPath &path, bool closed)
{
    QPainter &p = m_painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    switch (verb) {
    case 0: {   // frame
        if (m_penSize.width() <= 0 || m_penSize.height() <= 0)
            break;
        QPen pen(patternColour(m_penPattern, m_fore, m_back), (m_penSize.width() + m_penSize.height()) / 2);
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setCapStyle(Qt::SquareCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        // The pen hangs inside a closed shape's outline, below and to the
        // right of an open one's.
        if (closed) {
            const QRectF box = path.boundingRect();
            const double dx = m_penSize.width() / 2, dy = m_penSize.height() / 2;
            QTransform shrink;
            if (box.width() > 2 * dx && box.height() > 2 * dy) {
                shrink.translate(box.center().x(), box.center().y());
                shrink.scale((box.width() - 2 * dx) / box.width(), (box.height() - 2 * dy) / box.height());
                shrink.translate(-box.center().x(), -box.center().y());
            }
            p.drawPath(shrink.map(path));
        } else {
            p.drawPath(path.translated(m_penSize.width() / 2, m_penSize.height() / 2));
        }
        break;
    }
    case 1: p.fillPath(path, patternColour(m_penPattern, m_fore, m_back)); break;
    case 2: p.fillPath(path, patternColour(m_backPattern, m_fore, m_back)); break;
    case 3:
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillPath(path, Qt::white);
        break;
    case 4: p.fillPath(path, patternColour(m_fillPattern, m_fore, m_back)); break;
    default: break;
    }
    p.restore();
    m_drew = true;
}

void Player::line(QPointF from, QPointF to)
{
    m_pen = to;
    if (m_penSize.width() <= 0 || m_penSize.height() <= 0)
        return;
    QPainterPath path(from);
    path.lineTo(to);
    shape(0, path, false);
}

void Player::text(const QByteArray &bytes)
{
    static const bool macRoman = QStringDecoder("macintosh").isValid();
    QString s = macRoman ? QStringDecoder("macintosh").decode(bytes) : QString::fromLatin1(bytes);
    s.replace(u'\r', u' ');
    QFont font(m_fontNames.value(m_font, familyOfFontNumber(m_font)));
    font.setPixelSize(std::clamp(m_textSize > 0 ? m_textSize : 12, 1, 2000));
    font.setBold(m_face & 1);
    font.setItalic(m_face & 2);
    font.setUnderline(m_face & 4);
    m_painter.save();
    m_painter.setRenderHint(QPainter::TextAntialiasing);
    m_painter.setFont(font);
    m_painter.setPen(m_fore);
    m_painter.drawText(m_textAt, s);
    m_painter.restore();
    m_drew = true;
}

// BitsRect, BitsRgn, PackBitsRect, PackBitsRgn, DirectBitsRect and
// DirectBitsRgn; op -1 reads (and drops) the pixel map of a colour pattern.
void Player::bits(int op)
{
    const bool direct = op == 0x9a || op == 0x9b;
    if (direct)
        m_in.skip(4);   // base address
    const quint16 rowWord = m_in.u16();
    const bool pixMap = direct || (rowWord & 0x8000);
    const int rowBytes = rowWord & 0x3fff;
    const QRect bounds = m_in.rect();
    int packType = 0, pixelSize = 1, components = 1;
    if (pixMap) {
        m_in.skip(2);
        packType = m_in.u16();
        m_in.skip(12);
        m_in.skip(2);   // pixel type
        pixelSize = m_in.u16();
        components = m_in.u16();
        m_in.skip(14);
    }
    std::vector<QRgb> palette{m_back.rgb(), m_fore.rgb()};
    if (pixMap && !direct) {
        m_in.skip(4);
        const quint16 flags = m_in.u16();
        const int entries = m_in.u16() + 1;
        if (entries > 256) {
            m_in.failed = true;
            return;
        }
        palette.assign(256, qRgb(0, 0, 0));
        for (int i = 0; i < entries && !m_in.failed; ++i) {
            const int value = m_in.u16();
            const int r = m_in.u16() >> 8, g = m_in.u16() >> 8, b = m_in.u16() >> 8;
            palette[size_t((flags & 0x8000) ? i : value & 0xff)] = qRgb(r, g, b);
        }
    }
    QRect source, target;
    int mode = 0;
    if (op >= 0) {
        source = m_in.rect();
        target = m_in.rect();
        mode = m_in.u16();
        if (op & 1)
            region();
    }
    const int width = bounds.right() - bounds.left();
    const int height = bounds.bottom() - bounds.top();
    if (m_in.failed || width <= 0 || height <= 0 || width > MaxSide || height > MaxSide
        || qint64(width) * height > MaxPixels)
        return void(m_in.failed = true);
    if (!(pixelSize == 1 || pixelSize == 2 || pixelSize == 4 || pixelSize == 8 || pixelSize == 16 || pixelSize == 32))
        return void(m_in.failed = true);
    if (pixelSize == 32 && packType == 0)
        packType = 4;
    if (pixelSize == 16 && packType == 0)
        packType = 3;
    const bool planes = pixelSize == 32 && packType == 4;
    const int unpackedRow = planes ? width * std::clamp(components, 3, 4) : packType == 2 ? width * 3 : rowBytes;
    if (!planes && packType != 2 && qint64(rowBytes) * 8 < qint64(width) * pixelSize)
        return void(m_in.failed = true);

    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return void(m_in.failed = true);
    // In OR mode white does not cover what lies below.
    const bool clearWhite = (mode & 0x3f) == 1 || mode == 36;
    QByteArray row(unpackedRow, '\0');
    for (int y = 0; y < height; ++y) {
        row.fill('\0');
        if (rowBytes < 8 || packType == 1 || packType == 2) {
            const uchar *raw = m_in.take(packType == 2 ? unpackedRow : rowBytes);
            if (!raw)
                return;
            std::copy_n(raw, std::min<qsizetype>(row.size(), packType == 2 ? unpackedRow : rowBytes), row.data());
        } else {
            const int count = rowBytes > 250 ? m_in.u16() : m_in.u8();
            const uchar *packed = m_in.take(count);
            if (!packed)
                return;
            unpackBits(packed, count, row, pixelSize == 16 ? 2 : 1);
        }
        const auto *r = reinterpret_cast<const uchar *>(row.constData());
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb c;
            if (pixelSize <= 8) {
                const int bit = x * pixelSize;
                const int index = (r[bit / 8] >> (8 - pixelSize - bit % 8)) & ((1 << pixelSize) - 1);
                c = size_t(index) < palette.size() ? palette[size_t(index)] : qRgb(0, 0, 0);
            } else if (pixelSize == 16) {
                const int v = (r[2 * x] << 8) | r[2 * x + 1];
                const int red = (v >> 10) & 31, green = (v >> 5) & 31, blue = v & 31;
                c = qRgb(red << 3 | red >> 2, green << 3 | green >> 2, blue << 3 | blue >> 2);
            } else if (planes) {
                const int first = components >= 4 ? width : 0;   // the alpha plane is left out
                c = qRgb(r[first + x], r[first + width + x], r[first + 2 * width + x]);
            } else if (packType == 2) {
                c = qRgb(r[3 * x], r[3 * x + 1], r[3 * x + 2]);
            } else {
                c = qRgb(r[4 * x + 1], r[4 * x + 2], r[4 * x + 3]);
            }
            line[x] = clearWhite && (c & 0xffffff) == 0xffffff ? 0u : (c | 0xff000000u);
        }
    }
    if (op < 0 || edges(target).isEmpty())
        return;
    m_painter.save();
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF from = edges(source).isEmpty() ? QRectF(image.rect()) : edges(source).translated(-bounds.left(), -bounds.top());
    m_painter.drawImage(edges(target), image, from);
    m_painter.restore();
    m_drew = true;
}

bool Player::run(const QRect &frame)
{
    for (int count = 0; count < PictPlayer::MaxOpcodes; ++count) {
        const int op = opcode();
        if (m_in.failed)
            return false;
        if (op == 0xff || op == 0xffff)
            return true;
        switch (op) {
        case 0x00: case 0x17: case 0x18: case 0x19: case 0x1c: case 0x1e: break;
        case 0x01: region(); break;
        case 0x02: m_backPattern = pattern(); break;
        case 0x03: m_font = m_in.u16(); break;
        case 0x04: m_face = m_in.u8(); break;
        case 0x05: case 0x08: case 0x15: case 0x16: case 0xa0: m_in.skip(2); break;
        case 0x06: m_in.skip(4); break;
        case 0x07: {
            const QPoint size = m_in.point();
            m_penSize = QSizeF(size.x(), size.y());
            break;
        }
        case 0x09: m_penPattern = pattern(); break;
        case 0x0a: m_fillPattern = pattern(); break;
        case 0x0b: {
            const int v = m_in.s16(), h = m_in.s16();
            m_oval = QSize(h, v);
            break;
        }
        case 0x0c: {
            const int dh = m_in.s16(), dv = m_in.s16();
            m_painter.translate(-dh, -dv);
            break;
        }
        case 0x0d: m_textSize = m_in.u16(); break;
        case 0x0e: m_fore = oldColour(m_in.u32()); break;
        case 0x0f: m_back = oldColour(m_in.u32()); break;
        case 0x10: m_in.skip(8); break;
        case 0x11: m_in.skip(m_version == 2 ? 2 : 1); break;
        case 0x12: pixPattern(m_backPattern); break;
        case 0x13: pixPattern(m_penPattern); break;
        case 0x14: pixPattern(m_fillPattern); break;
        case 0x1a: case 0x1b: {
            const int r = m_in.u16() >> 8, g = m_in.u16() >> 8, b = m_in.u16() >> 8;
            (op == 0x1a ? m_fore : m_back) = QColor(r, g, b);
            break;
        }
        case 0x1d: case 0x1f: m_in.skip(6); break;
        case 0x20: {
            const QPoint from = m_in.point(), to = m_in.point();
            line(from, to);
            break;
        }
        case 0x21: line(m_pen, m_in.point()); break;
        case 0x22: {
            const QPoint from = m_in.point();
            const int dh = m_in.s8(), dv = m_in.s8();
            line(from, QPointF(from) + QPointF(dh, dv));
            break;
        }
        case 0x23: {
            const int dh = m_in.s8(), dv = m_in.s8();
            line(m_pen, m_pen + QPointF(dh, dv));
            break;
        }
        case 0x28: case 0x29: case 0x2a: case 0x2b: {
            if (op == 0x28) {
                m_textAt = m_in.point();
            } else {
                const int dh = op == 0x2a ? 0 : m_in.u8();
                const int dv = op == 0x29 ? 0 : m_in.u8();
                m_textAt += QPointF(dh, dv);
            }
            const int n = m_in.u8();
            const uchar *bytes = m_in.take(n);
            if (bytes)
                text(QByteArray(reinterpret_cast<const char *>(bytes), n));
            break;
        }
        case 0x2c: {
            const quint16 size = m_in.u16();
            const qsizetype end = m_in.pos + size;
            const int id = m_in.u16();
            const int n = m_in.u8();
            if (const uchar *name = m_in.take(n); name && n > 0)
                m_fontNames.insert(id, QString::fromLatin1(reinterpret_cast<const char *>(name), n));
            if (end >= m_in.pos)
                m_in.pos = end;
            break;
        }
        case 0xa1: m_in.skip(2); skipCounted16(); break;
        default:
            if (op >= 0x30 && op <= 0x3f) {
                if (op < 0x38)
                    m_lastRect = m_in.rect();
                QPainterPath path;
                path.addRect(edges(m_lastRect));
                shape(op & 7, path, true);
            } else if (op >= 0x40 && op <= 0x4f) {
                if (op < 0x48)
                    m_lastRoundRect = m_in.rect();
                QPainterPath path;
                path.addRoundedRect(edges(m_lastRoundRect), m_oval.width() / 2.0, m_oval.height() / 2.0);
                shape(op & 7, path, true);
            } else if (op >= 0x50 && op <= 0x5f) {
                if (op < 0x58)
                    m_lastOval = m_in.rect();
                QPainterPath path;
                path.addEllipse(edges(m_lastOval));
                shape(op & 7, path, true);
            } else if (op >= 0x60 && op <= 0x6f) {
                if (op < 0x68)
                    m_lastArc = m_in.rect();
                const int start = m_in.s16(), angle = m_in.s16();
                // QuickDraw counts clockwise from twelve o'clock.
                const QRectF box = edges(m_lastArc);
                QPainterPath path;
                if ((op & 7) != 0) {
                    path.moveTo(box.center());
                    path.arcTo(box, 90 - start, -angle);
                    path.closeSubpath();
                } else {
                    path.arcMoveTo(box, 90 - start);
                    path.arcTo(box, 90 - start, -angle);
                }
                shape(op & 7, path, (op & 7) != 0);
            } else if (op >= 0x70 && op <= 0x7f) {
                if (op < 0x78) {
                    const quint16 size = m_in.u16();
                    m_in.rect();
                    const int points = std::max(0, (int(size) - 10) / 4);
                    if (!m_in.has(qsizetype(points) * 4))
                        return false;
                    m_lastPoly.clear();
                    for (int i = 0; i < points; ++i)
                        m_lastPoly.append(m_in.point());
                }
                QPainterPath path;
                path.addPolygon(m_lastPoly);
                if ((op & 7) != 0)
                    path.closeSubpath();
                shape(op & 7, path, false);
            } else if (op >= 0x80 && op <= 0x8f) {
                if (op < 0x88)
                    m_lastRegion = region();
                if (!m_lastRegion.isEmpty()) {
                    QPainterPath path;
                    path.addRect(edges(m_lastRegion));
                    shape(op & 7, path, true);
                }
            } else if (op == 0x90 || op == 0x91 || op == 0x98 || op == 0x99 || op == 0x9a || op == 0x9b) {
                bits(op);
            } else if (op == 0x0c00) {
                header(frame);
            } else if ((op >= 0x24 && op <= 0x27) || (op >= 0x2d && op <= 0x2f) || (op >= 0x92 && op <= 0x97)
                       || (op >= 0x9c && op <= 0x9f) || (op >= 0xa2 && op <= 0xaf)) {
                skipCounted16();
            } else if ((op >= 0xd0 && op <= 0xfe) || op >= 0x8100) {
                skipCounted32();
            } else if (op >= 0x100 && op <= 0x7fff) {
                m_in.skip((op >> 8) * 2);
            }
            // 0xb0..0xcf and 0x8000..0x80ff carry no data.
            break;
        }
        if (m_in.failed)
            return false;
    }
    return true;
}

} // namespace

PictPlayer::PictPlayer(QByteArray data) : m_data(std::move(data)) {}

Status PictPlayer::open()
{
    // The version opcode follows the size and the frame; a file from disk
    // has 512 bytes of its own in front of that.
    auto versionAt = [this](qsizetype at) {
        if (m_data.size() >= at + 4 && m_data.at(at) == 0x00 && m_data.at(at + 1) == 0x11
            && uchar(m_data.at(at + 2)) == 0x02 && uchar(m_data.at(at + 3)) == 0xff)
            return 2;
        if (m_data.size() >= at + 2 && m_data.at(at) == 0x11 && m_data.at(at + 1) == 0x01)
            return 1;
        return 0;
    };
    qsizetype base = 0;
    m_version = versionAt(10);
    if (m_version == 0 && (m_version = versionAt(522)) != 0)
        base = 512;
    if (m_version == 0)
        return Error{QStringLiteral("Это не рисунок PICT.")};
    Reader in{m_data, base + 2};
    m_frame = in.rect();
    m_start = base + (m_version == 2 ? 14 : 12);
    if (m_frame.right() <= m_frame.left() || m_frame.bottom() <= m_frame.top())
        return Error{QStringLiteral("Рисунок PICT имеет пустые размеры.")};
    return {};
}

QSize PictPlayer::naturalSize() const
{
    const QRectF f = edges(m_frame);
    return QSize(std::max(1, int(std::lround(f.width() * 96 / 72))), std::max(1, int(std::lround(f.height() * 96 / 72))));
}

Status PictPlayer::play(QPainter &painter, const QRectF &target) const
{
    if (m_version == 0)
        return Error{QStringLiteral("Рисунок PICT не открыт.")};
    const QRectF f = edges(m_frame);
    QTransform map;
    map.translate(target.left(), target.top());
    map.scale(target.width() / f.width(), target.height() / f.height());
    map.translate(-f.left(), -f.top());
    painter.save();
    Player player(m_data, m_start, m_version, painter, map);
    player.run(m_frame);
    painter.restore();
    if (!player.drewSomething())
        return Error{damaged()};
    return {};
}

Expected<QImage> PictPlayer::render(const QByteArray &data, QSize targetSize)
{
    PictPlayer player(data);
    if (Status opened = player.open(); !opened)
        return Error{opened.error()};
    const QSize size = limitedImageSize(targetSize.isValid() && !targetSize.isEmpty() ? targetSize : player.naturalSize());
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
