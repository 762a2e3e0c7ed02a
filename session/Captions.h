// Captions of the program's message boxes that more than one window shows,
// so that every box of a kind carries the same title.
#pragma once

#include <QString>

namespace Caption {

// A warning, a question before something that cannot be undone, or a
// failure the user can act on.
inline const QString Attention = QStringLiteral("Внимание !!!");
// The library's folders or index files do not agree with each other.
inline const QString BrokenLibrary = QStringLiteral("Внимание - нарушена структура базы !!!");
// A stored base that cannot be run as it is.
inline const QString Failure = QStringLiteral("Ошибка !!!");

} // namespace Caption
