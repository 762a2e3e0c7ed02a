// The result window: shown by the results table over itself at the end of
// a test, it states the count or the grade in the form the topic asks for,
// and the tutor comments on it with the voice line the 5-point grade picks.
// Any click closes it. While it is open it says so (activeChanged), and
// the table greys its grid.
#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
struct AppContext;

class TForm6 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm6(AppContext &context, QWidget *parent = nullptr);

    void FormActivate();
    void FormDeactivate();
    void FormClick();
    void Label1Click();
    void Label2Click();
    void Label3Click();

Q_SIGNALS:
    // The window has come up (true) or is going away (false).
    void activeChanged(bool active);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppContext &m_context;
    QPixmap m_background;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    bool m_active = false;
};
