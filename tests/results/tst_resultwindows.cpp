// The result window and the results table driven as the program drives
// them: the table opened from the menu, and at the end of a test with the
// result window over it.
#include "Fixture.h"

#include "library/Codec.h"
#include "library/Cp1251.h"
#include "library/LineList.h"
#include "library/Paths.h"
#include "results/ResultsFile.h"

#include <QAbstractButton>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTableWidget>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The decoded fields of record `row` in the file on disk.
QStringList storedRow(const QString &path, int row)
{
    Expected<LineList> lines = LineLists::read(path);
    QStringList fields;
    if (!lines)
        return fields;
    Codec::codeLines(*lines);
    for (int column = 1; column <= ResultsFile::FieldCount; ++column)
        fields.append(Cp1251::decode(lines->value(ResultsFile::lineIndex(row, column))));
    return fields;
}

QStringList gridRow(QTableWidget *table, int row)
{
    QStringList fields;
    for (int column = 1; column <= ResultsFile::FieldCount; ++column)
        fields.append(table->item(row, column)->text());
    return fields;
}

QLabel *label(QWidget *window, const char *name)
{
    return window->findChild<QLabel *>(QString::fromLatin1(name));
}

// Calls back when a widget receives its show event.
class ShowSpy final : public QObject
{
public:
    ShowSpy(QWidget *widget, std::function<void()> onShow) : m_onShow(std::move(onShow))
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            m_onShow();
        return false;
    }

private:
    std::function<void()> m_onShow;
};

void clickClose(TForm5 &form5)
{
    QTest::mouseClick(label(&form5, "glLabel1"), Qt::LeftButton);
}

} // namespace

class TestResultWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void resultWindow_data();
    void resultWindow();
    void unknownKindKeepsTexts();
    void clickAnywhereCloses_data();
    void clickAnywhereCloses();

    void fixedCells();
    void menuOpenCloseKeepsBytes();
    void finishedTestStoredBeforeResultShows();
    void fifteenthResultPushesOutOldest();
    void unknownCodesKeepPreviousNewest();
    void missingOrShortFile_data();
    void missingOrShortFile();
    void closesOnlyThroughCloseLabel();
    void headersFitTheirColumns();
    void closeLabelDarkWhenShownAgain();
    void unwritableTableIsReported();
    void unreadableTableIsNotOverwritten();

private:
    QString resultsPath() const { return Paths::resultsFile(m_fix->library()); }
    void finishTest(const QString &surname, int correct, int asked, const LineList &config,
                    const std::function<void()> &onResult = {});
    std::unique_ptr<Fixture> m_fix;
};

void TestResultWindows::init()
{
    m_fix = std::make_unique<Fixture>();
    QVERIFY(m_fix->dir.isValid());
    QVERIFY(QDir().mkpath(m_fix->path(QStringLiteral("Baza/Images"))));
    QVERIFY(ResultsFile::save(resultsPath(), LineList(ResultsFile::LineCount)));
}

void TestResultWindows::cleanup()
{
    m_fix.reset();
}

// Runs the end of a test: the table opened with TestEnded set, the result
// window closed by a click, the table closed with "Закрыть".
void TestResultWindows::finishTest(const QString &surname, int correct, int asked, const LineList &config,
                                   const std::function<void()> &onResult)
{
    SessionState &state = m_fix->state;
    state.StudentName = surname;
    state.CorrectCount = correct;
    state.QuestionsToAsk = asked;
    state.TestConfig = config;
    state.TestEnded = true;
    TForm5 &form5 = m_fix->form5;
    TForm6 &form6 = m_fix->form6;
    whenModal(&form6, [&] {
        if (onResult)
            onResult();
        QTest::mouseClick(&form6, Qt::LeftButton);
        // Back on the table once the result window has closed.
        whenModal(&form5, [&] { clickClose(form5); }, [&] { form5.glLabel1Click(); });
    });
    form5.exec();
    state.TestEnded = false;
}

