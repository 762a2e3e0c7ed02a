// "Добавить новую тему" on one document, as the program runs it: the nine
// windows beside the program (its library and sounds), the main window
// shown, and the report's check of the document with the chooser's
// progress bar. The report dialog is closed with "Отмена" as soon as it
// appears. Prints the time the command took, the longest stretch in which
// the window could not paint (the event loop did not run), how far the
// progress bar moved, and the report's text.
//
//   bench_addtopic FILE.rtf
//
// Run it under /usr/bin/time -v for the peak memory. Use the platform the
// program would use: under xvfb-run, or with QT_QPA_PLATFORM=offscreen.
#include "authoring/ui/ResCompil.h"
#include "browser/ui/Book.h"
#include "session/ui/Main.h"
#include "session/ui/RunningProgram.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_addtopic FILE.rtf\n", stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    RunningProgram program;
    program.windows.form1().show();
    // Let the window paint and the tutor greet first: that is not part of
    // the command.
    {
        QEventLoop settle;
        QTimer::singleShot(2000, &settle, &QEventLoop::quit);
        settle.exec();
    }
    TForm2 &book = program.windows.form2();
    TForm3 &report = program.windows.form3();

    // A tick every 10 ms while the command runs: the longest gap between
    // two ticks is the longest time the window could not have painted.
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestStall = 0;
    int progressAtTick = 0;
    int stallFrom = 0;
    int stallTo = 0;
    int lastProgress = -1;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
        const qint64 now = clock.elapsed();
        if (now - lastTick > longestStall) {
            longestStall = now - lastTick;
            stallFrom = progressAtTick;
            stallTo = lastProgress;
        }
        lastTick = now;
        progressAtTick = lastProgress;
    });

    int progressSteps = 0;
    QProgressBar *bar = book.findChild<QProgressBar *>(QStringLiteral("ProgressBar"));
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) {
        if (value != lastProgress)
            ++progressSteps;
        lastProgress = value;
    });

    QString verdict;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &closer, [&] {
        if (QApplication::activeModalWidget() != &report || !report.isVisible())
            return;
        verdict = report.findChild<QTextEdit *>(QStringLiteral("Raport"))->toPlainText();
        report.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    });
    closer.start(20);

    clock.start();
    ticker.start(10);
    book.showProgress(true);
    const Status status = report.CreateBase(path, book);
    book.showProgress(false);
    const qint64 total = clock.elapsed();
    if (total - lastTick > longestStall) {
        longestStall = total - lastTick;
        stallFrom = progressAtTick;
        stallTo = lastProgress;
    }
    ticker.stop();

    std::printf("bench_addtopic: %s\n", qPrintable(path));
    std::printf("  command: %lld ms; longest time without painting: %lld ms (progress %d to %d); "
                "progress steps: %d\n",
                total, longestStall, stallFrom, stallTo, progressSteps);
    if (!status)
        std::printf("  error: %s\n", qPrintable(status.error()));
    std::printf("  report: %s\n", qPrintable(QString(verdict).replace(u'\n', u' ')));
    return 0;
}
