// The program's nine windows, created once, hidden, in their fixed order:
// the main window first, then the chooser, the report, the options, the
// results table, the picture window, the restore dialog, the about window
// and the result window. As they are made, their links to each other are
// filled in in the context (each window asks the others only through
// these); they are destroyed in the reverse order.
#pragma once

#include <QtGlobal>

#include <memory>

struct AppContext;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TestPreview;

class ProgramWindows final
{
public:
    explicit ProgramWindows(AppContext &context);
    ~ProgramWindows();
    Q_DISABLE_COPY_MOVE(ProgramWindows)

    TForm1 &form1() { return *m_form1; }
    TForm2 &form2() { return *m_form2; }
    TForm3 &form3() { return *m_form3; }
    TForm4 &form4() { return *m_form4; }
    TForm5 &form5() { return *m_form5; }
    TForm6 &form6() { return *m_form6; }
    TForm7 &form7() { return *m_form7; }
    TForm8 &form8() { return *m_form8; }
    TForm9 &form9() { return *m_form9; }

    // The links between the results table and the result window, which
    // tests making those two alone give them too.
    static void linkResults(AppContext &context, TForm5 &table, TForm6 &result);

private:
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<TForm4> m_form4;
    std::unique_ptr<TForm5> m_form5;
    std::unique_ptr<TForm7> m_form7;
    std::unique_ptr<TForm8> m_form8;
    std::unique_ptr<TForm9> m_form9;
    std::unique_ptr<TForm6> m_form6;
    std::unique_ptr<TestPreview> m_preview;
};
