#include "results/ui/Table.h"

#include "session/ui/Bitmaps.h"
#include "library/Cp1251.h"
#include "library/Paths.h"
#include "results/Grading.h"
#include "results/Journal.h"
#include "results/ResultsFile.h"
#include "library/TopicConfig.h"
#include "session/ui/AppContext.h"
#include "session/Captions.h"
#include "session/Cues.h"
#include "session/ui/PanelStyle.h"
#include "session/ui/Prompter.h"
#include "session/Services.h"
#include "session/SessionState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGraphicsDropShadowEffect>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>

#include <utility>

namespace {

constexpr int ColumnWidths[] = {30, 140, 50, 225, 50, 60, 60};
const QColor Silver(192, 192, 192);
const QColor Navy(0, 0, 128);
const QColor LitNavy(51, 102, 255);

// Draws the cells as the table has always looked: grey header cells with
// bold captions in the first row and column, record cells in the grid
// colour, all text black and centred (the grid is disabled, so the style
// would otherwise draw it greyed).
class CellDelegate final : public QStyledItemDelegate
{
public:
    CellDelegate(const TForm5 &form, QObject *parent) : QStyledItemDelegate(parent), m_form(form) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool fixed = index.row() == 0 || index.column() == 0;
        painter->save();
        painter->fillRect(option.rect, fixed ? Silver : m_form.gridColor());
        // The window's 8-point MS Sans Serif is 11 pixels high; sized in
        // pixels the headers fit their columns whatever the screen's dpi.
        QFont font = option.font;
        font.setPixelSize(11);
        if (fixed) {
            font.setFamily(QStringLiteral("MS Sans Serif"));
            font.setBold(true);
        }
        // Fonts differ between machines ("Результат" in Debian's stand-in
        // for MS Sans Serif is wider than its 60-pixel column): a text that
        // does not fit its cell is drawn smaller rather than cut.
        const QString text = index.data(Qt::DisplayRole).toString();
        const int room = option.rect.width() - 4;
        while (font.pixelSize() > 7 && QFontMetrics(font).horizontalAdvance(text) > room)
            font.setPixelSize(font.pixelSize() - 1);
        painter->setFont(font);
        painter->setPen(Qt::black);
        painter->drawText(option.rect, Qt::AlignCenter, text);
        painter->restore();
    }

private:
    const TForm5 &m_form;
};

} // namespace

