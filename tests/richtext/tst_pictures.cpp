// Picture decoding: raster formats, DIBs, the WMF player and EMF through
// libemf2svg, on real files and on metafiles built here record by record.
#include "richtext/EmfRenderer.h"
#include "richtext/Pictures.h"
#include "richtext/WmfPlayer.h"
#include "tests/richtext/WmfBuilder.h"

#include <QFile>
#include <QFont>
#include <QPainter>
#include <QTest>

using namespace Pictures;

namespace {

QString dataPath(const QString &name)
{
    return QStringLiteral(NASTAVNIK_SOURCE_DIR "/tests/data/pictures/") + name;
}

QByteArray readData(const QString &name)
{
    QFile file(dataPath(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", qPrintable(name));
    return file.readAll();
}

struct Probe
{
    QPoint at;
    QColor color;
};

// The bounding box of the pixels for which pick is true.
template <typename Pick>
QRect boxOf(const QImage &image, Pick pick)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pick(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool isDark(const QColor &c)
{
    return c.red() < 110 && c.green() < 110 && c.blue() < 110;
}

QByteArray dib2x2()
{
    // 24-bit, bottom-up: the bottom row (blue, white) comes first, rows padded to 4 bytes.
    QByteArray dib;
    WmfBuilder::appendU32(dib, 40);
    WmfBuilder::appendU32(dib, 2);
    WmfBuilder::appendU32(dib, 2);
    WmfBuilder::appendU16(dib, 1);
    WmfBuilder::appendU16(dib, 24);
    dib.append(QByteArray(24, '\0'));
    dib.append(QByteArray::fromHex("ff0000ffffff0000"));
    dib.append(QByteArray::fromHex("0000ff00ff000000"));
    return dib;
}

// A QuickDraw picture built opcode by opcode (big-endian words).
struct PictBuilder
{
    QByteArray data;
    int version;

    PictBuilder(int version, QRect frame) : version(version)
    {
        word(0);
        rect(frame);
        if (version == 2) {
            data.append(QByteArray::fromHex("001102ff0c00fffe0000"));
            data.append(QByteArray(20, '\0'));   // resolution and source rectangle: none
        } else {
            data.append(QByteArray::fromHex("1101"));
        }
    }
    PictBuilder &word(int v)
    {
        data.append(char((v >> 8) & 0xff)).append(char(v & 0xff));
        return *this;
    }
    PictBuilder &op(int code)
    {
        if (version == 2 && (data.size() & 1))
            data.append('\0');
        return version == 2 ? word(code) : (data.append(char(code)), *this);
    }
    PictBuilder &rect(QRect r) { return word(r.top()).word(r.left()).word(r.bottom() + 1).word(r.right() + 1); }
    PictBuilder &colour(QColor c) { return op(0x1a).word(c.red() * 257).word(c.green() * 257).word(c.blue() * 257); }
    QByteArray end() { op(0xff); return data; }
};

} // namespace

Q_DECLARE_METATYPE(Pictures::Format)
Q_DECLARE_METATYPE(QList<Probe>)

class TestPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatFromExtension_data();
    void formatFromExtension();
    void raster_data();
    void raster();
    void dibWithoutFileHeader_data();
    void dibWithoutFileHeader();
    void damagedGivesError_data();
    void damagedGivesError();
    void referenceMetafile_data();
    void referenceMetafile();
    void wmfAndEmfAgree();
    void emfWithGlyphIndices();
    void emfDrawingSmallerThanItsFrame();
    void naturalSizes();
    void realMetafilesDraw_data();
    void realMetafilesDraw();
    void metafileText_data();
    void metafileText();
    void wmfRecords_data();
    void wmfRecords();
    void wmfTextAlignment_data();
    void wmfTextAlignment();
    void cyrillicTextMatchesFont();
    void malformedWmf_data();
    void malformedWmf();
    void pictBitmaps_data();
    void pictBitmaps();
    void pictDrawing();
};

void TestPictures::formatFromExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Format>("format");
    QTest::newRow("bmp") << u"a/b/pic.bmp"_qs << Format::Bmp;
    QTest::newRow("upper case") << u"PIC.JPG"_qs << Format::Jpeg;
    QTest::newRow("jpeg") << u"pic.jpeg"_qs << Format::Jpeg;
    QTest::newRow("ico") << u"pic.ico"_qs << Format::Ico;
    QTest::newRow("gif") << u"pic.gif"_qs << Format::Gif;
    QTest::newRow("png") << u"pic.png"_qs << Format::Png;
    QTest::newRow("wmf") << u"formula.Wmf"_qs << Format::Wmf;
    QTest::newRow("emf") << u"pic.emf"_qs << Format::Emf;
    QTest::newRow("cyrillic name") << u"рисунок.bmp"_qs << Format::Bmp;
    QTest::newRow("two dots") << u"pic.bmp.txt"_qs << Format::Unknown;
    QTest::newRow("no extension") << u"bmp"_qs << Format::Unknown;
    QTest::newRow("tiff") << u"pic.tif"_qs << Format::Unknown;
}

void TestPictures::formatFromExtension()
{
    QFETCH(QString, name);
    QFETCH(Format, format);
    QCOMPARE(Pictures::formatFromExtension(name), format);
}

void TestPictures::raster_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("exactColours");
    QTest::newRow("png") << u"sample.png"_qs << QSize(40, 30) << true;
    QTest::newRow("jpeg") << u"sample.jpg"_qs << QSize(41, 31) << false;
    QTest::newRow("bmp 24-bit") << u"sample.bmp"_qs << QSize(42, 32) << true;
    QTest::newRow("bmp with palette") << u"palette.bmp"_qs << QSize(43, 33) << true;
    QTest::newRow("bmp, old header") << u"core.bmp"_qs << QSize(44, 34) << true;
    QTest::newRow("gif") << u"sample.gif"_qs << QSize(45, 35) << true;
    QTest::newRow("a .jpg holding a PNG") << u"png-named.jpg"_qs << QSize(40, 30) << true;
}

