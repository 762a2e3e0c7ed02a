// The program-wide state of the running program: the values the windows
// share (the running test, the chooser's selection, the shared line lists).
// One instance is created in main() and handed by reference to every
// window; the defaults are the program's start state.
#pragma once

#include "library/LineList.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// The questions of a running test not drawn yet: the first PoolRemaining
// entries of QuestionPool, ordinals of the tag index.
struct DrawPool
{
    QList<int> QuestionPool;
    int PoolRemaining = 0;
};

// The countdown of a timed test, shown on the clock panels.
struct Countdown
{
    bool TimeLimited = false;
    std::uint8_t ClockHours = 0;
    std::uint8_t ClockMinutes = 0;
    std::uint8_t ClockSeconds = 0;
};

struct SessionState
{
    QString ProgramFolder;               // folder of the executable, ending with '/'
    // The library (see LibraryLocation), ending with '/'. One that cannot be
    // written serves for testing only: the results table and the journal go
    // to ResultsLibraryFolder, the user's own library, and the chooser's
    // editing commands refuse.
    QString LibraryFolder;
    QString ResultsLibraryFolder;
    bool LibraryReadOnly = false;
    QStringList LibraryNotices;          // said once, when the chooser first opens

    // The running test.
    bool SessionActive = false;
    QString StudentName;
    LineList TestConfig;                 // lines of the config.dat loaded last
    int QuestionsToAsk = 1;
    int AskedCount = 0;
    int CorrectCount = 0;
    DrawPool Pool;
    int DrawnQuestion = 0;
    int CorrectAnswer = 0;
    LineList TagIndex;                   // tag line numbers, then the line count
    LineList BaseLines;                  // lines of the base file being opened
    LineList ResultsList;                // lines of the results table file

    // The countdown of a timed test.
    Countdown Time;
    // The board and the tutor.
    std::uint8_t PressedField = 0;
    bool ClickAllowed = true;
    bool TestEnded = false;
    std::uint8_t LookZone = 0;
    std::uint8_t RightStreak = 0;
    std::uint8_t WrongStreak = 0;
    std::uint8_t PokeCount = 0;
    bool GreetingPending = true;

    // Topics.
    QString CurrentSubjectFolder;
    QString CurrentBasePath;
    QString LastTopicPath = QStringLiteral("Нет");
    bool ReplayInProgress = false;
    QString ReplayCaption = QStringLiteral("Нет");   // caption of the menu item `replay`

    // Chooser flags.
    bool SilentDelete = false;
    bool BrokenTopic = false;
    bool ChooserOpenedTest = false;
};
