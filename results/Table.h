// The results table.
#pragma once

#include <QDialog>

struct AppContext;

class TForm5 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm5(AppContext &context, QWidget *parent = nullptr);
private:
    AppContext &m_context;
};
