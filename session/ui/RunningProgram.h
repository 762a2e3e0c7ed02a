// The program as it runs for real: the shared state, whose program folder
// is the executable's own and whose library is found by LibraryLocation's
// rule, the system clock, the sound player, the real
// message and input boxes with Qt's texts in Russian, and the nine windows
// made from them. Made once the application object exists.
#pragma once

#include "library/LibraryLocation.h"
#include "library/Paths.h"
#include "results/Journal.h"
#include "results/JournalServer.h"
#include "session/ui/AppContext.h"
#include "session/Cues.h"
#include "session/ui/Prompter.h"
#include "session/SessionState.h"
#include "session/ui/SystemServices.h"
#include "session/ui/Windows.h"

#include <QCoreApplication>
#include <QSysInfo>
#include <QTranslator>

struct RunningProgram
{
    RunningProgram()
        : state(withPlaces()), cues(sink, state.LibraryFolder), context{state, cues, clock, prompter},
          journal(Paths::journalFile(state.ResultsLibraryFolder), QSysInfo::machineHostName()),
          windows((context.journal = &journal, context))
    {
        linkToServer();
    }
    Q_DISABLE_COPY_MOVE(RunningProgram)

    SessionState state;
    SystemClock clock;
    SoundEffectSink sink;
    Cues cues;
    WidgetPrompter prompter;
    AppContext context;
    Journal journal;
    QTranslator qtTexts;
    bool qtTextsInRussian =
        loadQtRussian(qtTexts, state.ProgramFolder) && QCoreApplication::installTranslator(&qtTexts);
    std::unique_ptr<JournalUplink> uplink;
    ProgramWindows windows;   // made last, destroyed first

private:
    // A lab's server named in the library: every change of the journal
    // also waits in its outbox, and a thread of its own sends it.
    void linkToServer()
    {
        const Expected<std::optional<JournalServer>> server =
            JournalServer::load(Paths::journalSettings(state.LibraryFolder));
        if (!server) {
            journal.noteProblem(server.error());
            return;
        }
        if (!server->has_value())
            return;
        uplink = std::make_unique<JournalUplink>(journal.path(), **server);
        journal.keepOutbox([link = uplink.get()] { link->wake(); });
    }

    static SessionState withPlaces()
    {
        SessionState fresh;
        fresh.ProgramFolder = Paths::programFolder();
        const LibraryLocation::Location location = LibraryLocation::locate(LibraryLocation::systemPlaces());
        fresh.LibraryFolder = location.library;
        fresh.ResultsLibraryFolder = location.resultsLibrary;
        fresh.LibraryReadOnly = !location.writable;
        fresh.LibraryNotices = location.notices;
        return fresh;
    }
};
