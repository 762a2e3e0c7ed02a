// The line model: hard lines of paragraphs, line breaks and table cells.
#include "richtext/LineModel.h"
#include "richtext/RtfReader.h"

#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

namespace {

// "before", a 2 x 2 table whose first cell holds two paragraphs, then a
// paragraph with a manual line break, then "{test=2}".
void buildSample(QTextDocument &doc)
{
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("before"));
    QTextTable *table = c.insertTable(2, 2);
    QTextCursor cell = table->cellAt(0, 0).firstCursorPosition();
    cell.insertText(QStringLiteral("c00"));
    cell.insertBlock();
    cell.insertText(QStringLiteral("c00b"));
    table->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("c01"));
    table->cellAt(1, 0).firstCursorPosition().insertText(QStringLiteral("c10"));
    table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("c11"));
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("one") + QChar(QChar::LineSeparator) + QStringLiteral("Two"));
    c.insertBlock();
    c.insertText(QStringLiteral("{TEST=2}"));
    c.insertBlock();
}

} // namespace

class TestLineModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesInDocumentOrder();
    void offsetsAndLookup();
    void findIgnoresCase();
    void emptyDocument();
    void tableSpacerIsNoLine();
    void copyRangeKeepsFormatsAndPictures();
    void copyRangeKeepsFirstParagraphFormat();
};

void TestLineModel::linesInDocumentOrder()
{
    QTextDocument doc;
    buildSample(doc);
    LineModel model(doc);
    QStringList lines;
    for (int i = 0; i < model.lineCount(); ++i)
        lines << model.lineText(i);
    QCOMPARE(lines, (QStringList{QStringLiteral("before"), QStringLiteral("c00"), QStringLiteral("c00b"),
                                 QStringLiteral("c01"), QStringLiteral("c10"), QStringLiteral("c11"),
                                 QStringLiteral("one"), QStringLiteral("Two"), QStringLiteral("{TEST=2}")}));
}

void TestLineModel::offsetsAndLookup()
{
    QTextDocument doc;
    buildSample(doc);
    LineModel model(doc);
    for (int i = 0; i < model.lineCount(); ++i) {
        QCOMPARE(model.lineAt(model.lineStart(i)), i);
        QTextCursor c(&doc);
        c.setPosition(model.lineStart(i));
        c.setPosition(model.lineStart(i) + model.lineText(i).size(), QTextCursor::KeepAnchor);
        QCOMPARE(c.selectedText(), model.lineText(i));
    }
    QCOMPARE(model.lineStart(model.lineCount()), model.documentEnd());
    QCOMPARE(model.lineAt(model.documentEnd() + 100), model.lineCount() - 1);
}

void TestLineModel::findIgnoresCase()
{
    QTextDocument doc;
    buildSample(doc);
    LineModel model(doc);
    const int hit = model.find(QStringLiteral("{test=2}"), 0);
    QVERIFY(hit >= 0);
    QCOMPARE(model.lineAt(hit), 8);
    QCOMPARE(model.find(QStringLiteral("{test=2}"), hit + 1), -1);
    QCOMPARE(model.lineAt(model.find(QStringLiteral("TWO"), 0)), 7);
    QTextDocument cyr;
    QTextCursor(&cyr).insertText(QStringLiteral("Вопрос: ЁЖИК"));
    QVERIFY(LineModel(cyr).find(QStringLiteral("ёжик"), 0) > 0);
}

void TestLineModel::emptyDocument()
{
    QTextDocument doc;
    LineModel model(doc);
    QCOMPARE(model.lineCount(), 0);
    QCOMPARE(model.lineText(0), QString());
    QCOMPARE(model.find(QStringLiteral("x"), 0), -1);
}

void TestLineModel::tableSpacerIsNoLine()
{
    QTextDocument doc;
    RtfReader::load(QByteArrayLiteral("{\\rtf1\\ansi\\trowd\\cellx1000\\cellx2000\\intbl A\\cell B\\cell\\row\\pard after\\par}"), doc);
    LineModel model(doc);
    QStringList lines;
    for (int i = 0; i < model.lineCount(); ++i)
        lines << model.lineText(i);
    QCOMPARE(lines, (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("after")}));
}

void TestLineModel::copyRangeKeepsFormatsAndPictures()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("{test=1}"));
    c.insertBlock();
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("Жирный"), bold);
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("rtfpic:1")), image);
    QTextImageFormat pic;
    pic.setName(QStringLiteral("rtfpic:1"));
    pic.setWidth(20);
    pic.setHeight(10);
    c.insertImage(pic);
    c.insertBlock();
    c.insertText(QStringLiteral("after"));

    LineModel model(doc);
    QTextDocument view;
    QTextCursor target(&view);
    LineModel::copyRange(doc, model.lineStart(1), model.lineStart(2), target);
    QVERIFY(view.toPlainText().startsWith(QStringLiteral("Жирный") + QChar(QChar::ObjectReplacementCharacter)));
    QTextCursor probe(&view);
    probe.setPosition(2);
    QCOMPARE(probe.charFormat().fontWeight(), int(QFont::Bold));
    const QImage copied = view.resource(QTextDocument::ImageResource, QUrl(QStringLiteral("rtfpic:1"))).value<QImage>();
    QCOMPARE(copied.size(), QSize(20, 10));
    QVERIFY(!view.toPlainText().contains(QStringLiteral("after")));
}

// A question copied into the empty question view keeps the format of every
// paragraph, its first included: a centred, indented question line with a
// gap under it stays so.
void TestLineModel::copyRangeKeepsFirstParagraphFormat()
{
    QTextDocument doc;
    RtfReader::load(QByteArrayLiteral("{\\rtf1\\ansi {test=2}\\par\\pard\\qc\\li400\\fi200\\sb60\\sa240\\b Question\\b0\\par"
                                      "\\pard\\qr\\sa120 1) yes 2) no\\par\\pard {test=1}\\par}"),
                    doc);
    LineModel model(doc);
    QTextDocument view;
    QTextCursor target(&view);
    LineModel::copyRange(doc, model.lineStart(1), model.lineStart(3), target);

    const auto paragraphs = [](const QTextDocument &document, int from) {
        QList<QTextBlockFormat> formats;
        for (QTextBlock block = document.findBlock(from); block.isValid(); block = block.next())
            if (block.length() > 1)
                formats << block.blockFormat();
        return formats;
    };
    const QList<QTextBlockFormat> source = paragraphs(doc, model.lineStart(1)).mid(0, 2);
    const QList<QTextBlockFormat> copied = paragraphs(view, 0);
    QCOMPARE(copied.size(), 2);
    QCOMPARE(source.first().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(copied.at(i).alignment(), source.at(i).alignment());
        QCOMPARE(copied.at(i).leftMargin(), source.at(i).leftMargin());
        QCOMPARE(copied.at(i).textIndent(), source.at(i).textIndent());
        QCOMPARE(copied.at(i).topMargin(), source.at(i).topMargin());
        QCOMPARE(copied.at(i).bottomMargin(), source.at(i).bottomMargin());
    }
    QTextCursor probe(&view);
    probe.setPosition(2);
    QCOMPARE(probe.charFormat().fontWeight(), int(QFont::Bold));
}

QTEST_GUILESS_MAIN(TestLineModel)
#include "tst_linemodel.moc"