void TestPictures::raster()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(bool, exactColours);
    const QByteArray bytes = readData(file);
    const Expected<QImage> byName = loadFile(dataPath(file));
    QVERIFY2(byName, qPrintable(byName.error()));
    const Expected<QImage> sniffed = decode(bytes, Format::Unknown);
    QVERIFY2(sniffed, qPrintable(sniffed.error()));
    for (const QImage &image : {*byName, *sniffed}) {
        QCOMPARE(image.size(), size);
        const QColor left = image.pixelColor(3, size.height() / 2);
        const QColor right = image.pixelColor(size.width() - 3, size.height() / 2);
        if (exactColours) {
            QCOMPARE(left, QColor(0x33, 0x66, 0xff));
            QCOMPARE(right, QColor(0xff, 0, 0));
        } else {
            QVERIFY(qAbs(left.blue() - 0xff) < 12 && qAbs(left.red() - 0x33) < 12);
            QVERIFY(qAbs(right.red() - 0xff) < 12 && right.blue() < 12);
        }
    }
    // A target size scales the picture.
    const Expected<QImage> scaled = decode(bytes, Format::Unknown, QSize(80, 20));
    QVERIFY(scaled);
    QCOMPARE(scaled->size(), QSize(80, 20));
}

void TestPictures::dibWithoutFileHeader_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("24-bit") << u"sample.bmp"_qs;
    QTest::newRow("palette") << u"palette.bmp"_qs;
    QTest::newRow("old header, 3-byte palette") << u"core.bmp"_qs;
}

void TestPictures::dibWithoutFileHeader()
{
    QFETCH(QString, file);
    const QByteArray bmp = readData(file);
    const Expected<QImage> whole = decode(bmp, Format::Bmp);
    const Expected<QImage> dib = decode(bmp.mid(14), Format::Dib);
    QVERIFY(whole);
    QVERIFY2(dib, qPrintable(dib.error()));
    QCOMPARE(dib->convertToFormat(QImage::Format_RGB32), whole->convertToFormat(QImage::Format_RGB32));
    // A DIB named as such may still carry its file header, and a .bmp may lack it.
    QVERIFY(decode(bmp, Format::Dib));
    QVERIFY(decode(bmp.mid(14), Format::Bmp));
}

void TestPictures::damagedGivesError_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<Format>("format");
    const QByteArray png = readData(u"sample.png"_qs);
    const QByteArray bmp = readData(u"sample.bmp"_qs);
    const QByteArray wmf = readData(u"reference.wmf"_qs);
    const QByteArray emf = readData(u"reference.emf"_qs);
    const QByteArray garbage = QByteArray("this is no picture at all, just words").repeated(4);

    QTest::newRow("empty") << QByteArray() << Format::Png;
    QTest::newRow("png cut in its header") << png.left(30) << Format::Png;
    QTest::newRow("png cut in its data") << png.left(png.size() / 2) << Format::Png;
    QTest::newRow("bmp cut in its header") << bmp.left(20) << Format::Bmp;
    QTest::newRow("gif header only") << QByteArray("GIF89a") << Format::Gif;
    QTest::newRow("jpeg marker only") << QByteArray("\xff\xd8\xff\xe0") << Format::Jpeg;
    QTest::newRow("garbage as png") << garbage << Format::Png;
    QTest::newRow("garbage as dib") << garbage << Format::Dib;
    QTest::newRow("garbage as wmf") << garbage << Format::Wmf;
    QTest::newRow("garbage as emf") << garbage << Format::Emf;
    QTest::newRow("garbage, unknown") << garbage << Format::Unknown;
    QTest::newRow("png of 60000 x 60000") << readData(u"huge.png"_qs) << Format::Png;
    QByteArray longChunk = png;
    const qsizetype idat = longChunk.indexOf("IDAT");
    qToBigEndian<quint32>(0x54000000, longChunk.data() + idat - 4);
    QTest::newRow("png chunk longer than the file") << longChunk << Format::Png;

    QByteArray bomb;
    for (quint32 v : {40u, 100000u, 100000u})
        WmfBuilder::appendU32(bomb, v);
    WmfBuilder::appendU16(bomb, 1);
    WmfBuilder::appendU16(bomb, 24);
    bomb.append(QByteArray(24, '\0')).append(QByteArray(64, '\x7f'));
    QTest::newRow("dib of 100000 x 100000") << bomb << Format::Dib;
    QByteArray dibPalette = bomb;
    qToLittleEndian<quint32>(100, dibPalette.data() + 4);
    qToLittleEndian<quint32>(100, dibPalette.data() + 8);
    qToLittleEndian<quint32>(0x7fffffff, dibPalette.data() + 32);
    QTest::newRow("dib with an absurd palette") << dibPalette << Format::Dib;

    QTest::newRow("wmf cut in a record") << wmf.left(wmf.size() / 2) << Format::Wmf;
    QTest::newRow("wmf cut in a record header") << wmf.left(wmf.size() - 3) << Format::Wmf;
    QTest::newRow("wmf header only") << wmf.left(22 + 18 - 2) << Format::Wmf;
    QByteArray emfShort = emf;
    qToLittleEndian<quint32>(quint32(emf.size() + 4), emfShort.data() + 48);
    QTest::newRow("emf longer than its data") << emfShort << Format::Emf;
    QTest::newRow("emf cut before its end") << emf.left(emf.size() - 20) << Format::Emf;
    QByteArray emfOdd = emf;
    qToLittleEndian<quint32>(quint32(qFromLittleEndian<quint32>(emf.constData() + 4) + 2),
                             emfOdd.data() + 4);
    QTest::newRow("emf header of odd length") << emfOdd << Format::Emf;
    QByteArray emfRecord = emf;
    qToLittleEndian<quint32>(6, emfRecord.data() + qFromLittleEndian<quint32>(emf.constData() + 4) + 4);
    QTest::newRow("emf record shorter than 8 bytes") << emfRecord << Format::Emf;

    const QByteArray pict = readData(u"sample-direct.pct"_qs);
    QTest::newRow("garbage as pict") << garbage << Format::Pict;
    QTest::newRow("pict cut after its header") << pict.left(512 + 40) << Format::Pict;
    QTest::newRow("pict of comments only")
        << PictBuilder(2, QRect(0, 0, 10, 10)).op(0xa1).word(100).word(4).word(0).word(0).end() << Format::Pict;
    QTest::newRow("pict of a QuickTime movie only")
        << PictBuilder(2, QRect(0, 0, 10, 10)).op(0x8201).word(0).word(4).word(0).word(0).end() << Format::Pict;
    QByteArray pictHuge = pict;
    qToBigEndian<quint16>(0x7fff, pictHuge.data() + 512 + 0x40);   // the bitmap's bottom edge
    QTest::newRow("pict bitmap claiming 32767 rows") << pictHuge << Format::Pict;
}

