#include "results/ui/TestOption.h"

#include "library/Cp1251.h"
#include "library/LineList.h"
#include "library/Paths.h"
#include "results/ResultForm.h"
#include "results/TimeLimit.h"
#include "library/TopicConfig.h"
#include "session/ui/AppContext.h"
#include "session/Captions.h"
#include "session/Cues.h"
#include "session/ui/Prompter.h"
#include "session/SessionState.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QTimer>

#include <algorithm>

namespace {

// A track bar cannot hold more questions than a test may ask.
constexpr int MaxQuestions = 200;

template <typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The question count of a topic whose options file is unusable: its tag
// index lists one line per question and then the line count.
int questionCountFromTagIndex(const QString &topicFolder)
{
    const Expected<LineList> index = LineLists::read(Paths::tagIndexFile(topicFolder));
    if (!index)
        return 1;
    return std::max<int>(0, int(index->size()) - 1);
}

} // namespace

TForm4::TForm4(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Индивидуальная настройка тестов..."));
    setFixedSize(385, 315);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
    setAutoFillBackground(true);

    m_groupBox1 = named(new QGroupBox(QStringLiteral("Время на ответ..."), this), "GroupBox1");
    m_groupBox1->setGeometry(8, 8, 180, 168);
    m_label3 = named(new QLabel(m_groupBox1), "Label3");
    m_label3->setGeometry(12, 140, 160, 20);
    for (int i = 0; i < TimeLimit::Count; ++i) {
        m_timeButtons[i] = new QRadioButton(TimeLimit::fromCode(i + 1)->caption(), m_groupBox1);
        m_timeButtons[i]->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        m_timeButtons[i]->setGeometry(12, 22 + 22 * i, 160, 20);
    }
    m_timeButtons[0]->setChecked(true);
    for (QRadioButton *button : m_timeButtons)
        connect(button, &QRadioButton::toggled, this, &TForm4::showTotal);

    m_groupBox3 = named(new QGroupBox(QStringLiteral("Вид результата"), this), "GroupBox3");
    m_groupBox3->setGeometry(196, 8, 181, 126);
    for (int i = 0; i < ResultForm::Forms; ++i) {
        m_resultButtons[i] = new QRadioButton(ResultForm::fromCode(i + 1)->caption(), m_groupBox3);
        m_resultButtons[i]->setObjectName(QStringLiteral("RadioButton1%1").arg(i + 1));
        m_resultButtons[i]->setGeometry(12, 22 + 24 * i, 165, 20);
    }
    m_resultButtons[0]->setChecked(true);

    m_groupBox2 = named(new QGroupBox(QStringLiteral("Количество тестов"), this), "GroupBox2");
    m_groupBox2->setGeometry(8, 182, 369, 92);
    m_button3 = named(new QPushButton(QStringLiteral("<"), m_groupBox2), "Button3");
    m_button3->setGeometry(12, 20, 25, 23);
    m_edit1 = named(new QLineEdit(m_groupBox2), "Edit1");
    m_edit1->setGeometry(40, 20, 50, 23);
    m_edit1->setReadOnly(true);
    m_button4 = named(new QPushButton(QStringLiteral(">"), m_groupBox2), "Button4");
    m_button4->setGeometry(93, 20, 25, 23);
    m_label4 = named(new QLabel(m_groupBox2), "Label4");
    m_label4->setGeometry(126, 20, 120, 23);
    m_trackBar1 = named(new QSlider(Qt::Horizontal, m_groupBox2), "TrackBar1");
    m_trackBar1->setGeometry(8, 46, 353, 26);
    m_trackBar1->setRange(1, 1);
    m_trackBar1->setSingleStep(1);
    m_trackBar1->setPageStep(1);
    m_trackBar1->setTickPosition(QSlider::TicksBelow);
    m_trackBar1->setTickInterval(1);
    m_label1 = named(new QLabel(QStringLiteral("1"), m_groupBox2), "Label1");
    m_label1->setGeometry(12, 72, 40, 16);
    m_label2 = named(new QLabel(QStringLiteral("1"), m_groupBox2), "Label2");
    m_label2->setGeometry(300, 72, 57, 16);
    m_label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(m_trackBar1, &QSlider::valueChanged, this, &TForm4::TrackBar1Change);
    connect(m_button3, &QPushButton::clicked, this, &TForm4::Button3Click);
    connect(m_button4, &QPushButton::clicked, this, &TForm4::Button4Click);

    m_button1 = named(new QPushButton(QStringLiteral("Сохранить"), this), "Button1");
    m_button1->setGeometry(208, 282, 80, 25);
    m_button2 = named(new QPushButton(QStringLiteral("Отмена"), this), "Button2");
    m_button2->setGeometry(296, 282, 80, 25);
    connect(m_button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &TForm4::Button2Click);

    for (QRadioButton *button : m_timeButtons)
        button->installEventFilter(this);
    for (QRadioButton *button : m_resultButtons)
        button->installEventFilter(this);
    m_button3->installEventFilter(this);
    m_button4->installEventFilter(this);

    TrackBar1Change();
}

