// The number fields of the library's files (folder numbers in the index
// files, the counts in a topic's options): decimal digits only, with no
// sign or spaces, read the same way wherever they are stored.
#pragma once

#include <QByteArrayView>

#include <optional>

// One or more of the digits 0 to 9 and nothing else, small enough for an
// int; nothing for any other text.
std::optional<int> parseDecimal(QByteArrayView text);
