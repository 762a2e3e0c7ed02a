// A stand-in for the main window where the open command and the engine meet:
// the full-test document and its lines are real, the testing steps are
// only recorded, in order.
#pragma once

#include "richtext/LineModel.h"
#include "session/TestHost.h"

#include <QStringList>
#include <QTextDocument>

#include <memory>

class FakeHost final : public TestHost
{
public:
    QTextDocument document;
    std::unique_ptr<LineModel> model;
    QStringList calls;
    QString caption = QStringLiteral("Нет");
    bool clockVisible = true;

    QTextDocument &fullTestDocument() override
    {
        model.reset();
        return document;
    }
    const LineModel &fullTestLines() override
    {
        if (!model)
            model = std::make_unique<LineModel>(document);
        return *model;
    }
    void SetSessionMenus(bool idle) override { calls.append(idle ? QStringLiteral("menus idle") : QStringLiteral("menus testing")); }
    void StartTimeBudget() override { calls.append(QStringLiteral("time budget")); }
    void NextQuestion() override { calls.append(QStringLiteral("next question")); }
    void setReplayCaption(const QString &c) override { caption = c; }
    QString replayCaption() const override { return caption; }
    void setPictureClockVisible(bool visible) override { clockVisible = visible; }
    QString openBazaFolder() const override { return QStringLiteral("/documents"); }
    QString openBazaFilter() const override { return QStringLiteral("Файл с тестами (*.RTF *.rtf)"); }
};
