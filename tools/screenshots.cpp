// Makes the README screenshots: builds the windows as the program does,
// with a silent cue sink and a clock whose pauses return at once, puts
// each window into a state worth showing and saves it with QWidget::grab()
// as a PNG in the folder given on the command line.
//
// The program folder is a temporary copy of the one beside this binary
// (library template and Help.chm), so nothing of the build is written to.
#include "authoring/ui/Reindex.h"
#include "authoring/ui/ResCompil.h"
#include "browser/ui/Book.h"
#include "library/Cp1251.h"
#include "library/IndexFile.h"
#include "library/LineList.h"
#include "library/Paths.h"
#include "library/TagLine.h"
#include "results/ui/Result.h"
#include "results/ResultsFile.h"
#include "results/ui/Table.h"
#include "results/ui/TestOption.h"
#include "richtext/LineModel.h"
#include "session/ui/About.h"
#include "session/ui/AppContext.h"
#include "session/Comp.h"
#include "session/Cues.h"
#include "help/ui/HelpWindow.h"
#include "session/ui/Main.h"
#include "session/ui/Pic.h"
#include "session/ui/Prompter.h"
#include "session/Services.h"
#include "session/SessionState.h"
#include "session/ui/Windows.h"
#include "tests/support/Doubles.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextStream>

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Lets queued work (greeting, deferred painting) run for a while.
void settle(int milliseconds = 300)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget *widget, const QString &folder, const QString &name)
{
    settle();
    const QString path = folder + name;
    const bool ok = widget->grab().toImage().convertToFormat(QImage::Format_RGB888).save(path, "PNG", 9);
    err() << (ok ? "wrote " : "could not write ") << path << Qt::endl;
    return ok;
}

void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + file.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(file, target);
    }
}

void writeIndex(const QString &path, const QStringList &names)
{
    IndexFile index;
    for (qsizetype i = 0; i < names.size(); ++i)
        index.append(IndexFile::makeLine(*IndexFile::storedName(names.at(i), 15), int(i) + 1));
    QDir().mkpath(QFileInfo(path).path());
    if (!index.save(path))
        err() << "could not write " << path << Qt::endl;
}

// A small library for a build without the demo one: a few subjects, the first with a few topics.
void makeLibrary(const QString &library)
{
    writeIndex(Paths::subjectIndex(library),
               {QStringLiteral("Геометрия"), QStringLiteral("Физика"), QStringLiteral("История"), QStringLiteral("Биология")});
    const QString subject = Paths::subjectFolder(library, QStringLiteral("1"));
    writeIndex(Paths::topicIndex(subject), {QStringLiteral("Треугольники"), QStringLiteral("Окружность"),
                                            QStringLiteral("Площади фигур"), QStringLiteral("Векторы")});
}

// The picture of the question: a right triangle with its sides named.
void drawPicture(const QString &path)
{
    QImage image(400, 260, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath triangle;
    triangle.moveTo(60, 220);
    triangle.lineTo(340, 220);
    triangle.lineTo(60, 40);
    triangle.closeSubpath();
    p.fillPath(triangle, QColor(210, 230, 255));
    p.setPen(QPen(QColor(20, 40, 120), 4));
    p.drawPath(triangle);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(60, 196, 24, 24);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(28);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(20, 110, 40, 40), Qt::AlignCenter, QStringLiteral("a"));
    p.drawText(QRect(180, 222, 40, 36), Qt::AlignCenter, QStringLiteral("b"));
    p.drawText(QRect(200, 95, 40, 40), Qt::AlignCenter, QStringLiteral("c"));
    p.end();
    image.save(path, "PNG");
}

// The test document, as the open command leaves it in the full-test view:
// an introduction, then each question's tag line, picture line, text and
// answers. The tag index is built from it.
void loadTest(TForm1 &form1, SessionState &state)
{
    QTextDocument &doc = form1.fullTestDocument();
    doc.clear();
    QTextCursor cursor(&doc);
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("Times New Roman")});
    plain.setFontPointSize(14);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    const auto para = [&cursor](const QString &text, const QTextCharFormat &format, bool first = false) {
        if (!first)
            cursor.insertBlock();
        cursor.insertText(text, format);
    };
    para(QStringLiteral("Тест по геометрии: треугольники"), bold, true);
    para(QStringLiteral("{test=2}"), plain);
    para(QStringLiteral("{pic=triangle.png}"), plain);
    para(QStringLiteral("Стороны a и b прямоугольного треугольника равны 3 и 4. Чему равна гипотенуза c?"), bold);
    para(QStringLiteral("1) 6"), plain);
    para(QStringLiteral("2) 5"), plain);
    para(QStringLiteral("3) 7"), plain);
    para(QStringLiteral("4) 12"), plain);
    para(QStringLiteral("{test=1}"), plain);
    para(QStringLiteral("{pic=triangle.png}"), plain);
    para(QStringLiteral("Как называется сторона c?"), bold);
    para(QStringLiteral("1) гипотенуза 2) катет 3) медиана 4) высота"), plain);

    const LineModel &lines = form1.fullTestLines();
    state.TagIndex.clear();
    for (int n = 0; n < lines.lineCount(); ++n)
        if (TagLine::isTagLine(TagLine::normalized(lines.lineText(n))))
            state.TagIndex << QByteArray::number(n);
    state.TagIndex << QByteArray::number(lines.lineCount());
}

