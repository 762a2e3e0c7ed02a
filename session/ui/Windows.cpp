#include "session/ui/Windows.h"

ProgramWindows::ProgramWindows(AppContext &context)
{
    m_form1 = std::make_unique<TForm1>(context);
    context.form1 = m_form1.get();
    context.host = m_form1.get();
    QWidget *main = m_form1.get();
    m_form2 = std::make_unique<TForm2>(context, main);
    context.form2 = m_form2.get();
    m_form3 = std::make_unique<TForm3>(context, main);
    context.form3 = m_form3.get();
    m_form4 = std::make_unique<TForm4>(context, main);
    context.form4 = m_form4.get();
    m_form5 = std::make_unique<TForm5>(context, main);
    context.form5 = m_form5.get();
    m_form7 = std::make_unique<TForm7>(context, main);
    context.form7 = m_form7.get();
    m_form8 = std::make_unique<TForm8>(context, main);
    context.form8 = m_form8.get();
    m_form9 = std::make_unique<TForm9>(context, main);
    context.form9 = m_form9.get();
    m_form6 = std::make_unique<TForm6>(context, main);
    context.form6 = m_form6.get();
}

// The dialogs are children of the main window: they go first, so the main
// window does not delete them a second time.
ProgramWindows::~ProgramWindows()
{
    m_form6.reset();
    m_form9.reset();
    m_form8.reset();
    m_form7.reset();
    m_form5.reset();
    m_form4.reset();
    m_form3.reset();
    m_form2.reset();
    m_form1.reset();
}
