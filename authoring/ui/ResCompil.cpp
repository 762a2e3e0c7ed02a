#include "authoring/ui/ResCompil.h"

#include "authoring/CompileCheck.h"
#include "authoring/SourceDocument.h"
#include "authoring/TopicFiles.h"
#include "session/ui/AppContext.h"
#include "session/Cues.h"
#include "session/ui/PanelStyle.h"
#include "session/SessionState.h"
#include "richtext/LineModel.h"
#include "richtext/TestDocument.h"
#include "session/TestHost.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <optional>

namespace {

// Keeps the windows painting while a document is read and checked, and lets
// the author stop the check with Esc or by closing a window. Every other key and
// click is dropped meanwhile, so that no other command starts in the middle
// of this one.
class CheckPump final : public QObject
{
public:
    explicit CheckPump(BaseProgress &progress) : m_progress(progress)
    {
        QCoreApplication::instance()->installEventFilter(this);
        m_progress.setProgressStoppable(true);
    }
    ~CheckPump() override
    {
        QCoreApplication::instance()->removeEventFilter(this);
        m_progress.setProgressStoppable(false);
    }
    Q_DISABLE_COPY_MOVE(CheckPump)

    // Lets the windows paint if they have waited long enough; false once
    // the author has asked to stop.
    bool keepGoing()
    {
        if (!m_sincePump.isValid() || m_sincePump.elapsed() >= 40) {
            QCoreApplication::processEvents();
            m_sincePump.start();
        }
        return !m_stop;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                m_stop = true;
            return true;
        case QEvent::Close:
            if (!event->spontaneous())
                return false;
            m_stop = true;
            event->ignore();
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }

private:
    BaseProgress &m_progress;
    QElapsedTimer m_sincePump;
    bool m_stop = false;
};

} // namespace

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
    m_raport->setFont(pixelFont(QStringLiteral("Arial"), 19));
    m_raport->setStyleSheet(QStringLiteral("QTextEdit { background: white; }"));

    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setGeometry(8, 144, 303, 9);
    m_panel1->setFrameShape(QFrame::Panel);
    m_panel1->setFrameShadow(QFrame::Raised);

    const QFont times = pixelFont(QStringLiteral("Times New Roman"), 19);
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
    if (m_progress)
        m_progress->showProgress(false);
    m_createConfirmed = false;
}

void TForm3::Button2Click()
{
    m_createConfirmed = true;
    accept();
}

void TForm3::Button1Click()
{
    m_context.cues.PlaySoundCue(Cue::Cancel);
    reject();
}

Status TForm3::CreateBase(const QString &sourcePath, BaseProgress &bar)
{
    SessionState &state = m_context.state;
    m_progress = &bar;
    const auto done = qScopeGuard([this] { m_progress = nullptr; });
    // Until the report is shown the windows go on painting, and Esc stops
    // the command.
    std::optional<CheckPump> pump(std::in_place, bar);
    const auto progress = [&bar, &pump](int value) {
        bar.setProgress(value);
        return !pump || pump->keepGoing();
    };
    m_createConfirmed = false;
    m_sourcePath = sourcePath;
    m_pictureNames.clear();
    m_testCount = 0;
    const auto cancelled = [this, &state] {
        m_context.host->fullTestDocument().clear();
        state.TagIndex.clear();
        m_context.cues.PlaySoundCue(Cue::Cancel);
        return Status{};
    };

    progress(3);
    QTextDocument &document = m_context.host->fullTestDocument();
    document.clear();
    state.TagIndex.clear();
    m_sourceLines.clear();
    const Expected<QByteArray> bytes = TestDocument::readFile(sourcePath);
    if (!bytes)
        return Error{bytes.error()};
    // One reading: the lines checked here are the lines Baza.dat will hold.
    // Reading is most of the work on a large document: it takes the bar
    // from 3 to 10.
    const Expected<LineList> source = SourceDocument::prepare(*bytes, sourcePath);
    if (source) {
        const Expected<RtfReader::Result> read =
            TestDocument::load(SourceDocument::checkedBytes(*source), sourcePath, document,
                               [&progress](int percent) { return progress(3 + percent * 7 / 100); });
        if (!read)
            return Error{read.error()};
        if (read->cancelled)
            return cancelled();
    }
    if (!progress(10))
        return cancelled();

    m_button2->setVisible(true);
    const LineModel &lines = m_context.host->fullTestLines();
    CheckResult check;
    if (source) {
        check = compileCheck(lines, sourcePath, [&progress](int value) { progress(value); });
    } else {
        // A file a topic cannot hold is reported like a fault of the document.
        check.verdict = Verdict::NotStorable;
        check.message = source.error();
    }
    if (!progress(95))
        return cancelled();
    pump.reset();
    m_raport->setPlainText(QString(check.message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QTextCursor all(m_raport->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);
    // Every fault with its place, under the message, to mend in one go;
    // then the warnings, which never stop the topic from being made.
    const auto list = [this](const QString &heading, const QStringList &lines) {
        if (lines.isEmpty())
            return;
        QTextCursor end(m_raport->document());
        end.movePosition(QTextCursor::End);
        QTextBlockFormat left;
        left.setAlignment(Qt::AlignLeft);
        end.insertBlock(left);
        end.insertBlock(left);
        end.insertText(heading.arg(lines.size()));
        for (const QString &line : lines) {
            end.insertBlock(left);
            end.insertText(line);
        }
    };
    QStringList faults;
    for (const Finding &finding : std::as_const(check.findings))
        faults << finding.describe();
    list(QStringLiteral("Найдено ошибок: %1"), faults);
    QStringList warnings;
    for (const Warning &warning : std::as_const(check.warnings))
        warnings << warning.describe();
    list(QStringLiteral("Предупреждения: %1"), warnings);
    m_context.cues.PlaySoundCue(cueFor(check.verdict));
    m_button2->setVisible(check.verdict == Verdict::Ok);
    state.TagIndex = check.tagIndex;
    m_testCount = check.testCount;
    if (check.verdict == Verdict::Ok) {
        m_pictureNames = TopicFiles::pictureNames(lines);
        m_sourceLines = *source;
    }

    progress(100);
    bar.leaveForReport();
    exec();
    return {};
}

Status TForm3::WriteTopicFiles(const QString &topicFolder)
{
    SessionState &state = m_context.state;
    const Status written = TopicFiles::writeTopicFiles(topicFolder, m_sourceLines, QFileInfo(m_sourcePath).absolutePath(),
                                                       m_pictureNames, state.TagIndex, m_testCount);
    if (!written)
        return written;
    m_context.cues.PlaySoundCue(Cue::NewPredmet);
    m_context.host->fullTestDocument().clear();
    state.TagIndex.clear();
    return {};
}
