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
    QStringEncoder encoder("windows-1251", QStringConverter::Flag::Stateless);
    QString bad;
    QByteArray bytes;
    bytes.reserve(text.size());
    // Encode character by character so that a character the code page lacks
    // is found and named instead of turning into '?'.
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QStringView piece = QStringView(text).mid(i, len);
        QByteArray encoded = encoder.encode(piece);
        const bool lost = encoder.hasError() || encoded.isEmpty()
                          || (encoded == "?" && piece != u"?");
        if (lost) {
            encoder.resetState();
            if (!bad.contains(piece))
                bad += piece;
        } else {
            bytes += encoded;
        }
        i += len - 1;
    }
    if (!bad.isEmpty())
        return Error{QStringLiteral("Символы «%1» нельзя сохранить в кодировке Windows-1251.").arg(bad)};
    return bytes;
}

} // namespace Cp1251
