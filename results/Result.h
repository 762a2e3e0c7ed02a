// The result of a finished test.
#pragma once

#include <QDialog>

struct AppContext;

class TForm6 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm6(AppContext &context, QWidget *parent = nullptr);
private:
    AppContext &m_context;
};
