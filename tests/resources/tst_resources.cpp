// The program's pictures and sounds: every bitmap at its size and place, the
// head frames and the board cut seamlessly out of the background, the
// marker's transparent colour, and a valid, audible WAV file for every cue
// the program plays, including any cue named at a call site in the sources,
// all of them equally loud.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QtEndian>

#include "tests/support/Cues.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QString SoundFolder = QStringLiteral(NASTAVNIK_SOURCE_DIR "/resources/Baza/Sound");

QString cueFile(const QString &cue)
{
    return SoundFolder + u'/' + cue + QStringLiteral(".wav");
}

QImage bitmap(const QString &name)
{
    return QImage(QStringLiteral(":/bitmaps/%1.png").arg(name)).convertToFormat(QImage::Format_RGB32);
}

// Tutor's head tile and the board in the main window's client area.
const QRect HeadTile(34, 273, 45, 54);
const QRect BoardRect(67, 344, 224, 163);

struct Field
{
    QRect hit; // inclusive hit area in client coordinates
    QPoint marker;
};
const Field Fields[4] = {
    {QRect(QPoint(83, 364), QPoint(175, 420)), QPoint(79, 346)},
    {QRect(QPoint(187, 364), QPoint(281, 420)), QPoint(185, 346)},
    {QRect(QPoint(83, 432), QPoint(175, 485)), QPoint(79, 406)},
    {QRect(QPoint(187, 432), QPoint(281, 485)), QPoint(185, 406)},
};

int colourDistance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return int(std::sqrt(double(dr * dr + dg * dg + db * db)));
}

// Centre of the dark pixels (glasses, eyes, outlines) of a head frame: it
// moves with the face when the head turns or nods.
QPointF darkCentre(const QImage &img)
{
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 90) {
                sx += x;
                sy += y;
                ++n;
            }
    return n ? QPointF(sx / n, sy / n) : QPointF(-1, -1);
}

double meanGray(const QImage &img)
{
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            sum += qGray(img.pixel(x, y));
    return sum / (img.width() * img.height());
}

// A parsed WAV file: what the cue player needs to know about it.
struct Wave
{
    QString error;
    quint16 format = 0, channels = 0, bits = 0;
    quint32 rate = 0;
    double seconds = 0;
    int peak = 0;
    std::vector<double> samples; // first channel, full scale 1
};