// ImageMagick's QuickDraw pictures of the two-colour sample: an indexed
// PackBitsRect and a true-colour DirectBitsRect, behind a file's 512-byte
// header.
void TestPictures::pictBitmaps_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::newRow("indexed, packed") << u"sample-indexed.pct"_qs << QSize(46, 36);
    QTest::newRow("true colour, packed by component") << u"sample-direct.pct"_qs << QSize(47, 37);
}

void TestPictures::pictBitmaps()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    const Expected<QImage> image = decode(readData(file), Format::Pict);
    QVERIFY2(image, qPrintable(image.error()));
    QCOMPARE(image->size(), size * 4 / 3);   // points at 96 dpi
    const int w = image->width(), h = image->height();
    QCOMPARE(image->pixelColor(w / 4, h / 2), QColor(0x33, 0x66, 0xff));
    QCOMPARE(image->pixelColor(w * 3 / 4, h / 2), QColor(0xff, 0, 0));
}

// Vector pictures as drawing programs wrote them, in both versions: filled
// and framed shapes, a line, a polygon and a one-bit bitmap.
void TestPictures::pictDrawing()
{
    const QRect frame(0, 0, 200, 100);
    PictBuilder v2(2, frame);
    v2.colour(QColor(0, 0, 255)).op(0x31).rect(QRect(10, 10, 80, 80));            // paint rect
    v2.colour(QColor(255, 0, 0)).op(0x51).rect(QRect(110, 20, 80, 60));           // paint oval
    v2.colour(QColor(0, 160, 0)).op(0x71).word(10 + 3 * 4).rect(QRect(100, 60, 40, 30))
        .word(90).word(100).word(60).word(120).word(90).word(140);                 // paint polygon
    v2.colour(Qt::black).op(0x07).word(3).word(3).op(0x20).word(96).word(0).word(96).word(199);   // line
    const Expected<QImage> drawn = decode(v2.end(), Format::Pict, QSize(400, 200));
    QVERIFY2(drawn, qPrintable(drawn.error()));
    QCOMPARE(drawn->size(), QSize(400, 200));
    QCOMPARE(drawn->pixelColor(100, 100), QColor(0, 0, 255));    // inside the rectangle, scaled twice
    QCOMPARE(drawn->pixelColor(300, 100), QColor(255, 0, 0));    // the oval's centre
    QCOMPARE(drawn->pixelColor(224, 44), QColor(Qt::white));     // outside the oval, in its box's corner
    QCOMPARE(drawn->pixelColor(240, 170), QColor(0, 160, 0));    // inside the triangle
    QVERIFY(isDark(drawn->pixelColor(20, 195)));                  // the line along the bottom
    QCOMPARE(drawn->pixelColor(20, 185), QColor(Qt::white));

    // Version 1: a framed rectangle and an old one-bit bitmap, 16 x 2,
    // left half set.
    PictBuilder v1(1, QRect(0, 0, 16, 16));
    v1.op(0x07).word(1).word(1).op(0x30).rect(QRect(0, 0, 16, 16));
    v1.op(0x90).word(2).rect(QRect(0, 0, 16, 2)).rect(QRect(0, 0, 16, 2)).rect(QRect(0, 8, 16, 2)).word(0);
    v1.data.append(QByteArray::fromHex("ff00ff00"));
    const Expected<QImage> old = decode(v1.end(), Format::Pict, QSize(16, 16));
    QVERIFY2(old, qPrintable(old.error()));
    QVERIFY(isDark(old->pixelColor(0, 5)));      // the frame's left side
    QVERIFY(isDark(old->pixelColor(3, 8)));      // a set bit
    QCOMPARE(old->pixelColor(11, 8), QColor(Qt::white));
}

