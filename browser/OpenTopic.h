// Opening a topic for a test: everything a test needs, the decoded base,
// its tag index and the topic's options, is read and checked here, before
// the main window takes its testing form, so a damaged topic is reported
// while the program is still idle. The chooser asks for the student's name
// around it and shows what it reports; the checker and the benchmarks open
// topics through it too.
#pragma once

#include "library/Expected.h"
#include "library/LineList.h"

#include <QString>

class Cues;
class EngineUi;
class TestHost;

struct OpenedTopic
{
    LineList base;           // the base, decoded (never written back decoded)
    LineList tagIndex;       // checked against the base, rebuilt when stale
    LineList options;        // config.dat, the question count kept within the pool
    QString indexWarning;    // the rebuilt tag index could not be saved
    int pool = 0;            // the questions a test draws from
    int questionsToAsk = 0;  // from 1 to pool
};

// Reads the topic whose base is basePath, loads the decoded base into the
// host's full-test document and checks its tag index (showing the check's
// progress and its warning through ui). The error is the reason, in
// Russian, the test cannot be opened.
Expected<OpenedTopic> openTopic(const QString &basePath, TestHost &host, Cues &cues, EngineUi &ui);
