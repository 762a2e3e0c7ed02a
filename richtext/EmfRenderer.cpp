#include "richtext/EmfRenderer.h"

#include "richtext/Pictures.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <emf2svg.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

// libemf2svg looks fonts up through fontconfig for text written as glyph
// indices, and then shuts fontconfig down with FcFini. Qt goes on using
// fontconfig, and fontconfig aborts the whole process when it is shut down
// while Qt still holds its caches. The program therefore brings its own
// FcFini, which does nothing: the dynamic linker binds libemf2svg's call to
// the executable's definition before fontconfig's. Fontconfig is released
// when the process ends.
extern "C" void FcFini(void) {}

namespace Pictures::EmfRenderer {

namespace {

constexpr quint32 EMR_HEADER = 1;
constexpr quint32 EMR_EOF = 14;
constexpr quint32 EmfSignature = 0x464D4520; // " EMF"
constexpr qsizetype MinHeaderSize = 88;

quint32 u32At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

qint32 i32At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<qint32>(data.constData() + offset);
}

Error broken(const char16_t *why)
{
    return Error{QStringLiteral("Метафайл EMF повреждён: %1.").arg(QString::fromUtf16(why))};
}

// The frame is in 0.01 mm, the bounds in device pixels; the reference
// device's size in pixels and in millimetres (or micrometres, in newer
// headers) relates the two.
QRectF drawingInFrame(const QByteArray &data, quint32 headerSize)
{
    const double boundsLeft = i32At(data, 8), boundsTop = i32At(data, 12);
    const double boundsW = double(i32At(data, 16)) - boundsLeft + 1;
    const double boundsH = double(i32At(data, 20)) - boundsTop + 1;
    const double frameLeft = i32At(data, 24), frameTop = i32At(data, 28);
    const double frameW = double(i32At(data, 32)) - frameLeft;
    const double frameH = double(i32At(data, 36)) - frameTop;
    const double deviceW = i32At(data, 72), deviceH = i32At(data, 76);
    double microW = i32At(data, 80) * 1000.0, microH = i32At(data, 84) * 1000.0;
    if (headerSize >= 108 && i32At(data, 100) > 0 && i32At(data, 104) > 0) {
        microW = i32At(data, 100);
        microH = i32At(data, 104);
    }
    if (boundsW <= 1 || boundsH <= 1 || frameW <= 0 || frameH <= 0 || deviceW <= 0 || deviceH <= 0 || microW <= 0
        || microH <= 0)
        return QRectF(0, 0, 1, 1);
    // The frame in device pixels.
    const double pxPerUnitX = deviceW / microW * 10, pxPerUnitY = deviceH / microH * 10;
    const QRectF frame(frameLeft * pxPerUnitX, frameTop * pxPerUnitY, frameW * pxPerUnitX, frameH * pxPerUnitY);
    const QRectF drawing((boundsLeft - frame.left()) / frame.width(), (boundsTop - frame.top()) / frame.height(),
                         boundsW / frame.width(), boundsH / frame.height());
    // A header whose two rectangles have little to do with each other is
    // not trusted: the drawing then fills the frame.
    if (!(drawing.width() > 0.05 && drawing.height() > 0.05 && drawing.width() < 20 && drawing.height() < 20
          && drawing.left() > -10 && drawing.top() > -10 && drawing.left() < 1 && drawing.top() < 1))
        return QRectF(0, 0, 1, 1);
    return drawing;
}

} // namespace