// One second-order filter section.
struct Biquad
{
    double b0, b1, b2, a1, a2;
    double z1 = 0, z2 = 0;
    double operator()(double x)
    {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// Loudness as the ear weighs it (ITU-R BS.1770, the EBU R128 meter): the
// K-weighting filter (a treble shelf and a rumble cut, designed for the
// file's rate), the mean square over 400 ms blocks every 100 ms, blocks
// under -70 LUFS and then those 10 LU under the mean left out. The blocks
// run on past the end through silence, so a click shorter than a block is
// measured over a whole one, as a meter hears it.
double loudness(const std::vector<double> &samples, double rate)
{
    constexpr double Pi = 3.14159265358979323846;
    const double ks = std::tan(Pi * 1681.974450955533 / rate);
    const double vh = std::pow(10.0, 3.999843853973347 / 20), vb = std::pow(vh, 0.4996667741545416);
    const double qs = 0.7071752369554196, as = 1 + ks / qs + ks * ks;
    Biquad shelf{(vh + vb * ks / qs + ks * ks) / as, 2 * (ks * ks - vh) / as, (vh - vb * ks / qs + ks * ks) / as,
                 2 * (ks * ks - 1) / as, (1 - ks / qs + ks * ks) / as};
    const double kh = std::tan(Pi * 38.13547087602444 / rate), qh = 0.5003270373238773;
    const double ah = 1 + kh / qh + kh * kh;
    Biquad rumble{1, -2, 1, 2 * (kh * kh - 1) / ah, (1 - kh / qh + kh * kh) / ah};

    const auto block = qsizetype(std::lround(rate * 0.4)), step = block / 4;
    std::vector<double> squares;
    for (qsizetype i = 0; i < qsizetype(samples.size()) + block; ++i) {
        const double y = rumble(shelf(i < qsizetype(samples.size()) ? samples[size_t(i)] : 0.0));
        squares.push_back(y * y);
    }
    std::vector<double> blocks;
    for (qsizetype at = 0; at + block <= qsizetype(squares.size()); at += step) {
        double sum = 0;
        for (qsizetype i = at; i < at + block; ++i)
            sum += squares[size_t(i)];
        blocks.push_back(sum / double(block));
    }
    const auto lufs = [](double meanSquare) { return -0.691 + 10 * std::log10(meanSquare); };
    const auto gatedMean = [&](double gate) {
        double sum = 0;
        int n = 0;
        for (const double b : blocks)
            if (b > 0 && lufs(b) > gate) {
                sum += b;
                ++n;
            }
        return n ? sum / n : 0.0;
    };
    const double ungated = gatedMean(-70);
    return ungated > 0 ? lufs(gatedMean(std::max(-70.0, lufs(ungated) - 10))) : -70;
}

Wave readWave(const QString &path)
{
    Wave w;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        w.error = QStringLiteral("cannot open");
        return w;
    }
    const QByteArray b = f.readAll();
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") {
        w.error = QStringLiteral("not a RIFF WAVE file");
        return w;
    }
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); };
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= b.size()) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = u32(at + 4);
        const qsizetype body = at + 8;
        if (quint64(body) + size > quint64(b.size())) {
            w.error = QStringLiteral("chunk %1 runs past the end").arg(QString::fromLatin1(id));
            return w;
        }
        if (id == "fmt ") {
            if (size < 16) {
                w.error = QStringLiteral("short fmt chunk");
                return w;
            }
            w.format = u16(body);
            w.channels = u16(body + 2);
            w.rate = u32(body + 4);
            w.bits = u16(body + 14);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                w.error = QStringLiteral("data before fmt");
                return w;
            }
            if (w.bits != 16 || w.channels == 0 || w.rate == 0) {
                w.error = QStringLiteral("not 16-bit PCM");
                return w;
            }
            const qsizetype samples = size / 2;
            for (qsizetype i = 0; i < samples; ++i) {
                const int sample = qFromLittleEndian<qint16>(b.constData() + body + 2 * i);
                w.peak = qMax(w.peak, qAbs(sample));
                if (i % w.channels == 0)
                    w.samples.push_back(sample / 32768.0);
            }
            w.seconds = double(samples) / w.channels / w.rate;
            return w;
        }
        at = body + size + (size & 1);
    }
    w.error = QStringLiteral("no data chunk");
    return w;
}

// Lines that may run longer than a short remark.
const QStringList LongCues = {
    QStringLiteral("AnalginYes1"), QStringLiteral("AnalginNo1"), QStringLiteral("AnalginNo2"),
    QStringLiteral("Final1"), QStringLiteral("Final2"), QStringLiteral("Final3"), QStringLiteral("Final4"),
};

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bitmapSizes_data();
    void bitmapSizes();
    void headAndBoardAreTheBackgroundsPixels();
    void headFrames_data();
    void headFrames();
    void darkBackgroundIsTheSamePictureDimmed();
    void boardFieldsLieOnTheirHitAreas();
    void markerKeyColourStaysOutsideTheStar();
    void markerSitsOnEachField();
    void placeholderPictureIsACross();

    void cueFiles_data();
    void cueFiles();
    void cuesAreEquallyLoud();
    void catalogueIsComplete();
    void callSitesHaveTheirSounds();
};

