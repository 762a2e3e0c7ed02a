// The line codec in which topic bases and the results table are stored.
// Every byte is complemented except 0xF2, 0xF5 and 0xFF (т, х, я in
// Windows-1251), whose complements would be CR, LF and NUL; so a coded line
// never holds a line break and the codec is its own inverse.
#pragma once

#include "library/LineList.h"

namespace Codec {

QByteArray codeLine(QByteArray line);
void codeLines(LineList &lines);

} // namespace Codec
