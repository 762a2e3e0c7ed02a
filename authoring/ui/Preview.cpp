#include "authoring/ui/Preview.h"

#include "browser/OpenTopic.h"
#include "library/Paths.h"
#include "session/Captions.h"
#include "session/Comp.h"
#include "session/Cues.h"
#include "session/ui/AppContext.h"
#include "session/ui/Prompter.h"
#include "session/ui/QuestionPage.h"
#include "session/SessionState.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

// The preview opens topics as a test does, into a document of its own.
class TestPreview::Host final : public TestHost
{
public:
    QTextDocument document;
    std::unique_ptr<LineModel> lines;

    QTextDocument &fullTestDocument() override
    {
        lines.reset();
        return document;
    }
    const LineModel &fullTestLines() override
    {
        if (!lines)
            lines = std::make_unique<LineModel>(document);
        return *lines;
    }
    void SetSessionMenus(bool) override {}
    void StartTimeBudget() override {}
    void NextQuestion() override {}
    void setReplayCaption(const QString &) override {}
    QString replayCaption() const override { return {}; }
    void setPictureClockVisible(bool) override {}
    QString openBazaFolder() const override { return {}; }
    QString openBazaFilter() const override { return {}; }
};

namespace {

// Reports the tag index check's warning; its progress needs no bar here.
class PreviewUi final : public EngineUi
{
public:
    PreviewUi(QWidget *window, Prompter &prompter) : m_window(window), m_prompter(prompter) {}
    void showProgress(bool) override {}
    void setProgress(int) override {}
    void warn(const QString &caption, const QString &text) override
    {
        m_prompter.message(m_window, caption, text, Prompter::Icon::Exclamation);
    }

private:
    QWidget *m_window;
    Prompter &m_prompter;
};

} // namespace

TestPreview::TestPreview(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context), m_host(std::make_unique<Host>())
{
    setObjectName(QStringLiteral("Preview"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    // The main window's client area: the question and the picture box lie
    // where the student sees them.
    setFixedSize(782, 514);
    {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, QColor(0xEC, 0xE9, 0xD8));
        setPalette(palette);
    }

    m_view = new QTextEdit(this);
    m_view->setObjectName(QStringLiteral("RichMemoTest"));
    m_view->setGeometry(QRect(QPoint(18, 16), QuestionPage::ViewSize));
    QuestionPage::styleView(m_view);
    m_view->setFocusPolicy(Qt::NoFocus);   // the keys turn the pages

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setScaledContents(true);

    m_number = new QLabel(this);
    m_number->setObjectName(QStringLiteral("LabelNumber"));
    m_number->setGeometry(18, 290, 400, 28);
    m_number->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));

    auto *fieldsCaption = new QLabel(QStringLiteral("Правильное поле:"), this);
    fieldsCaption->setGeometry(18, 330, 200, 24);
    for (int field = 1; field <= 4; ++field) {
        auto *label = new QLabel(QString::number(field), this);
        label->setObjectName(QStringLiteral("Field%1").arg(field));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(QFont(QStringLiteral("Arial"), 16, QFont::Bold));
        label->setGeometry(18 + (field - 1) * 60, 360, 50, 50);
        m_fields.append(label);
    }

    m_back = new QPushButton(QStringLiteral("◀ Назад"), this);
    m_back->setObjectName(QStringLiteral("ButtonBack"));
    m_back->setGeometry(18, 440, 120, 30);
    m_next = new QPushButton(QStringLiteral("Вперёд ▶"), this);
    m_next->setObjectName(QStringLiteral("ButtonNext"));
    m_next->setGeometry(148, 440, 120, 30);
    auto *close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("ButtonClose"));
    close->setGeometry(278, 440, 120, 30);
    auto *keys = new QLabel(QStringLiteral("← → или PgUp PgDn — листать, Home End — к первому и последнему, Esc — закрыть"), this);
    keys->setGeometry(18, 478, 420, 30);
    keys->setWordWrap(true);
    for (QPushButton *button : {m_back, m_next, close})
        button->setFocusPolicy(Qt::NoFocus);
    connect(m_back, &QPushButton::clicked, this, [this] { showQuestion(m_current - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showQuestion(m_current + 1); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

TestPreview::~TestPreview() = default;

void TestPreview::showTopic(const QString &basePath, const QString &caption)
{
    PreviewUi ui(parentWidget(), m_context.prompter);
    Expected<OpenedTopic> opened = openTopic(basePath, *m_host, m_context.cues, ui);
    if (!opened) {
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        m_context.prompter.message(parentWidget(), Caption::Attention,
                                   QStringLiteral("Тест не может быть открыт.\n\n") + opened.error(),
                                   Prompter::Icon::Error);
        return;
    }
    m_tagIndex = std::move(opened->tagIndex);
    m_folder = Paths::folderOf(basePath);
    m_count = Comp::questionsInBase(m_tagIndex);
    setWindowTitle(QStringLiteral("Просмотр теста: ") + caption);
    m_current = 0;
    showQuestion(1);
    exec();
}

void TestPreview::showQuestion(int question)
{
    if (question < 1 || question > m_count)
        return;
    m_current = question;
    const Comp::QuestionPlace place = Comp::locateQuestion(m_tagIndex, question, m_host->fullTestLines());
    m_back->setEnabled(question > 1);
    m_next->setEnabled(question < m_count);
    if (place.broken) {
        m_view->clear();
        m_number->setText(QStringLiteral("Вопрос %1 из %2: нарушена структура базы").arg(question).arg(m_count));
        m_picture->hide();
        for (QLabel *field : m_fields)
            field->setStyleSheet(QString());
        return;
    }
    m_number->setText(QStringLiteral("Вопрос %1 из %2").arg(question).arg(m_count));
    QuestionPage::show(m_view, m_host->document, place.bodyStart, place.bodyEnd);
    for (int field = 1; field <= m_fields.size(); ++field) {
        m_fields.at(field - 1)->setStyleSheet(field == place.correct
                                                  ? QStringLiteral("background: #2E8B57; color: white; border: 2px solid #1B5E20;")
                                                  : QStringLiteral("background: white; color: #555; border: 1px solid #999;"));
        m_fields.at(field - 1)->setProperty("right", field == place.correct);
    }
    if (place.pictureName.isEmpty()) {
        m_picture->hide();
        m_picture->clear();
    } else {
        QRect box;
        m_picture->setPixmap(QuestionPage::boxPicture(Paths::resolve(m_folder, place.pictureName), box));
        m_picture->setGeometry(box);
        m_picture->show();
    }
}

void TestPreview::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_PageDown:
    case Qt::Key_Space:
        showQuestion(m_current + 1);
        return;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
    case Qt::Key_Backspace:
        showQuestion(m_current - 1);
        return;
    case Qt::Key_Home:
        showQuestion(1);
        return;
    case Qt::Key_End:
        showQuestion(m_count);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
