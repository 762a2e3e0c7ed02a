// Reading an author's test document from its file, the one way the chooser's
// "Добавить новую тему" and the checker nastavnik-check both read it: the
// same reader, the same layout (none: see HardLineLayout), the same limits
// and the same messages. A document larger than the program can hold is
// refused before it is read, or as soon as its reading shows it, rather than
// fill the memory; reading reports its progress and can be stopped.
#pragma once

#include "library/Expected.h"
#include "richtext/RtfReader.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace TestDocument {

// The largest document file, and the most lines a document may have. A test
// of a thousand questions with pictures stays far below both; reading and
// checking a document at the limits takes under a minute and a few hundred
// megabytes.
inline constexpr qint64 MaxBytes = 150LL * 1024 * 1024;
inline constexpr int MaxLines = 200'000;

// Reads a document file's bytes. The error names the file: it cannot be
// read, or it is larger than MaxBytes (refused before it is read).
Expected<QByteArray> readFile(const QString &path);

// Reads a document's bytes into the document; path names the file in a
// refusal. progress is told how far the reading has got and may stop it:
// the result is then marked cancelled and the document is empty. A document
// of more than MaxLines lines is refused and leaves the document empty.
Expected<RtfReader::Result> load(const QByteArray &bytes, const QString &path, QTextDocument &document,
                                 const RtfReader::Progress &progress = {});

// Both: the file read into the document.
Expected<RtfReader::Result> read(const QString &path, QTextDocument &document,
                                 const RtfReader::Progress &progress = {});

} // namespace TestDocument
