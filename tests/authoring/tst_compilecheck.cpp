// The compile check: verdicts, report messages, counts, tag index, picture
// lookup and progress, on documents built paragraph by paragraph.
#include "authoring/CompileCheck.h"
#include "richtext/LineModel.h"

#include "tests/support/DocBuilder.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(Verdict)

namespace {

const QString kSyntax = QStringLiteral("В файле нарушен синтаксис:\r\n\r\n");

// Creates empty files (sub-folders included) under a folder.
void touch(const QString &folder, const QStringList &files)
{
    for (const QString &file : files) {
        const QString path = folder + u'/' + file;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("picture");
    }
}

} // namespace

class TestCompileCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void verdicts_data();
    void verdicts();
    void manualLineBreaksAreLines();
    void progressValues();
    void everyFaultWithItsPlace();
    void warningsNeverBlock();
    void findPicture_data();
    void findPicture();
};

void TestCompileCheck::verdicts_data()
{
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<QStringList>("files");      // created beside the document
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QString>("message");        // %1 stands for the document's folder
    QTest::addColumn<QStringList>("tagIndex");   // checked when not empty

    const QString ok3 = QStringLiteral("База создана:\r\n\r\nТестов: 3\r\nРисунков: 1");
    const QString otherText = kSyntax + QStringLiteral("Строки с тегом {Test=*} не должны содержать другой информации.");
    const QString empty = kSyntax + QStringLiteral("Найдены вопросы не содержащие ни одной строки");
    const QString notAfter = kSyntax + QStringLiteral("Тег {Test} и тег {Pic} не должны быть разделены пустой строкой");

    QTest::newRow("no tags") << QStringList{u"Просто текст"_qs, u"без тегов"_qs} << QStringList{}
                             << Verdict::NoTests << u"Выбранный файл не содержит тестов"_qs << QStringList{u"2"_qs};
    QTest::newRow("empty document") << QStringList{} << QStringList{} << Verdict::NoTests
                                    << u"Выбранный файл не содержит тестов"_qs << QStringList{u"0"_qs};
    QTest::newRow("digit 5") << QStringList{u"{test=1}"_qs, u"q1"_qs, u"{test=5}"_qs, u"q2"_qs} << QStringList{}
                             << Verdict::TagCountMismatch
                             << kSyntax + QStringLiteral("Проверьте правильность теговой разметки.") << QStringList{};
    QTest::newRow("capitals") << QStringList{u"{TEST=2}"_qs, u"q1"_qs, u"{Test=3}"_qs, u"q2"_qs, u"{PIC=A.PNG}"_qs}
                              << QStringList{u"a.png"_qs} << Verdict::PictureNotAfterTag << notAfter << QStringList{};
    QTest::newRow("capitals ok") << QStringList{u"{TEST=2}"_qs, u"{PIC=A.PNG}"_qs, u"q1"_qs, u"{Test=3}"_qs, u"q2"_qs}
                                 << QStringList{u"A.PNG"_qs} << Verdict::Ok
                                 << u"База создана:\r\n\r\nТестов: 2\r\nРисунков: 1"_qs
                                 << QStringList{u"0"_qs, u"3"_qs, u"5"_qs};
    QTest::newRow("text after tag") << QStringList{u"{test=1} ответ"_qs, u"q"_qs} << QStringList{}
                                    << Verdict::TagLineHasOtherText << otherText << QStringList{};
    QTest::newRow("tag inside body") << QStringList{u"{test=1}"_qs, u"q"_qs, u"Напишите {test=2} в строке"_qs, u"q"_qs}
                                     << QStringList{} << Verdict::TagLineHasOtherText << otherText << QStringList{};
    QTest::newRow("blanks and tabs around tag") << QStringList{u" \t{test=4}  "_qs, u"q"_qs} << QStringList{}
                                                << Verdict::Ok << u"База создана:\r\n\r\nТестов: 1\r\nРисунков: 0"_qs
                                                << QStringList{u"0"_qs, u"2"_qs};
    QTest::newRow("two tags in a row") << QStringList{u"{test=1}"_qs, u"{test=2}"_qs, u"q"_qs} << QStringList{}
                                       << Verdict::EmptyQuestion << empty << QStringList{};
    QTest::newRow("tag and picture then tag")
        << QStringList{u"{test=1}"_qs, u"{pic=a.png}"_qs, u"{test=2}"_qs, u"q"_qs} << QStringList{u"a.png"_qs}
        << Verdict::EmptyQuestion << empty << QStringList{};
    QTest::newRow("last line is a tag") << QStringList{u"{test=1}"_qs, u"q"_qs, u"{test=2}"_qs} << QStringList{}
                                        << Verdict::EmptyQuestion << empty << QStringList{};
    QTest::newRow("last lines tag and picture")
        << QStringList{u"{test=1}"_qs, u"q"_qs, u"{test=2}"_qs, u"{pic=a.png}"_qs} << QStringList{u"a.png"_qs}
        << Verdict::EmptyQuestion << empty << QStringList{};
    QTest::newRow("final empty paragraph is no body")
        << QStringList{u"{test=1}"_qs, u"q"_qs, u"{test=2}"_qs, QString()} << QStringList{} << Verdict::EmptyQuestion
        << empty << QStringList{};
    QTest::newRow("blank line is a body") << QStringList{u"{test=1}"_qs, QString(), u"{test=2}"_qs, u"q"_qs, QString()}
                                          << QStringList{} << Verdict::Ok
                                          << u"База создана:\r\n\r\nТестов: 2\r\nРисунков: 0"_qs
                                          << QStringList{u"0"_qs, u"2"_qs, u"4"_qs};
    QTest::newRow("blank between tag and picture")
        << QStringList{u"{test=1}"_qs, QString(), u"{pic=a.png}"_qs, u"q"_qs} << QStringList{u"a.png"_qs}
        << Verdict::PictureNotAfterTag << notAfter << QStringList{};
    QTest::newRow("picture missing") << QStringList{u"{test=1}"_qs, u"{pic= Рис 1.png }"_qs, u"q"_qs}
                                     << QStringList{u"other.png"_qs} << Verdict::PictureMissing
                                     << u"Рисунок \"%1/Рис 1.png\" не найден..."_qs << QStringList{};
    QTest::newRow("picture missing beats other text")
        << QStringList{u"{test=1} x"_qs, u"{pic=a.png}"_qs, u"q"_qs} << QStringList{} << Verdict::PictureMissing
        << u"Рисунок \"%1/a.png\" не найден..."_qs << QStringList{};
    QTest::newRow("picture missing beats empty question")
        << QStringList{u"{test=1}"_qs, u"{test=2}"_qs, u"{pic=b.png}"_qs} << QStringList{} << Verdict::PictureMissing
        << u"Рисунок \"%1/b.png\" не найден..."_qs << QStringList{};
    QTest::newRow("first missing picture named")
        << QStringList{u"{test=1}"_qs, u"{pic=a.png}"_qs, u"q"_qs, u"{test=2}"_qs, u"{pic=b.png}"_qs, u"q"_qs,
                       u"{test=3}"_qs, u"{pic=c.png}"_qs, u"q"_qs}
        << QStringList{u"a.png"_qs} << Verdict::PictureMissing << u"Рисунок \"%1/b.png\" не найден..."_qs
        << QStringList{};
    QTest::newRow("absolute picture refused")
        << QStringList{u"{test=1}"_qs, u"{pic=/etc/hostname}"_qs, u"q"_qs} << QStringList{}
        << Verdict::PictureMissing << u"Рисунок \"%1//etc/hostname\" не найден..."_qs << QStringList{};
    QTest::newRow("climbing picture refused")
        << QStringList{u"{test=1}"_qs, u"{pic=..\\doc\\a.png}"_qs, u"q"_qs} << QStringList{u"a.png"_qs}
        << Verdict::PictureMissing << u"Рисунок \"%1/..\\doc\\a.png\" не найден..."_qs << QStringList{};
    QTest::newRow("tag text in preamble")
        << QStringList{u"Про {test} и {pic} здесь"_qs, u"Тест по физике"_qs, u"{test=4}"_qs, u"q"_qs}
        << QStringList{} << Verdict::TagLineHasOtherText << otherText << QStringList{};
    QTest::newRow("preamble accepted")
        << QStringList{u"Тест по физике"_qs, u"Вариант 1"_qs, u"{test=4}"_qs, u"q"_qs, u"1) да 2) нет"_qs}
        << QStringList{} << Verdict::Ok << u"База создана:\r\n\r\nТестов: 1\r\nРисунков: 0"_qs
        << QStringList{u"2"_qs, u"5"_qs};
    QTest::newRow("three questions one picture")
        << QStringList{u"{test=1}"_qs, u"Вопрос 1"_qs, u"{test=2}"_qs, u"{pic=Картинки\\Рис.JPG}"_qs, u"Вопрос 2"_qs,
                       u"ответы"_qs, u"{test=3}"_qs, u"Вопрос 3"_qs}
        << QStringList{u"картинки/рис.jpg"_qs} << Verdict::Ok << ok3 << QStringList{u"0"_qs, u"2"_qs, u"6"_qs, u"8"_qs};
}