void startTest(TForm1 &form1, SessionState &state, const QString &topicFolder)
{
    state.CurrentBasePath = Paths::baseFile(topicFolder);
    state.StudentName = QStringLiteral("Иванов");
    state.LastTopicPath = state.CurrentBasePath;
    form1.setReplayCaption(QStringLiteral("Геометрия - ( Треугольники )"));
    state.SessionActive = true;
    state.ClickAllowed = true;
    form1.SetSessionMenus(false);
    const int total = int(state.TagIndex.size()) - 1;
    const int asked = 1;
    state.TestConfig = {"2", QByteArray::number(asked), "1", QByteArray::number(total)};
    form1.setPictureClockVisible(true);
    state.QuestionsToAsk = asked;
    state.AskedCount = 0;
    state.CorrectCount = 0;
    state.Pool.PoolRemaining = total;
    form1.StartTimeBudget();
    Comp::InitQuestionPool(state.Pool, state.TagIndex);
    form1.NextQuestion();
}

// A results table with a few finished tests in it.
void writeResults(const QString &library)
{
    LineList lines(ResultsFile::LineCount);
    const struct { const char16_t *name; const char16_t *topic; int asked; int correct; QTime time; } rows[] = {
        {u"Петров", u"Физика - ( Оптика )", 10, 8, QTime(9, 5)},
        {u"Сидорова", u"История - ( Древний мир )", 12, 11, QTime(9, 20)},
        {u"Кузнецов", u"Геометрия - ( Векторы )", 10, 6, QTime(9, 41)},
        {u"Иванов", u"Геометрия - ( Треугольники )", 10, 9, QTime(10, 15)},
    };
    for (const auto &row : rows) {
        ResultsFile::Outcome outcome;
        outcome.surname = QString::fromUtf16(row.name);
        outcome.topic = QString::fromUtf16(row.topic);
        outcome.asked = row.asked;
        outcome.correct = row.correct;
        outcome.time = row.time;
        outcome.timeCode = "2";
        outcome.resultKind = "1";
        ResultsFile::append(lines, ResultsFile::makeRecord(outcome));
    }
    if (!ResultsFile::save(Paths::resultsFile(library), lines))
        err() << "could not write the results table" << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        err() << "usage: screenshots <output folder>" << Qt::endl;
        return 2;
    }
    QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + u'/';
    QDir().mkpath(out);

    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QString library = folder + QStringLiteral("Baza/");
    copyTree(Paths::programFolder() + QStringLiteral("Baza"), folder + QStringLiteral("Baza"));
    QFile::copy(Paths::helpFile(Paths::shareFolder(Paths::programFolder())), Paths::helpFile(folder));
    // The demo library, when the build placed one; otherwise a small one.
    IndexFile subjects;
    if (!subjects.load(Paths::subjectIndex(library)) || subjects.count() == 0)
        makeLibrary(library);
    writeResults(library);
    const QString topicFolder = Paths::topicFolder(Paths::subjectFolder(library, QStringLiteral("1")), QStringLiteral("1"));
    QDir().mkpath(topicFolder);
    drawPicture(topicFolder + QStringLiteral("/triangle.png"));

    SessionState state;
    state.ProgramFolder = folder;
    state.LibraryFolder = state.ResultsLibraryFolder = library;
    FakeClock clock{QTime(10, 15).msecsSinceStartOfDay(), 7919};
    SilentSink sink;
    Cues cues(sink, state.LibraryFolder);
    WidgetPrompter prompter;
    AppContext context{state, cues, clock, prompter};

    ProgramWindows windows(context);
    TForm1 &form1 = windows.form1();
    TForm2 &form2 = windows.form2();
    TForm5 &form5 = windows.form5();
    TForm6 &form6 = windows.form6();
    TForm7 &form7 = windows.form7();
    TForm9 &form9 = windows.form9();

    bool ok = true;
    form1.show();
    settle(800);
    ok &= save(&form1, out, QStringLiteral("main-idle.png"));

    // The chooser, with the subjects listed and the first topic selected.
    form2.show();
    settle();
    if (auto *subjects = form2.findChild<QListWidget *>(QStringLiteral("ListPredmet")); subjects && subjects->count() > 0)
        subjects->setCurrentRow(0);
    settle();
    if (auto *topics = form2.findChild<QListWidget *>(QStringLiteral("ListTema")); topics && topics->count() > 0)
        topics->setCurrentRow(0);
    ok &= save(&form2, out, QStringLiteral("chooser.png"));
    form2.hide();
    settle();

    // A question with its picture.
    loadTest(form1, state);
    startTest(form1, state, topicFolder);
    // A second into the test, so the countdown shows.
    form1.TimerTimer();
    ok &= save(&form1, out, QStringLiteral("main-question.png"));

    // The picture window over the question.
    form7.show();
    ok &= save(&form7, out, QStringLiteral("picture.png"));
    form7.hide();
    settle();

    // The main window dimmed, as it is behind a dialog.
    form1.DimMainWindow();
    ok &= save(&form1, out, QStringLiteral("main-dimmed.png"));
    form1.RestoreMainWindow();
    settle();

    // The result over the results table.
    state.CorrectCount = 9;
    state.QuestionsToAsk = 10;
    state.TestConfig = {"2", "10", "1", "10"};
    state.TestEnded = false;
    form5.show();
    settle();
    ok &= save(&form5, out, QStringLiteral("results-table.png"));
    form6.show();
    settle();
    {
        // The result window as it stands over the table.
        QPixmap both = form5.grab();
        const QPixmap result = form6.grab();
        QPainter painter(&both);
        const QPoint at = form5.mapFromGlobal(form6.frameGeometry().topLeft() + (form6.geometry().topLeft() - form6.frameGeometry().topLeft()));
        const QRect inside = QRect(QPoint(0, 0), both.size()).adjusted(0, 0, -result.width(), -result.height());
        painter.drawPixmap(inside.contains(at) ? at : QPoint((both.width() - result.width()) / 2, (both.height() - result.height()) / 2), result);
        painter.end();
        const QString path = out + QStringLiteral("result.png");
        const bool saved = both.toImage().convertToFormat(QImage::Format_RGB888).save(path, "PNG", 9);
        err() << (saved ? "wrote " : "could not write ") << path << Qt::endl;
        ok &= saved;
    }
    form6.hide();
    settle();
    form5.hide();
    settle();

    // The visiting card.
    form9.show();
    ok &= save(&form9, out, QStringLiteral("about.png"));
    form9.hide();
    settle();

    // The teacher's preview of the first topic, on its first question.
    QTimer::singleShot(300, &form1, [&] {
        if (auto *preview = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            ok &= save(preview, out, QStringLiteral("preview.png"));
            preview->reject();
        }
    });
    context.windows.preview(Paths::baseFile(topicFolder), QStringLiteral("Математика - ( Дроби )"));
    settle();

    // The report on a document with a fault and two warnings: the message,
    // then every fault and warning with its line and question.
    {
        const QString document = folder + QStringLiteral("report.txt");
        QFile file(document);
        if (file.open(QIODevice::WriteOnly)) {
            const QStringList lines{QStringLiteral("Проверочная работа"), QStringLiteral("{test=2} Москва"),
                                    QStringLiteral("Какой город — столица России?"),
                                    QStringLiteral("1) Казань 2) Москва 3) Тверь 4) Омск"), QStringLiteral("{test=2}"),
                                    QStringLiteral("Сколько будет 2+2?"), QStringLiteral("1) 3 2) 4 3) 5"),
                                    QStringLiteral("{test=2}"), QStringLiteral("какой город — столица  России?"),
                                    QStringLiteral("1) Казань 2) Москва 3) Тверь 4) Омск")};
            file.write(Cp1251::encode(lines.join(QStringLiteral("\r\n"))).value());
            file.close();
        }
        TForm3 &form3 = windows.form3();
        auto *poll = new QTimer(&form1);
        QObject::connect(poll, &QTimer::timeout, poll, [&, poll] {
            if (!form3.isVisible())
                return;
            poll->stop();
            poll->deleteLater();
            // Scrolled down to the list under the message.
            if (auto *raport = form3.findChild<QTextEdit *>(QStringLiteral("Raport")))
                raport->verticalScrollBar()->setValue(raport->verticalScrollBar()->maximum());
            settle(100);
            ok &= save(&form3, out, QStringLiteral("report.png"));
            form3.reject();
        });
        poll->start(20);
        form2.show();
        if (!form3.CreateBase(document, form2))
            ok = false;
        form2.hide();
        settle();
    }

    // The help window.
    form1.N12Click();
    settle();
    if (auto *help = form1.findChild<HelpWindow *>()) {
        help->showNormal();
        help->resize(900, 640);
        ok &= save(help, out, QStringLiteral("help.png"));
        help->hide();
    } else {
        err() << "the help window did not open" << Qt::endl;
        ok = false;
    }

    state.SessionActive = false;
    return ok ? 0 : 1;
}
