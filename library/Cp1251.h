// Conversion between the program's Windows-1251 bytes and QString, used
// only at the edge: names shown on screen, names and surnames typed in.
#pragma once

#include "library/Expected.h"

#include <QByteArray>
#include <QString>

namespace Cp1251 {

QString decode(const QByteArray &bytes);

// Fails, naming the characters, when the text holds characters that
// Windows-1251 cannot store: they are never replaced silently.
Expected<QByteArray> encode(const QString &text);

} // namespace Cp1251
