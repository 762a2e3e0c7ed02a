// Line lists: every data file of the program is a list of 8-bit
// Windows-1251 lines. Reading splits at CR LF, a lone CR or a lone LF and
// stops at the first NUL byte; writing ends every line, the last one too,
// with CR LF. Lines stay raw bytes here; text conversion happens only where
// a name is shown or typed (see Cp1251.h).
#pragma once

#include "library/Expected.h"

#include <QByteArray>
#include <QList>

using LineList = QList<QByteArray>;

namespace LineLists {

LineList split(const QByteArray &bytes);
QByteArray join(const LineList &lines);

// Reads a whole file as a line list.
Expected<LineList> read(const QString &path);

// Writes a whole line list over a file, atomically: a crash in the middle
// leaves either the old file or the new one.
Status write(const QString &path, const LineList &lines);

// Replaces a file's bytes atomically.
Status writeBytes(const QString &path, const QByteArray &bytes);

// Reads a whole file's bytes.
Expected<QByteArray> readBytes(const QString &path);

} // namespace LineLists