void TestResources::bitmapSizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    const auto row = [](const char *name, int w, int h) {
        QTest::newRow(name) << QString::fromLatin1(name) << QSize(w, h);
    };
    row("tetrad", 787, 548);
    row("Tetrad_black", 787, 548);
    row("ButNorm", 224, 163);
    row("Marker", 99, 101);
    for (const char *head : {"Hd_Normal", "Hd_No1", "Hd_No2", "Hd_No3", "Hd_No4", "Hd_Yes1", "Hd_Yes2",
                             "Hd_Yes3", "Hd_Yes4"})
        row(head, 45, 54);
    row("Book", 610, 420);
    row("Fonp", 388, 255);
    row("NoPic", 300, 200);
    row("About", 450, 275);
    row("TableFon", 787, 548);
    for (const char *button : {"ButOpen1", "ButOpen2", "ButOpen3", "ButSort1", "ButSort2", "ButSort3"})
        row(button, 105, 23);
}

void TestResources::bitmapSizes()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QImage raw(QStringLiteral(":/bitmaps/%1.png").arg(name));
    QVERIFY2(!raw.isNull(), qPrintable(name));
    QCOMPARE(raw.size(), size);
    // Every bitmap is drawn as an opaque tile; transparency would let the
    // previous frame show through.
    const QImage argb = raw.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            QVERIFY2(qAlpha(argb.pixel(x, y)) == 255, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

void TestResources::headAndBoardAreTheBackgroundsPixels()
{
    const QImage tetrad = bitmap(QStringLiteral("tetrad"));
    QCOMPARE(bitmap(QStringLiteral("Hd_Normal")), tetrad.copy(HeadTile));
    QCOMPARE(bitmap(QStringLiteral("ButNorm")), tetrad.copy(BoardRect));
}

void TestResources::headFrames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("dx"); // expected direction of the face: -1, 0, 1
    QTest::addColumn<int>("dy");
    QTest::addColumn<QString>("lesser"); // the smaller step of the same move
    QTest::newRow("No1 right") << QStringLiteral("Hd_No1") << 1 << 0 << QStringLiteral("Hd_Normal");
    QTest::newRow("No2 further right") << QStringLiteral("Hd_No2") << 1 << 0 << QStringLiteral("Hd_No1");
    QTest::newRow("No3 left") << QStringLiteral("Hd_No3") << -1 << 0 << QStringLiteral("Hd_Normal");
    QTest::newRow("No4 further left") << QStringLiteral("Hd_No4") << -1 << 0 << QStringLiteral("Hd_No3");
    QTest::newRow("Yes1 up") << QStringLiteral("Hd_Yes1") << 0 << -1 << QStringLiteral("Hd_Normal");
    QTest::newRow("Yes2 further up") << QStringLiteral("Hd_Yes2") << 0 << -1 << QStringLiteral("Hd_Yes1");
    QTest::newRow("Yes3 down") << QStringLiteral("Hd_Yes3") << 0 << 1 << QStringLiteral("Hd_Normal");
    QTest::newRow("Yes4 further down") << QStringLiteral("Hd_Yes4") << 0 << 1 << QStringLiteral("Hd_Yes3");
}

void TestResources::headFrames()
{
    QFETCH(QString, name);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(QString, lesser);
    const QImage frame = bitmap(name);
    const QImage background = bitmap(QStringLiteral("tetrad")).copy(HeadTile);

    // The tile's border is the background's: drawn at its place it leaves no seam.
    for (int x = 0; x < frame.width(); ++x) {
        QCOMPARE(frame.pixel(x, 0), background.pixel(x, 0));
        QCOMPARE(frame.pixel(x, frame.height() - 1), background.pixel(x, frame.height() - 1));
    }
    for (int y = 0; y < frame.height(); ++y) {
        QCOMPARE(frame.pixel(0, y), background.pixel(0, y));
        QCOMPARE(frame.pixel(frame.width() - 1, y), background.pixel(frame.width() - 1, y));
    }

    // The face moves the named way, and the second step further than the first.
    const QPointF from = darkCentre(bitmap(lesser));
    const QPointF to = darkCentre(frame);
    const double along = dx ? (to.x() - from.x()) * dx : (to.y() - from.y()) * dy;
    const double across = dx ? std::abs(to.y() - from.y()) : std::abs(to.x() - from.x());
    QVERIFY2(along > 0.8, qPrintable(QStringLiteral("moved %1").arg(along)));
    QVERIFY2(across < along, qPrintable(QStringLiteral("sideways %1").arg(across)));
}