void TestResultWindows::resultWindow_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("t");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("meaning");
    QTest::addColumn<QString>("cue");

    QTest::newRow("count 9 of 10") << QByteArray("1") << 9 << 10 << QStringLiteral("9 из 10")
                                   << QStringLiteral("(количество верных ответов)") << QStringLiteral("Final1");
    QTest::newRow("12-pt 7 of 12") << QByteArray("2") << 7 << 12 << QStringLiteral("\"7\"")
                                   << QStringLiteral("(по двенадцатибальной системе)") << QStringLiteral("Final3");
    QTest::newRow("10-pt 33 of 50") << QByteArray("3") << 33 << 50 << QStringLiteral("\"7\"")
                                    << QStringLiteral("(по десятибальной системе)") << QStringLiteral("Final2");
    QTest::newRow("5-pt 23 of 50") << QByteArray("4") << 23 << 50 << QStringLiteral("\"2\"")
                                   << QStringLiteral("(по пятибальной системе)") << QStringLiteral("Final4");
    QTest::newRow("5-pt 0 of 1") << QByteArray("4") << 0 << 1 << QStringLiteral("\"2\"")
                                 << QStringLiteral("(по пятибальной системе)") << QStringLiteral("Final4");
}

void TestResultWindows::resultWindow()
{
    QFETCH(QByteArray, kind);
    QFETCH(int, c);
    QFETCH(int, t);
    QFETCH(QString, result);
    QFETCH(QString, meaning);
    QFETCH(QString, cue);

    SessionState &state = m_fix->state;
    state.CorrectCount = c;
    state.QuestionsToAsk = t;
    state.TestConfig = {"1", QByteArray::number(t), kind, "50"};
    TForm6 &form6 = m_fix->form6;
    bool seen = false;
    whenModal(&form6, [&] {
        seen = true;
        QCOMPARE(label(&form6, "Label3")->text(), result);
        QCOMPARE(label(&form6, "Label2")->text(), meaning);
        QCOMPARE(label(&form6, "Label1")->text(), QStringLiteral("Ваш результат:"));
        QCOMPARE(m_fix->form5.gridColor(), QColor(233, 233, 233));
        QCOMPARE(m_fix->sink.played, QStringList{cue});
        QTest::mouseClick(&form6, Qt::LeftButton);
    });
    form6.exec();
    QVERIFY(seen);
    QCOMPARE(m_fix->form5.gridColor(), QColor(Qt::white));
    QCOMPARE(m_fix->sink.played, (QStringList{cue, QStringLiteral("BookEnd")}));

    // With the voice switched off the remark is silent; the closing sound
    // follows the other switch.
    m_fix->sink.played.clear();
    m_fix->cues.setVoiceOn(false);
    whenModal(&form6, [&] { QTest::mouseClick(&form6, Qt::LeftButton); });
    form6.exec();
    QCOMPARE(m_fix->sink.played, QStringList{QStringLiteral("BookEnd")});
}

void TestResultWindows::unknownKindKeepsTexts()
{
    SessionState &state = m_fix->state;
    TForm6 &form6 = m_fix->form6;
    state.CorrectCount = 3;
    state.QuestionsToAsk = 4;
    state.TestConfig = {"1", "4", "3", "4"};
    whenModal(&form6, [&] { QTest::mouseClick(&form6, Qt::LeftButton); });
    form6.exec();
    QCOMPARE(label(&form6, "Label3")->text(), QStringLiteral("\"8\""));

    m_fix->sink.played.clear();
    state.CorrectCount = 0;
    state.TestConfig = {"1", "4", "7", "4"};
    whenModal(&form6, [&] { QTest::mouseClick(&form6, Qt::LeftButton); });
    form6.exec();
    QCOMPARE(label(&form6, "Label3")->text(), QStringLiteral("\"8\""));
    QCOMPARE(label(&form6, "Label2")->text(), QStringLiteral("(по десятибальной системе)"));
    QCOMPARE(m_fix->sink.played, QStringList{QStringLiteral("BookEnd")});
}

