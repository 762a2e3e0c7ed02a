#include "session/Main.h"

#include "richtext/LineModel.h"
#include "session/AppContext.h"
#include "session/SessionState.h"

TForm1::TForm1(AppContext &context, QWidget *parent)
    : QMainWindow(parent), m_context(context)
{
    setWindowTitle(QStringLiteral("Тестирование..."));
    setFixedSize(782, 514);
}

TForm1::~TForm1() = default;

QTextDocument &TForm1::fullTestDocument()
{
    m_fullTestLines.reset();
    return m_fullTest;
}

const LineModel &TForm1::fullTestLines()
{
    if (!m_fullTestLines)
        m_fullTestLines = std::make_unique<LineModel>(m_fullTest);
    return *m_fullTestLines;
}

void TForm1::SetSessionMenus(bool) {}
void TForm1::StartTimeBudget() {}
void TForm1::NextQuestion() {}

void TForm1::setReplayCaption(const QString &caption)
{
    m_context.state.ReplayCaption = caption;
}

QString TForm1::replayCaption() const
{
    return m_context.state.ReplayCaption;
}

void TForm1::setPictureClockVisible(bool) {}
