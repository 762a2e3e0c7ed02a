#include "authoring/SourceDocument.h"

#include <QFileInfo>

#include <vector>

namespace SourceDocument {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

QString refusal(const QString &path, const QString &what)
{
    return QStringLiteral("Файл «%1» %2\r\n\r\nСохраните документ в формате RTF.").arg(QFileInfo(path).fileName(), what);
}

// Raw data as hex digits on lines of their own: line breaks mean nothing
// among the hex digits of a picture, and they end a control word before it.
void appendHex(QByteArray &out, const char *data, qsizetype n)
{
    static const char digits[] = "0123456789abcdef";
    out += "\r\n";
    for (qsizetype i = 0; i < n; ++i) {
        const uchar b = uchar(data[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
        if (i % 64 == 63 || i + 1 == n)
            out += "\r\n";
    }
}

bool holdsLineBreakOrNul(const char *data, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i) {
        if (data[i] == '\r' || data[i] == '\n' || data[i] == '\0')
            return true;
    }
    return false;
}

// An RTF document rewritten so that a line list holds it: raw \bin data of
// a picture as hex digits, NUL bytes as the line breaks they read as, and
// nothing after the brace that ends the document. The tokens are read the
// way the program's RTF reader reads them, so that the rewritten document
// reads the same. The error says what cannot be rewritten.
Expected<QByteArray> rewriteRtf(const QByteArray &in, const QString &path)
{
    const char *p = in.constData();
    const char *end = p + in.size();
    QByteArray out;
    out.reserve(in.size());
    // Per open group: does its text go to a picture's data?
    std::vector<bool> picture{false};
    const QString damaged = QStringLiteral("повреждён: в нём есть нулевые байты.");
    const QString outsidePicture = QStringLiteral("содержит двоичные данные вне рисунка.");
    while (p < end) {
        const char c = *p;
        if (c == '\0') {
            // The reader passes over a NUL byte exactly as over a line
            // break: between tokens, inside text and where a control word
            // or an escape ends. A line list holds line breaks.
            out += '\n';
            ++p;
            continue;
        }
        if (c == '{') {
            picture.push_back(picture.back());
            out += c;
            ++p;
        } else if (c == '}') {
            if (picture.size() == 1)
                break; // the reader stops here: what follows is not the document
            picture.pop_back();
            out += c;
            ++p;
        } else if (c == '\\') {
            if (p + 1 == end) {
                // A backslash that ends the file stands for nothing, but
                // the line end the stored copy adds would make it a
                // paragraph mark.
                ++p;
            } else if (!isLetter(p[1])) {
                if (p[1] == '\0')
                    return Error{refusal(path, damaged)};
                if (p[1] == '*')
                    picture.back() = false; // an optional destination: not picture data
                out.append(p, 2);
                p += 2;
            } else {
                const char *word = p + 1;
                const char *q = word;
                while (q < end && isLetter(*q))
                    ++q;
                const QByteArrayView name(word, q - word);
                bool negative = false;
                if (q + 1 < end && *q == '-' && isDigit(q[1])) {
                    negative = true;
                    ++q;
                }
                qint64 value = 0;
                while (q < end && isDigit(*q)) {
                    if (value < 10'000'000'000LL)
                        value = value * 10 + (*q - '0');
                    ++q;
                }
                if (q < end && *q == ' ')
                    ++q;
                if (name == "pict")
                    picture.back() = true;
                const qsizetype n = name == "bin" && !negative ? qsizetype(std::min<qint64>(value, end - q)) : 0;
                if (n > 0 && (picture.back() || holdsLineBreakOrNul(q, n))) {
                    if (!picture.back())
                        return Error{refusal(path, outsidePicture)};
                    appendHex(out, q, n);
                } else {
                    out.append(p, q + n - p);
                }
                p = q + n;
            }
        } else {
            out += c;
            ++p;
        }
    }
    return out;
}

} // namespace

Expected<LineList> prepare(const QByteArray &bytes, const QString &path)
{
    if (bytes.startsWith("\xD0\xCF\x11\xE0"))
        return Error{refusal(path, QStringLiteral("— документ Microsoft Word (DOC), а не RTF."))};
    if (bytes.startsWith("PK\x03\x04"))
        return Error{refusal(path, QStringLiteral("— документ ODT или DOCX (архив ZIP), а не RTF."))};
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return Error{refusal(path, QStringLiteral("— текст в кодировке UTF-16, а не RTF."))};
    if (!bytes.startsWith("{\\rtf")) {
        // Plain text: the reader shows it line by line, and a NUL byte in it
        // is no text a line list could keep.
        if (bytes.contains('\0'))
            return Error{refusal(path, QStringLiteral("— не документ RTF и не текст."))};
        return LineLists::split(bytes);
    }
    const Expected<QByteArray> rewritten = rewriteRtf(bytes, path);
    if (!rewritten)
        return Error{rewritten.error()};
    return LineLists::split(*rewritten);
}

Expected<LineList> read(const QString &path)
{
    const Expected<QByteArray> bytes = LineLists::readBytes(path);
    if (!bytes)
        return Error{bytes.error()};
    return prepare(*bytes, path);
}

QByteArray checkedBytes(const LineList &lines)
{
    return LineLists::join(lines);
}

} // namespace SourceDocument