void TestResultWindows::clickAnywhereCloses_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("window") << QString();
    QTest::newRow("Label1") << QStringLiteral("Label1");
    QTest::newRow("Label2") << QStringLiteral("Label2");
    QTest::newRow("Label3") << QStringLiteral("Label3");
}

void TestResultWindows::clickAnywhereCloses()
{
    QFETCH(QString, target);
    TForm6 &form6 = m_fix->form6;
    m_fix->state.TestConfig = {"1", "1", "1", "1"};
    bool closedByClick = false;
    whenModal(&form6, [&] {
        QWidget *where = target.isEmpty() ? static_cast<QWidget *>(&form6) : form6.findChild<QLabel *>(target);
        QVERIFY(where);
        QCOMPARE(where->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(where, Qt::LeftButton, {}, target.isEmpty() ? QPoint(370, 180) : QPoint(5, 5));
        closedByClick = !form6.isVisible();
    });
    form6.exec();
    QVERIFY(closedByClick);
}

void TestResultWindows::fixedCells()
{
    auto *table = m_fix->form5.findChild<QTableWidget *>(QStringLiteral("Table"));
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 15);
    QCOMPARE(table->columnCount(), 7);
    const QStringList headers{QStringLiteral("№"), QStringLiteral("Фамилия"), QStringLiteral("Время"),
                              QStringLiteral("Тема"), QStringLiteral("Кол/в"), QStringLiteral("Таймер"),
                              QStringLiteral("Результат")};
    const int widths[] = {30, 140, 50, 225, 50, 60, 60};
    for (int column = 0; column < 7; ++column) {
        QCOMPARE(table->item(0, column)->text(), headers.at(column));
        QCOMPARE(table->columnWidth(column), widths[column]);
    }
    QCOMPARE(table->item(1, 0)->text(), QStringLiteral("  1"));
    QCOMPARE(table->item(9, 0)->text(), QStringLiteral("  9"));
    QCOMPARE(table->item(10, 0)->text(), QStringLiteral(" 10"));
    QCOMPARE(table->item(14, 0)->text(), QStringLiteral(" 14"));
    QCOMPARE(table->rowHeight(7), 21);
    QVERIFY(!table->isEnabled());
    QVERIFY(!table->showGrid());
    QCOMPARE(table->geometry(), QRect(8, 8, 633, 321));
    QCOMPARE(m_fix->form5.windowTitle(), QStringLiteral("Таблица результатов..."));
    QCOMPARE(m_fix->form5.size(), QSize(648, 382));
    QVERIFY(!(m_fix->form5.windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(label(&m_fix->form5, "Label1")->text(), QStringLiteral("Последняя запись"));
    QCOMPARE(label(&m_fix->form5, "glLabel1")->text(), QStringLiteral("Закрыть"));
}

void TestResultWindows::menuOpenCloseKeepsBytes()
{
    // A full table with т, х and я in surnames and topics, and lines after
    // the 84th that must survive.
    LineList lines(ResultsFile::LineCount);
    for (int row = 1; row <= 14; ++row) {
        const QString surname = QStringLiteral("Тихонова Яна %1").arg(row);
        lines[ResultsFile::lineIndex(row, 1)] = *Cp1251::encode(surname);
        lines[ResultsFile::lineIndex(row, 2)] = "10:" + QByteArray::number(10 + row);
        lines[ResultsFile::lineIndex(row, 3)] = *Cp1251::encode(QStringLiteral("Химия - ( Растворы )"));
        lines[ResultsFile::lineIndex(row, 4)] = "10";
        lines[ResultsFile::lineIndex(row, 5)] = *Cp1251::encode(QStringLiteral("Нет"));
        lines[ResultsFile::lineIndex(row, 6)] = *Cp1251::encode(QStringLiteral("[5-я]: 4"));
    }
    lines.append("kept 85");
    lines.append("\x98 kept 86");
    QVERIFY(ResultsFile::save(resultsPath(), lines));
    const QByteArray before = readAll(resultsPath());

    TForm5 &form5 = m_fix->form5;
    auto *table = form5.findChild<QTableWidget *>(QStringLiteral("Table"));
    whenModal(&form5, [&] {
        QCOMPARE(table->item(14, 1)->text(), QStringLiteral("Тихонова Яна 14"));
        QCOMPARE(table->item(1, 3)->text(), QStringLiteral("Химия - ( Растворы )"));
        QCOMPARE(table->item(1, 6)->text(), QStringLiteral("[5-я]: 4"));
        clickClose(form5);
    }, [&] { form5.glLabel1Click(); });
    QCOMPARE(form5.exec(), int(QDialog::Accepted));

    QCOMPARE(readAll(resultsPath()), before);
    QCOMPARE(m_fix->sink.played, QStringList{QStringLiteral("BookEnd")});
    QCOMPARE(m_fix->state.LookZone, 3);
    QVERIFY(m_fix->prompter.recorded.messages.isEmpty());
}

void TestResultWindows::finishedTestStoredBeforeResultShows()
{
    SessionState &state = m_fix->state;
    state.StudentName = QStringLiteral("Хатяева");
    state.ReplayCaption = QStringLiteral("Физика - ( Тяготение )");
    state.CorrectCount = 7;
    state.QuestionsToAsk = 10;
    state.TestConfig = {"2", "10", "1", "30"};
    state.TestEnded = true;
    m_fix->clock.msecs = QTime(9, 5, 59).msecsSinceStartOfDay();
    const QStringList expected{QStringLiteral("Хатяева"), QStringLiteral("09:05"), QStringLiteral("Физика - ( Тяготение )"),
                               QStringLiteral("10"), QStringLiteral("2 мин."), QStringLiteral("7 из 10")};

    TForm5 &form5 = m_fix->form5;
    TForm6 &form6 = m_fix->form6;
    auto *table = form5.findChild<QTableWidget *>(QStringLiteral("Table"));
    // The file as it is the moment the result window starts to show, before
    // any change of activation could have written it.
    QStringList storedAtShow;
    ShowSpy spy(&form6, [&] { storedAtShow = storedRow(resultsPath(), 14); });
    bool resultSeen = false;
    whenModal(&form6, [&] {
        resultSeen = true;
        QCOMPARE(storedAtShow, expected);
        // While the result is on screen the record is already on disk.
        QCOMPARE(storedRow(resultsPath(), 14), expected);
        QCOMPARE(gridRow(table, 14), expected);
        QCOMPARE(form5.gridColor(), QColor(233, 233, 233));
        QCOMPARE(label(&form6, "Label3")->text(), QStringLiteral("7 из 10"));
        QTest::mouseClick(label(&form6, "Label3"), Qt::LeftButton);
    });
    bool tableSeenAfterResult = false;
    whenModal(&form5, [&] {
        tableSeenAfterResult = resultSeen;
        QCOMPARE(form5.gridColor(), QColor(Qt::white));
        clickClose(form5);
    }, [&] { form5.glLabel1Click(); });
    form5.exec();
    state.TestEnded = false;

    QVERIFY(resultSeen);
    QVERIFY(tableSeenAfterResult);
    QCOMPARE(storedRow(resultsPath(), 14), expected);
    QCOMPARE(storedRow(resultsPath(), 13), QStringList(6, QString()));
    QCOMPARE(LineLists::read(resultsPath())->size(), ResultsFile::LineCount);
    // 7 of 10 is a 4 on the 5-point scale, whatever the form shown.
    QCOMPARE(m_fix->sink.played, (QStringList{QStringLiteral("Final2"), QStringLiteral("BookEnd"), QStringLiteral("BookEnd")}));

    // Opened again from the menu, the table shows the record and adds none.
    whenModal(&form5, [&] { clickClose(form5); }, [&] { form5.glLabel1Click(); });
    form5.exec();
    QCOMPARE(gridRow(table, 14), expected);
    QCOMPARE(storedRow(resultsPath(), 13), QStringList(6, QString()));
}

void TestResultWindows::fifteenthResultPushesOutOldest()
{
    for (int n = 1; n <= 15; ++n)
        finishTest(QStringLiteral("Ученик %1").arg(n), n % 11, 10, {"1", "10", "4", "30"});
    QCOMPARE(LineLists::read(resultsPath())->size(), ResultsFile::LineCount);
    QCOMPARE(storedRow(resultsPath(), 1).first(), QStringLiteral("Ученик 2"));
    QCOMPARE(storedRow(resultsPath(), 14).first(), QStringLiteral("Ученик 15"));
    QCOMPARE(storedRow(resultsPath(), 14).last(), QStringLiteral("[5-я]: 2"));   // 4 of 10
    QCOMPARE(storedRow(resultsPath(), 9).last(), QStringLiteral("[5-я]: 5"));    // 10 of 10
}

void TestResultWindows::unknownCodesKeepPreviousNewest()
{
    finishTest(QStringLiteral("Первый"), 5, 8, {"4", "8", "3", "30"});
    finishTest(QStringLiteral("Второй"), 1, 2, {"0", "2", "9", "30"});
    QCOMPARE(storedRow(resultsPath(), 13),
             (QStringList{QStringLiteral("Первый"), QStringLiteral("09:05"), QStringLiteral("Нет"), QStringLiteral("8"),
                          QStringLiteral("30 сек."), QStringLiteral("[10-я]: 6")}));
    QCOMPARE(storedRow(resultsPath(), 14),
             (QStringList{QStringLiteral("Второй"), QStringLiteral("09:05"), QStringLiteral("Нет"), QStringLiteral("2"),
                          QStringLiteral("30 сек."), QStringLiteral("[10-я]: 6")}));
}

void TestResultWindows::missingOrShortFile_data()
{
    QTest::addColumn<bool>("folderExists");
    QTest::addColumn<int>("lineCount");
    QTest::newRow("no folder") << false << -1;
    QTest::newRow("no file") << true << -1;
    QTest::newRow("short, 7 lines") << true << 7;
    QTest::newRow("long, 90 lines") << true << 90;
}

void TestResultWindows::missingOrShortFile()
{
    QFETCH(bool, folderExists);
    QFETCH(int, lineCount);
    QVERIFY(QDir(m_fix->path(QStringLiteral("Baza"))).removeRecursively());
    LineList lines;
    for (int i = 0; i < lineCount; ++i)
        lines.append("line " + QByteArray::number(i));
    if (folderExists)
        QVERIFY(QDir().mkpath(m_fix->path(QStringLiteral("Baza/Images"))));
    if (lineCount >= 0)
        QVERIFY(ResultsFile::save(resultsPath(), lines));

    finishTest(QStringLiteral("Яхтин"), 1, 1, {"1", "1", "1", "1"});

    Expected<LineList> stored = LineLists::read(resultsPath());
    QVERIFY(stored);
    Codec::codeLines(*stored);
    QCOMPARE(stored->size(), std::max<qsizetype>(ResultsFile::LineCount, lineCount));
    QCOMPARE(Cp1251::decode(stored->at(ResultsFile::lineIndex(14, 1))), QStringLiteral("Яхтин"));
    QCOMPARE(Cp1251::decode(stored->at(ResultsFile::lineIndex(14, 6))), QStringLiteral("1 из 1"));
    // The old lines moved up one record; lines after the 84th stay.
    for (int i = 0; i < lineCount; ++i) {
        const int at = i < ResultsFile::LineCount - 6 ? i - 6 : i;
        if (at >= 0 && (i < ResultsFile::LineCount - 6 || i >= ResultsFile::LineCount))
            QCOMPARE(stored->at(at), "line " + QByteArray::number(i));
    }
    QVERIFY(m_fix->prompter.recorded.messages.isEmpty());
}

void TestResultWindows::closesOnlyThroughCloseLabel()
{
    TForm5 &form5 = m_fix->form5;
    bool survived = false;
    whenModal(&form5, [&] {
        form5.close();
        QTest::keyClick(&form5, Qt::Key_Escape);
        form5.reject();
        survived = form5.isVisible();
        QTest::mouseMove(label(&form5, "glLabel1"));
        clickClose(form5);
    }, [&] { form5.glLabel1Click(); });
    form5.exec();
    QVERIFY(survived);
    QVERIFY(!form5.isVisible());
}

// No header is cut at its cell's edges, whatever fonts the machine has.
void TestResultWindows::headersFitTheirColumns()
{
    TForm5 &form5 = m_fix->form5;
    auto *table = form5.findChild<QTableWidget *>(QStringLiteral("Table"));
    QStringList cut;
    whenModal(&form5, [&] {
        const QImage grid = table->viewport()->grab().toImage();
        for (int column = 1; column < table->columnCount(); ++column) {
            const QRect cell = table->visualRect(table->model()->index(0, column));
            for (const int x : {cell.left(), cell.right()})
                for (int y = cell.top(); y <= cell.bottom(); ++y)
                    if (qGray(grid.pixel(x, y)) < 128 && !cut.contains(table->item(0, column)->text()))
                        cut << table->item(0, column)->text();
        }
        clickClose(form5);
    }, [&] { form5.glLabel1Click(); });
    form5.exec();
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u", ")));
}

