#include "library/Codec.h"

namespace Codec {

QByteArray codeLine(QByteArray line)
{
    char *data = line.data();
    for (qsizetype i = 0, n = line.size(); i < n; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        if (b != 0xF2 && b != 0xF5 && b != 0xFF)
            data[i] = static_cast<char>(0xFF - b);
    }
    return line;
}

void codeLines(LineList &lines)
{
    for (QByteArray &line : lines)
        line = codeLine(std::move(line));
}

} // namespace Codec
