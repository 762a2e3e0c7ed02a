// Everything a window is handed when it is made: the shared state, the
// services, and what it may ask of the other windows. Each window reaches
// another only through these narrow links, which the program's window set
// fills in as it makes the windows (ProgramWindows); a window made alone,
// as tests make them, finds the links doing nothing.
#pragma once

#include <QString>

#include <functional>

class BaseCreation;
class Clock;
class Journal;
class Cues;
class Prompter;
class TestHost;
struct SessionState;

// A command one window gives another: showing it modally, say. Empty, it
// does nothing.
class WindowCommand
{
public:
    WindowCommand() = default;
    template <typename Run>
    WindowCommand(Run run) : m_run(std::move(run))
    {
    }
    void operator()() const
    {
        if (m_run)
            m_run();
    }

private:
    std::function<void()> m_run;
};

// What the main window asks of the picture window while a question with a
// picture is shown.
class PictureView
{
public:
    virtual ~PictureView() = default;
    // The file of the picture the main window shows now.
    virtual void setPicturePath(const QString &path) = 0;
    // The clock copy the picture window shows over the picture.
    virtual void setClockText(const QString &text) = 0;
    virtual void setClockVisible(bool visible) = 0;
    // Shows the picture modally; closes it when it is open.
    virtual void showPicture() = 0;
    virtual void closePicture() = 0;
};

// The links between the windows.
struct WindowLinks
{
    WindowCommand showChooser;       // the chooser, modally (main window)
    WindowCommand openLastTopic;     // the chooser's open command, for a replay
    WindowCommand showResultsTable;  // the results table, modally
    WindowCommand showResult;        // the result window over the table
    WindowCommand showAbout;         // the visiting card
    WindowCommand showTopicOptions;  // the topic options (chooser)
    WindowCommand showRestore;       // restoring a topic's source (chooser)
    WindowCommand offerResume;       // going on with a test cut short (chooser)
    // The teacher's preview of the topic whose base is basePath.
    std::function<void(const QString &basePath, const QString &caption)> preview;
    PictureView *picture = nullptr;  // the picture window
    BaseCreation *baseCreation = nullptr; // the base creation report (chooser)
};

struct AppContext
{
    SessionState &state;
    Cues &cues;
    Clock &clock;
    Prompter &prompter;

    TestHost *host = nullptr;     // the main window, for opening a test
    Journal *journal = nullptr;   // every test and answer, when the program keeps them
    WindowLinks windows{};
};
