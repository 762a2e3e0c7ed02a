// Question banks in and out: GIFT and Aiken files of the kind Moodle and a
// teacher's text editor write, made into test documents that pass the
// compile check and become topics, and topics written back as banks.
#include "authoring/CompileCheck.h"
#include "authoring/QuestionBank.h"
#include "authoring/SourceDocument.h"
#include "authoring/TopicFiles.h"
#include "library/LineList.h"
#include "richtext/LineModel.h"
#include "richtext/RtfReader.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace QuestionBank;
Q_DECLARE_METATYPE(QuestionBank::Format)

namespace {

const QString kBanks = QStringLiteral(BANK_DATA);
const QString kEngine = QStringLiteral(ENGINE_DATA);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A question as one line: its line, key, picture, text and answers.
QStringList summary(const QList<Question> &questions, bool withLines = true)
{
    QStringList out;
    for (const Question &q : questions)
        out << u"%1|%2|%3|%4|%5"_qs.arg(withLines ? q.line : 0).arg(q.right).arg(q.picture, q.text,
                                                                               q.answers.join(u';'));
    return out;
}

QStringList notes(const QList<Note> &list)
{
    QStringList out;
    for (const Note &note : list)
        out << note.describe();
    return out;
}

Bank readBank(const QByteArray &bytes)
{
    const QString text = decode(bytes);
    return guessFormat(text) == Format::Aiken ? readAiken(text) : readGift(text);
}

// Makes a topic of a document as base creation does; the check must pass.
void makeTopic(const QString &document, const QString &topic)
{
    const Expected<LineList> source = SourceDocument::read(document);
    QVERIFY2(source, qPrintable(source.error()));
    QTextDocument doc;
    RtfReader::load(SourceDocument::checkedBytes(*source), doc);
    const LineModel lines(doc);
    const CheckResult check = compileCheck(lines, document);
    QVERIFY2(check.verdict == Verdict::Ok, qPrintable(check.message));
    QVERIFY(check.findings.isEmpty());
    QVERIFY(QDir().mkpath(topic));
    QVERIFY(TopicFiles::writeTopicFiles(topic, *source, QFileInfo(document).absolutePath(),
                                        TopicFiles::pictureNames(lines), check.tagIndex, check.testCount));
}

} // namespace

class TestQuestionBank : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void giftAsMoodleWritesIt();
    void aikenAsNotepadWritesIt();
    void anyEncoding();
    void roundTrip_data();
    void roundTrip();
    void handwrittenTopicToGift();
    void nothingToImport();
};

// Every kind of question Moodle exports: the multiple-choice ones with one
// right answer come in, every other kind is listed with its line.
void TestQuestionBank::giftAsMoodleWritesIt()
{
    const Bank bank = readBank(readAll(kBanks + u"/moodle.gift"_qs));
    QCOMPARE(summary(bank.questions),
             (QStringList{u"6|2||Какая сила тянет яблоко вниз?|Сила трения;Сила тяжести;Сила упругости;Сила Архимеда"_qs,
                          u"14|2|map small.png|Какой город отмечен на карте звездой?|Казань;Москва;Тверь;Омск"_qs,
                          u"22|3||Чему равно 2 + 2 = ? Ответ дайте числом {целым}.|3;5;4"_qs,
                          u"55|1||Москва — _____ России.|столица;окраина;деревня"_qs,
                          u"63|1||Сколько полей на доске: четыре или два (π ≠ 4)?|четыре;два"_qs}));
    QCOMPARE(notes(bank.notes),
             (QStringList{u"строка 29: вопрос «верно/неверно» пропущен"_qs,
                          u"строка 32: вопрос с кратким ответом пропущен"_qs,
                          u"строка 35: вопрос на соответствие пропущен"_qs,
                          u"строка 42: числовой вопрос пропущен"_qs,
                          u"строка 45: вопрос-эссе пропущен"_qs,
                          u"строка 48: вопрос с несколькими верными ответами пропущен"_qs,
                          u"строка 58: вопрос с 5 ответами пропущен: на доске четыре поля"_qs,
                          u"строка 60: текст без ответов (описание) пропущен"_qs}));
}

