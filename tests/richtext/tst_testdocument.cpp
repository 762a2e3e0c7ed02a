// Reading an author's document from its file as the chooser and the checker
// do: nothing is laid out, documents beyond the program's limits are
// refused with a message naming the file, and reading can be stopped.
#include "richtext/LineModel.h"
#include "richtext/TestDocument.h"

#include <QDir>
#include <QFile>
#include <QAbstractTextDocumentLayout>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// An RTF document of `questions` questions, five paragraphs each.
QByteArray questions(int count)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 ";
    for (int q = 1; q <= count; ++q) {
        rtf += "{test=1}\\par \\'c2\\'ee\\'ef\\'f0\\'ee\\'f1 " + QByteArray::number(q)
            + ": a question long enough to be wrapped twice or more in a view of seven hundred pixels, "
              "if anything were to lay it out\\par 1) one\\par 2) two\\par 3) three\\par ";
    }
    return rtf + "}";
}

} // namespace

class TestTestDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nothingIsLaidOut();
    void linesBeyondTheLimitAreRefused();
    void fileBeyondTheLimitIsRefused();
    void readingReportsProgressAndStops();
};

void TestTestDocument::nothingIsLaidOut()
{
    // The full-test view takes its document's layout and gives it a page
    // width, which makes Qt's own layout word-wrap every paragraph after
    // each change.
    QTemporaryDir dir;
    QTextDocument document;
    document.documentLayout();
    document.setTextWidth(746);
    const QString path = writeFile(dir, QStringLiteral("тест.rtf"), questions(50));
    const Expected<RtfReader::Result> read = TestDocument::read(path, document);
    QVERIFY(read);
    QCOMPARE(LineModel(document).lineCount(), 250);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        QCOMPARE(block.layout()->lineCount(), 0);
}

void TestTestDocument::linesBeyondTheLimitAreRefused()
{
    QTemporaryDir dir;
    QByteArray lines;
    for (int n = 0; n < TestDocument::MaxLines; ++n)
        lines += "x\r\n";
    QTextDocument document;
    const QString atLimit = writeFile(dir, QStringLiteral("ровно.txt"), lines);
    const Expected<RtfReader::Result> accepted = TestDocument::read(atLimit, document);
    QVERIFY(accepted);
    QCOMPARE(LineModel(document).lineCount(), TestDocument::MaxLines);

    const QString beyond = writeFile(dir, QStringLiteral("длинный.txt"), lines + "y\r\n");
    const Expected<RtfReader::Result> refused = TestDocument::read(beyond, document);
    QVERIFY(!refused);
    // The number is written with Russian digit grouping.
    QCOMPARE(QString(refused.error()).replace(QChar(0xA0), u' '),
             QStringLiteral("Документ %1 слишком велик для программы: в нём больше 200 000 строк. "
                            "Разделите его на несколько тем.")
                 .arg(QDir::toNativeSeparators(beyond)));
    QVERIFY(document.isEmpty());
}

void TestTestDocument::fileBeyondTheLimitIsRefused()
{
    QTemporaryDir dir;
    QTextDocument document;
    document.setPlainText(QStringLiteral("прежний документ"));
    const QString path = writeFile(dir, QStringLiteral("огромный.rtf"), "{\\rtf1 ");
    // A sparse file: the size is what counts, and it is refused unread.
    QVERIFY(QFile::resize(path, TestDocument::MaxBytes + 1));
    const Expected<RtfReader::Result> refused = TestDocument::read(path, document);
    QVERIFY(!refused);
    QCOMPARE(refused.error(), QStringLiteral("Документ %1 слишком велик для программы: 151 МБ, а можно не больше "
                                             "150 МБ. Разделите его на несколько тем.")
                                  .arg(QDir::toNativeSeparators(path)));
    QVERIFY(document.isEmpty());
}

void TestTestDocument::readingReportsProgressAndStops()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("тест.rtf"), questions(2000));
    QTextDocument document;
    QList<int> seen;
    const Expected<RtfReader::Result> whole = TestDocument::read(path, document, [&seen](int percent) {
        seen << percent;
        return true;
    });
    QVERIFY(whole && !whole->cancelled);
    QVERIFY(seen.size() >= 3);
    QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
    QVERIFY(seen.constFirst() >= 0 && seen.constLast() <= 100);
    QCOMPARE(LineModel(document).lineCount(), 10000);

    int calls = 0;
    const Expected<RtfReader::Result> stopped = TestDocument::read(path, document, [&calls](int) {
        return ++calls < 2;
    });
    QVERIFY(stopped && stopped->cancelled);
    QCOMPARE(calls, 2);
    QVERIFY(document.isEmpty());
}

QTEST_MAIN(TestTestDocument)
#include "tst_testdocument.moc"
