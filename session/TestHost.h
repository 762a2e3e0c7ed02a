// What the main window offers to the chooser: for the command that opens a
// test, the hidden full-test view that holds the opened document and the
// steps that put the window into its testing state and show the first
// question; for adding a topic, where its source open dialog starts.
#pragma once

#include <QString>

class LineModel;
class QTextDocument;

class TestHost
{
public:
    virtual ~TestHost() = default;

    // The document of the hidden full-test view `RichAllTest`.
    virtual QTextDocument &fullTestDocument() = 0;
    // Its line model, built anew after the document has changed.
    virtual const LineModel &fullTestLines() = 0;

    virtual void SetSessionMenus(bool idle) = 0;
    virtual void StartTimeBudget() = 0;
    virtual void NextQuestion() = 0;
    // The caption of the menu item `replay`.
    virtual void setReplayCaption(const QString &caption) = 0;
    virtual QString replayCaption() const = 0;
    // The clock copy `Panel1` of the picture window.
    virtual void setPictureClockVisible(bool visible) = 0;
    // The folder and the filter of the source open dialog `OpenBaza`.
    virtual QString openBazaFolder() const = 0;
    virtual QString openBazaFilter() const = 0;
};
