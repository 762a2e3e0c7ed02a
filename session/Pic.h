// The picture window: the current question's picture as large as the screen allows.
#pragma once

#include <QDialog>

struct AppContext;

class TForm7 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm7(AppContext &context, QWidget *parent = nullptr);
private:
    AppContext &m_context;
};