void TestPictures::damagedGivesError()
{
    QFETCH(QByteArray, data);
    QFETCH(Format, format);
    const Expected<QImage> image = decode(data, format);
    QVERIFY(!image);
    QVERIFY(!image.error().isEmpty());
}

void TestPictures::referenceMetafile_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<Format>("format");
    QTest::addColumn<QSize>("target");
    const QByteArray wmf = readData(u"reference.wmf"_qs);
    QTest::newRow("wmf, placeable") << wmf << Format::Wmf << QSize();
    QTest::newRow("wmf, placeable, large") << wmf << Format::Wmf << QSize(800, 585);
    // As RTF \wmetafile8 carries it: no placeable header, the size from the document.
    QTest::newRow("wmf, headerless") << wmf.mid(22) << Format::Wmf << QSize(600, 439);
    QTest::newRow("emf") << readData(u"reference.emf"_qs) << Format::Emf << QSize();
    QTest::newRow("emf, large") << readData(u"reference.emf"_qs) << Format::Emf << QSize(800, 585);
}

// reference.svg: a red circle, a #3366ff rectangle 150 x 140 to its right,
// "Привет" in black below them, all on white.
void TestPictures::referenceMetafile()
{
    QFETCH(QByteArray, data);
    QFETCH(Format, format);
    QFETCH(QSize, target);
    const Expected<QImage> decoded = decode(data, format, target);
    QVERIFY2(decoded, qPrintable(decoded.error()));
    const QImage &image = *decoded;
    if (target.isValid())
        QCOMPARE(image.size(), target);

    const QColor red(0xff, 0, 0);
    const QColor blue(0x33, 0x66, 0xff);
    const QRect circle = boxOf(image, [&](const QColor &c) { return c.red() > 200 && c.green() < 60; });
    const QRect rect = boxOf(image, [&](const QColor &c) { return c.blue() > 200 && c.red() < 120; });
    QVERIFY(circle.width() > image.width() / 4);
    QVERIFY(rect.width() > image.width() / 4);
    // Round, not elliptic; the rectangle keeps its proportions.
    QVERIFY2(qAbs(double(circle.width()) / circle.height() - 1.0) < 0.02,
             qPrintable(u"circle %1 x %2"_qs.arg(circle.width()).arg(circle.height())));
    QVERIFY(qAbs(double(rect.width()) / rect.height() - 150.0 / 140) < 0.03);
    QVERIFY(qAbs(double(circle.width()) / rect.width() - 160.0 / 150) < 0.03);
    // Colours exact inside the shapes, white around them.
    QCOMPARE(image.pixelColor(circle.center()), red);
    QCOMPARE(image.pixelColor(circle.center() + QPoint(circle.width() / 3, 0)), red);
    QCOMPARE(image.pixelColor(rect.center()), blue);
    QCOMPARE(image.pixelColor(rect.topLeft() + QPoint(3, 3)), blue);
    QCOMPARE(image.pixelColor(circle.topLeft() + QPoint(2, 2)), QColor(Qt::white));
    QCOMPARE(image.pixelColor(image.width() - 2, 2), QColor(Qt::white));

    // The text: dark pixels below the shapes only, about as wide as the rectangle.
    const QRect text = boxOf(image, isDark);
    QVERIFY(text.isValid());
    QVERIFY(text.top() > circle.bottom());
    QVERIFY(text.width() > rect.width() && text.width() < 2 * rect.width());
    QVERIFY(text.height() > circle.height() / 5);
}

// The same drawing, once through our WMF player and once through libemf2svg.
void TestPictures::wmfAndEmfAgree()
{
    const QSize size(600, 439);
    const Expected<QImage> wmf = decode(readData(u"reference.wmf"_qs), Format::Wmf, size);
    const Expected<QImage> emf = decode(readData(u"reference.emf"_qs), Format::Emf, size);
    QVERIFY(wmf && emf);
    auto isRed = [](const QColor &c) { return c.red() > 200 && c.green() < 60; };
    auto isBlue = [](const QColor &c) { return c.blue() > 200 && c.red() < 120; };
    const QRect a = boxOf(*wmf, isRed), b = boxOf(*emf, isRed);
    const QRect c = boxOf(*wmf, isBlue), d = boxOf(*emf, isBlue);
    const QRect e = boxOf(*wmf, isDark), f = boxOf(*emf, isDark);
    for (auto [x, y] : {std::pair{a, b}, {c, d}, {e, f}}) {
        QVERIFY2(qAbs(x.left() - y.left()) <= 3 && qAbs(x.right() - y.right()) <= 3
                     && qAbs(x.top() - y.top()) <= 3 && qAbs(x.bottom() - y.bottom()) <= 3,
                 qPrintable(u"wmf %1,%2 %3x%4, emf %5,%6 %7x%8"_qs.arg(x.left()).arg(x.top())
                                .arg(x.width()).arg(x.height()).arg(y.left()).arg(y.top())
                                .arg(y.width()).arg(y.height())));
    }
}