void TestCompileCheck::verdicts()
{
    QFETCH(QStringList, paragraphs);
    QFETCH(QStringList, files);
    QFETCH(Verdict, verdict);
    QFETCH(QString, message);
    QFETCH(QStringList, tagIndex);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = QDir(dir.path() + u"/doc"_qs).absolutePath();
    QDir().mkpath(folder);
    touch(folder, files);
    touch(dir.path(), {u"a.png"_qs}); // a picture outside the document's folder

    QTextDocument doc;
    buildDocument(doc, paragraphs);
    const CheckResult result = compileCheck(LineModel(doc), folder + u"/test.rtf"_qs);
    QCOMPARE(result.verdict, verdict);
    QCOMPARE(result.message, message.contains(u"%1"_qs) ? message.arg(folder) : message);
    QCOMPARE(cueFor(result.verdict), verdict == Verdict::Ok ? u"OkNewBaza"_qs : u"ErrorNewBaza"_qs);
    if (verdict == Verdict::PictureMissing)
        QVERIFY(result.message.contains(result.missingPicture));
    if (!tagIndex.isEmpty()) {
        QStringList index;
        for (const QByteArray &line : result.tagIndex)
            index << QString::fromLatin1(line);
        QCOMPARE(index, tagIndex);
    }
    if (verdict == Verdict::Ok)
        QCOMPARE(result.tagIndex.size(), result.testCount + 1);
}

