// Everything a window is handed when it is made: the shared state, the
// services, and the other windows (filled in as they are created, in the
// program's fixed order, and used only after all of them exist).
#pragma once

class Clock;
class Cues;
class Prompter;
class TestHost;
struct SessionState;

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;

struct AppContext
{
    SessionState &state;
    Cues &cues;
    Clock &clock;
    Prompter &prompter;

    TestHost *host = nullptr;     // the main window, for opening a test
    TForm1 *form1 = nullptr;      // Main: the testing window
    TForm2 *form2 = nullptr;      // Book: the chooser
    TForm3 *form3 = nullptr;      // ResCompil: the base creation report
    TForm4 *form4 = nullptr;      // TestOption: topic options
    TForm5 *form5 = nullptr;      // Table: the results table
    TForm6 *form6 = nullptr;      // Result: the result window
    TForm7 *form7 = nullptr;      // Pic: the picture window
    TForm8 *form8 = nullptr;      // Reindex: restoring a topic's source
    TForm9 *form9 = nullptr;      // About
};