void TestResources::darkBackgroundIsTheSamePictureDimmed()
{
    const QImage light = bitmap(QStringLiteral("tetrad"));
    const QImage dark = bitmap(QStringLiteral("Tetrad_black"));
    const double ratio = meanGray(dark) / meanGray(light);
    QVERIFY2(ratio > 0.25 && ratio < 0.55, qPrintable(QString::number(ratio)));
    // Same picture: where the light one has an edge, the dark one has one too.
    const QPoint inside(30, 120), frame(13, 120); // question area and its frame
    QVERIFY(qGray(light.pixel(inside)) > qGray(light.pixel(frame)));
    QVERIFY(qGray(dark.pixel(inside)) > qGray(dark.pixel(frame)));
}

void TestResources::boardFieldsLieOnTheirHitAreas()
{
    const QImage tetrad = bitmap(QStringLiteral("tetrad"));
    // The gaps between the fields are board, not field: a press there
    // answers nothing, so it must not look like a field.
    const QRgb gap = tetrad.pixel(181, 426);
    for (const Field &f : Fields) {
        const QRect inner = f.hit.adjusted(3, 3, -3, -3);
        for (const QPoint p : {inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight()})
            QVERIFY2(colourDistance(tetrad.pixel(p), gap) > 80,
                     qPrintable(QStringLiteral("field pixel %1,%2").arg(p.x()).arg(p.y())));
    }
    // No field reaches into the gaps.
    for (int y = 364; y <= 485; ++y)
        for (int x = 83; x <= 281; ++x) {
            if (!(x >= 177 && x <= 185) && !(y >= 422 && y <= 430))
                continue;
            QVERIFY2(colourDistance(tetrad.pixel(x, y), gap) < 40,
                     qPrintable(QStringLiteral("gap pixel %1,%2").arg(x).arg(y)));
        }
}

void TestResources::markerKeyColourStaysOutsideTheStar()
{
    const QImage marker = bitmap(QStringLiteral("Marker"));
    const QRgb key = marker.pixel(0, 0);
    for (const QPoint corner : {QPoint(98, 0), QPoint(0, 100), QPoint(98, 100)})
        QCOMPARE(marker.pixel(corner), key);
    const QPoint centre(49, 52);
    int starPixels = 0;
    for (int y = 0; y < marker.height(); ++y)
        for (int x = 0; x < marker.width(); ++x) {
            const QRgb c = marker.pixel(x, y);
            const int dx = x - centre.x(), dy = y - centre.y();
            if (dx * dx + dy * dy < 16 * 16)
                QVERIFY2(c != key, qPrintable(QStringLiteral("key colour inside the star at %1,%2").arg(x).arg(y)));
            if (c == key)
                continue;
            ++starPixels;
            // No edge pixel is a blend with the key colour: it would stay
            // visible as a fringe of that colour around the star.
            const auto keyAt = [&](int nx, int ny) {
                return nx >= 0 && ny >= 0 && nx < marker.width() && ny < marker.height() && marker.pixel(nx, ny) == key;
            };
            if (!keyAt(x - 1, y) && !keyAt(x + 1, y) && !keyAt(x, y - 1) && !keyAt(x, y + 1))
                continue;
            QVERIFY2(colourDistance(c, key) > 200,
                     qPrintable(QStringLiteral("pixel %1,%2 is close to the key colour").arg(x).arg(y)));
        }
    QVERIFY(starPixels > 99 * 101 / 5);
}