// A chart pasted from another program often draws less than its frame, which
// is what the document sizes: the frame fills the picture and the drawing
// keeps its place and proportions in it.
void TestPictures::emfDrawingSmallerThanItsFrame()
{
    QByteArray emf = readData(u"reference.emf"_qs);
    // The frame made twice as wide, the drawing at its left as before.
    qToLittleEndian<qint32>(2 * qFromLittleEndian<qint32>(emf.constData() + 32), emf.data() + 32);
    const Expected<QImage> framed = decode(emf, Format::Emf, QSize(1200, 439));
    const Expected<QImage> plain = decode(readData(u"reference.emf"_qs), Format::Emf, QSize(600, 439));
    QVERIFY(framed && plain);
    auto isRed = [](const QColor &c) { return c.red() > 200 && c.green() < 60; };
    const QRect circle = boxOf(*framed, isRed);
    const QRect reference = boxOf(*plain, isRed);
    QVERIFY2(qAbs(double(circle.width()) / circle.height() - 1.0) < 0.03,
             qPrintable(u"circle %1 x %2"_qs.arg(circle.width()).arg(circle.height())));
    // As big as in the drawing that fills its frame, in the left half.
    QVERIFY(qAbs(circle.height() - reference.height()) <= 3 && qAbs(circle.width() - reference.width()) <= 3);
    QVERIFY(circle.right() < 600);
}

// Text written as glyph indices makes libemf2svg look the font up through
// fontconfig and shut fontconfig down afterwards, under Qt's feet: that
// must neither abort the program nor lose the picture.
void TestPictures::emfWithGlyphIndices()
{
    QByteArray emf = readData(u"reference.emf"_qs);
    int patched = 0;
    for (qsizetype pos = 0; pos + 8 <= emf.size();) {
        const quint32 type = qFromLittleEndian<quint32>(emf.constData() + pos);
        const quint32 size = qFromLittleEndian<quint32>(emf.constData() + pos + 4);
        if (type == 84 /* EMR_EXTTEXTOUTW */) {
            const quint32 options = qFromLittleEndian<quint32>(emf.constData() + pos + 52);
            qToLittleEndian<quint32>(options | 0x10 /* ETO_GLYPH_INDEX */, emf.data() + pos + 52);
            ++patched;
        }
        if (type == 14 || size < 8)
            break;
        pos += size;
    }
    QVERIFY(patched > 0);
    // Qt draws text before and after, so it holds fontconfig's caches throughout.
    auto qtDrawsText = [] {
        QImage text(60, 30, QImage::Format_RGB32);
        text.fill(Qt::white);
        QPainter painter(&text);
        painter.setFont(QFont(u"Liberation Sans"_qs, 14));
        painter.drawText(QPointF(5, 22), u"Ab"_qs);
        painter.end();
        return boxOf(text, isDark).isValid();
    };
    QVERIFY(qtDrawsText());
    for (int round = 0; round < 2; ++round) {
        const Expected<QImage> image = decode(emf, Format::Emf);
        QVERIFY2(image, qPrintable(image.error()));
        QCOMPARE(image->pixelColor(boxOf(*image, [](const QColor &c) {
                     return c.red() > 200 && c.green() < 60; }).center()), QColor(Qt::red));
        QVERIFY(qtDrawsText());
    }
    // Two damaged copies of formula.emf that, one after the other, made
    // fontconfig abort inside libemf2svg's shutdown call.
    for (const QString &name : {u"fontconfig-shutdown-1.emf"_qs, u"fontconfig-shutdown-2.emf"_qs})
        (void)decode(readData(name), Format::Emf);
    QVERIFY(qtDrawsText());
}

void TestPictures::naturalSizes()
{
    // 9856 x 7210 units at 2540 per inch, and a frame of 98.55 x 72.09 mm, at 96 dpi.
    const Expected<QImage> wmf = decode(readData(u"reference.wmf"_qs), Format::Wmf);
    const Expected<QImage> emf = decode(readData(u"reference.emf"_qs), Format::Emf);
    QVERIFY(wmf && emf);
    QCOMPARE(wmf->size(), QSize(373, 273));
    QCOMPARE(emf->size(), QSize(372, 272));

    WmfPlayer player(readData(u"reference.wmf"_qs));
    QVERIFY(player.open());
    QVERIFY(player.isPlaceable());
    QCOMPARE(player.frame(), QRect(0, 0, 9856, 7210));
    WmfPlayer headerless(readData(u"wmf-2.wmf"_qs));
    QVERIFY(headerless.open());
    QVERIFY(!headerless.isPlaceable());
    QCOMPARE(headerless.frame(), QRect(-2448, -2096, 4808, 3400));
}

void TestPictures::realMetafilesDraw_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("target");
    QTest::newRow("bitmap in a wmf") << u"import-image.bm0.wmf"_qs << QSize();
    QTest::newRow("bitmap and text in a wmf") << u"import-image.bm2.wmf"_qs << QSize();
    QTest::newRow("diagram from rtf") << u"wmf-2.wmf"_qs << QSize(801, 567);
    QTest::newRow("symbol from rtf") << u"wmf-14.wmf"_qs << QSize(60, 60);
    QTest::newRow("emf from rtf") << u"wmf-and-emf-0.emf"_qs << QSize(760, 1078);
}

void TestPictures::realMetafilesDraw()
{
    QFETCH(QString, file);
    QFETCH(QSize, target);
    const Expected<QImage> image = decode(readData(file), Pictures::formatFromExtension(file), target);
    QVERIFY2(image, qPrintable(image.error()));
    if (target.isValid())
        QCOMPARE(image->size(), target);
    qint64 drawn = 0;
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < image->width(); ++x)
            drawn += image->pixel(x, y) != qRgb(255, 255, 255);
    QVERIFY2(drawn > qint64(image->width()) * image->height() / 100, qPrintable(QString::number(drawn)));
}

