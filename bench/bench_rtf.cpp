// Times RtfReader::load on a large test document: 200 questions with
// formatting, tables and 20 pictures, as LibreOffice writes it. The
// document is generated into the build folder on first use. Usage: bench_rtf [document.rtf]
#include "bench/BenchDocument.h"
#include "richtext/RtfReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(NASTAVNIK_BENCH_DATA "/bench.rtf");
    if (!makeBenchDocument(path))
        return 1;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    const QByteArray bytes = file.readAll();

    std::vector<double> times;
    std::vector<double> cpu;
    RtfReader::Result result;
    int blocks = 0;
    for (int run = 0; run < 7; ++run) {
        QTextDocument document;
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        result = RtfReader::load(bytes, document);
        cpu.push_back((std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
        times.push_back(timer.nsecsElapsed() / 1e6);
        blocks = document.blockCount();
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    // Wall time suffers when the machine is busy; processor time does not.
    std::printf("bench_rtf: %.1f MB, %d blocks, %d pictures: best %.1f ms, median %.1f ms (processor time: median %.1f ms)\n",
                bytes.size() / 1e6, blocks, result.pictureCount, times.front(), times[times.size() / 2],
                cpu[cpu.size() / 2]);
    return 0;
}
