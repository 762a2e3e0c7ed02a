#include "authoring/ResCompil.h"

#include "authoring/TopicFiles.h"
#include "browser/Book.h"
#include "session/AppContext.h"
#include "session/Cues.h"
#include "session/SessionState.h"
#include "session/TestHost.h"

#include <QFrame>
#include <QPushButton>
#include <QShowEvent>
#include <QTextDocument>
#include <QTextEdit>

TForm3::TForm3(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Отчет..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(318, 197);

    m_raport = new QTextEdit(this);
    m_raport->setObjectName(QStringLiteral("Raport"));
    m_raport->setGeometry(8, 8, 303, 129);
    m_raport->setReadOnly(true);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(19);
    m_raport->setFont(arial);
    m_raport->setStyleSheet(QStringLiteral("QTextEdit { background: white; }"));

    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setGeometry(8, 144, 303, 9);
    m_panel1->setFrameShape(QFrame::Panel);
    m_panel1->setFrameShadow(QFrame::Raised);

    QFont times(QStringLiteral("Times New Roman"));
    times.setPixelSize(19);
    m_button2 = new QPushButton(QStringLiteral("Создать"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(8, 160, 145, 33);
    m_button2->setFont(times);
    m_button1 = new QPushButton(QStringLiteral("Отмена"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(168, 160, 143, 33);
    m_button1->setFont(times);
    connect(m_button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    connect(m_button1, &QPushButton::clicked, this, &TForm3::Button1Click);
}

void TForm3::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

void TForm3::FormActivate()
{
    if (m_context.form2)
        m_context.form2->showProgress(false);
    m_createConfirmed = false;
}

void TForm3::Button2Click()
{
    m_createConfirmed = true;
    accept();
}

void TForm3::Button1Click()
{
    m_context.cues.PlaySoundCue(QStringLiteral("Cancel"));
    reject();
}

Status TForm3::CreateBase(const QString &sourcePath)
{
    m_createConfirmed = false;
    m_sourcePath = sourcePath;
    return Error{QStringLiteral("Создание базы пока недоступно.")};
}

Status TForm3::WriteTopicFiles(const QString &topicFolder)
{
    SessionState &state = m_context.state;
    const Status written = TopicFiles::writeTopicFiles(topicFolder, m_sourcePath, m_pictureNames, state.TagIndex,
                                                       m_testCount);
    if (!written)
        return written;
    m_context.cues.PlaySoundCue(QStringLiteral("NewPredmet"));
    m_context.host->fullTestDocument().clear();
    state.TagIndex.clear();
    return {};
}
