// The authors' checker, run as the process an author or a script runs:
// its output and its exit status.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kData = QStringLiteral(ENGINE_DATA);

struct Run
{
    int status = -1;
    QString out;
};

Run check(const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(kData);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM")); // the checker must manage without it
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(NASTAVNIK_CHECK), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

} // namespace

class TestChecker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void goodDocumentWithQuestions();
    void exitStatus_data();
    void exitStatus();
    void refusesWhatTheProgramRefuses();
    void folderAndJson();
};

void TestChecker::goodDocumentWithQuestions()
{
    const Run run = check({u"--questions"_qs, u"good.rtf"_qs});
    QCOMPARE(run.status, 0);
    const QString expected = u"== good.rtf\n"
                             u"База создана:\n\nТестов: 3\nРисунков: 1\n"
                             u"предупреждение: строка 3, вопрос 1: не найдены нумерованные ответы 3, 4 ({test=2})\n"
                             u"-- 1 correct=2 picture=images\\fig1.png\n"
                             u"Какая сила тянет яблоко вниз?\n1) трения\n2) тяжести\n"
                             u"-- 2 correct=3 picture=-\n"
                             u"Сколько будет 2+2?\n1) три\n2) пять\n3) четыре\n4) ноль\n"
                             u"-- 3 correct=4 picture=-\n"
                             u"Что на рисунке?\nВыберите ответ:\n\uFFFC\n1) круг 2) квадрат 3) звезда 4) прямоугольник\n"_qs;
    QCOMPARE(run.out, expected);
}

void TestChecker::exitStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");

    QTest::newRow("good") << QStringList{u"lo_good.rtf"_qs} << 0
                          << u"== lo_good.rtf\nБаза создана:\n\nТестов: 2\nРисунков: 1\n"_qs;
    QTest::newRow("bad") << QStringList{u"--questions"_qs, u"emptyquestion.rtf"_qs} << 1
                         << u"== emptyquestion.rtf\nВ файле нарушен синтаксис:\n\n"
                            u"Найдены вопросы не содержащие ни одной строки\n"
                            u"строка 1, вопрос 1: в вопросе нет ни одной строки ({test=1})\n"
                            u"предупреждение: строка 2, вопрос 2: не найдены нумерованные ответы 1, 2, 3, 4 ({test=2})\n"_qs;
    QTest::newRow("good and bad") << QStringList{u"plain.txt"_qs, u"notests.rtf"_qs} << 1
                                  << u"== plain.txt\nБаза создана:\n\nТестов: 1\nРисунков: 0\n"
                                     u"предупреждение: строка 2, вопрос 1: не найдены нумерованные ответы 3, 4 ({test=3})\n"
                                     u"== notests.rtf\nВыбранный файл не содержит тестов\n"_qs;
    QTest::newRow("missing picture, full path")
        << QStringList{kData + u"/picturemissing.rtf"_qs} << 1
        << u"== %1/picturemissing.rtf\nРисунок \"%1/Нет такого.png\" не найден...\n"
           u"строка 1, вопрос 1: в строке с тегом есть другой текст: «лишнее» ({test=1} лишнее)\n"
           u"строка 2, вопрос 1: рисунок не найден: %1/Нет такого.png ({pic=Нет такого.png})\n"
           u"предупреждение: строка 1, вопрос 1: не найдены нумерованные ответы 1, 2, 3, 4 ({test=1} лишнее)\n"_qs.arg(kData);
    QTest::newRow("unreadable") << QStringList{u"no such file.rtf"_qs, u"good.rtf"_qs} << 2 << QString();
    QTest::newRow("folder") << QStringList{u"images"_qs} << 2 << QString();
    QTest::newRow("no files") << QStringList{u"--questions"_qs} << 2 << QString();
    QTest::newRow("unknown option") << QStringList{u"--quiet"_qs, u"good.rtf"_qs} << 2 << QString();
}

void TestChecker::exitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, output);
    const Run run = check(arguments);
    QCOMPARE(run.status, status);
    if (!output.isEmpty())
        QCOMPARE(run.out, output);
}

