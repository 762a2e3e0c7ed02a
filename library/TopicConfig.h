// A topic's options file, config.dat: four lines, TimeCode ("1" to "5",
// see TimeLimit),
// QuestionCount, ResultKind ("1" to "4") and QuestionTotal; lines after the
// fourth are kept as they are.
#pragma once

#include "library/Expected.h"
#include "library/LineList.h"

namespace TopicConfig {

enum Line { TimeCode = 0, QuestionCount = 1, ResultKind = 2, QuestionTotal = 3 };

// The options of a new topic with the given number of questions.
LineList defaults(int questionTotal);

// Reads config.dat and checks that it has four lines and that the question
// count and total are decimal integers; an error names the file and says
// what is wrong with it.
Expected<LineList> load(const QString &path);

// A line that must hold a decimal integer (no sign, digits only).
Expected<int> number(const LineList &config, Line line);

} // namespace TopicConfig