void TestPictures::metafileText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("charset");
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("text");
    QTest::newRow("cyrillic") << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2") << 204 << u"Times New Roman"_qs << u"Привет"_qs;
    QTest::newRow("default charset is the russian code page") << QByteArray("\xc0\xe1") << 1 << u"Arial"_qs << u"Аб"_qs;
    QTest::newRow("western") << QByteArray("caf\xe9 \x80") << 0 << u"Arial"_qs << u"café €"_qs;
    QTest::newRow("greek code page") << QByteArray("\xe1") << 161 << u"Arial"_qs << u"α"_qs;
    QTest::newRow("symbol greek") << QByteArray("abpDSW") << 2 << u"Symbol"_qs << u"αβπΔΣΩ"_qs;
    QTest::newRow("symbol math") << QByteArray("\xd6\xb9\xa3\xb3\xb4\xb1\xa5\xf2\xe5\xb6\xce")
                                 << 2 << u"Symbol"_qs << u"√≠≤≥×±∞∫∑∂∈"_qs;
    QTest::newRow("symbol face with ansi charset") << QByteArray("p=3") << 0 << u"symbol"_qs << u"π=3"_qs;
    QTest::newRow("symbol minus and prime") << QByteArray("-\xa2") << 2 << u"Symbol"_qs << u"−′"_qs;
    QTest::newRow("equation editors' symbol fonts") << QByteArray("aD") << 2 << u"MT Symbol"_qs << u"αΔ"_qs;
    QTest::newRow("euclid symbol") << QByteArray("\xb9") << 2 << u"Euclid Symbol"_qs << u"≠"_qs;
    QTest::newRow("mt extra signs") << QByteArray("KhlmPQV") << 2 << u"MT Extra"_qs << u"…ℏℓ∓∥∵△"_qs;
    QTest::newRow("mt extra vector arrow and number sets") << QByteArray("r\xa1\xa5") << 2 << u"mt extra"_qs
                                                           << u"→ℝℕ"_qs;
    QTest::newRow("wingdings check marks") << QByteArray("\xfc\xfe") << 2 << u"Wingdings"_qs << u"✔☑"_qs;
    QTest::newRow("mt extra bracket pieces show nothing") << QByteArray("12\x01") << 2 << u"MT Extra"_qs
                                                          << u"   "_qs;
}

void TestPictures::metafileText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, charset);
    QFETCH(QString, face);
    QFETCH(QString, text);
    QCOMPARE(Pictures::metafileText(bytes, charset, face), text);
}

void TestPictures::wmfRecords_data()
{
    QTest::addColumn<QByteArray>("wmf");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<Probe>>("probes");
    const QColor white(Qt::white), red(Qt::red), blue(0x33, 0x66, 0xff), green(Qt::green),
        black(Qt::black);

    // Objects take the lowest free slot: after deleting slot 0 the blue brush
    // lands there, and selecting 0 selects blue, not the deleted pen.
    QTest::newRow("object slots") << WmfBuilder()
        .window(0, 0, 100, 100).nullPen().brush(red).remove(0).brush(blue).nullPen()
        .select(0).select(2).rectangle(10, 10, 90, 90).headerless()
        << QSize(100, 100) << QList<Probe>{{{50, 50}, blue}, {{5, 5}, white}};
    QTest::newRow("palettes take slots too") << WmfBuilder()
        .window(0, 0, 100, 100).raw(WmfBuilder::CreatePalette, QByteArray::fromHex("0003 0000"))
        .brush(red).nullPen().select(1).select(2).rectangle(0, 0, 100, 100).headerless()
        << QSize(100, 100) << QList<Probe>{{{50, 50}, red}};
    QTest::newRow("restore dc") << WmfBuilder()
        .window(0, 0, 100, 100).nullPen().brush(red).brush(blue).select(0).select(1)
        .rec(WmfBuilder::SaveDC, {}).select(2).rec(WmfBuilder::RestoreDC, {-1})
        .rectangle(0, 0, 100, 100).headerless()
        << QSize(100, 100) << QList<Probe>{{{50, 50}, red}};
    QTest::newRow("window origin and extent") << WmfBuilder()
        .window(1000, 2000, 200, 100).nullPen().brush(blue).select(0).select(1)
        .rectangle(1000, 2000, 1100, 2100).headerless()
        << QSize(200, 100)
        << QList<Probe>{{{50, 50}, blue}, {{98, 98}, blue}, {{102, 50}, white}, {{150, 50}, white}};
    QTest::newRow("window with y upwards") << WmfBuilder()
        .window(0, 100, 100, -100).nullPen().brush(blue).select(0).select(1)
        .rectangle(0, 0, 100, 50).headerless()
        << QSize(100, 100) << QList<Probe>{{{50, 75}, blue}, {{50, 25}, white}};
    QTest::newRow("placeable box, window records in other units") << WmfBuilder()
        .window(0, 0, 10, 10).nullPen().brush(red).select(0).select(1).rectangle(0, 0, 5, 10)
        .placeable(QRect(0, 0, 1440, 1440), 1440)
        << QSize() << QList<Probe>{{{20, 48}, red}, {{70, 48}, white}};
    QTest::newRow("isotropic keeps circles round") << WmfBuilder()
        .rec(WmfBuilder::SetMapMode, {7}).window(0, 0, 100, 100).nullPen().brush(red)
        .select(0).select(1).ellipse(0, 0, 100, 100).headerless()
        << QSize(200, 100) << QList<Probe>{{{50, 50}, red}, {{150, 50}, white}};
    QTest::newRow("polygon") << WmfBuilder()
        .window(0, 0, 100, 100).nullPen().brush(green).select(0).select(1)
        .rec(WmfBuilder::Polygon, {3, 0, 0, 100, 0, 0, 100}).headerless()
        << QSize(100, 100) << QList<Probe>{{{20, 20}, green}, {{80, 80}, white}};
    QTest::newRow("polypolygon with a hole") << WmfBuilder()
        .window(0, 0, 100, 100).nullPen().brush(red).select(0).select(1)
        .rec(WmfBuilder::PolyPolygon, {2, 4, 4, 0, 0, 100, 0, 100, 100, 0, 100,
                                       30, 30, 70, 30, 70, 70, 30, 70}).headerless()
        << QSize(100, 100) << QList<Probe>{{{10, 10}, red}, {{50, 50}, white}};
    QTest::newRow("polyline is not filled") << WmfBuilder()
        .window(0, 0, 100, 100).pen(black, 4).brush(red).select(0).select(1)
        .rec(WmfBuilder::Polyline, {3, 10, 10, 90, 10, 90, 90}).headerless()
        << QSize(100, 100) << QList<Probe>{{{50, 10}, black}, {{90, 50}, black}, {{60, 40}, white}};
    QTest::newRow("wide pen") << WmfBuilder()
        .window(0, 0, 100, 100).pen(red, 10).select(0)
        .rec(WmfBuilder::MoveTo, {0, 50}).rec(WmfBuilder::LineTo, {100, 50}).headerless()
        << QSize(200, 100) << QList<Probe>{{{100, 50}, red}, {{92, 50}, red}, {{86, 50}, white}};
    // Pie from 3 o'clock to 12 o'clock, counter-clockwise: the upper right quarter.
    QTest::newRow("pie") << WmfBuilder()
        .window(0, 0, 100, 100).nullPen().brush(blue).select(0).select(1)
        .rec(WmfBuilder::Pie, {0, 50, 50, 100, 100, 100, 0, 0}).headerless()
        << QSize(100, 100)
        << QList<Probe>{{{70, 30}, blue}, {{30, 30}, white}, {{30, 70}, white}, {{70, 70}, white}};
    QTest::newRow("clip rectangle") << WmfBuilder()
        .window(0, 0, 100, 100).nullPen().brush(red).select(0).select(1)
        .rec(WmfBuilder::IntersectClipRect, {100, 50, 0, 0}).rectangle(0, 0, 100, 100).headerless()
        << QSize(100, 100) << QList<Probe>{{{25, 50}, red}, {{75, 50}, white}};
    // A 2 x 2 bitmap stretched over the whole picture: rows stored bottom-up.
    QByteArray stretch;
    for (int w : {0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 100, 0, 0})
        WmfBuilder::appendU16(stretch, quint16(w));
    QTest::newRow("bitmap record") << WmfBuilder()
        .window(0, 0, 100, 100).raw(WmfBuilder::StretchDIB, stretch + dib2x2()).headerless()
        << QSize(100, 100)
        << QList<Probe>{{{25, 25}, red}, {{75, 25}, green}, {{25, 75}, QColor(Qt::blue)}, {{75, 75}, white}};
}

