// A topic's test options.
#pragma once

#include <QDialog>

struct AppContext;

class TForm4 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm4(AppContext &context, QWidget *parent = nullptr);
private:
    AppContext &m_context;
};