TForm5::TForm5(AppContext &context, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint),
      m_context(context)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Таблица результатов..."));
    setFixedSize(648, 382);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Silver);
    setPalette(pal);
    setAutoFillBackground(true);

    m_table = new QTableWidget(ResultsFile::RecordCount + 1, ResultsFile::FieldCount + 1, this);
    m_table->setObjectName(QStringLiteral("Table"));
    m_table->setGeometry(8, 8, 633, 321);
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setMinimumSectionSize(1);
    m_table->verticalHeader()->setDefaultSectionSize(21);
    for (int column = 0; column <= ResultsFile::FieldCount; ++column)
        m_table->setColumnWidth(column, ColumnWidths[column]);
    for (int row = 0; row <= ResultsFile::RecordCount; ++row)
        m_table->setRowHeight(row, 21);
    m_table->setShowGrid(false);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setItemDelegate(new CellDelegate(*this, m_table));
    // The squared paper shows around the cells.
    const QPixmap paper = Bitmaps::pixmap(QStringLiteral("TableFon"));
    QPalette paperPalette = m_table->palette();
    const QBrush base = paper.isNull() ? QBrush(Qt::white) : QBrush(paper);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        paperPalette.setBrush(group, QPalette::Base, base);
    m_table->setPalette(paperPalette);
    m_table->setEnabled(false);

    m_label1 = new QLabel(QStringLiteral("Последняя запись"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->move(8, 336);
    m_label1->setFont(pixelFont(QStringLiteral("Times New Roman"), 19, true, true));
    QPalette maroon = m_label1->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    m_label1->setPalette(maroon);
    m_label1->adjustSize();

    m_closeLabel = new QLabel(QStringLiteral("Закрыть"), this);
    m_closeLabel->setObjectName(QStringLiteral("glLabel1"));
    m_closeLabel->setGeometry(512, 336, 130, 41);
    m_closeLabel->setFont(pixelFont(QStringLiteral("Arial"), 33, false, false));
    m_closeLabel->setAlignment(Qt::AlignCenter);
    m_closeLabel->setCursor(Qt::PointingHandCursor);
    auto *shadow = new QGraphicsDropShadowEffect(m_closeLabel);
    shadow->setOffset(2, 2);
    shadow->setBlurRadius(0);
    shadow->setColor(QColor(128, 128, 128));
    m_closeLabel->setGraphicsEffect(shadow);
    lightCloseLabel(false);
    m_closeLabel->installEventFilter(this);

    FormCreate();
}

void TForm5::FormCreate()
{
    static const char16_t *const headers[] = {u"№", u"Фамилия", u"Время", u"Тема", u"Кол/в", u"Таймер", u"Результат"};
    for (int column = 0; column <= ResultsFile::FieldCount; ++column)
        m_table->setItem(0, column, new QTableWidgetItem(QString::fromUtf16(headers[column])));
    for (int row = 1; row <= ResultsFile::RecordCount; ++row) {
        m_table->setItem(row, 0, new QTableWidgetItem(QStringLiteral("%1").arg(row, 3)));
        for (int column = 1; column <= ResultsFile::FieldCount; ++column)
            m_table->setItem(row, column, new QTableWidgetItem);
    }
    m_table->setCurrentCell(ResultsFile::RecordCount, 0);
}

void TForm5::setResultShown(bool shown)
{
    setGridColor(shown ? QColor(233, 233, 233) : QColor(Qt::white));
}

void TForm5::setGridColor(const QColor &color)
{
    m_gridColor = color;
    m_table->viewport()->update();
}

bool TForm5::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        if (isVisible())
            m_active = true;
        break;
    case QEvent::WindowDeactivate:
        // Only when another window of the program takes over (the result
        // window, a message box); switching to another program is no
        // deactivation of ours.
        if (m_active && isVisible() && QApplication::activeWindow() && QApplication::activeWindow() != this)
            FormDeactivate();
        break;
    default:
        break;
    }
    return QDialog::event(event);
}

void TForm5::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Loading happens once per showing; activation comes back each time a
    // window over the table closes, and must not append a second time.
    m_closing = false;
    m_reported = false;
    FormActivate();
}

void TForm5::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous() && m_active)
        FormDeactivate();
}

void TForm5::FormActivate()
{
    m_active = true;
    m_loading = true;
    const QString path = Paths::resultsFile(m_context.state.ResultsLibraryFolder);
    Expected<LineList> lines = ResultsFile::load(path);
    m_canSave = lines.hasValue();
    if (lines) {
        m_context.state.ResultsList = std::move(*lines);
    } else {
        m_context.state.ResultsList = LineList(ResultsFile::LineCount);
        QString text = QStringLiteral("Таблица результатов не прочитана.\n%1").arg(lines.error());
        if (m_context.state.TestEnded)
            text += QStringLiteral("\nРезультат теста в таблицу не записан.");
        reportLater(text);
    }
    if (m_context.state.TestEnded) {
        appendOutcome();
        // The record goes to disk now, before the result is shown.
        saveTable();
    }
    fillGrid();
    m_loading = false;
    QMetaObject::invokeMethod(this, &TForm5::afterShow, Qt::QueuedConnection);
}

