#include "session/ui/Windows.h"

#include "authoring/ui/Preview.h"
#include "authoring/ui/Reindex.h"
#include "authoring/ui/ResCompil.h"
#include "browser/ui/Book.h"
#include "results/ui/Result.h"
#include "results/ui/Table.h"
#include "results/ui/TestOption.h"
#include "session/ui/About.h"
#include "session/ui/AppContext.h"
#include "session/ui/Main.h"
#include "session/ui/Pic.h"

ProgramWindows::ProgramWindows(AppContext &context)
{
    WindowLinks &links = context.windows;
    m_form1 = std::make_unique<TForm1>(context);
    context.host = m_form1.get();
    QWidget *main = m_form1.get();
    m_form2 = std::make_unique<TForm2>(context, main);
    links.showChooser = [this] { m_form2->exec(); };
    links.openLastTopic = [this] { m_form2->ClickOpenTest(); };
    links.offerResume = [this] { m_form2->offerResume(); };
    m_form3 = std::make_unique<TForm3>(context, main);
    links.baseCreation = m_form3.get();
    m_form4 = std::make_unique<TForm4>(context, main);
    links.showTopicOptions = [this] { m_form4->exec(); };
    m_form5 = std::make_unique<TForm5>(context, main);
    links.showResultsTable = [this] { m_form5->exec(); };
    m_form7 = std::make_unique<TForm7>(context, main);
    links.picture = m_form7.get();
    m_form8 = std::make_unique<TForm8>(context, main);
    links.showRestore = [this] { m_form8->exec(); };
    m_form9 = std::make_unique<TForm9>(context, main);
    links.showAbout = [this] { m_form9->exec(); };
    m_form6 = std::make_unique<TForm6>(context, main);
    linkResults(context, *m_form5, *m_form6);
    m_preview = std::make_unique<TestPreview>(context, main);
    links.preview = [this](const QString &basePath, const QString &caption) { m_preview->showTopic(basePath, caption); };
}

void ProgramWindows::linkResults(AppContext &context, TForm5 &table, TForm6 &result)
{
    context.windows.showResult = [&result] { result.exec(); };
    QObject::connect(&result, &TForm6::activeChanged, &table, &TForm5::setResultShown);
}

// The dialogs are children of the main window: they go first, so the main
// window does not delete them a second time.
ProgramWindows::~ProgramWindows()
{
    m_preview.reset();
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
