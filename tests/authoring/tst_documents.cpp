// The compile check and the question engine on real RTF documents: written
// in Word's style by hand and converted by LibreOffice, read by the
// program's own reader, as base creation and the opening of a test do.
#include "authoring/CompileCheck.h"
#include "authoring/SourceDocument.h"
#include "authoring/TopicFiles.h"
#include "browser/OpenTopic.h"
#include "library/Codec.h"
#include "library/LineList.h"
#include "richtext/LineModel.h"
#include "richtext/RtfReader.h"
#include "session/Comp.h"
#include "session/Cues.h"
#include "session/SessionState.h"
#include "tests/support/FakeHost.h"
#include "tests/support/Doubles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QImage>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

Q_DECLARE_METATYPE(Verdict)

namespace {

const QString kData = QStringLiteral(ENGINE_DATA);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first picture a document shows, as an image.
QImage firstPicture(const QTextDocument &doc)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                return qvariant_cast<QImage>(
                    doc.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name())));
        }
    }
    return {};
}

QByteArray writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return bytes;
}

QString bodyText(const QTextDocument &doc, const Comp::QuestionPlace &place)
{
    QTextDocument view;
    QTextCursor cursor(&view);
    LineModel::copyRange(doc, place.bodyStart, place.bodyEnd, cursor);
    return view.toPlainText();
}

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void verdicts_data();
    void verdicts();
    void questionsOfWordDocument();
    void questionsOfLibreOfficeDocument();
    void storedBaseOpensWithSameIndex_data();
    void storedBaseOpensWithSameIndex();
    void storedDocumentIsTheCheckedOne();
    void filesNoTopicCanHold_data();
    void filesNoTopicCanHold();
};

void TestDocuments::verdicts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QString>("message");   // %1: the data folder

    const QString syntax = QStringLiteral("В файле нарушен синтаксис:\r\n\r\n");
    QTest::newRow("Word, good") << u"good.rtf"_qs << Verdict::Ok << u"База создана:\r\n\r\nТестов: 3\r\nРисунков: 1"_qs;
    QTest::newRow("LibreOffice, good") << u"lo_good.rtf"_qs << Verdict::Ok
                                       << u"База создана:\r\n\r\nТестов: 2\r\nРисунков: 1"_qs;
    QTest::newRow("plain text") << u"plain.txt"_qs << Verdict::Ok << u"База создана:\r\n\r\nТестов: 1\r\nРисунков: 0"_qs;
    QTest::newRow("no tests") << u"notests.rtf"_qs << Verdict::NoTests << u"Выбранный файл не содержит тестов"_qs;
    QTest::newRow("digit 5") << u"digit5.rtf"_qs << Verdict::TagCountMismatch
                             << syntax + u"Проверьте правильность теговой разметки."_qs;
    QTest::newRow("other text") << u"othertext.rtf"_qs << Verdict::TagLineHasOtherText
                                << syntax + u"Строки с тегом {Test=*} не должны содержать другой информации."_qs;
    QTest::newRow("LibreOffice, tag in body") << u"lo_bad.rtf"_qs << Verdict::TagLineHasOtherText
                                              << syntax + u"Строки с тегом {Test=*} не должны содержать другой информации."_qs;
    QTest::newRow("two tags in a row") << u"emptyquestion.rtf"_qs << Verdict::EmptyQuestion
                                       << syntax + u"Найдены вопросы не содержащие ни одной строки"_qs;
    QTest::newRow("tag on the last line") << u"lasttag.rtf"_qs << Verdict::EmptyQuestion
                                          << syntax + u"Найдены вопросы не содержащие ни одной строки"_qs;
    QTest::newRow("picture missing") << u"picturemissing.rtf"_qs << Verdict::PictureMissing
                                     << u"Рисунок \"%1/Нет такого.png\" не найден..."_qs;
    QTest::newRow("picture outside the folder") << u"outside.rtf"_qs << Verdict::PictureMissing
                                                << u"Рисунок \"%1/..\\engine\\images\\fig1.png\" не найден..."_qs;
    QTest::newRow("blank before picture") << u"picturenotaftertag.rtf"_qs << Verdict::PictureNotAfterTag
                                          << syntax + u"Тег {Test} и тег {Pic} не должны быть разделены пустой строкой"_qs;
}

void TestDocuments::verdicts()
{
    QFETCH(QString, file);
    QFETCH(Verdict, verdict);
    QFETCH(QString, message);
    QTextDocument doc;
    RtfReader::load(readAll(kData + u'/' + file), doc);
    const CheckResult result = compileCheck(LineModel(doc), kData + u'/' + file);
    QCOMPARE(result.message, message.contains(u"%1"_qs) ? message.arg(kData) : message);
    QCOMPARE(result.verdict, verdict);
}

