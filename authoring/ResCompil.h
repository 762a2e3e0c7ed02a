// The base creation report.
#pragma once

#include <QDialog>

struct AppContext;

class TForm3 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm3(AppContext &context, QWidget *parent = nullptr);
private:
    AppContext &m_context;
};
