// Font charsets: a document's text and the text of the metafile pictures in
// it read the same bytes as the same letters.
#include "richtext/RtfReader.h"
#include "richtext/WmfPlayer.h"

#include <QTest>
#include <QTextDocument>

namespace {

// The text of bytes written in a font of this charset in an RTF document of
// a Russian Word (\ansicpg1251).
QString documentText(int charset, const QByteArray &bytes)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset" + QByteArray::number(charset)
        + " Arial;}}\\f0 ";
    for (const char c : bytes)
        rtf += (uchar(c) < 0x80 ? QByteArray(1, c) : "\\'" + QByteArray::number(uchar(c), 16));
    QTextDocument document;
    RtfReader::load(rtf + "}", document);
    return document.toRawText();
}

QString metafileText(int charset, const QByteArray &bytes)
{
    return Pictures::metafileText(bytes, charset, QStringLiteral("Arial"));
}

} // namespace

class TestCharsets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bothReadersRead_data();
    void bothReadersRead();
    void bothReadersAgreeOnEveryCharset();
};

void TestCharsets::bothReadersRead_data()
{
    QTest::addColumn<int>("charset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("Cyrillic") << 204 << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2") << u"Привет"_qs;
    // A Russian machine's OEM code page is 866.
    QTest::newRow("OEM") << 255 << QByteArray("\x8f\xe0\xa8\xa2\xa5\xe2") << u"Привет"_qs;
    QTest::newRow("Korean, a syllable beyond EUC-KR") << 129 << QByteArray("\xc7\xd1\x8c\x63") << u"한똠"_qs;
    QTest::newRow("Johab") << 130 << QByteArray("\xd0\x65\x8a\x82\xb4\xe1 \xf7\xd3\xf1\xae \xd9\x6a \x88\x41")
                           << u"한국어 漢字 ★ ㄱ"_qs;
}

void TestCharsets::bothReadersRead()
{
    QFETCH(int, charset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(documentText(charset, bytes), text);
    QCOMPARE(metafileText(charset, bytes), text);
}

void TestCharsets::bothReadersAgreeOnEveryCharset()
{
    QByteArray upper;
    for (int b = 0x80; b <= 0xFF; ++b)
        upper += char(b);
    for (int charset = 0; charset <= 255; ++charset) {
        if (charset == 2)
            continue;   // symbol fonts: their own codes, by font name
        QCOMPARE(documentText(charset, upper), metafileText(charset, upper));
    }
}

QTEST_MAIN(TestCharsets)
#include "tst_charsets.moc"
