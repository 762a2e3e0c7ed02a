// The main testing window.
#pragma once

#include "session/TestHost.h"

#include <QMainWindow>
#include <QTextDocument>

#include <memory>

struct AppContext;

class TForm1 final : public QMainWindow, public TestHost
{
    Q_OBJECT

public:
    explicit TForm1(AppContext &context, QWidget *parent = nullptr);
    ~TForm1() override;

    QTextDocument &fullTestDocument() override;
    const LineModel &fullTestLines() override;
    void SetSessionMenus(bool idle) override;
    void StartTimeBudget() override;
    void NextQuestion() override;
    void setReplayCaption(const QString &caption) override;
    QString replayCaption() const override;
    void setPictureClockVisible(bool visible) override;

private:
    AppContext &m_context;
    QTextDocument m_fullTest;
    std::unique_ptr<LineModel> m_fullTestLines;
};
