#include "results/ui/JournalWindow.h"

#include "session/Captions.h"
#include "session/SessionState.h"
#include "session/ui/AppContext.h"
#include "session/ui/Prompter.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <functional>

using Run = JournalQueries::Run;

// The runs listed, one row each. A run's details are read when its row is
// first shown, with those of the rows around it, and formatted only for the
// rows on the screen: the journal may hold a hundred thousand runs.
class RunsModel final : public QAbstractTableModel
{
public:
    using Fetch = std::function<QList<Run>(const QStringList &ids)>;

    RunsModel(QObject *parent, Fetch fetch) : QAbstractTableModel(parent), m_fetch(std::move(fetch)) {}

    void setRuns(const QList<JournalQueries::RunRef> *runs)
    {
        beginResetModel();
        m_runs = runs;
        m_details.clear();
        endResetModel();
    }
    // The whole run of a row; nothing when the journal no longer holds it.
    const Run *run(int row) const
    {
        if (!m_runs || row < 0 || row >= m_runs->size())
            return nullptr;
        const QString &id = m_runs->at(row).id;
        auto found = m_details.constFind(id);
        if (found == m_details.cend()) {
            constexpr int Page = 100;
            const int first = row / Page * Page;
            QStringList ids;
            for (int i = first; i < std::min<qsizetype>(first + Page, m_runs->size()); ++i)
                ids << m_runs->at(i).id;
            for (const Run &fetched : m_fetch(ids))
                m_details.insert(fetched.id, fetched);
            // Asked for once: a run gone from the journal stays blank.
            for (const QString &asked : std::as_const(ids))
                if (!m_details.contains(asked))
                    m_details.insert(asked, Run{});
            found = m_details.constFind(id);
        }
        return found->id.isEmpty() ? nullptr : &*found;
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !m_runs ? 0 : int(m_runs->size());
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(kHeaders.size()); }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kHeaders.size())
            return kHeaders.at(section);
        return {};
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!m_runs || !index.isValid() || index.row() >= m_runs->size())
            return {};
        if (role != Qt::DisplayRole && role != Qt::ForegroundRole)
            return {};
        const JournalQueries::RunRef &listed = m_runs->at(index.row());
        if (role == Qt::DisplayRole && index.column() <= 2) {
            switch (index.column()) {
            case 0:
                return JournalReport::dateText(listed.date);
            case 1:
                return JournalReport::timeText(listed.started);
            default:
                return listed.surname;
            }
        }
        const Run *run = this->run(index.row());
        if (!run)
            return {};
        if (role == Qt::ForegroundRole)
            return run->state == JournalQueries::State::Finished ? QVariant() : QVariant(QColor(Qt::gray));
        switch (index.column()) {
        case 3:
            return run->subject;
        case 4:
            return run->topic;
        case 5:
            return JournalReport::countText(*run);
        case 6:
            return JournalReport::resultText(*run);
        case 7:
            return JournalReport::durationText(run->seconds);
        case 8:
            return run->computer;
        default:
            return {};
        }
    }

private:
    inline static const QStringList kHeaders = {
        QStringLiteral("Дата"),  QStringLiteral("Начало"),    QStringLiteral("Фамилия"),
        QStringLiteral("Предмет"), QStringLiteral("Тема"),    QStringLiteral("Верно"),
        QStringLiteral("Результат"), QStringLiteral("Затрачено"), QStringLiteral("Компьютер"),
    };
    Fetch m_fetch;
    const QList<JournalQueries::RunRef> *m_runs = nullptr;
    mutable QHash<QString, Run> m_details;
};

namespace {

QTableWidget *makeTable(QWidget *parent, const char *name, const QStringList &headers)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignCenter)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    return item;
}

QString fieldText(int field)
{
    return field == 0 ? QStringLiteral("время вышло") : QString::number(field);
}

QString percent(double share)
{
    return QLocale(QLocale::Russian, QLocale::Russia).toString(share * 100.0, 'f', 0) + u'%';
}

// A file name made of a topic's name: what a file system cannot hold goes.
QString fileNamePart(const QString &text)
{
    QString name = text;
    for (QChar &c : name)
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 32)
            c = u'_';
    return name.trimmed();
}