void TestPictures::wmfRecords()
{
    QFETCH(QByteArray, wmf);
    QFETCH(QSize, size);
    QFETCH(QList<Probe>, probes);
    const Expected<QImage> image = decode(wmf, Format::Wmf, size);
    QVERIFY2(image, qPrintable(image.error()));
    if (size.isValid())
        QCOMPARE(image->size(), size);
    for (const Probe &p : probes)
        QCOMPARE(image->pixelColor(p.at).name(), p.color.name());
}

void TestPictures::wmfTextAlignment_data()
{
    QTest::addColumn<int>("align");
    QTest::addColumn<QList<int>>("dx");
    QTest::addColumn<int>("escapement");
    QTest::addColumn<QRect>("expected"); // where the text's ink must lie
    // Text "HH" at (200, 100), 40 units high, on a 400 x 200 picture.
    QTest::newRow("left, top") << 0 << QList<int>() << 0 << QRect(200, 100, 80, 45);
    QTest::newRow("right, baseline") << (2 | 24) << QList<int>() << 0 << QRect(120, 60, 82, 42);
    QTest::newRow("centre, bottom") << (6 | 8) << QList<int>() << 0 << QRect(160, 55, 80, 47);
    QTest::newRow("spread by dx") << 24 << QList<int>{150, 30} << 0 << QRect(200, 60, 185, 42);
    QTest::newRow("rotated a quarter") << 24 << QList<int>() << 900 << QRect(160, 20, 42, 82);
}

void TestPictures::wmfTextAlignment()
{
    QFETCH(int, align);
    QFETCH(QList<int>, dx);
    QFETCH(int, escapement);
    QFETCH(QRect, expected);
    WmfBuilder b;
    b.window(0, 0, 400, 200).font(-40, "Arial", 0, escapement).select(0)
        .rec(WmfBuilder::SetBkMode, {1}).rec(WmfBuilder::SetTextAlign, {align});
    if (dx.isEmpty())
        b.textOut(200, 100, "HH");
    else
        b.extTextOut(200, 100, "HH", dx);
    const Expected<QImage> image = decode(b.headerless(), Format::Wmf, QSize(400, 200));
    QVERIFY(image);
    const QRect ink = boxOf(*image, isDark);
    QVERIFY(ink.isValid());
    QVERIFY2(expected.contains(ink),
             qPrintable(u"ink at %1,%2 %3x%4"_qs.arg(ink.left()).arg(ink.top()).arg(ink.width()).arg(ink.height())));
    // The ink fills most of the box the row allows: the text is where expected, not merely inside.
    QVERIFY(ink.width() * 2 >= expected.width() && ink.height() * 2 >= expected.height());
}

