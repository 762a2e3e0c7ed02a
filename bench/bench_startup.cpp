// Start-up and idle memory of the whole program.
//
// Run without arguments, it starts itself again and again as a child that
// does what the program does at start (the shared state, the real sound
// player, the nine windows, the main window shown) and times each child from
// the moment it is started to the moment the main window's page has been
// painted for the first time. The child then waits for the tutor's greeting
// and a second of idleness and reports the memory it holds.
//
//   bench_startup [RUNS]
//
// The child lives beside the program, so it reads the same library and
// sounds. Use the platform the program would use: under xvfb-run, or with
// QT_QPA_PLATFORM=offscreen for the painting without any X server.
#include "session/ui/Main.h"
#include "session/ui/RunningProgram.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>

namespace {

const char kChildArgument[] = "--child";

// Resident memory of this process in kilobytes, or -1 where it can't be
// read (only Linux's /proc is consulted).
qint64 residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    // The file has no size to read up to: read until it ends.
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Notes the first paint of the main window's page.
class FirstPaint final : public QObject
{
public:
    explicit FirstPaint(std::function<void()> painted) : m_painted(std::move(painted)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_painted) {
            // Reported once the paint has been done and flushed.
            QTimer::singleShot(0, watched, std::exchange(m_painted, nullptr));
        }
        return false;
    }

private:
    std::function<void()> m_painted;
};

int runChild(int argc, char *argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);

    RunningProgram program;
    TForm1 &form1 = program.windows.form1();
    QWidget *page = form1.findChild<QWidget *>(QStringLiteral("Surface"));
    if (!page) {
        std::fprintf(stderr, "the main window has no page\n");
        return 1;
    }

    QTimer idle;
    idle.setInterval(50);
    int idleTicks = 0;
    QObject::connect(&idle, &QTimer::timeout, &app, [&] {
        // A second after the greeting has been played out.
        idleTicks = program.state.GreetingPending ? 0 : idleTicks + 1;
        if (idleTicks < 20)
            return;
        idle.stop();
        std::printf("idle %lld\n", static_cast<long long>(residentKilobytes()));
        std::fflush(stdout);
        // Not quit(), which would close the windows and ask the close query.
        QCoreApplication::exit(0);
    });
    FirstPaint firstPaint([&] {
        std::printf("painted %lld\n", static_cast<long long>(sinceMain.elapsed()));
        std::fflush(stdout);
        idle.start();
    });
    page->installEventFilter(&firstPaint);

    form1.show();
    return app.exec();
}

struct Run
{
    qint64 toPaint = -1;   // ms from starting the process
    qint64 inProcess = -1; // ms from entering main
    qint64 idleKb = -1;
};

bool runOnce(const QString &self, Run &run)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer sinceStart;
    sinceStart.start();
    child.start(self, {QString::fromLatin1(kChildArgument)});
    if (!child.waitForStarted(10000))
        return false;
    for (;;) {
        while (child.canReadLine()) {
            const QList<QByteArray> words = child.readLine().trimmed().split(' ');
            if (words.value(0) == "painted") {
                run.toPaint = sinceStart.elapsed();
                run.inProcess = words.value(1).toLongLong();
            } else if (words.value(0) == "idle") {
                run.idleKb = words.value(1).toLongLong();
            }
        }
        if (child.state() == QProcess::NotRunning)
            break;
        if (!child.waitForReadyRead(30000) && child.state() != QProcess::NotRunning) {
            child.kill();
            return false;
        }
    }
    child.waitForFinished(30000);
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 && run.toPaint >= 0;
}

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], kChildArgument) == 0)
        return runChild(argc, argv);

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 10;
    const QString self = QCoreApplication::applicationFilePath();

    QList<qint64> toPaint, inProcess, idleKb;
    for (int i = 0; i < runs; ++i) {
        Run run;
        if (!runOnce(self, run)) {
            std::fprintf(stderr, "run %d: the program did not start and paint\n", i + 1);
            return 1;
        }
        std::printf("run %2d: first paint %4lld ms after start (%4lld ms after main), idle %6lld kB\n", i + 1,
                    static_cast<long long>(run.toPaint), static_cast<long long>(run.inProcess),
                    static_cast<long long>(run.idleKb));
        toPaint << run.toPaint;
        inProcess << run.inProcess;
        idleKb << run.idleKb;
    }
    const qint64 paintMedian = median(toPaint);
    const qint64 memoryMedian = median(idleKb);
    std::printf("start-up to the first painted frame: median %lld ms, best %lld ms (goal under 300 ms)\n",
                static_cast<long long>(paintMedian), static_cast<long long>(*std::min_element(toPaint.begin(), toPaint.end())));
    std::printf("of which after entering main: median %lld ms\n", static_cast<long long>(median(inProcess)));
    if (memoryMedian >= 0)
        std::printf("resident memory when idle: median %.1f MB (goal under 80 MB)\n", double(memoryMedian) / 1024.0);
    else
        std::printf("resident memory when idle: not known on this system\n");
    return 0;
}