void TestDocuments::questionsOfWordDocument()
{
    QTextDocument doc;
    RtfReader::load(readAll(kData + u"/good.rtf"_qs), doc);
    const LineModel lines(doc);
    const CheckResult result = compileCheck(lines, kData + u"/good.rtf"_qs);
    QCOMPARE(result.verdict, Verdict::Ok);
    SessionState state;
    state.TagIndex = result.tagIndex;

    const QList<int> correct = {2, 3, 4};
    const QStringList pictures = {u"images\\fig1.png"_qs, QString(), QString()};
    const QStringList firstLines = {u"Какая сила тянет яблоко вниз?"_qs, u"Сколько будет 2+2?"_qs,
                                    u"Что на рисунке?"_qs};
    for (int n = 1; n <= 3; ++n) {
        state.DrawnQuestion = n;
        const Comp::QuestionPlace place = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
        QVERIFY(!place.broken);
        QCOMPARE(place.correct, correct.at(n - 1));
        QCOMPARE(place.pictureName, pictures.at(n - 1));
        const QString body = bodyText(doc, place);
        QVERIFY2(body.startsWith(firstLines.at(n - 1)), qPrintable(body));
        QVERIFY(!body.contains(u"{pic="_qs, Qt::CaseInsensitive));
        QVERIFY(!body.contains(u"{test"_qs, Qt::CaseInsensitive));
        QVERIFY(!body.contains(u"Контрольная работа"_qs)); // the preamble
    }
    // The split tag of question 2 reads as one tag; its body holds the table.
    state.DrawnQuestion = 2;
    QVERIFY(bodyText(doc, Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines)).contains(u"четыре"_qs));

    // Question 3 carries an embedded picture into the question view.
    state.DrawnQuestion = 3;
    const Comp::QuestionPlace place = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
    QTextDocument view;
    QTextCursor cursor(&view);
    LineModel::copyRange(doc, place.bodyStart, place.bodyEnd, cursor);
    QVERIFY(view.toRawText().contains(QChar::ObjectReplacementCharacter));
    bool imageShown = false;
    for (QTextBlock block = view.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                imageShown = view.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name())).isValid();
        }
    }
    QVERIFY(imageShown);
}

void TestDocuments::questionsOfLibreOfficeDocument()
{
    QTextDocument doc;
    RtfReader::load(readAll(kData + u"/lo_good.rtf"_qs), doc);
    const LineModel lines(doc);
    const CheckResult result = compileCheck(lines, kData + u"/lo_good.rtf"_qs);
    QCOMPARE(result.verdict, Verdict::Ok);
    SessionState state;
    state.TagIndex = result.tagIndex;
    state.DrawnQuestion = 1;
    Comp::QuestionPlace place = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
    QCOMPARE(place.correct, 1);
    QCOMPARE(place.pictureName, u"images/fig1.png"_qs);
    QCOMPARE(bodyText(doc, place), u"Столица России?\n1) Москва 2) Киев 3) Минск 4) Рига\n"_qs);
    // The last question, a table and a line after it, runs to the end.
    state.DrawnQuestion = 2;
    place = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
    QCOMPARE(place.correct, 4);
    QCOMPARE(place.bodyEnd, lines.documentEnd());
    const QString body = bodyText(doc, place);
    QVERIFY2(body.contains(u"Самая длинная река?"_qs) && body.contains(u"Выберите номер."_qs), qPrintable(body));
}

void TestDocuments::storedBaseOpensWithSameIndex_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("Word") << u"good.rtf"_qs;
    QTest::newRow("LibreOffice") << u"lo_good.rtf"_qs;
    QTest::newRow("plain text") << u"plain.txt"_qs;
}

void TestDocuments::storedBaseOpensWithSameIndex()
{
    // Base creation stores the document as coded lines and the check's
    // index; opening decodes the lines and must find the index sound.
    QFETCH(QString, file);
    const QByteArray source = readAll(kData + u'/' + file);
    QTextDocument checked;
    RtfReader::load(source, checked);
    const CheckResult result = compileCheck(LineModel(checked), kData + u'/' + file);
    QCOMPARE(result.verdict, Verdict::Ok);

    LineList stored = LineLists::split(source);
    Codec::codeLines(stored);
    Codec::codeLines(stored);
    QTextDocument opened;
    RtfReader::load(LineLists::join(stored), opened);
    const LineModel lines(opened);

    QTemporaryDir topic;
    RecordingSink sink;
    Cues cues(sink, topic.path());
    RecordingUi ui;
    SessionState state;
    state.TagIndex = result.tagIndex;
    QVERIFY(Comp::CheckTagIndex(state.TagIndex, lines, topic.path(), cues, ui));
    QVERIFY(ui.warnings.isEmpty());
    QVERIFY(sink.played.isEmpty());
    QCOMPARE(state.TagIndex, result.tagIndex);
}

