// Program entry: the shared state and services are made here and handed to
// the windows, which are all created once, hidden, in a fixed order, the
// main window first. The program takes no arguments.
#include "session/ui/Main.h"
#include "session/ui/RunningProgram.h"
#include "session/ui/SystemServices.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QuitOnSignals stop;
    RunningProgram program;
    program.windows.form1().show();
    return app.exec();
}