void TForm4::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Once per showing: activation also comes back whenever a message box
    // over the dialog closes, and must not reload what the user changed.
    if (!event->spontaneous())
        FormActivate();
}

void TForm4::FormActivate()
{
    m_context.cues.PlaySoundCue(Cue::OptTestMenu);

    SessionState &state = m_context.state;
    const QString folder = Paths::folderOf(state.CurrentBasePath);
    m_path = Paths::configFile(folder);
    Expected<LineList> loaded = TopicConfig::load(m_path);
    if (loaded) {
        state.TestConfig = std::move(*loaded);
    } else {
        // Open as a new topic would; saving then repairs the file.
        state.TestConfig = TopicConfig::defaults(questionCountFromTagIndex(folder));
        const QString text = loaded.error()
                             + QStringLiteral("\nПоказаны настройки новой темы; «Сохранить» запишет их в файл.");
        QTimer::singleShot(0, this, [this, text] {
            m_context.prompter.message(this, Caption::Attention, text, Prompter::Icon::Exclamation);
        });
    }
    const LineList &config = state.TestConfig;

    const int total = TopicConfig::number(config, TopicConfig::QuestionTotal).value();
    // A line that names no option leaves the previous choice checked.
    if (const std::optional<TimeLimit> limit = TimeLimit::parse(config.at(TopicConfig::TimeCode)))
        m_timeButtons[limit->code() - 1]->setChecked(true);
    m_edit1->setText(Cp1251::decode(config.at(TopicConfig::QuestionCount)));
    if (const std::optional<ResultForm> form = ResultForm::parse(config.at(TopicConfig::ResultKind)))
        m_resultButtons[form->code() - 1]->setChecked(true);

    const int maximum = std::clamp(total, 1, MaxQuestions);
    m_trackBar1->setMinimum(1);
    m_trackBar1->setMaximum(maximum);
    m_label2->setText(QString::number(maximum));
    m_trackBar1->setValue(TopicConfig::number(config, TopicConfig::QuestionCount).value());
    // Also when the position did not move: Edit1 must show the clamped count.
    TrackBar1Change();
    m_label4->setText(QStringLiteral("из ") + Cp1251::decode(config.at(TopicConfig::QuestionTotal)));
}

void TForm4::TrackBar1Change()
{
    m_edit1->setText(QString::number(m_trackBar1->value()));
    showTotal();
}

void TForm4::showTotal()
{
    const int perAnswer = TimeLimit::fromCode(checkedTimeCode())->secondsPerAnswer();
    if (perAnswer == 0) {
        m_label3->setText(QStringLiteral("Всего: Нет"));
        return;
    }
    m_label3->setText(QStringLiteral("Всего: ") + clockText(m_trackBar1->value() * perAnswer));
}

int TForm4::checkedTimeCode() const
{
    for (int i = 0; i < 5; ++i)
        if (m_timeButtons[i]->isChecked())
            return i + 1;
    return 1;
}

int TForm4::checkedResultKind() const
{
    for (int i = 0; i < 4; ++i)
        if (m_resultButtons[i]->isChecked())
            return i + 1;
    return 1;
}

void TForm4::Button1Click()
{
    m_context.cues.PlaySoundCue(Cue::OptTestSave);
    LineList config = m_context.state.TestConfig;
    while (config.size() < 4)
        config.append(QByteArray());
    config[TopicConfig::TimeCode] = QByteArray::number(checkedTimeCode());
    config[TopicConfig::QuestionCount] = QByteArray::number(m_trackBar1->value());
    config[TopicConfig::ResultKind] = QByteArray::number(checkedResultKind());
    const Status saved = LineLists::write(m_path, config);
    if (!saved) {
        // Stay open: the teacher can try again or cancel, and knows the
        // options were not stored.
        m_context.prompter.message(this, Caption::Attention,
                                   QStringLiteral("Настройки темы не сохранены.\n%1").arg(saved.error()),
                                   Prompter::Icon::Exclamation);
        return;
    }
    m_context.state.TestConfig = std::move(config);
    accept();
}

void TForm4::Button2Click()
{
    m_context.cues.PlaySoundCue(Cue::OptTestCancel);
    reject();
}

void TForm4::Button3Click()
{
    if (m_trackBar1->value() >= 2)
        m_trackBar1->setValue(m_trackBar1->value() - 1);
}

void TForm4::Button4Click()
{
    m_trackBar1->setValue(m_trackBar1->value() + 1);
}

bool TForm4::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        m_context.cues.PlaySoundCue(Cue::SelectOpt);
    return QDialog::eventFilter(watched, event);
}
