// What the result and option windows need around them in a test: a program
// folder of its own, a clock that stands still, a cue player that only
// remembers what it was asked to play, and message boxes that are either
// recorded or real.
#pragma once

#include "results/ui/Result.h"
#include "results/ui/Table.h"
#include "results/ui/TestOption.h"
#include "session/ui/AppContext.h"
#include "session/Cues.h"
#include "session/ui/Prompter.h"
#include "session/SessionState.h"
#include "session/ui/Windows.h"
#include "session/Services.h"
#include "tests/support/Doubles.h"
#include "tests/support/Prompters.h"
#include "tests/support/ModalBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

struct Fixture
{
    Fixture()
        : cues(sink, library()), context{state, cues, clock, prompter}, form4(context), form5(context),
          form6(context)
    {
        state.ProgramFolder = programFolder();
        state.LibraryFolder = state.ResultsLibraryFolder = library();
        ProgramWindows::linkResults(context, form5, form6);
    }

    QString programFolder() const { return dir.path() + u'/'; }
    QString library() const { return programFolder() + QStringLiteral("Baza/"); }
    QString path(const QString &relative) const { return dir.filePath(relative); }

    QTemporaryDir dir;
    SessionState state;
    FakeClock clock{QTime(9, 5, 42).msecsSinceStartOfDay()};
    RecordingSink sink;
    Cues cues;
    SwitchPrompter prompter;
    AppContext context;
    TForm4 form4;
    TForm5 form5;
    TForm6 form6;
};