void TestCompileCheck::manualLineBreaksAreLines()
{
    // A tag written on a line of its own inside a paragraph (Shift+Enter).
    QTextDocument doc;
    const QChar br(QChar::LineSeparator);
    buildDocument(doc, {u"Вступление"_qs + br + u"{test=3}"_qs + br + u"вопрос"_qs, u"{test=1}"_qs, u"ещё"_qs});
    const CheckResult result = compileCheck(LineModel(doc), u"/nowhere/x.rtf"_qs);
    QCOMPARE(result.verdict, Verdict::Ok);
    QCOMPARE(result.tagIndex, (LineList{"1", "3", "5"}));
}

void TestCompileCheck::progressValues()
{
    QTextDocument doc;
    buildDocument(doc, {u"{test=1}"_qs, u"{pic=none.png}"_qs, u"q"_qs});
    QList<int> values;
    const CheckResult result =
        compileCheck(LineModel(doc), u"/nowhere/x.rtf"_qs, [&values](int value) { values << value; });
    QCOMPARE(result.verdict, Verdict::PictureMissing);
    QCOMPARE(values, (QList<int>{25, 40, 55, 70, 85, 95}));
}

// A document with several faults gets them all at once, each with its line
// and question, whatever the one verdict of the report says.
void TestCompileCheck::everyFaultWithItsPlace()
{
    QTemporaryDir dir;
    const QStringList document{u"Вступление"_qs,    u"{test=1} ответ"_qs,   u"Вопрос один"_qs,
                               u"{test=7}"_qs,       u"Вопрос два"_qs,       u"{pic=../чужой.png}"_qs,
                               u"{test=2}"_qs,       u"{test=3}"_qs,         u"{pic=нет.png}"_qs,
                               u"Вопрос пять"_qs};
    QTextDocument doc(document.join(u'\n'));
    const CheckResult result = compileCheck(LineModel(doc), dir.filePath(u"тест.rtf"_qs));
    QStringList places;
    for (const Finding &finding : result.findings)
        places << u"%1/%2/%3"_qs.arg(finding.line).arg(finding.question).arg(int(finding.kind));
    using K = Finding::Kind;
    QCOMPARE(places, (QStringList{u"2/1/%1"_qs.arg(int(K::TagLineHasOtherText)),
                                  u"4/2/%1"_qs.arg(int(K::TagDigitOutOfRange)),
                                  u"6/2/%1"_qs.arg(int(K::PictureNotAfterTag)),
                                  u"7/3/%1"_qs.arg(int(K::EmptyQuestion)),
                                  u"9/4/%1"_qs.arg(int(K::PictureMissing))}));
    QCOMPARE(result.findings.at(0).detail, u"ответ"_qs);
    QCOMPARE(result.findings.at(1).detail, u"7"_qs);
    QVERIFY(result.findings.at(4).detail.endsWith(u"/нет.png"_qs));

    const QStringList outside{u"{test=1}"_qs, u"{pic=..\\чужой.png}"_qs, u"Вопрос"_qs};
    QTextDocument escaping(outside.join(u'\n'));
    const CheckResult leaving = compileCheck(LineModel(escaping), dir.filePath(u"тест.rtf"_qs));
    QCOMPARE(leaving.findings.size(), 1);
    QCOMPARE(leaving.findings.first().kind, K::PictureOutsideFolder);
}