void TestQuestionBank::aikenAsNotepadWritesIt()
{
    const Bank bank = readBank(readAll(kBanks + u"/aiken-1251.txt"_qs));
    QCOMPARE(summary(bank.questions),
             (QStringList{u"1|2||Какая планета ближе всех к Солнцу?|Венера;Меркурий;Марс;Земля"_qs,
                          u"8|2||Сколько будет 7 · 8?|54;56;64"_qs,
                          u"14|3||Самая длинная река Европы — это|Дунай;Днепр;Волга;Урал"_qs,
                          u"37|1||Кто написал «Войну и мир»?|Толстой;Чехов;Пушкин;Гоголь"_qs}));
    QCOMPARE(notes(bank.notes),
             (QStringList{u"строка 20: вопрос с 5 ответами пропущен: на доске четыре поля"_qs,
                          u"строка 28: ответ «E» не найден среди вариантов, вопрос пропущен"_qs,
                          u"строка 33: нет строки ANSWER:, вопрос пропущен"_qs}));
}

// UTF-8 with or without its mark, UTF-16 with its mark and Windows-1251
// read alike.
void TestQuestionBank::anyEncoding()
{
    for (const QString &file : {u"moodle.gift"_qs, u"aiken-1251.txt"_qs}) {
        const QByteArray bytes = readAll(kBanks + u'/' + file);
        const QString text = decode(bytes);
        const QStringList expected = summary(readBank(bytes).questions);
        QVERIFY(!expected.isEmpty());
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        QList<QByteArray> encodings{"\xEF\xBB\xBF" + text.toUtf8(), text.toUtf8(), utf16.encode(text)};
        QStringEncoder cp1251("windows-1251");
        if (const QByteArray bytes1251 = cp1251.encode(text); !cp1251.hasError())
            encodings << bytes1251;
        for (const QByteArray &encoded : std::as_const(encodings))
            QCOMPARE(summary(readBank(encoded).questions), expected);
    }
}

void TestQuestionBank::roundTrip_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Format>("format");
    QTest::newRow("GIFT") << u"moodle.gift"_qs << Format::Gift;
    QTest::newRow("Aiken") << u"aiken-1251.txt"_qs << Format::Aiken;
}

// Import, the compile check, a topic, export: the same questions and keys,
// and the same pictures.
void TestQuestionBank::roundTrip()
{
    QFETCH(QString, file);
    QFETCH(Format, format);
    QTemporaryDir dir;
    const QString bank = kBanks + u'/' + file;
    const QString document = dir.filePath(u"Импорт/вопросы.rtf"_qs);
    QVERIFY(QDir().mkpath(dir.filePath(u"Импорт"_qs)));
    const Expected<Written> imported = importBank(bank, document);
    QVERIFY2(imported, qPrintable(imported.error()));
    const Bank original = readBank(readAll(bank));
    QCOMPARE(imported->questions, original.questions.size());
    QCOMPARE(notes(imported->notes), notes(original.notes));

    const QString topic = dir.filePath(u"Baza/Data/1/1"_qs);
    makeTopic(document, topic);
    const QString exported = dir.filePath(u"Выгрузка/тема.txt"_qs);
    QVERIFY(QDir().mkpath(dir.filePath(u"Выгрузка"_qs)));
    const Expected<Written> written = exportTopic(topic + u"/Baza.dat"_qs, format, exported, u"Тема"_qs);
    QVERIFY2(written, qPrintable(written.error()));
    QVERIFY2(written->notes.isEmpty(), qPrintable(notes(written->notes).join(u'\n')));
    const Bank back = readBank(readAll(exported));
    QVERIFY(back.notes.isEmpty());
    QCOMPARE(summary(back.questions, false), summary(original.questions, false));

    for (const Question &question : original.questions) {
        if (question.picture.isEmpty())
            continue;
        const QByteArray picture = readAll(kBanks + u'/' + question.picture);
        QVERIFY(!picture.isEmpty());
        QCOMPARE(readAll(dir.filePath(u"Импорт/"_qs + question.picture)), picture);
        QCOMPARE(readAll(dir.filePath(u"Выгрузка/"_qs + question.picture)), picture);
    }
}

