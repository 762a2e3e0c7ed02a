#include "library/Decimal.h"

#include <QByteArray>

#include <algorithm>

std::optional<int> parseDecimal(QByteArrayView text)
{
    const bool digits = !text.isEmpty()
                        && std::all_of(text.cbegin(), text.cend(), [](char c) { return c >= '0' && c <= '9'; });
    bool ok = false;
    const int number = digits ? text.toByteArray().toInt(&ok) : 0;
    if (!ok)
        return std::nullopt;
    return number;
}