namespace {

// A question with a right field and a body.
QStringList question(int field, const QString &body)
{
    return {u"{test=%1}"_qs.arg(field), body};
}

QStringList warningsOf(const CheckResult &result)
{
    QStringList found;
    for (const Warning &warning : result.warnings)
        found << u"%1/%2/%3/%4"_qs.arg(warning.line).arg(warning.question).arg(int(warning.kind)).arg(warning.detail);
    return found;
}

} // namespace

// Warnings come with the check's result and leave its verdict alone.
void TestCompileCheck::warningsNeverBlock()
{
    using K = Warning::Kind;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"тест.rtf"_qs);
    const auto check = [&path](const QStringList &paragraphs) {
        QTextDocument doc;
        buildDocument(doc, paragraphs);
        return compileCheck(LineModel(doc), path);
    };

    // Ten questions, field 2 right in five (50 %), never twice in a row;
    // the numbered answers stand on one line, in a list, or in a table's
    // number column.
    QStringList keyed;
    const QList<int> key{2, 1, 2, 3, 2, 4, 2, 1, 2, 3};
    for (qsizetype i = 0; i < key.size(); ++i)
        keyed << question(key.at(i), u"Вопрос %1 1) а 2) б 3) в 4) г"_qs.arg(i));
    keyed[1] = u"Вопрос 0\n1.\tа\n2.\tб\n3.\tв\n4.\tг"_qs.replace(u"\n"_qs, QString(QChar::LineSeparator));
    keyed[3] = u"Вопрос 1"_qs + QChar::LineSeparator + u"1"_qs + QChar::LineSeparator + u"а"_qs
               + QChar::LineSeparator + u"2"_qs + QChar::LineSeparator + u"б 3) в 4) г"_qs;
    CheckResult result = check(keyed);
    QCOMPARE(result.verdict, Verdict::Ok);
    QCOMPARE(result.rightFields, (std::array<int, 4>{2, 5, 2, 1}));
    QCOMPARE(warningsOf(result), QStringList{u"0/0/%1/2:50"_qs.arg(int(K::KeyShare))});
    // Four of ten (40 %) is no warning; nor is any share under eight questions.
    keyed[8] = u"{test=4}"_qs;
    QVERIFY(check(keyed).warnings.isEmpty());

    // Five in a row; the same text in other spacing and letter case; a body
    // without its last answers.
    const QStringList run = question(3, u"Столица  России? 1) Казань 2) Омск 3) Москва 4) Тверь"_qs)
                            + question(3, u"Q 1) a 2) b 3) c 4) d"_qs) + question(3, u"R 1) a 2) b 3) c 4) d"_qs)
                            + question(3, u"столица россии? 1) казань 2) омск 3) москва 4) тверь"_qs)
                            + question(3, u"S 1) a 2) b"_qs) + question(1, u"T 1) a 2) b 3) c 4) d"_qs);
    result = check(run);
    QCOMPARE(result.verdict, Verdict::Ok);
    QCOMPARE(warningsOf(result), (QStringList{u"1/1/%1/3:5"_qs.arg(int(K::KeyRun)), u"7/4/%1/1"_qs.arg(int(K::SameText)),
                                              u"9/5/%1/3,4"_qs.arg(int(K::NoNumberedAnswers))}));
    QVERIFY(result.warnings.at(1).describe().startsWith(u"строка 7, вопрос 4: текст вопроса совпадает с вопросом 1"_qs));

    // A picture of 48 megapixels (its header says so) and a file of 21 MB.
    QByteArray bmp("BM", 2);
    QDataStream out(&bmp, QIODevice::Append);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(54) << quint32(0) << quint32(54) << quint32(40) << qint32(8000) << qint32(6000) << quint16(1)
        << quint16(24) << quint32(0) << quint32(0) << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
    QFile big(dir.filePath(u"big.bmp"_qs));
    QVERIFY(big.open(QIODevice::WriteOnly) && big.write(bmp) == 54);
    big.close();
    QFile heavy(dir.filePath(u"heavy.png"_qs));
    QVERIFY(heavy.open(QIODevice::WriteOnly) && heavy.resize(21LL * 1024 * 1024));
    heavy.close();
    touch(dir.path(), {u"small.png"_qs});
    result = check(QStringList{u"{test=1}"_qs, u"{pic=big.bmp}"_qs, u"A 1) a 2) b 3) c 4) d"_qs, u"{test=2}"_qs,
                               u"{pic=HEAVY.png}"_qs, u"B 1) a 2) b 3) c 4) d"_qs, u"{test=3}"_qs, u"{pic=small.png}"_qs,
                               u"C 1) a 2) b 3) c 4) d"_qs});
    QCOMPARE(result.verdict, Verdict::Ok);
    QCOMPARE(warningsOf(result), (QStringList{u"1/1/%1/big.bmp"_qs.arg(int(K::LargePicture)),
                                              u"4/2/%1/HEAVY.png"_qs.arg(int(K::LargePicture))}));
    QVERIFY2(result.warnings.at(0).what.contains(u"8000 × 6000"_qs), qPrintable(result.warnings.at(0).what));
    QVERIFY2(result.warnings.at(1).what.contains(u"21 МБ"_qs), qPrintable(result.warnings.at(1).what));
}