void TestResources::markerSitsOnEachField()
{
    const QImage marker = bitmap(QStringLiteral("Marker"));
    const QRgb key = marker.pixel(0, 0);
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < marker.height(); ++y)
        for (int x = 0; x < marker.width(); ++x)
            if (marker.pixel(x, y) != key) {
                sx += x;
                sy += y;
                ++n;
            }
    const QPointF star(sx / n, sy / n);
    for (const Field &f : Fields) {
        const QPointF at = star + f.marker;
        const QPointF fieldCentre = QRectF(f.hit).center();
        QVERIFY2(std::abs(at.x() - fieldCentre.x()) < 8 && std::abs(at.y() - fieldCentre.y()) < 8,
                 qPrintable(QStringLiteral("star at %1,%2").arg(at.x()).arg(at.y())));
    }
}

void TestResources::placeholderPictureIsACross()
{
    const QImage nopic = bitmap(QStringLiteral("NoPic"));
    const auto isRed = [](QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; };
    QVERIFY(isRed(nopic.pixel(150, 100)));
    QVERIFY(isRed(nopic.pixel(1, 1)));
    QVERIFY(isRed(nopic.pixel(298, 198)));
    QVERIFY(isRed(nopic.pixel(298, 1)));
    QCOMPARE(nopic.pixel(150, 10), qRgb(255, 255, 255));
    QCOMPARE(nopic.pixel(10, 100), qRgb(255, 255, 255));
}

void TestResources::cueFiles_data()
{
    QTest::addColumn<QString>("cue");
    QTest::addColumn<double>("maxSeconds");
    for (const QString &cue : VoiceCues) {
        const double max = cue == u"Gong" ? 4.0 : LongCues.contains(cue) ? 6.0 : 3.2;
        QTest::newRow(qPrintable(cue)) << cue << max;
    }
    for (const QString &cue : SoundCues)
        QTest::newRow(qPrintable(cue)) << cue << 1.5;
}

void TestResources::cueFiles()
{
    QFETCH(QString, cue);
    QFETCH(double, maxSeconds);
    const Wave w = readWave(cueFile(cue));
    QVERIFY2(w.error.isEmpty(), qPrintable(w.error));
    // The cue player takes integer PCM only.
    QCOMPARE(w.format, quint16(1));
    QCOMPARE(w.bits, quint16(16));
    QCOMPARE(w.channels, quint16(1));
    QVERIFY(w.rate >= 8000 && w.rate <= 48000);
    QVERIFY2(w.seconds > 0.05 && w.seconds <= maxSeconds, qPrintable(QString::number(w.seconds)));
    QVERIFY2(w.peak > 32768 / 8, qPrintable(QStringLiteral("peak %1").arg(w.peak)));
}

void TestResources::cuesAreEquallyLoud()
{
    // The voice and the effects share one loudness, so that no cue startles
    // the class and none is lost under the others; every peak keeps a
    // decibel of headroom (no clipped or flattened samples).
    const QStringList cues = VoiceCues + SoundCues;
    QList<double> levels;
    for (const QString &cue : cues) {
        const Wave w = readWave(cueFile(cue));
        QVERIFY2(w.error.isEmpty(), qPrintable(w.error));
        levels.append(loudness(w.samples, w.rate));
        QVERIFY2(w.peak <= 32768 * std::pow(10.0, -1.0 / 20),
                 qPrintable(QStringLiteral("%1: peak %2").arg(cue).arg(w.peak)));
    }
    QList<double> sorted = levels;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    QString outliers;
    for (qsizetype i = 0; i < cues.size(); ++i)
        if (std::abs(levels[i] - median) > 1.0)
            outliers += QStringLiteral(" %1 %2").arg(cues[i]).arg(levels[i] - median, 0, 'f', 1);
    QVERIFY2(outliers.isEmpty(), qPrintable(QStringLiteral("LU from the median %1 LUFS:").arg(median, 0, 'f', 1) + outliers));
}

