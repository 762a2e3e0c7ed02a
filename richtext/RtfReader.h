// Reads an RTF document (as written by Word, WordPad, LibreOffice and other
// word processors) into a QTextDocument: text with its fonts, colours and
// paragraph layout, tables (nested and merged cells included), hyperlinks
// and pictures. Teachers write their tests in such documents, and the line
// model built over the QTextDocument numbers their lines: every paragraph,
// every manual line break (U+2028 inside a block) and every paragraph of a
// table cell is a line of its own.
//
// The input is untrusted: the reader never fails and never crashes. On a
// damaged document it keeps everything it has read so far.
#pragma once

#include <QByteArray>
#include <QTextFormat>

#include <functional>

class QTextDocument;

namespace RtfReader {

struct Result
{
    bool wasRtf = false;
    int pictureCount = 0;
    bool cancelled = false;   // stopped by the progress function: the document is empty
};

// Told now and then how far reading has got, in per cent of the bytes (0 to
// 100); returns false to stop reading.
using Progress = std::function<bool(int percent)>;

// Replaces the document's content. Bytes not beginning with "{\rtf" are
// loaded as plain Windows-1251 text (lines split at CR LF, CR or LF, one
// block per line). Pictures become image resources named "rtfpic:N", one
// for each distinct picture; pictures that cannot be decoded all show the
// resource "rtfpic:placeholder".
// The document is given a HardLineLayout: nothing in it is laid out.
Result load(const QByteArray &bytes, QTextDocument &document, const Progress &progress = {});

// QTextDocument cannot hold a table as the very first thing of a document
// or of a table cell: an empty block always stands in front of it. The
// reader marks such a block with this block format property (value true),
// so that a line model can leave it out, as word processors show no line
// there.
inline constexpr int SpacerBlockProperty = QTextFormat::UserProperty + 0x2f1;

} // namespace RtfReader
