#include "library/Cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Cp1251 {

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
}

Expected<QByteArray> encode(const QString &text)
{
    QStringEncoder whole("windows-1251", QStringConverter::Flag::Stateless);
    QByteArray bytes = whole.encode(text);
    if (!whole.hasError())
        return bytes;
    // Some character is not in the code page: find each one, character by
    // character, so that it is named instead of turning into '?'. ICU's
    // encoder stops reporting (and, after resetState(), producing) anything
    // once it has failed, so every character gets a fresh one; otherwise the
    // good letters after the first bad one would be blamed too.
    QString bad;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QStringView piece = QStringView(text).mid(i, len);
        QStringEncoder one("windows-1251", QStringConverter::Flag::Stateless);
        const QByteArray encoded = one.encode(piece);
        if ((one.hasError() || encoded.isEmpty()) && !bad.contains(piece))
            bad += piece;
        i += len - 1;
    }
    return Error{QStringLiteral("Символы «%1» нельзя сохранить в кодировке Windows-1251.").arg(bad)};
}

} // namespace Cp1251
