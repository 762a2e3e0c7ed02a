// Program entry: the shared state and services are made here and handed to
// the windows, which are all created once, hidden, in a fixed order, the
// main window first. The program takes no arguments.
#include "library/Paths.h"
#include "session/AppContext.h"
#include "session/Cues.h"
#include "session/Prompter.h"
#include "session/SessionState.h"
#include "session/SystemServices.h"
#include "session/Windows.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    SessionState state;
    state.ProgramFolder = Paths::programFolder();
    SystemClock clock;
    SoundEffectSink sink;
    Cues cues(sink, state.ProgramFolder);
    WidgetPrompter prompter;
    AppContext context{state, cues, clock, prompter};

    ProgramWindows windows(context);
    windows.form1().show();
    return app.exec();
}
