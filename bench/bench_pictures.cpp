// How long a picture takes to decode: an equation-style WMF (our player),
// a diagram WMF from an RTF document, and EMFs (libemf2svg and QtSvg).
// Prints the median of repeated runs. Usage: bench_pictures [runs]
#include "richtext/Pictures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    struct Case { const char *file; QSize size; };
    const Case cases[] = {
        {"formula.wmf", {}},
        {"formula.wmf", {849, 279}},
        {"wmf-2.wmf", {801, 567}},
        {"reference.wmf", {}},
        {"formula.emf", {}},
        {"reference.emf", {}},
        {"wmf-and-emf-0.emf", {760, 1078}},
        {"sample.jpg", {}},
    };
    std::printf("%-22s %-10s %10s\n", "picture", "size", "median ms");
    for (const Case &c : cases) {
        QFile file(QStringLiteral(NASTAVNIK_SOURCE_DIR "/tests/data/pictures/") + QString::fromLatin1(c.file));
        if (!file.open(QIODevice::ReadOnly)) {
            std::printf("%-22s missing\n", c.file);
            continue;
        }
        const QByteArray data = file.readAll();
        const Pictures::Format format = Pictures::formatFromExtension(file.fileName());
        std::vector<double> times;
        QSize size;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer timer;
            timer.start();
            const Expected<QImage> image = Pictures::decode(data, format, c.size);
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (!image) {
                std::printf("%-22s error: %s\n", c.file, qPrintable(image.error()));
                break;
            }
            size = image->size();
        }
        std::sort(times.begin(), times.end());
        std::printf("%-22s %4dx%-5d %10.2f\n", c.file, size.width(), size.height(), times[times.size() / 2]);
    }
    return 0;
}
