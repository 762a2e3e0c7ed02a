// Program entry: the shared state and services are made here and handed to
// the windows; the program takes no arguments.
#include "library/Paths.h"
#include "session/Cues.h"
#include "session/Prompter.h"
#include "session/SessionState.h"
#include "session/SystemServices.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    SessionState state;
    state.ProgramFolder = Paths::programFolder();
    SystemClock clock;
    SoundEffectSink sink;
    Cues cues(sink, state.ProgramFolder);
    cues.loadSwitches();
    WidgetPrompter prompter;

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Тестирование..."));
    window.setFixedSize(782, 514);
    window.show();
    const int code = app.exec();
    (void)cues.saveSwitches();
    return code;
}