// A topic made from a teacher's own document: the text without its
// formatting, answers found by their numbers, the picture named and copied,
// what cannot go noted.
void TestQuestionBank::handwrittenTopicToGift()
{
    QTemporaryDir dir;
    const QString topic = dir.filePath(u"topic"_qs);
    makeTopic(kEngine + u"/good.rtf"_qs, topic);
    const QString gift = dir.filePath(u"good.gift"_qs);
    const Expected<Written> written = exportTopic(topic + u"/Baza.dat"_qs, Format::Gift, gift, u"Физика: силы"_qs);
    QVERIFY2(written, qPrintable(written.error()));
    QCOMPARE(QString::fromUtf8(readAll(gift)),
             u"// Физика: силы\n\n"
             u"[html]Какая сила тянет яблоко вниз?<br><img src\\=\"Images/Fig1.PNG\"> {\n~трения\n=тяжести\n}\n\n"
             u"Сколько будет 2+2? {\n~три\n~пять\n=четыре\n~ноль\n}\n\n"
             u"Что на рисунке?\\nВыберите ответ\\: {\n~круг\n~квадрат\n~звезда\n=прямоугольник\n}\n\n"_qs);
    QCOMPARE(notes(written->notes), QStringList{u"вопрос 3: встроенные рисунки и формулы не переносятся"_qs});
    QCOMPARE(readAll(dir.filePath(u"Images/Fig1.PNG"_qs)), readAll(kEngine + u"/images/fig1.png"_qs));
    // Written into the topic's own folder, its pictures stay as they are.
    QVERIFY(exportTopic(topic + u"/Baza.dat"_qs, Format::Gift, topic + u"/good.gift"_qs, u"Физика"_qs));
    QCOMPARE(readAll(topic + u"/Images/Fig1.PNG"_qs), readAll(kEngine + u"/images/fig1.png"_qs));

    const QString aiken = dir.filePath(u"good.txt"_qs);
    QVERIFY(exportTopic(topic + u"/Baza.dat"_qs, Format::Aiken, aiken, u"Физика"_qs));
    QVERIFY(QString::fromUtf8(readAll(aiken))
                .startsWith(u"Какая сила тянет яблоко вниз? [рисунок: Images\\Fig1.PNG]\nA) трения\nB) тяжести\nANSWER: B\n\n"_qs));
}

// A bank without a question that fits, or too large, is refused with its
// name and writes nothing.
void TestQuestionBank::nothingToImport()
{
    QTemporaryDir dir;
    const QString bank = dir.filePath(u"эссе.gift"_qs);
    QFile file(bank);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("::1::Опишите опыт.{}\n\n::2::\\{test=1\\} в тексте{=да ~нет}\n");
    file.close();
    const QString document = dir.filePath(u"эссе.rtf"_qs);
    Expected<Written> imported = importBank(bank, document);
    QVERIFY(!imported);
    QVERIFY2(imported.error().startsWith(u"В файле «эссе.gift» нет ни одного вопроса"_qs), qPrintable(imported.error()));
    QVERIFY2(imported.error().endsWith(u"строка 1: вопрос-эссе пропущен\n"
                                       u"строка 3: в тексте есть разметка теста «{test» или «{pic=», вопрос пропущен"_qs),
             qPrintable(imported.error()));
    QVERIFY(!QFile::exists(document));

    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(MaxBankBytes + 1));
    file.close();
    imported = importBank(bank, document);
    QVERIFY(!imported);
    QVERIFY2(imported.error().contains(u"«эссе.gift» слишком большой"_qs), qPrintable(imported.error()));
    QVERIFY(!QFile::exists(document));
}

QTEST_MAIN(TestQuestionBank)
#include "tst_questionbank.moc"
