// The about window: the program's card, a picture that fills the window. It
// sounds when it becomes active and when it loses activation, and closes on
// a click.
#pragma once

#include <QDialog>

class QLabel;
struct AppContext;

class TForm9 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm9(AppContext &context, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(TForm9)

    QLabel *Image1 = nullptr;

protected:
    void changeEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void FormActivate();
    void FormDeactivate();

    AppContext &m_context;
    bool m_active = false;
};
