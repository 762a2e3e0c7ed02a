// Base creation as the chooser sees it: the report dialog checks a test
// document and shows its verdict (BaseCreation), while the chooser lends it
// its progress bar (BaseProgress).
#pragma once

#include "library/Expected.h"

#include <QString>

// What base creation needs of the window it runs in: a progress bar that
// Esc can stop while the document is read and checked, and the window's
// leaving the screen to the report.
class BaseProgress
{
public:
    virtual ~BaseProgress() = default;
    virtual void showProgress(bool visible) = 0;
    virtual void setProgress(int value) = 0;
    virtual void setProgressStoppable(bool stoppable) = 0;
    virtual void leaveForReport() = 0;
};

class BaseCreation
{
public:
    virtual ~BaseCreation() = default;
    // Loads and checks the document, showing the work on progress, and
    // shows the report modally. The error is that of reading the document;
    // faults of the document itself are reported in the dialog.
    virtual Status CreateBase(const QString &sourcePath, BaseProgress &progress) = 0;
    // True when the report was closed with "Создать".
    virtual bool createConfirmed() const = 0;
    // Writes the checked document's topic files into the new topic folder.
    virtual Status WriteTopicFiles(const QString &topicFolder) = 0;
};