void TestCompileCheck::findPicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("found");   // relative to the document's folder; empty: not found
    QTest::newRow("same case") << u"pic.png"_qs << u"pic.png"_qs;
    QTest::newRow("other case") << u"PIC.PNG"_qs << u"pic.png"_qs;
    QTest::newRow("backslash sub-folder, other case") << u"IMG\\Рис.Jpg"_qs << u"img/рис.jpg"_qs;
    QTest::newRow("slash sub-folder") << u"img/рис.jpg"_qs << u"img/рис.jpg"_qs;
    QTest::newRow("folder is no picture") << u"img"_qs << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("absolute slash") << u"/etc/hostname"_qs << QString();
    QTest::newRow("absolute backslash") << u"\\etc\\hostname"_qs << QString();
    QTest::newRow("drive letter") << u"C:\\pic.png"_qs << QString();
    QTest::newRow("drive letter relative") << u"c:pic.png"_qs << QString();
    QTest::newRow("climbing") << u"..\\outside.png"_qs << QString();
    QTest::newRow("climbing inside") << u"img/../../outside.png"_qs << QString();
    QTest::newRow("climbing and back") << u"img\\..\\pic.png"_qs << QString();
    // Symbolic links count where they lead.
    QTest::newRow("link to a file outside") << u"link.png"_qs << QString();
    QTest::newRow("through a linked folder outside") << u"linkdir\\outside.png"_qs << QString();
    QTest::newRow("link to a folder, not a file") << u"linkdir"_qs << QString();
    QTest::newRow("link inside the folder") << u"Inlink.png"_qs << u"pic.png"_qs;
    QTest::newRow("link up to the folder") << u"img/up.png"_qs << u"pic.png"_qs;
}

void TestCompileCheck::findPicture()
{
    QFETCH(QString, name);
    QFETCH(QString, found);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u"/doc"_qs;
    QDir().mkpath(folder);
    touch(folder, {u"pic.png"_qs, u"img/рис.jpg"_qs});
    touch(dir.path(), {u"outside.png"_qs});
    QVERIFY(QFile::link(dir.path() + u"/outside.png"_qs, folder + u"/link.png"_qs));
    QVERIFY(QFile::link(dir.path(), folder + u"/linkdir"_qs));
    QVERIFY(QFile::link(u"pic.png"_qs, folder + u"/inlink.png"_qs));
    QVERIFY(QFile::link(u"../pic.png"_qs, folder + u"/img/up.png"_qs));

    const Expected<QString> result = ::findPicture(folder, name);
    if (found.isEmpty()) {
        QVERIFY(!result);
        QCOMPARE(result.error(), picturePathAsWritten(folder, name));
    } else {
        QVERIFY2(result, qPrintable(result.error()));
        QCOMPARE(QFileInfo(*result).canonicalFilePath(), QFileInfo(folder + u'/' + found).canonicalFilePath());
    }
}

QTEST_MAIN(TestCompileCheck)
#include "tst_compilecheck.moc"
