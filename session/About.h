// The about window.
#pragma once

#include <QDialog>

struct AppContext;

class TForm9 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm9(AppContext &context, QWidget *parent = nullptr);
private:
    AppContext &m_context;
};
