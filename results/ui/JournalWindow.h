// The teacher's journal window ("Сервис → Журнал результатов..."): every run
// of the journal, newest first, picked by date, subject, topic and surname;
// the answers of the run selected; for one topic, the item analysis of its
// questions; and two charts, the grades of the runs picked and each
// question's share of right answers. The runs and the item analysis can be
// saved as CSV files for Excel or Calc.
//
// It reads a lab's server when Baza/journal.cfg names one that answers, and
// this computer's own journal otherwise, and says at the top which one it
// shows. The journal is read anew every time the window is shown; the
// figures come from JournalQueries and JournalReport, the window only shows
// them.
#pragma once

#include "results/JournalQueries.h"
#include "results/JournalReport.h"

#include <QDialog>

#include <memory>

struct AppContext;
class QChartView;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;
class QTimer;
class RunsModel;

class JournalWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit JournalWindow(AppContext &context, QWidget *parent = nullptr);
    ~JournalWindow() override;
    Q_DISABLE_COPY_MOVE(JournalWindow)

    // Opens the journal and shows every run in it.
    void FormShow();
    // Reads the runs the filters pick.
    void FilterChange();
    void SubjectBoxChange();
    // The selected run's answers.
    void RunsViewSelect();
    void PagesChange();
    void ExportRunsClick();
    void ExportItemsClick();

    // The runs listed, and the item analysis shown.
    const QList<JournalQueries::RunRef> &listedRuns() const { return m_listed; }
    const QList<JournalReport::Item> &shownItems() const { return m_items; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildControls();
    JournalQueries::Filter filter() const;
    // The whole runs listed, for the reports.
    const QList<JournalQueries::Run> &wholeRuns();
    void fillAnswers(const QList<JournalQueries::Answer> &answers);
    void refreshPages();
    void fillItems();
    void fillCharts();
    void fillGradeChart();
    void fillShareChart();
    void showProblem(const QString &text);
    QString askCsvPath(const QString &name);

    AppContext &m_context;
    JournalSource m_source;
    QList<JournalQueries::Topic> m_topics;
    // The runs the dates, subject and topic pick (read with m_picked), and
    // those of them the surname picks, which the table lists.
    QList<JournalQueries::RunRef> m_picked;
    JournalQueries::Filter m_pickedWith;
    bool m_havePicked = false;
    QList<JournalQueries::RunRef> m_listed;
    QList<JournalQueries::Run> m_runs;
    QList<JournalReport::Item> m_items;
    bool m_loading = false;
    bool m_runsStale = true;
    bool m_itemsStale = true;
    bool m_chartsStale = true;
    QWidget *m_chartsPage = nullptr;

public:
    // Controls, named for the tests and the screenshots; made at the first
    // showing.
    QLabel *SourceLabel = nullptr;
    QLabel *ProblemLabel = nullptr;
    QDateEdit *DateFrom = nullptr;
    QDateEdit *DateTo = nullptr;
    QComboBox *SubjectBox = nullptr;
    QComboBox *TopicBox = nullptr;
    QLineEdit *SurnameEdit = nullptr;
    QTimer *SurnameTimer = nullptr;
    QTabWidget *Pages = nullptr;
    QTableView *RunsView = nullptr;
    RunsModel *Runs = nullptr;
    QLabel *CountLabel = nullptr;
    QTableWidget *AnswersView = nullptr;
    QPushButton *ExportRuns = nullptr;
    QLabel *ItemsHint = nullptr;
    QTableWidget *ItemsView = nullptr;
    QPushButton *ExportItems = nullptr;
    QChartView *GradeChart = nullptr;   // made when the charts are first shown
    QChartView *ShareChart = nullptr;
    QPushButton *CloseButton = nullptr;
};