void TForm5::appendOutcome()
{
    const SessionState &state = m_context.state;
    ResultsFile::Outcome outcome;
    outcome.surname = state.StudentName;
    outcome.time = m_context.clock.currentTime();
    outcome.topic = state.ReplayCaption;
    outcome.asked = state.QuestionsToAsk;
    outcome.correct = state.CorrectCount;
    outcome.timeCode = state.TestConfig.value(TopicConfig::TimeCode);
    outcome.resultKind = state.TestConfig.value(TopicConfig::ResultKind);
    ResultsFile::append(m_context.state.ResultsList, ResultsFile::makeRecord(outcome));

    if (Journal *journal = m_context.journal) {
        const std::optional<Grading::WindowText> text =
            Grading::windowText(outcome.resultKind, outcome.correct, outcome.asked);
        (void)journal->finishRun({QDateTime(QDate::currentDate(), outcome.time), outcome.correct,
                                  text ? text->result : QString()});
        // A journal that could not be opened or written is told once, here,
        // never in the middle of a test.
        if (const QString error = journal->takeErrorToReport(); !error.isEmpty())
            reportLater(error);
    }
}

void TForm5::fillGrid()
{
    const LineList &lines = m_context.state.ResultsList;
    for (int row = 1; row <= ResultsFile::RecordCount; ++row)
        for (int column = 1; column <= ResultsFile::FieldCount; ++column)
            m_table->item(row, column)->setText(Cp1251::decode(lines.value(ResultsFile::lineIndex(row, column))));
}

void TForm5::afterShow()
{
    // A failure to read or write the table is told before the result, so
    // that the two boxes never stand one over the other.
    flushReport();
    if (m_context.state.TestEnded && isVisible())
        m_context.windows.showResult();
}

void TForm5::FormDeactivate()
{
    m_active = false;
    // The cells cannot be edited, so the lines loaded (and appended to) are
    // exactly what the grid shows; writing them keeps every byte as read.
    saveTable();
    m_context.state.LookZone = 3;
}

void TForm5::saveTable()
{
    // A file that could not be read is not overwritten: its records would
    // be lost. The failure was reported when loading.
    if (!m_canSave)
        return;
    const Status saved = ResultsFile::save(Paths::resultsFile(m_context.state.ResultsLibraryFolder), m_context.state.ResultsList);
    if (!saved) {
        QString text = QStringLiteral("Таблица результатов не сохранена.\n%1").arg(saved.error());
        if (m_context.state.TestEnded)
            text += QStringLiteral("\nРезультат теста в таблицу не записан.");
        reportLater(text);
    }
}

void TForm5::reportLater(const QString &text)
{
    // One report per showing is enough: the same failure would come back
    // at every change of activation.
    if (m_reported)
        return;
    m_reported = true;
    m_pendingReport = text;
    // Told from the event loop rather than from inside a show, hide or
    // activation change; while the table is being loaded, the step after
    // the loading tells it, before the result window opens.
    if (!m_loading)
        QMetaObject::invokeMethod(this, &TForm5::flushReport, Qt::QueuedConnection);
}

void TForm5::flushReport()
{
    if (m_pendingReport.isEmpty())
        return;
    const QString text = std::exchange(m_pendingReport, QString());
    m_context.prompter.message(isVisible() ? this : parentWidget(), Caption::Attention, text,
                               Prompter::Icon::Exclamation);
}

void TForm5::glLabel1Click()
{
    // The window goes with the pointer still on the label, so no Leave
    // comes to put its light out before the next showing.
    lightCloseLabel(false);
    m_context.cues.PlaySoundCue(Cue::BookEnd);
    m_closing = true;
    done(QDialog::Accepted);
}

void TForm5::reject()
{
    // Escape and the window manager's close go here; only "Закрыть" closes.
    if (m_closing)
        QDialog::reject();
}

void TForm5::closeEvent(QCloseEvent *event)
{
    if (m_closing)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void TForm5::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm5::lightCloseLabel(bool lit)
{
    QPalette pal = m_closeLabel->palette();
    pal.setColor(QPalette::WindowText, lit ? LitNavy : Navy);
    m_closeLabel->setPalette(pal);
}

bool TForm5::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_closeLabel) {
        switch (event->type()) {
        case QEvent::Enter:
            lightCloseLabel(true);
            break;
        case QEvent::Leave:
            lightCloseLabel(false);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                glLabel1Click();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
