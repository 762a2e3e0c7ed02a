// Program entry: the shared state and services are made here and handed to
// the windows, which are all created once, hidden, in a fixed order, the
// main window first. The program takes no arguments.
#include "authoring/Reindex.h"
#include "authoring/ResCompil.h"
#include "browser/Book.h"
#include "library/Paths.h"
#include "results/Result.h"
#include "results/Table.h"
#include "results/TestOption.h"
#include "session/About.h"
#include "session/AppContext.h"
#include "session/Cues.h"
#include "session/Main.h"
#include "session/Pic.h"
#include "session/Prompter.h"
#include "session/SessionState.h"
#include "session/SystemServices.h"

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

    TForm1 form1(context);
    context.form1 = &form1;
    context.host = &form1;
    TForm2 form2(context, &form1);
    context.form2 = &form2;
    TForm3 form3(context, &form1);
    context.form3 = &form3;
    TForm4 form4(context, &form1);
    context.form4 = &form4;
    TForm5 form5(context, &form1);
    context.form5 = &form5;
    TForm7 form7(context, &form1);
    context.form7 = &form7;
    TForm8 form8(context, &form1);
    context.form8 = &form8;
    TForm9 form9(context, &form1);
    context.form9 = &form9;
    TForm6 form6(context, &form1);
    context.form6 = &form6;

    form1.show();
    return app.exec();
}
