// The line model of a loaded document. A document's lines are its hard
// lines: every paragraph, every manual line break inside a paragraph and
// every paragraph of a table cell, in document order; a final empty line is
// not counted. This does not depend on fonts, window width or platform, so
// checking a document, storing its tag index, cutting questions out of it
// and restoring it always number lines the same way, on any machine.
//
// Offsets are QTextDocument positions, so they can be used with QTextCursor.
#pragma once

#include <QList>
#include <QString>

class QTextCursor;
class QTextDocument;

class LineModel
{
public:
    // Builds the model of the document as it is now; rebuild after a change.
    explicit LineModel(const QTextDocument &document);

    int lineCount() const { return int(m_starts.size()); }
    QString lineText(int line) const;
    // The offset where a line begins; lineCount() gives the end of the document.
    int lineStart(int line) const;
    // The line that holds an offset (the last line for an offset past it).
    int lineAt(int offset) const;
    // Case-insensitive search for text from an offset; -1 when not found.
    int find(const QString &text, int from) const;
    // The position just past the document's last character.
    int documentEnd() const { return m_end; }

    // Lower-cases a text the way find() compares (one UTF-16 unit for one).
    static QString folded(const QString &text);

    // Copies the range [start, end) of a document, with all its formatting
    // and the pictures it shows, to the cursor's place in another document,
    // where its tables' row heights and turned cells are laid out
    // (CellLayout) at that document's text width.
    static void copyRange(const QTextDocument &source, int start, int end, QTextCursor &target);

private:
    QString m_raw;           // the document's raw text: index = position
    QString m_folded;        // the same, lower-cased for searching
    QList<int> m_starts;     // where each line begins
    QList<int> m_lengths;    // its length, without the line break
    int m_end = 0;
};
