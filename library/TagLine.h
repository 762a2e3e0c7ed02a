// The syntax of a test document's marks, in one place: a tag line
// ("{test=N}", N the right field) opens a question, and the line after it
// may name the question's picture ("{pic=name}"). Every part of the program
// that reads these lines (the compile check, base creation, the question
// engine, the checker and the tools) asks here, so a document is read the
// same way when it is checked and when it runs.
//
// Marks are found in any letter case and with any characters of codes 0 to
// 32 around them; a line's text is compared after folded().
#pragma once

#include <QString>

namespace TagLine {

// "{test": every line holding it is counted as a tag line by the check,
// whatever follows.
inline QString tagStart() { return QStringLiteral("{test"); }
// "{test=": what makes a line a question's tag line when it runs.
inline QString tagOpening() { return QStringLiteral("{test="); }
// "{test=N}" for a right field N.
inline QString tag(int field) { return QStringLiteral("{test=%1}").arg(field); }
// "{pic=": what makes a line a picture line.
inline QString pictureOpening() { return QStringLiteral("{pic="); }

// Removes leading and trailing characters with codes 0 to 32.
QString trimmed(const QString &text);

// Lower-cases a text one UTF-16 unit for one, so that offsets in the
// folded text are offsets in the original.
QString folded(const QString &text);

// A line trimmed and folded, as the marks are compared.
QString normalized(const QString &line);

// Whether a normalized line holds a tag or a picture mark.
bool isTagLine(const QString &normalizedLine);
bool isPictureLine(const QString &normalizedLine);

// The right field a normalized tag line names: what stands between "{test="
// and the last character, trimmed, as a whole number from 1 to 4; 0 when it
// is anything else (only a hand-edited base can hold one).
int rightField(const QString &normalizedLine);

// The picture file name of a picture line: trimmed, without its first five
// characters ("{pic=") and its last one ("}"), trimmed at each step.
QString pictureName(const QString &line);

} // namespace TagLine