void TestChecker::refusesWhatTheProgramRefuses()
{
    // A Word 97 file under an .rtf name, and a picture that is a link to a
    // file outside the document's folder.
    QTemporaryDir outside;
    QTemporaryDir dir;
    const QByteArray tags = "{test=1}\r\n{pic=link.png}\r\nQuestion\r\n";
    QFile word(dir.path() + u"/word.rtf"_qs);
    QVERIFY(word.open(QIODevice::WriteOnly));
    word.write(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10) + tags);
    word.close();
    QFile linked(dir.path() + u"/linked.txt"_qs);
    QVERIFY(linked.open(QIODevice::WriteOnly));
    linked.write(tags);
    linked.close();
    QFile secret(outside.path() + u"/secret"_qs);
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("secret");
    secret.close();
    QVERIFY(QFile::link(secret.fileName(), dir.path() + u"/link.png"_qs));

    const Run run = check({dir.path() + u"/word.rtf"_qs, dir.path() + u"/linked.txt"_qs});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, u"== %1/word.rtf\nФайл «word.rtf» — документ Microsoft Word (DOC), а не RTF.\n\n"
                      u"Сохраните документ в формате RTF.\n"
                      u"== %1/linked.txt\nРисунок \"%1/link.png\" не найден...\n"
                      u"строка 2, вопрос 1: рисунок не найден: %1/link.png ({pic=link.png})\n"
                      u"предупреждение: строка 1, вопрос 1: не найдены нумерованные ответы 1, 2, 3, 4 ({test=1})\n"_qs.arg(dir.path()));
}

// A folder stands for every RTF document under it, in order; --json gives
// scripts the same reports, faults and warnings with their places included.
void TestChecker::folderAndJson()
{
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.path() + u"/b"_qs));
    QVERIFY(QFile::copy(kData + u"/notests.rtf"_qs, dir.path() + u"/b/notests.rtf"_qs));
    QVERIFY(QFile::copy(kData + u"/emptyquestion.rtf"_qs, dir.path() + u"/a.RTF"_qs));
    QVERIFY(QFile::copy(kData + u"/plain.txt"_qs, dir.path() + u"/plain.txt"_qs));

    const Run text = check({dir.path()});
    QCOMPARE(text.status, 1);
    QCOMPARE(text.out.count(u"== "_qs), 2);
    QVERIFY(text.out.indexOf(u"/a.RTF"_qs) < text.out.indexOf(u"/b/notests.rtf"_qs));

    const Run json = check({u"--json"_qs, dir.path()});
    QCOMPARE(json.status, 1);
    const QJsonArray reports = QJsonDocument::fromJson(json.out.toUtf8()).array();
    QCOMPARE(reports.size(), 2);
    const QJsonObject empty = reports.at(0).toObject();
    QCOMPARE(empty.value(u"status"_qs).toString(), u"failed"_qs);
    const QJsonObject finding = empty.value(u"findings"_qs).toArray().at(0).toObject();
    QCOMPARE(finding.value(u"kind"_qs).toString(), u"empty-question"_qs);
    QCOMPARE(finding.value(u"line"_qs).toInt(), 1);
    QCOMPARE(finding.value(u"question"_qs).toInt(), 1);
    QCOMPARE(reports.at(1).toObject().value(u"message"_qs).toString(), u"Выбранный файл не содержит тестов"_qs);
    // Warnings, and the share of each right field, come beside the faults.
    const QJsonObject warning = empty.value(u"warnings"_qs).toArray().at(0).toObject();
    QCOMPARE(warning.value(u"kind"_qs).toString(), u"no-numbered-answers"_qs);
    QCOMPARE(warning.value(u"question"_qs).toInt(), 2);
    QCOMPARE(empty.value(u"rightFields"_qs).toArray(), (QJsonArray{1, 1, 0, 0}));
}

QTEST_GUILESS_MAIN(TestChecker)
#include "tst_checker.moc"
