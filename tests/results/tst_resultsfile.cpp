// The results table file: loading, padding, appending with the oldest
// record dropped, saving through the codec, and keeping foreign lines.
#include "library/Codec.h"
#include "library/LineList.h"
#include "results/ResultsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ResultsFile;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A table whose every field names its record and column, e.g. "r3c5".
LineList numberedTable()
{
    LineList lines;
    for (int row = 1; row <= RecordCount; ++row)
        for (int column = 1; column <= FieldCount; ++column)
            lines.append("r" + QByteArray::number(row) + "c" + QByteArray::number(column));
    return lines;
}

} // namespace

class TestResultsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void missingOrShortFileIsPadded_data();
    void missingOrShortFileIsPadded();
    void unreadableFileIsAnError();
    void saveCreatesFolderAndEncodes();
    void saveFailureIsReported();
    void roundTripKeepsBytes();
    void appendDropsOldest();
    void unknownFieldsKeepPreviousNewest();
    void fifteenResultsKeep84Lines();
    void recordFields_data();
    void recordFields();
    void fieldBytesNeverBreakLines();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("Baza/Images/normal.cfg")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestResultsFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestResultsFile::missingOrShortFileIsPadded_data()
{
    QTest::addColumn<int>("existing");
    QTest::newRow("missing") << -1;
    QTest::newRow("empty") << 0;
    QTest::newRow("short") << 10;
}

void TestResultsFile::missingOrShortFileIsPadded()
{
    QFETCH(int, existing);
    LineList stored;
    for (int i = 0; i < existing; ++i)
        stored.append(Codec::codeLine("line" + QByteArray::number(i)));
    if (existing >= 0) {
        QVERIFY(QDir().mkpath(QFileInfo(path()).path()));
        QVERIFY(LineLists::write(path(), stored));
    }
    const Expected<LineList> lines = load(path());
    QVERIFY2(lines, qPrintable(lines.error()));
    QCOMPARE(lines->size(), LineCount);
    for (int i = 0; i < LineCount; ++i)
        QCOMPARE(lines->at(i), i < existing ? "line" + QByteArray::number(i) : QByteArray());
    QVERIFY(save(path(), *lines));
    QCOMPARE(LineLists::read(path())->size(), LineCount);
}

void TestResultsFile::unreadableFileIsAnError()
{
    // A folder where the file should be cannot be read as a file.
    QVERIFY(QDir().mkpath(path()));
    const Expected<LineList> lines = load(path());
    QVERIFY(!lines);
    QVERIFY(!lines.error().isEmpty());
}

void TestResultsFile::saveCreatesFolderAndEncodes()
{
    LineList lines = numberedTable();
    lines[0] = "abc";
    QVERIFY(save(path(), lines));
    const QByteArray bytes = readAll(path());
    QVERIFY(bytes.startsWith("\x9E\x9D\x9C\r\n"));
    QCOMPARE(bytes.count("\r\n"), LineCount);
}