void TestResources::catalogueIsComplete()
{
    QCOMPARE(VoiceCues.size(), 20);
    QCOMPARE(SoundCues.size(), 24);
    QCOMPARE(QSet<QString>(VoiceCues.begin(), VoiceCues.end())
                 .intersect(QSet<QString>(SoundCues.begin(), SoundCues.end()))
                 .size(),
             0);
    // Every file in the template is a catalogue cue, and all of them together
    // stay small enough to ship.
    qint64 total = 0;
    const QStringList files = QDir(SoundFolder).entryList({QStringLiteral("*.wav")}, QDir::Files);
    for (const QString &file : files) {
        const QString cue = file.chopped(4);
        QVERIFY2(VoiceCues.contains(cue) || SoundCues.contains(cue), qPrintable(file));
        total += QFileInfo(SoundFolder + u'/' + file).size();
    }
    QCOMPARE(files.size(), VoiceCues.size() + SoundCues.size());
    QVERIFY2(total < 3 * 1024 * 1024, qPrintable(QString::number(total)));
}

void TestResources::callSitesHaveTheirSounds()
{
    // Every cue named at a call of a cue player must have its file, and be
    // played by the player of its own kind (the two are gated by different
    // switches). All string literals and cue constants of the call's
    // statement count, so a random choice between two cues is covered too.
    // A cue constant is named after the file it stands for.
    static const QRegularExpression constant(QStringLiteral("QLatin1String\\s+(\\w+)\\s*\\{\\s*\"([^\"]*)\"\\s*\\}"));
    {
        QFile header(QStringLiteral(NASTAVNIK_SOURCE_DIR "/session/Cues.h"));
        QVERIFY(header.open(QIODevice::ReadOnly));
        int constants = 0;
        for (auto m = constant.globalMatch(QString::fromUtf8(header.readAll())); m.hasNext(); ++constants) {
            const auto c = m.next();
            QCOMPARE(c.captured(2), c.captured(1));
            QVERIFY2(QFile::exists(cueFile(c.captured(1))), qPrintable(c.captured(1)));
        }
        QCOMPARE(constants, VoiceCues.size() + SoundCues.size());
    }
    static const QRegularExpression call(QStringLiteral(R"(Play(Voice|Sound)Cue\s*\(([^;]*))"));
    static const QRegularExpression literal(QStringLiteral(R"re("([A-Za-z][A-Za-z0-9_]*)"|\bCue::([A-Za-z][A-Za-z0-9_]*))re"));
    const QStringList folders = {QStringLiteral("library"), QStringLiteral("richtext"), QStringLiteral("authoring"),
                                 QStringLiteral("session"), QStringLiteral("browser"), QStringLiteral("results"),
                                 QStringLiteral("app"), QStringLiteral("tools")};
    int sites = 0;
    for (const QString &folder : folders) {
        QDirIterator it(QStringLiteral(NASTAVNIK_SOURCE_DIR "/") + folder,
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            for (auto m = call.globalMatch(text); m.hasNext();) {
                const auto site = m.next();
                const bool voice = site.captured(1) == u"Voice";
                for (auto l = literal.globalMatch(site.captured(2)); l.hasNext();) {
                    const auto named = l.next();
                    const QString cue = named.captured(1).isEmpty() ? named.captured(2) : named.captured(1);
                    ++sites;
                    const QString where = QDir(QStringLiteral(NASTAVNIK_SOURCE_DIR)).relativeFilePath(path);
                    QVERIFY2(QFile::exists(cueFile(cue)),
                             qPrintable(QStringLiteral("%1: no sound for cue %2").arg(where, cue)));
                    const QStringList &otherKind = voice ? SoundCues : VoiceCues;
                    QVERIFY2(!otherKind.contains(cue),
                             qPrintable(QStringLiteral("%1: cue %2 played by the wrong player").arg(where, cue)));
                }
            }
        }
    }
    qInfo("%d cue names at call sites", sites);
}

QTEST_GUILESS_MAIN(TestResources)
#include "tst_resources.moc"