Expected<EmfHeader> check(const QByteArray &data)
{
    if (data.size() < MinHeaderSize)
        return broken(u"файл слишком короткий");
    if (u32At(data, 0) != EMR_HEADER || u32At(data, 40) != EmfSignature)
        return Error{QStringLiteral("Это не метафайл EMF.")};
    const quint32 headerSize = u32At(data, 4);
    if (headerSize < MinHeaderSize || headerSize % 4 != 0 || headerSize > quint32(data.size()))
        return broken(u"неверный заголовок");
    const quint32 bytes = u32At(data, 48);
    if (bytes < headerSize || bytes > quint32(data.size()) || bytes % 4 != 0)
        return broken(u"неверная длина");
    if (u32At(data, 56) == 0 /* nHandles, the first is reserved */)
        return broken(u"неверная таблица объектов");

    // rclBounds (device pixels, inclusive) and rclFrame (0.01 mm).
    const qint64 boundsW = qint64(i32At(data, 16)) - i32At(data, 8) + 1;
    const qint64 boundsH = qint64(i32At(data, 20)) - i32At(data, 12) + 1;
    const qint64 frameW = qint64(i32At(data, 32)) - i32At(data, 24);
    const qint64 frameH = qint64(i32At(data, 36)) - i32At(data, 28);
    QSize natural;
    if (frameW > 0 && frameH > 0)
        natural = QSize(int(std::min<qint64>(std::llround(frameW * 96.0 / 2540), MaxSide)),
                        int(std::min<qint64>(std::llround(frameH * 96.0 / 2540), MaxSide)));
    else if (boundsW > 0 && boundsH > 0)
        natural = QSize(int(std::min<qint64>(boundsW, MaxSide)), int(std::min<qint64>(boundsH, MaxSide)));
    else
        return broken(u"пустые размеры");
    natural = natural.expandedTo(QSize(1, 1));

    qsizetype pos = 0;
    int count = 0;
    bool sawEof = false;
    while (pos < qsizetype(bytes)) {
        if (++count > MaxRecords)
            return broken(u"слишком много записей");
        if (qsizetype(bytes) - pos < 8)
            return broken(u"запись обрезана");
        const quint32 type = u32At(data, pos);
        const quint32 size = u32At(data, pos + 4);
        if (size < 8 || size % 4 != 0 || size > quint32(qsizetype(bytes) - pos))
            return broken(u"неверная длина записи");
        if (pos > 0 && type == EMR_HEADER)
            return broken(u"второй заголовок");
        if (type == EMR_EOF) {
            sawEof = true;
            break;
        }
        pos += size;
    }
    if (!sawEof)
        return broken(u"нет конца записей");
    return EmfHeader{natural, qsizetype(bytes), drawingInFrame(data, headerSize)};
}

Expected<QByteArray> toSvg(const QByteArray &data, QSize targetSize)
{
    Expected<EmfHeader> header = check(data);
    if (!header)
        return Error{header.error()};
    const QSize size = targetSize.isValid() && !targetSize.isEmpty() ? targetSize : header->naturalSize;

    // libemf2svg takes a writable buffer: give it its own copy.
    QByteArray copy(data.constData(), header->bytes);
    generatorOptions options{};
    options.nameSpace = nullptr;
    options.verbose = false;
    options.emfplus = false;
    options.svgDelimiter = true;
    options.imgWidth = size.width();
    options.imgHeight = size.height();
    char *out = nullptr;
    size_t outLength = 0;
    const int ok = emf2svg(copy.data(), size_t(copy.size()), &out, &outLength, &options);
    std::unique_ptr<char, decltype(&std::free)> owned(out, &std::free);
    if (!ok || !out || outLength == 0)
        return broken(u"не удалось прочитать записи");
    return QByteArray(out, qsizetype(outLength));
}

Expected<QImage> render(const QByteArray &data, QSize targetSize)
{
    Expected<EmfHeader> header = check(data);
    if (!header)
        return Error{header.error()};
    const QSize size = limitedImageSize(targetSize.isValid() && !targetSize.isEmpty() ? targetSize
                                                                                      : header->naturalSize);
    // The frame fills the picture; the drawing, which libemf2svg scales to
    // its own bounds, goes where it lies in the frame, so that a drawing with
    // margins in its frame keeps its proportions.
    const QRectF &d = header->drawing;
    const QRectF target(d.left() * size.width(), d.top() * size.height(), d.width() * size.width(),
                        d.height() * size.height());
    const QSize svgSize(std::clamp(int(std::lround(target.width())), 1, MaxSide),
                        std::clamp(int(std::lround(target.height())), 1, MaxSide));
    Expected<QByteArray> svg = toSvg(data, svgSize);
    if (!svg)
        return Error{svg.error()};
    QSvgRenderer renderer(*svg);
    if (!renderer.isValid())
        return broken(u"не удалось нарисовать");
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return Error{QStringLiteral("Недостаточно памяти для рисунка.")};
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, target);
    painter.end();
    return image;
}

} // namespace Pictures::EmfRenderer