// Empties a chart of its series and axes, to be filled anew.
void clear(QChart *chart)
{
    chart->removeAllSeries();
    const QList<QAbstractAxis *> axes = chart->axes();
    for (QAbstractAxis *axis : axes) {
        chart->removeAxis(axis);
        delete axis;
    }
}

QChartView *makeChartView(QWidget *parent, const char *name)
{
    auto *chart = new QChart;
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    auto *view = new QChartView(chart, parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(220);
    return view;
}

} // namespace

JournalWindow::JournalWindow(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("JournalWindow"));
    setWindowTitle(QStringLiteral("Журнал результатов"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    setModal(true);
    resize(1000, 660);
}

JournalWindow::~JournalWindow() = default;

void JournalWindow::buildControls()
{
    auto *layout = new QVBoxLayout(this);

    SourceLabel = new QLabel(this);
    SourceLabel->setObjectName(QStringLiteral("SourceLabel"));
    QFont bold = SourceLabel->font();
    bold.setBold(true);
    SourceLabel->setFont(bold);
    layout->addWidget(SourceLabel);
    ProblemLabel = new QLabel(this);
    ProblemLabel->setObjectName(QStringLiteral("ProblemLabel"));
    ProblemLabel->setStyleSheet(QStringLiteral("color: #a00000"));
    ProblemLabel->setWordWrap(true);
    ProblemLabel->hide();
    layout->addWidget(ProblemLabel);

    auto *filters = new QHBoxLayout;
    const auto label = [this, filters](const QString &text) { filters->addWidget(new QLabel(text, this)); };
    const auto dateEdit = [this](const char *name) {
        auto *edit = new QDateEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        return edit;
    };
    label(QStringLiteral("С"));
    DateFrom = dateEdit("DateFrom");
    filters->addWidget(DateFrom);
    label(QStringLiteral("по"));
    DateTo = dateEdit("DateTo");
    filters->addWidget(DateTo);
    label(QStringLiteral("Предмет"));
    SubjectBox = new QComboBox(this);
    SubjectBox->setObjectName(QStringLiteral("SubjectBox"));
    SubjectBox->setMinimumContentsLength(14);
    filters->addWidget(SubjectBox, 1);
    label(QStringLiteral("Тема"));
    TopicBox = new QComboBox(this);
    TopicBox->setObjectName(QStringLiteral("TopicBox"));
    TopicBox->setMinimumContentsLength(16);
    filters->addWidget(TopicBox, 1);
    label(QStringLiteral("Фамилия"));
    SurnameEdit = new QLineEdit(this);
    SurnameEdit->setObjectName(QStringLiteral("SurnameEdit"));
    SurnameEdit->setPlaceholderText(QStringLiteral("часть фамилии"));
    SurnameEdit->setClearButtonEnabled(true);
    filters->addWidget(SurnameEdit, 1);
    layout->addLayout(filters);

    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    layout->addWidget(Pages, 1);

    // The runs, and the answers of the one selected.
    auto *runsPage = new QWidget(Pages);
    auto *runsLayout = new QVBoxLayout(runsPage);
    auto *split = new QSplitter(Qt::Vertical, runsPage);
    RunsView = new QTableView(split);
    RunsView->setObjectName(QStringLiteral("RunsView"));
    Runs = new RunsModel(RunsView, [this](const QStringList &ids) {
        Expected<QList<Run>> read = m_source.queries().details(ids);
        if (!read) {
            showProblem(read.error());
            return QList<Run>();
        }
        return std::move(*read);
    });
    RunsView->setModel(Runs);
    RunsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    RunsView->setSelectionMode(QAbstractItemView::SingleSelection);
    RunsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RunsView->setAlternatingRowColors(true);
    RunsView->verticalHeader()->hide();
    RunsView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    RunsView->verticalHeader()->setDefaultSectionSize(RunsView->fontMetrics().height() + 6);
    // Widths fixed rather than measured: measuring reads every row.
    const int widths[] = {80, 55, 150, 110, 170, 85, 90, 75, 100};
    for (int column = 0; column < int(std::size(widths)); ++column)
        RunsView->setColumnWidth(column, widths[column]);
    RunsView->horizontalHeader()->setStretchLastSection(true);
    AnswersView = makeTable(split, "AnswersView",
                            {QStringLiteral("№"), QStringLiteral("Вопрос"), QStringLiteral("Нажато"),
                             QStringLiteral("Верное поле"), QStringLiteral("Ответ"), QStringLiteral("Секунд")});
    split->addWidget(RunsView);
    split->addWidget(AnswersView);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    runsLayout->addWidget(split, 1);
    auto *runsBar = new QHBoxLayout;
    CountLabel = new QLabel(runsPage);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));
    runsBar->addWidget(CountLabel, 1);
    ExportRuns = new QPushButton(QStringLiteral("Сохранить в CSV..."), runsPage);
    ExportRuns->setObjectName(QStringLiteral("ExportRuns"));
    runsBar->addWidget(ExportRuns);
    runsLayout->addLayout(runsBar);
    Pages->addTab(runsPage, QStringLiteral("Результаты"));

    // The item analysis of one topic.
    auto *itemsPage = new QWidget(Pages);
    auto *itemsLayout = new QVBoxLayout(itemsPage);
    ItemsHint = new QLabel(itemsPage);
    ItemsHint->setObjectName(QStringLiteral("ItemsHint"));
    ItemsHint->setWordWrap(true);
    itemsLayout->addWidget(ItemsHint);
    ItemsView = makeTable(itemsPage, "ItemsView",
                          {QStringLiteral("Вопрос"), QStringLiteral("Задан"), QStringLiteral("Верно"),
                           QStringLiteral("Неверно: 1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                           QStringLiteral("Время вышло"), QStringLiteral("Верное поле"),
                           QStringLiteral("Дискриминация"), QStringLiteral("Замечание")});
    itemsLayout->addWidget(ItemsView, 1);
    auto *itemsBar = new QHBoxLayout;
    itemsBar->addStretch(1);
    ExportItems = new QPushButton(QStringLiteral("Сохранить в CSV..."), itemsPage);
    ExportItems->setObjectName(QStringLiteral("ExportItems"));
    itemsBar->addWidget(ExportItems);
    itemsLayout->addLayout(itemsBar);
    Pages->addTab(itemsPage, QStringLiteral("Анализ вопросов"));

    // The charts, made when they are first shown: Qt Charts takes a while
    // to set up, and the window is made with the others at the start.
    m_chartsPage = new QWidget(Pages);
    new QVBoxLayout(m_chartsPage);
    Pages->addTab(m_chartsPage, QStringLiteral("Диаграммы"));

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    CloseButton = new QPushButton(QStringLiteral("Закрыть"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    bottom->addWidget(CloseButton);
    layout->addLayout(bottom);

    // Typing a surname filters once the typing pauses; Enter at once.
    SurnameTimer = new QTimer(this);
    SurnameTimer->setObjectName(QStringLiteral("SurnameTimer"));
    SurnameTimer->setSingleShot(true);
    SurnameTimer->setInterval(250);

    // Enter in the surname box filters and nothing more: no button of the
    // window is pressed by it.
    for (QPushButton *button : {ExportRuns, ExportItems, CloseButton})
        button->setAutoDefault(false);

    connect(DateFrom, &QDateEdit::dateChanged, this, &JournalWindow::FilterChange);
    connect(DateTo, &QDateEdit::dateChanged, this, &JournalWindow::FilterChange);
    connect(SubjectBox, &QComboBox::currentIndexChanged, this, &JournalWindow::SubjectBoxChange);
    connect(TopicBox, &QComboBox::currentIndexChanged, this, &JournalWindow::FilterChange);
    connect(SurnameEdit, &QLineEdit::textChanged, SurnameTimer, qOverload<>(&QTimer::start));
    connect(SurnameEdit, &QLineEdit::returnPressed, this, &JournalWindow::FilterChange);
    connect(SurnameTimer, &QTimer::timeout, this, &JournalWindow::FilterChange);
    connect(RunsView->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &JournalWindow::RunsViewSelect);
    connect(Pages, &QTabWidget::currentChanged, this, &JournalWindow::PagesChange);
    connect(ExportRuns, &QPushButton::clicked, this, &JournalWindow::ExportRunsClick);
    connect(ExportItems, &QPushButton::clicked, this, &JournalWindow::ExportItemsClick);
    connect(CloseButton, &QPushButton::clicked, this, &JournalWindow::accept);
}

void JournalWindow::showEvent(QShowEvent *event)
{
    // The controls are made at the first showing: the window is made with
    // the others when the program starts, and should cost it nothing.
    if (!Pages)
        buildControls();
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void JournalWindow::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (event->spontaneous() || !Pages)
        return;
    // Nothing of the journal is held between showings: the next one reads
    // it anew, and a server connection is not kept open for nothing.
    Runs->setRuns(nullptr);
    m_picked.clear();
    m_havePicked = false;
    m_listed.clear();
    m_runs.clear();
    m_items.clear();
    m_source.close();
}

void JournalWindow::showProblem(const QString &text)
{
    ProblemLabel->setText(text);
    ProblemLabel->setVisible(!text.isEmpty());
}

void JournalWindow::FormShow()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_loading = true;
    m_havePicked = false;
    m_source.open(m_context.state.LibraryFolder, m_context.state.ResultsLibraryFolder);
    QString shown = m_source.description();
    if (!m_source.isServer() && !m_source.problem().isEmpty())
        shown += QStringLiteral(" (сервер не ответил)");
    SourceLabel->setText(shown);
    showProblem(m_source.problem());

    // Every run at first: the dates span the journal.
    m_topics.clear();
    m_picked.clear();
    if (m_source.isOpen()) {
        const JournalQueries queries = m_source.queries();
        Expected<QList<JournalQueries::Topic>> topics = queries.topics();
        Expected<QList<JournalQueries::RunRef>> picked = queries.pick({});
        if (topics && picked) {
            m_topics = std::move(*topics);
            m_picked = std::move(*picked);
            m_havePicked = true;
        } else {
            showProblem(!topics ? topics.error() : picked.error());
        }
    }
    const QDate today = QDate::currentDate();
    const QDate last = m_picked.isEmpty() ? today : std::max(m_picked.constFirst().date, today);
    DateFrom->setDate(m_picked.isEmpty() || !m_picked.constLast().date.isValid() ? today : m_picked.constLast().date);
    DateTo->setDate(last);
    SubjectBox->clear();
    SubjectBox->addItem(QStringLiteral("Все предметы"));
    QStringList subjects;
    for (const JournalQueries::Topic &topic : std::as_const(m_topics))
        if (subjects.isEmpty() || subjects.constLast() != topic.subject)
            subjects.append(topic.subject);
    for (const QString &subject : std::as_const(subjects))
        SubjectBox->addItem(subject, subject);
    SubjectBox->setCurrentIndex(0);
    SurnameEdit->clear();
    SurnameTimer->stop();
    m_pickedWith = {DateFrom->date(), DateTo->date(), QString(), QString(), QString()};
    m_loading = false;
    SubjectBoxChange();
    QApplication::restoreOverrideCursor();
}

void JournalWindow::SubjectBoxChange()
{
    if (m_loading)
        return;
    m_loading = true;
    const QString subject = SubjectBox->currentData().toString();
    TopicBox->clear();
    TopicBox->addItem(QStringLiteral("Все темы"));
    for (const JournalQueries::Topic &topic : std::as_const(m_topics))
        if (!subject.isEmpty() && topic.subject == subject)
            TopicBox->addItem(topic.topic, topic.topic);
    // Topics are told apart within a subject only.
    TopicBox->setEnabled(!subject.isEmpty());
    m_loading = false;
    FilterChange();
}

JournalQueries::Filter JournalWindow::filter() const
{
    JournalQueries::Filter picked;
    picked.from = DateFrom->date();
    picked.to = DateTo->date();
    picked.subject = SubjectBox->currentData().toString();
    picked.topic = TopicBox->currentData().toString();
    picked.surname = SurnameEdit->text();
    return picked;
}

void JournalWindow::FilterChange()
{
    if (m_loading)
        return;
    SurnameTimer->stop();
    Runs->setRuns(nullptr);
    const JournalQueries::Filter picked = filter();
    // A new surname picks among the runs already read.
    const bool sameRead = m_havePicked && picked.from == m_pickedWith.from && picked.to == m_pickedWith.to
                          && picked.subject == m_pickedWith.subject && picked.topic == m_pickedWith.topic;
    if (!sameRead && m_source.isOpen()) {
        JournalQueries::Filter read = picked;
        read.surname.clear();
        Expected<QList<JournalQueries::RunRef>> found = m_source.queries().pick(read);
        m_havePicked = bool(found);
        m_picked = found ? std::move(*found) : QList<JournalQueries::RunRef>();
        m_pickedWith = read;
        if (!found)
            showProblem(found.error());
    }
    m_listed = JournalQueries::bySurname(m_picked, picked.surname);
    Runs->setRuns(&m_listed);
    CountLabel->setText(QStringLiteral("Работ: %1").arg(m_listed.size()));
    fillAnswers({});
    m_runs.clear();
    m_runsStale = true;
    m_itemsStale = true;
    m_chartsStale = true;
    refreshPages();
}

const QList<Run> &JournalWindow::wholeRuns()
{
    if (!m_runsStale)
        return m_runs;
    m_runsStale = false;
    m_runs.clear();
    if (!m_source.isOpen())
        return m_runs;
    Expected<QList<Run>> read = m_source.queries().runs(filter());
    if (read)
        m_runs = std::move(*read);
    else
        showProblem(read.error());
    return m_runs;
}

void JournalWindow::RunsViewSelect()
{
    const Run *run = Runs->run(RunsView->currentIndex().row());
    if (!run) {
        fillAnswers({});
        return;
    }
    const Expected<QList<JournalQueries::Answer>> answers = m_source.queries().answers(run->id);
    if (!answers) {
        showProblem(answers.error());
        fillAnswers({});
        return;
    }
    fillAnswers(*answers);
}

void JournalWindow::fillAnswers(const QList<JournalQueries::Answer> &answers)
{
    AnswersView->setRowCount(int(answers.size()));
    for (int row = 0; row < answers.size(); ++row) {
        const JournalQueries::Answer &answer = answers.at(row);
        const bool right = answer.pressed != 0 && answer.pressed == answer.right;
        AnswersView->setItem(row, 0, cell(QString::number(answer.number)));
        AnswersView->setItem(row, 1, cell(QString::number(answer.question)));
        AnswersView->setItem(row, 2, cell(fieldText(answer.pressed)));
        AnswersView->setItem(row, 3, cell(QString::number(answer.right)));
        QTableWidgetItem *verdict = cell(right ? QStringLiteral("верно") : QStringLiteral("неверно"));
        verdict->setForeground(right ? QColor(0, 120, 0) : QColor(170, 0, 0));
        AnswersView->setItem(row, 4, verdict);
        AnswersView->setItem(row, 5, cell(QString::number(answer.seconds)));
    }
    // Measured once filled: a header measuring its columns at every new cell
    // takes long.
    AnswersView->resizeColumnsToContents();
}

void JournalWindow::PagesChange()
{
    refreshPages();
}

// The item analysis and the charts are worked out when their page is shown.
void JournalWindow::refreshPages()
{
    if (Pages->currentIndex() == 1 && m_itemsStale)
        fillItems();
    if (Pages->currentIndex() == 2 && m_chartsStale)
        fillCharts();
}

void JournalWindow::fillItems()
{
    m_itemsStale = false;
    m_items.clear();
    const JournalQueries::Filter picked = filter();
    if (picked.topic.isEmpty()) {
        ItemsHint->setText(QStringLiteral("Выберите предмет и тему: анализ вопросов строится по одной теме."));
    } else if (m_source.isOpen()) {
        const QList<Run> &runs = wholeRuns();
        const Expected<QHash<QString, QList<JournalQueries::Answer>>> answers =
            m_source.queries().finishedAnswers(picked, runs);
        if (answers)
            m_items = JournalReport::itemAnalysis(runs, *answers);
        else
            showProblem(answers.error());
        int broken = 0;
        for (const JournalReport::Item &item : std::as_const(m_items))
            broken += item.looksBroken();
        ItemsHint->setText(
            QStringLiteral("«%1», завершённые работы. Индекс дискриминации: доля верных ответов у лучших 27 %"
                           " работ минус доля у худших 27 %. Вопросов под подозрением: %2.")
                .arg(picked.topic)
                .arg(broken));
    }
    ExportItems->setEnabled(!m_items.isEmpty());
    ItemsView->setRowCount(int(m_items.size()));
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    for (int row = 0; row < m_items.size(); ++row) {
        const JournalReport::Item &item = m_items.at(row);
        QStringList texts = {QString::number(item.question), QString::number(item.asked), percent(item.shareRight())};
        for (int field = 1; field <= 4; ++field)
            texts << (field == item.rightField ? QStringLiteral("—") : QString::number(item.wrong[std::size_t(field)]));
        texts << QString::number(item.wrong[0]) << QString::number(item.rightField)
              << (item.discrimination ? russian.toString(*item.discrimination, 'f', 2) : QString())
              << JournalReport::itemRemark(item);
        for (int column = 0; column < texts.size(); ++column) {
            QTableWidgetItem *shown =
                cell(texts.at(column), column == texts.size() - 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
            if (item.looksBroken())
                shown->setBackground(QColor(255, 224, 224));
            ItemsView->setItem(row, column, shown);
        }
    }
    ItemsView->resizeColumnsToContents();
}

void JournalWindow::fillCharts()
{
    if (!GradeChart) {
        GradeChart = makeChartView(m_chartsPage, "GradeChart");
        ShareChart = makeChartView(m_chartsPage, "ShareChart");
        m_chartsPage->layout()->addWidget(GradeChart);
        m_chartsPage->layout()->addWidget(ShareChart);
    }
    m_chartsStale = false;
    fillGradeChart();
    if (m_itemsStale)
        fillItems();
    fillShareChart();
}

void JournalWindow::fillGradeChart()
{
    QChart *chart = GradeChart->chart();
    clear(chart);
    const JournalReport::GradeChart grades = JournalReport::gradeChart(wholeRuns());
    auto *set = new QBarSet(QStringLiteral("Работ"));
    set->setColor(QColor(70, 110, 180));
    QStringList labels;
    int most = 0;
    for (const JournalReport::GradeBar &bar : grades.bars) {
        labels << bar.label;
        *set << bar.runs;
        most = std::max(most, bar.runs);
    }
    auto *series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(labels);
    auto *y = new QValueAxis;
    y->setRange(0, std::max(1, most));
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTickCount(std::min(most, 10) + 1 < 2 ? 2 : std::min(most, 10) + 1);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    int runs = 0;
    for (const JournalReport::GradeBar &bar : grades.bars)
        runs += bar.runs;
    chart->setTitle(QStringLiteral("%1 (завершённых работ: %2)").arg(grades.title).arg(runs));
}

void JournalWindow::fillShareChart()
{
    QChart *chart = ShareChart->chart();
    clear(chart);
    if (m_items.isEmpty()) {
        chart->setTitle(QStringLiteral("Доля верных ответов по вопросам: выберите предмет и тему"));
        return;
    }
    chart->setTitle(QStringLiteral("Доля верных ответов по вопросам, %"));
    auto *set = new QBarSet(QStringLiteral("Верно, %"));
    set->setColor(QColor(60, 150, 90));
    QStringList labels;
    for (const JournalReport::Item &item : std::as_const(m_items)) {
        labels << QString::number(item.question);
        *set << item.shareRight() * 100.0;
    }
    auto *series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(labels);
    x->setTitleText(QStringLiteral("вопрос"));
    auto *y = new QValueAxis;
    y->setRange(0, 100);
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

QString JournalWindow::askCsvPath(const QString &name)
{
    // The teacher's documents, or home when there is no such folder (the
    // dialog would otherwise start wherever the program was started).
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QString path = m_context.prompter.saveFile(this, QStringLiteral("Сохранить в CSV"),
                                               QDir(folder).filePath(fileNamePart(name) + QStringLiteral(".csv")),
                                               QStringLiteral("Таблица CSV (*.csv)"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    return path;
}

void JournalWindow::ExportRunsClick()
{
    const QString path = askCsvPath(QStringLiteral("Журнал результатов"));
    if (path.isEmpty())
        return;
    if (const Status saved = JournalReport::saveCsv(path, JournalReport::runsCsv(wholeRuns())); !saved)
        m_context.prompter.message(this, Caption::Attention, saved.error(), Prompter::Icon::Error);
}

void JournalWindow::ExportItemsClick()
{
    if (m_itemsStale)
        fillItems();
    if (m_items.isEmpty())
        return;
    const QString path = askCsvPath(QStringLiteral("Анализ вопросов - ") + filter().topic);
    if (path.isEmpty())
        return;
    if (const Status saved = JournalReport::saveCsv(path, JournalReport::itemsCsv(m_items)); !saved)
        m_context.prompter.message(this, Caption::Attention, saved.error(), Prompter::Icon::Error);
}
