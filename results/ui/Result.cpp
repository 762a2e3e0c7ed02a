#include "results/ui/Result.h"

#include "session/ui/Bitmaps.h"
#include "results/Grading.h"
#include "library/TopicConfig.h"
#include "session/ui/AppContext.h"
#include "session/Cues.h"
#include "session/ui/PanelStyle.h"
#include "session/SessionState.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>

namespace {

QFont labelFont(const QString &family, int pixels, bool italic, bool underline)
{
    QFont font = pixelFont(family, pixels, true, italic);
    font.setUnderline(underline);
    return font;
}

} // namespace

TForm6::TForm6(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context), m_background(Bitmaps::pixmap(QStringLiteral("Fonp")))
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Результат..."));
    setFixedSize(380, 228);
    setCursor(Qt::PointingHandCursor);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    m_label1 = new QLabel(QStringLiteral("Ваш результат:"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(10, 7, 361, 54);
    m_label1->setFont(labelFont(QStringLiteral("Times New Roman"), 48, true, true));

    m_label3 = new QLabel(QStringLiteral("200 из 200"), this);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setGeometry(0, 73, 377, 81);
    m_label3->setAlignment(Qt::AlignCenter);
    m_label3->setFont(labelFont(QStringLiteral("Times New Roman"), 73, true, false));
    QPalette maroon = m_label3->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    m_label3->setPalette(maroon);

    m_label2 = new QLabel(QStringLiteral("(по пятибальной шкале равен)"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->move(8, 192);
    m_label2->setFont(labelFont(QStringLiteral("MS Sans Serif"), 16, false, false));
    m_label2->adjustSize();

    for (QLabel *label : {m_label1, m_label2, m_label3})
        label->installEventFilter(this);
}

void TForm6::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous() && !m_active)
        FormActivate();
}

void TForm6::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous() && m_active)
        FormDeactivate();
}

void TForm6::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    if (!m_background.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_background);
    }
}

void TForm6::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        FormClick();
}

bool TForm6::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_label1)
            Label1Click();
        else if (watched == m_label2)
            Label2Click();
        else if (watched == m_label3)
            Label3Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm6::FormActivate()
{
    m_active = true;
    Q_EMIT activeChanged(true);

    const SessionState &state = m_context.state;
    const QByteArray kind = state.TestConfig.value(TopicConfig::ResultKind);
    // An unknown result form leaves the texts of the previous showing.
    if (const std::optional<Grading::WindowText> text = Grading::windowText(kind, state.CorrectCount, state.QuestionsToAsk)) {
        m_label3->setText(text->result);
        m_label2->setText(text->meaning);
        m_label2->adjustSize();
    }
    if (const std::optional<QString> cue = Grading::finalCue(kind, state.CorrectCount, state.QuestionsToAsk))
        m_context.cues.PlayVoiceCue(*cue);
}

void TForm6::FormDeactivate()
{
    m_active = false;
    Q_EMIT activeChanged(false);
    m_context.cues.PlaySoundCue(Cue::BookEnd);
}

void TForm6::FormClick()
{
    close();
}

void TForm6::Label1Click()
{
    close();
}

void TForm6::Label2Click()
{
    close();
}

void TForm6::Label3Click()
{
    close();
}