// Cyrillic text in a charset-204 font draws the same as Qt drawing the
// Unicode text in the substitute face.
void TestPictures::cyrillicTextMatchesFont()
{
    const QByteArray wmf = WmfBuilder()
        .window(0, 0, 300, 80).font(-40, "Times New Roman", 204).select(0)
        .rec(WmfBuilder::SetBkMode, {1}).rec(WmfBuilder::SetTextAlign, {24})
        .textOut(10, 60, "\xcf\xf0\xe8\xe2\xe5\xf2").headerless();
    const Expected<QImage> image = decode(wmf, Format::Wmf, QSize(300, 80));
    QVERIFY(image);

    QImage reference(300, 80, QImage::Format_RGB32);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    QFont font(u"Liberation Serif"_qs);
    font.setPixelSize(40);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(10, 60), u"Привет"_qs);
    painter.end();

    const QRect got = boxOf(*image, isDark);
    const QRect want = boxOf(reference, isDark);
    QVERIFY(want.isValid());
    QVERIFY2(qAbs(got.left() - want.left()) <= 1 && qAbs(got.right() - want.right()) <= 1
                 && qAbs(got.top() - want.top()) <= 1 && qAbs(got.bottom() - want.bottom()) <= 1,
             qPrintable(u"got %1,%2 %3x%4 want %5,%6 %7x%8"_qs.arg(got.left()).arg(got.top())
                            .arg(got.width()).arg(got.height()).arg(want.left()).arg(want.top())
                            .arg(want.width()).arg(want.height())));
}

void TestPictures::malformedWmf_data()
{
    QTest::addColumn<QByteArray>("wmf");
    QTest::addColumn<bool>("loads");
    const QByteArray good = WmfBuilder().window(0, 0, 10, 10).nullPen().select(0).rectangle(0, 0, 5, 5).headerless();

    QByteArray zeroSize = good;
    WmfBuilder::appendU32(zeroSize, 0); // replaces nothing: a zero-length record after EOF is never read
    QTest::newRow("bytes after the end record") << zeroSize << true;
    QByteArray noEof = good.left(good.size() - 6);
    QTest::newRow("no end record") << noEof << true;
    QByteArray pastEnd = noEof;
    WmfBuilder::appendU32(pastEnd, 1000);
    WmfBuilder::appendU16(pastEnd, 0x041B);
    QTest::newRow("record running past the data") << pastEnd << false;
    QByteArray tiny = noEof;
    WmfBuilder::appendU32(tiny, 1);
    WmfBuilder::appendU16(tiny, 0x041B);
    QTest::newRow("record shorter than its header") << tiny << false;
    QTest::newRow("no window extent") << WmfBuilder().rectangle(0, 0, 5, 5).headerless() << false;
    QTest::newRow("zero window extent") << WmfBuilder().window(0, 0, 0, 0).headerless() << false;
    QTest::newRow("bad header size") << QByteArray::fromHex("0100 0800 0003 00000000 0000 00000000 0000") << false;
    QTest::newRow("selecting missing objects") << WmfBuilder().window(0, 0, 10, 10)
        .select(0).select(9999).select(65535).remove(70000).rectangle(0, 0, 5, 5).headerless() << true;
    QTest::newRow("polygon claiming more points than it has") << WmfBuilder().window(0, 0, 10, 10)
        .rec(WmfBuilder::Polygon, {30000, 1, 1, 2, 2}).headerless() << true;
    QTest::newRow("polypolygon claiming more points than it has") << WmfBuilder().window(0, 0, 10, 10)
        .rec(WmfBuilder::PolyPolygon, {3, 65535, 65535, 65535, 1, 1}).headerless() << true;
    QTest::newRow("text longer than its record") << WmfBuilder().window(0, 0, 10, 10)
        .rec(WmfBuilder::TextOut, {30000, 0x4141}).rec(WmfBuilder::ExtTextOut, {0, 0, 30000, 6, 1})
        .headerless() << true;
    QTest::newRow("huge font and pen") << WmfBuilder().window(0, 0, 1, 1).font(-32000, "Arial").select(0)
        .pen(Qt::black, 32000, 1).select(1).textOut(0, 0, "W").rec(WmfBuilder::LineTo, {-32000, 32000})
        .headerless() << true;
    WmfBuilder many;
    many.window(0, 0, 10, 10);
    for (int i = 0; i < 3000; ++i)
        many.rec(WmfBuilder::SaveDC, {});
    many.rec(WmfBuilder::RestoreDC, {1}).rec(WmfBuilder::RestoreDC, {-5000}).rec(WmfBuilder::RestoreDC, {7000});
    QTest::newRow("thousands of saved states") << many.headerless() << true;
    QTest::newRow("bitmap record with a broken bitmap") << WmfBuilder().window(0, 0, 10, 10)
        .rec(WmfBuilder::StretchDIB, {0x20, 0xcc, 0, 2, 2, 0, 0, 10, 10, 0, 0, 40, 0, 2, 0})
        .headerless() << true;
}

void TestPictures::malformedWmf()
{
    QFETCH(QByteArray, wmf);
    QFETCH(bool, loads);
    const Expected<QImage> image = decode(wmf, Format::Wmf, QSize(50, 50));
    QCOMPARE(bool(image), loads);
    if (!loads)
        QVERIFY(!image.error().isEmpty());
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
