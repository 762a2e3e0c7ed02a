#include "richtext/Charsets.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace Charsets {

namespace {

const char *decoderName(int codePage)
{
    switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 852: return "IBM852";
    case 855: return "IBM855";
    case 866: return "IBM866";
    case 874: return "windows-874";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    // Windows' Korean code page (Unified Hangul Code) is EUC-KR with the
    // 8,822 syllables EUC-KR lacks: read as EUC-KR, those would be lost.
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 10000: return "macintosh";
    case 10007: return "x-mac-cyrillic";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    case 28595: return "ISO-8859-5";
    case 65001: return "UTF-8";
    default: return "windows-1252";
    }
}

// Johab (code page 1361), which Qt's decoders lack. A Hangul syllable is
// two bytes holding three 5-bit indexes (initial, vowel, final consonant);
// symbols and Hanja are the rows of KS X 1001 rearranged, read here through
// the EUC-KR decoder, which holds the same rows.
QString decodeJohab(const QByteArray &bytes)
{
    // Index codes to jamo numbers; -1 for a fill code, -2 for none.
    static constexpr std::array<qint8, 32> initial = {-2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,
                                                      16, 17, 18, -2, -2, -2, -2, -2, -2, -2, -2, -2, -2, -2};
    static constexpr std::array<qint8, 32> vowel = {-2, -2, -1, 0, 1, 2, 3, 4, -2, -2, 5, 6, 7, 8, 9, 10, -2,
                                                    -2, 11, 12, 13, 14, 15, 16, -2, -2, 17, 18, 19, 20, -2, -2};
    static constexpr std::array<qint8, 32> final = {-2, -1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
                                                    -2, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, -2, -2};
    // A lone initial or final consonant shows as its compatibility jamo.
    static constexpr std::array<char16_t, 19> initialJamo = {
        0x3131, 0x3132, 0x3134, 0x3137, 0x3138, 0x3139, 0x3141, 0x3142, 0x3143, 0x3145,
        0x3146, 0x3147, 0x3148, 0x3149, 0x314A, 0x314B, 0x314C, 0x314D, 0x314E};
    static constexpr std::array<char16_t, 28> finalJamo = {
        0, 0x3131, 0x3132, 0x3133, 0x3134, 0x3135, 0x3136, 0x3137, 0x3139, 0x313A, 0x313B, 0x313C, 0x313D, 0x313E,
        0x313F, 0x3140, 0x3141, 0x3142, 0x3144, 0x3145, 0x3146, 0x3147, 0x3148, 0x314A, 0x314B, 0x314C, 0x314D, 0x314E};

    QString text;
    text.reserve(bytes.size());
    QStringDecoder ksx("EUC-KR");
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const uchar c1 = uchar(bytes[i]);
        if (c1 < 0x80) {
            text.append(QLatin1Char(char(c1)));
            continue;
        }
        if (i + 1 >= n) {
            text.append(QChar(0xFFFD));
            break;
        }
        const uchar c2 = uchar(bytes[++i]);
        if (c1 >= 0x84 && c1 <= 0xD3) {
            const int code = (c1 << 8) | c2;
            const int ini = initial[size_t((code >> 10) & 31)];
            const int vow = vowel[size_t((code >> 5) & 31)];
            const int fin = final[size_t(code & 31)];
            char16_t u = 0xFFFD;
            if (ini >= 0 && vow >= 0 && fin >= -1)
                u = char16_t(0xAC00 + (ini * 21 + vow) * 28 + std::max(fin, 0));
            else if (ini >= 0 && vow == -1 && fin == -1)
                u = initialJamo[size_t(ini)];
            else if (ini == -1 && vow >= 0 && fin == -1)
                u = char16_t(0x314F + vow);
            else if (ini == -1 && vow == -1 && fin > 0)
                u = finalJamo[size_t(fin)];
            text.append(QChar(u));
            continue;
        }
        const bool symbolLead = (c1 >= 0xD9 && c1 <= 0xDE) || (c1 >= 0xE0 && c1 <= 0xF9);
        const bool trail = (c2 >= 0x31 && c2 <= 0x7E) || (c2 >= 0x91 && c2 <= 0xFE);
        if (!symbolLead || !trail) {
            text.append(QChar(0xFFFD));
            continue;
        }
        const int t1 = c1 < 0xE0 ? 2 * (c1 - 0xD9) : 2 * c1 - 0x197;
        const int t2 = c2 < 0x91 ? c2 - 0x31 : c2 - 0x43;
        const int row = t1 + (t2 < 0x5E ? 0 : 1) + 0x21;
        const int column = (t2 < 0x5E ? t2 : t2 - 0x5E) + 0x21;
        const char pair[2] = {char(row | 0x80), char(column | 0x80)};
        const QString decoded = ksx.decode(QByteArrayView(pair, 2));
        text.append(decoded.size() == 1 ? decoded : QStringLiteral("\uFFFD"));
    }
    return text;
}

} // namespace

int codePage(int charset)
{
    switch (charset) {
    case 0: return 1252;      // ANSI: Western, even in a Russian document (Word's \fcharset0 fonts)
    case 2: return SymbolCodePage;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    // OEM: the code page of the machine's console. The program is made for
    // Russian schools, and a Russian Windows' OEM code page is 866; 850 is
    // that of Western Europe, where these documents are not written.
    case 255: return 866;
    default: return 0;        // the default charset: the caller's code page
    }
}

bool isMultiByte(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361
        || codePage == 65001;
}

QString decode(int codePage, const QByteArray &bytes)
{
    if (codePage == 1361)
        return decodeJohab(bytes);
    QStringDecoder decoder(decoderName(codePage));
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

} // namespace Charsets