void TestDocuments::storedDocumentIsTheCheckedOne()
{
    // A picture stored as raw bytes (\bin): a PNG holds CR, LF and NUL
    // bytes, which no line of a line list can. NUL bytes between the RTF's
    // tokens and after its end mean nothing and may go.
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.setPixel(2, 3, qRgb(255, 0, 0));
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
    QVERIFY(png.contains('\r') && png.contains('\n') && png.contains('\0'));
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Times New Roman;}}\r\n"
                           "\\pard\\{test=2\\}\\par\r\n"
                           "What is drawn? {\\pict\\pngblip\\picw8\\pich6\\bin" + QByteArray::number(png.size()) + " "
                           + png + "}\\par\r\n"
                           "1) a 2) b 3) c 4) d\\par" + QByteArray(1, '\0') + "\r\n"
                           "\\{test=3\\}\\par\r\n"
                           "Second question\\par\r\n"
                           "1) a 2) b 3) c 4) d\\par\r\n}" + QByteArray(2, '\0');
    QTemporaryDir dir;
    const QString path = dir.path() + u"/picture.rtf"_qs;
    writeAll(path, rtf);

    // Base creation: one reading, checked as it will be stored.
    const Expected<LineList> source = SourceDocument::read(path);
    QVERIFY2(source, qPrintable(source.error()));
    QTextDocument checked;
    RtfReader::load(SourceDocument::checkedBytes(*source), checked);
    const LineModel checkedLines(checked);
    const CheckResult result = compileCheck(checkedLines, path);
    QCOMPARE(result.message, u"База создана:\r\n\r\nТестов: 2\r\nРисунков: 0"_qs);
    const QString topic = dir.path() + u"/topic"_qs;
    QVERIFY(QDir().mkpath(topic));
    QVERIFY(TopicFiles::writeTopicFiles(topic, *source, dir.path(), {}, result.tagIndex, result.testCount));

    // Opening the topic: Baza.dat decoded, Baza.ini as stored.
    FakeHost host;
    RecordingSink sink;
    Cues cues(sink, dir.path());
    RecordingUi ui;
    Expected<OpenedTopic> opened = openTopic(topic + u"/Baza.dat"_qs, host, cues, ui);
    QVERIFY2(opened, qPrintable(opened.error()));
    QVERIFY(ui.warnings.isEmpty());
    QCOMPARE(opened->pool, 2);
    const LineModel &lines = host.fullTestLines();
    SessionState state;
    state.TagIndex = opened->tagIndex;

    SessionState asChecked;
    asChecked.TagIndex = result.tagIndex;
    for (int n = 1; n <= 2; ++n) {
        state.DrawnQuestion = asChecked.DrawnQuestion = n;
        const Comp::QuestionPlace place = Comp::locateQuestion(state.TagIndex, state.DrawnQuestion, lines);
        QVERIFY(!place.broken);
        QCOMPARE(place.correct, n + 1);
        QCOMPARE(bodyText(host.document, place), bodyText(checked, Comp::locateQuestion(asChecked.TagIndex, asChecked.DrawnQuestion, checkedLines)));
    }
    QCOMPARE(firstPicture(host.document).convertToFormat(QImage::Format_RGB32), image);
    QCOMPARE(firstPicture(checked).convertToFormat(QImage::Format_RGB32), image);
}

void TestDocuments::filesNoTopicCanHold_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("says");
    const QByteArray tags = "{test=1}\r\n{test=2}\r\nquestion\r\n";
    QTest::newRow("Word 97 document") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0", 11) + tags << u"DOC"_qs;
    QTest::newRow("DOCX or ODT") << QByteArray("PK\x03\x04\x14\0\x06\0", 8) + tags << u"DOCX"_qs;
    QTest::newRow("UTF-16 text") << QByteArray("\xFF\xFE{\0t\0e\0s\0t\0", 12) << u"UTF-16"_qs;
    QTest::newRow("NUL in plain text") << tags + QByteArray("\0\0", 2) + tags << u"не текст"_qs;
    QTest::newRow("binary data in the text") << QByteArray("{\\rtf1 \\bin3 a\r\nb}") << u"вне рисунка"_qs;
    QTest::newRow("NUL escaped") << QByteArray("{\\rtf1 \\\0par a}", 15) << u"нулевые байты"_qs;
}

void TestDocuments::filesNoTopicCanHold()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);
    const Expected<LineList> lines = SourceDocument::prepare(bytes, u"/уроки/Тест 5.rtf"_qs);
    QVERIFY(!lines);
    QVERIFY2(lines.error().startsWith(u"Файл «Тест 5.rtf»"_qs), qPrintable(lines.error()));
    QVERIFY2(lines.error().contains(says), qPrintable(lines.error()));
    QVERIFY2(lines.error().endsWith(u"Сохраните документ в формате RTF."_qs), qPrintable(lines.error()));
}

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
