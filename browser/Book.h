// The chooser, drawn as an open book.
#pragma once

#include <QDialog>

struct AppContext;

class TForm2 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm2(AppContext &context, QWidget *parent = nullptr);

    // Opens the selected topic's test (or, during a replay, the last one).
    void ClickOpenTest() {}
private:
    AppContext &m_context;
};
