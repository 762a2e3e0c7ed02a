// Restoring a topic's source document.
#pragma once

#include <QDialog>

struct AppContext;

class TForm8 final : public QDialog
{
    Q_OBJECT

public:
    explicit TForm8(AppContext &context, QWidget *parent = nullptr);
private:
    AppContext &m_context;
};