void TestResultsFile::saveFailureIsReported()
{
    // The folder of the file is taken by a plain file: nothing can be created.
    QFile blocker(m_dir->filePath(QStringLiteral("Baza")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Status status = save(path(), numberedTable());
    QVERIFY(!status);
    QVERIFY(!status.error().isEmpty());
}

void TestResultsFile::roundTripKeepsBytes()
{
    // Surnames with т, х and я (bytes the codec leaves alone), every other
    // byte value, and lines after the 84th that belong to somebody else.
    LineList lines = numberedTable();
    lines[lineIndex(14, 1)] = "\xD5\xE0\xF0\xE8\xF2\xEE\xED\xEE\xE2\xE0 \xDF\xED\xE0 \xF5\xF2\xFF"; // Харитонова Яна хтя
    QByteArray every;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            every.append(char(b));
    lines[lineIndex(7, 3)] = every;
    lines.append("extra one");
    lines.append(QByteArray());
    lines.append("\xF2\xF5\xFF");
    QVERIFY(save(path(), lines));
    const QByteArray first = readAll(path());

    const Expected<LineList> loaded = load(path());
    QVERIFY(loaded);
    QCOMPARE(*loaded, lines);
    QVERIFY(save(path(), *loaded));
    QCOMPARE(readAll(path()), first);
}

void TestResultsFile::appendDropsOldest()
{
    LineList lines = numberedTable();
    append(lines, Record{"a", "b", "c", "d", "e", "f"});
    QCOMPARE(lines.size(), LineCount);
    for (int row = 1; row <= 13; ++row)
        for (int column = 1; column <= FieldCount; ++column)
            QCOMPARE(lines.at(lineIndex(row, column)),
                     "r" + QByteArray::number(row + 1) + "c" + QByteArray::number(column));
    QCOMPARE(lines.mid(lineIndex(14, 1), FieldCount), (LineList{"a", "b", "c", "d", "e", "f"}));
    QVERIFY(!lines.contains("r1c1"));
}

void TestResultsFile::unknownFieldsKeepPreviousNewest()
{
    LineList lines = numberedTable();
    lines.append("beyond");
    append(lines, Record{"a", "b", "c", "d", std::nullopt, std::nullopt});
    QCOMPARE(lines.at(lineIndex(14, 5)), QByteArray("r14c5"));
    QCOMPARE(lines.at(lineIndex(14, 6)), QByteArray("r14c6"));
    QCOMPARE(lines.at(lineIndex(13, 5)), QByteArray("r14c5"));
    QCOMPARE(lines.last(), QByteArray("beyond"));
}

void TestResultsFile::fifteenResultsKeep84Lines()
{
    LineList lines = *load(path());
    for (int n = 1; n <= 15; ++n) {
        append(lines, Record{"s" + QByteArray::number(n), "t", "topic", "1", "Нет", "1 из 1"});
        QVERIFY(save(path(), lines));
        lines = *load(path());
        // The table fills from the bottom.
        if (n < RecordCount)
            QCOMPARE(lines.at(lineIndex(RecordCount - n, 1)), QByteArray());
    }
    QCOMPARE(LineLists::read(path())->size(), LineCount);
    QCOMPARE(lines.at(lineIndex(1, 1)), QByteArray("s2"));
    QCOMPARE(lines.at(lineIndex(14, 1)), QByteArray("s15"));
    QVERIFY(!lines.contains("s1"));
}

void TestResultsFile::recordFields_data()
{
    QTest::addColumn<QByteArray>("timeCode");
    QTest::addColumn<QByteArray>("resultKind");
    QTest::addColumn<QString>("timer");
    QTest::addColumn<QString>("result");

    QTest::newRow("count, no limit") << QByteArray("1") << QByteArray("1") << QStringLiteral("Нет") << QStringLiteral("7 из 10");
    QTest::newRow("12-pt, 2 min") << QByteArray("2") << QByteArray("2") << QStringLiteral("2 мин.") << QStringLiteral("[12-я]: 8");
    QTest::newRow("10-pt, 15 s") << QByteArray("5") << QByteArray("3") << QStringLiteral("15 сек.") << QStringLiteral("[10-я]: 7");
    QTest::newRow("5-pt, 30 s") << QByteArray("4") << QByteArray("4") << QStringLiteral("30 сек.") << QStringLiteral("[5-я]: 4");
    QTest::newRow("unknown codes") << QByteArray("9") << QByteArray("") << QString() << QString();
}

void TestResultsFile::recordFields()
{
    QFETCH(QByteArray, timeCode);
    QFETCH(QByteArray, resultKind);
    QFETCH(QString, timer);
    QFETCH(QString, result);

    Outcome outcome;
    outcome.surname = QStringLiteral("Петров");
    outcome.time = QTime(9, 5, 59);
    outcome.topic = QStringLiteral("Физика - ( Оптика )");
    outcome.asked = 10;
    outcome.correct = 7;
    outcome.timeCode = timeCode;
    outcome.resultKind = resultKind;
    const Record record = makeRecord(outcome);
    QCOMPARE(record[Surname], fieldBytes(QStringLiteral("Петров")));
    QCOMPARE(record[Time], QByteArray("09:05"));
    QCOMPARE(record[Topic], fieldBytes(QStringLiteral("Физика - ( Оптика )")));
    QCOMPARE(record[Questions], QByteArray("10"));
    QCOMPARE(record[Timer].has_value(), !timer.isNull());
    QCOMPARE(record[Result].has_value(), !result.isNull());
    if (record[Timer])
        QCOMPARE(*record[Timer], fieldBytes(timer));
    if (record[Result])
        QCOMPARE(*record[Result], fieldBytes(result));
}

void TestResultsFile::fieldBytesNeverBreakLines()
{
    QCOMPARE(fieldBytes(QStringLiteral("Ёж хтя")), QByteArray("\xA8\xE6 \xF5\xF2\xFF"));
    const QByteArray odd = fieldBytes(QStringLiteral("a\r\nb\u0000c\u4E2D"));
    QCOMPARE(odd.size(), 7);
    QVERIFY(!odd.contains('\r') && !odd.contains('\n') && !odd.contains('\0'));
    QCOMPARE(odd.right(1), QByteArray("?"));
}

QTEST_GUILESS_MAIN(TestResultsFile)
#include "tst_resultsfile.moc"
