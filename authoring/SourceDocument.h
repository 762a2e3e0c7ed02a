// The author's test document as a topic stores it. A topic keeps its
// document in Baza.dat as a coded line list, and a line list can hold no
// NUL byte and no line break inside a line: reading splits at CR, LF and
// CR LF and stops at the first NUL. Base creation therefore reads the file
// once, turns it into the lines that will be stored, and checks exactly
// those lines (joined with CR LF, as opening the topic later joins them),
// so that the document the author saw checked is the one the students get.
//
// Line ends and NUL bytes mean nothing in RTF text, so changing them there
// loses nothing. Raw picture data written with \binN may hold any byte: it
// is rewritten as the equivalent hex digits inside its picture group. What
// a line list cannot hold losslessly (a Word, ODT or DOCX file, UTF-16
// text, binary data outside a picture) is refused with a message that
// names the file and says to save the document as RTF.
#pragma once

#include "library/Expected.h"
#include "library/LineList.h"

#include <QByteArray>
#include <QString>

namespace SourceDocument {

// The lines to store for a document's bytes; path names the file in the
// message of a refusal.
Expected<LineList> prepare(const QByteArray &bytes, const QString &path);

// Reads a document file and prepares it. The error is the reading error or
// the refusal.
Expected<LineList> read(const QString &path);

// The bytes that are checked and, after a topic is opened, shown: the
// lines, each ended by CR LF.
QByteArray checkedBytes(const LineList &lines);

} // namespace SourceDocument