// "Закрыть" lights up under the pointer; clicked, the table goes with the
// pointer still on it, and the next showing starts dark again.
void TestResultWindows::closeLabelDarkWhenShownAgain()
{
    TForm5 &form5 = m_fix->form5;
    QLabel *close = label(&form5, "glLabel1");
    const QColor dark = close->palette().color(QPalette::WindowText);
    bool litUnderPointer = false;
    whenModal(&form5, [&] {
        QTest::mouseMove(close);
        litUnderPointer = close->palette().color(QPalette::WindowText) != dark;
        clickClose(form5);
    }, [&] { form5.glLabel1Click(); });
    form5.exec();
    QVERIFY(litUnderPointer);
    QCursor::setPos(0, 0);   // the pointer has moved on while the table was away
    QColor shown;
    whenModal(&form5, [&] {
        shown = close->palette().color(QPalette::WindowText);
        form5.glLabel1Click();
    });
    form5.exec();
    QCOMPARE(shown, dark);
}

void TestResultWindows::unwritableTableIsReported()
{
    // Baza/Images is a plain file: the table cannot be written anywhere.
    QVERIFY(QDir(m_fix->path(QStringLiteral("Baza"))).removeRecursively());
    QVERIFY(QDir().mkpath(m_fix->path(QStringLiteral("Baza"))));
    QFile blocker(m_fix->path(QStringLiteral("Baza/Images")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    m_fix->prompter.useReal = true;
    QString reported;
    bool resultAfterReport = false;
    whenMessageBox(&m_fix->form5, [&](QMessageBox *box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Внимание !!!"));
        reported = box->text();
        QVERIFY(!m_fix->form6.isVisible());
        box->button(QMessageBox::Ok)->click();
    });
    finishTest(QStringLiteral("Петров"), 3, 4, {"1", "4", "1", "4"}, [&] { resultAfterReport = !reported.isEmpty(); });
    QVERIFY2(reported.contains(QStringLiteral("не записан")), qPrintable(reported));
    QVERIFY(resultAfterReport);
}

void TestResultWindows::unreadableTableIsNotOverwritten()
{
    // A folder where the file should be: it cannot be read, and nothing may
    // be written in its place.
    QVERIFY(QFile::remove(resultsPath()));
    QVERIFY(QDir().mkpath(resultsPath()));
    finishTest(QStringLiteral("Петров"), 3, 4, {"1", "4", "1", "4"});
    QVERIFY(QFileInfo(resultsPath()).isDir());
    QCOMPARE(m_fix->prompter.recorded.messages.size(), 1);
    QCOMPARE(m_fix->prompter.recorded.messages.first().caption, QStringLiteral("Внимание !!!"));
    QVERIFY(m_fix->prompter.recorded.messages.first().text.contains(QStringLiteral("не записан")));
    // The student still saw the result.
    QCOMPARE(m_fix->sink.played.first(), QStringLiteral("Final2"));
}

QTEST_MAIN(TestResultWindows)
#include "tst_resultwindows.moc"
