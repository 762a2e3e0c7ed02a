// The results table: the last 14 test outcomes, newest at the bottom, kept
// in Baza/Images/normal.cfg. Opened from the main menu it only shows the
// table; opened at the end of a test (TestEnded) it first appends that
// test's record, writes the file, and then shows the result window over
// itself. It is left only through "Закрыть".
#pragma once

#include <QColor>
#include <QDialog>

class QLabel;
class QTableWidget;
struct AppContext;

class TForm5 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm5(AppContext &context, QWidget *parent = nullptr);

    // Background of the record cells: white, greyed while the result
    // window is open over the table.
    void setGridColor(const QColor &color);
    QColor gridColor() const { return m_gridColor; }
    // The result window over the table comes up or goes away.
    void setResultShown(bool shown);

    void FormCreate();
    void FormActivate();
    void FormDeactivate();
    void glLabel1Click();

    void reject() override;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillGrid();
    void appendOutcome();
    void saveTable();
    void reportLater(const QString &text);
    void flushReport();
    void afterShow();
    void lightCloseLabel(bool lit);

    AppContext &m_context;
    QTableWidget *m_table = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_closeLabel = nullptr;
    QColor m_gridColor = Qt::white;
    bool m_active = false;         // shown and not deactivated since
    bool m_canSave = false;        // the file was read, so writing loses nothing
    bool m_reported = false;       // a failure was already reported this showing
    bool m_closing = false;        // "Закрыть" was clicked
    bool m_loading = false;        // inside FormActivate
    QString m_pendingReport;
};
