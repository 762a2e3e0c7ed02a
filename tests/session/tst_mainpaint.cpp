// What the main window paints, read back from the window and compared with
// the program's own bitmaps region by region: the star on the pressed
// field, the board after the answer, the tutor's head frames in the order
// of his sequences, the darkened page, and the picture box and the picture
// window.
#include "tests/support/Program.h"

#include "session/Animate.h"
#include "session/PictureFit.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTextEdit>
#include <QWindow>

namespace {

QImage bitmap(const QString &name)
{
    return QImage(u":/bitmaps/%1.png"_qs.arg(name)).convertToFormat(QImage::Format_RGB32);
}

QImage grabbed(QWidget *widget, const QRect &rect)
{
    return widget->grab(rect).toImage().convertToFormat(QImage::Format_RGB32);
}

// The head frame a grabbed head region shows; -1 when it is none of them.
int frameShown(const QImage &head)
{
    for (int frame = 0; frame < Animate::FrameCount; ++frame)
        if (head == bitmap(Animate::frameResource(frame)))
            return frame;
    return -1;
}

const QRect kHead(34, 273, 45, 54);

} // namespace

class TestMainPaint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void markerOnPressedField_data();
    void markerOnPressedField();
    void greetingFramesOnFirstPaint();
    void answerFramesInOrder_data();
    void answerFramesInOrder();
    void lookFramesInOrder_data();
    void lookFramesInOrder();
    void exposureShowsOwnHead();
    void dimAndRestore();
    void pictureBox_data();
    void pictureBox();
    void questionWithPicture();
    void pictureWindow();
    void pictureWindowReportsBrokenFile();
    void timeOutClosesPictureWindow();
    void aboutWindow();
};

void TestMainPaint::initTestCase()
{
    QVERIFY(!bitmap(u"tetrad"_qs).isNull());
    QVERIFY(!bitmap(u"Marker"_qs).isNull());
}

void TestMainPaint::markerOnPressedField_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("marker");
    QTest::newRow("field 1") << QPoint(150, 400) << QPoint(79, 346);
    QTest::newRow("field 2") << QPoint(200, 370) << QPoint(185, 346);
    QTest::newRow("field 3") << QPoint(90, 480) << QPoint(79, 406);
    QTest::newRow("field 4") << QPoint(270, 440) << QPoint(185, 406);
    QTest::newRow("gap") << QPoint(180, 400) << QPoint();
}

void TestMainPaint::markerOnPressedField()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, marker);
    Program program;
    program.showAndGreet();
    program.loadDocument(questionDocument({1, 2, 3}));
    program.startTest(3);
    const QImage board = bitmap(u"ButNorm"_qs);
    const QRect boardRect(QPoint(67, 344), board.size());
    QCOMPARE(grabbed(program.surface(), boardRect), board);

    program.press(press);
    const QImage star = bitmap(u"Marker"_qs);
    const QImage page = bitmap(u"tetrad"_qs);
    if (marker.isNull()) {
        QCOMPARE(grabbed(program.surface(), boardRect), board);
    } else {
        // The star where the marker has colour; the page through the rest.
        const QImage shown = grabbed(program.surface(), QRect(marker, star.size()));
        const QRgb clear = star.pixel(0, 0);
        int starPixels = 0;
        for (int y = 0; y < star.height(); ++y) {
            for (int x = 0; x < star.width(); ++x) {
                const QRgb expected = star.pixel(x, y) == clear ? page.pixel(marker.x() + x, marker.y() + y)
                                                                : star.pixel(x, y);
                starPixels += star.pixel(x, y) != clear;
                QVERIFY2(shown.pixel(x, y) == expected, qPrintable(u"at %1,%2"_qs.arg(x).arg(y)));
            }
        }
        QVERIFY(starPixels > 100);
    }
    // The star stays through the answer and goes with the next question.
    program.release(press);
    QCOMPARE(grabbed(program.surface(), boardRect), board);
}

void TestMainPaint::greetingFramesOnFirstPaint()
{
    Program program;
    QList<int> frames;
    program.clock.onPause = [&](int) { frames << frameShown(grabbed(program.surface(), kHead)); };
    program.form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(program.form1));
    QTRY_VERIFY(!program.state.GreetingPending);
    using A = Animate;
    QCOMPARE(frames, (QList<int>{A::Yes1, A::Yes2, A::Yes1, A::Normal, A::Yes3, A::Yes4, A::Yes3}));
    QCOMPARE(program.clock.pauses, (QList<int>{100, 50, 50, 50, 100, 350, 100}));
    QCOMPARE(program.sink.played, QStringList{u"Hello"_qs});
    QCOMPARE(frameShown(grabbed(program.surface(), kHead)), int(A::Normal));
}

void TestMainPaint::answerFramesInOrder_data()
{
    QTest::addColumn<bool>("right");
    QTest::addColumn<QList<int>>("frames");
    using A = Animate;
    QTest::newRow("nod") << true << QList<int>{A::Yes1, A::Yes2, A::Yes1, A::Normal, A::Yes3, A::Yes4, A::Yes3};
    QTest::newRow("shake") << false << QList<int>{A::No1, A::No2, A::No1, A::Normal, A::No3, A::No4, A::No3};
}

void TestMainPaint::answerFramesInOrder()
{
    QFETCH(bool, right);
    QFETCH(QList<int>, frames);
    Program program;
    program.showAndGreet();
    program.loadDocument(questionDocument({1, 2, 3}));
    program.startTest(3);
    QList<int> seen;
    program.clock.onPause = [&](int) { seen << frameShown(grabbed(program.surface(), kHead)); };
    const int correct = program.state.CorrectAnswer;
    program.answerAt(Program::fieldCentre(right ? correct : correct % 4 + 1));
    QCOMPARE(seen, frames);
    QCOMPARE(program.state.CorrectCount, right ? 1 : 0);
}

void TestMainPaint::lookFramesInOrder_data()
{
    QTest::addColumn<QList<int>>("zones");
    QTest::addColumn<QList<int>>("frames");   // every frame drawn after the first move
    using A = Animate;
    QTest::newRow("question, then right part") << QList<int>{1, 3} << QList<int>{A::Yes1, A::No1, A::No2};
    QTest::newRow("right part, then question") << QList<int>{3, 1} << QList<int>{A::No1, A::Yes1, A::Yes2};
    QTest::newRow("left, then right") << QList<int>{2, 3} << QList<int>{A::No1, A::No2};
}

void TestMainPaint::lookFramesInOrder()
{
    QFETCH(QList<int>, zones);
    QFETCH(QList<int>, frames);
    Program program;
    program.showAndGreet();
    const auto moveTo = [&](int zone) {
        if (zone == 1)
            QTest::mouseMove(program.form1->RichMemoTest->viewport(), QPoint(50, 50));
        else
            QTest::mouseMove(program.surface(), QPoint(zone == 2 ? 200 : 600, 450));
    };
    moveTo(zones.at(0));
    QList<int> seen;
    program.clock.onPause = [&](int) { seen << frameShown(grabbed(program.surface(), kHead)); };
    moveTo(zones.at(1));
    seen << frameShown(grabbed(program.surface(), kHead));   // the last frame stays
    QCOMPARE(seen, frames);
}

void TestMainPaint::exposureShowsOwnHead()
{
    Program program;
    program.showAndGreet();
    QTest::mouseMove(program.surface(), QPoint(600, 450));
    QCOMPARE(frameShown(grabbed(program.surface(), kHead)), int(Animate::No2));
    // Uncovered again, the page is painted anew with its own head.
    QExposeEvent expose(QRegion(program.form1->rect()));
    QCoreApplication::sendEvent(program.form1->windowHandle(), &expose);
    QCOMPARE(grabbed(program.surface(), kHead), bitmap(u"tetrad"_qs).copy(kHead));
    QCOMPARE(int(program.state.LookZone), 3);
}

void TestMainPaint::dimAndRestore()
{
    Program program;
    program.showAndGreet();
    TForm1 &form = *program.form1;
    const QRect page(0, 0, 782, 514);
    const QRect corner(0, 0, 16, 514);   // beside every control
    form.DimMainWindow();
    QCOMPARE(grabbed(program.surface(), corner), bitmap(u"Tetrad_black"_qs).copy(corner));
    QVERIFY(!form.RichMemoTest->isVisible());
    QVERIFY(!form.PanelClock->isVisible());
    QCOMPARE(grabbed(program.surface(), kHead), bitmap(u"Tetrad_black"_qs).copy(kHead));
    form.RestoreMainWindow();
    QCOMPARE(grabbed(program.surface(), corner), bitmap(u"tetrad"_qs).copy(corner));
    QVERIFY(form.RichMemoTest->isVisible());
    QVERIFY(form.PanelClock->isVisible());

    // The about window and the results table are shown over the dark page.
    bool darkUnderAbout = false;
    ModalAnswerer answerer([&](QWidget *modal) {
        darkUnderAbout = form.isDimmed() && !form.RichMemoTest->isVisible();
        modal->hide();
        return true;
    });
    form.N13->trigger();
    QVERIFY(darkUnderAbout);
    QCOMPARE(answerer.seen, QStringList{u"TForm9"_qs});
    QVERIFY(!form.isDimmed());
    Q_UNUSED(page);
}

void TestMainPaint::pictureBox_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<bool>("placeholder");
    QTest::newRow("2:1") << u"wide.png"_qs << QSize(400, 200) << u"wide.png"_qs << QRect(448, 315, 312, 156) << false;
    QTest::newRow("100x400, other letter case") << u"Tall.PNG"_qs << QSize(100, 400) << u"tall.png"_qs
                                                << QRect(583, 308, 43, 171) << false;
    QTest::newRow("bmp") << u"pic.bmp"_qs << QSize(312, 171) << u"pic.bmp"_qs << QRect(448, 308, 312, 171) << false;
    QTest::newRow("missing file") << QString() << QSize() << u"gone.jpg"_qs << QRect(476, 308, 256, 171) << true;
    QTest::newRow("damaged file") << u"bad.gif"_qs << QSize(0, 0) << u"bad.gif"_qs << QRect(476, 308, 256, 171)
                                  << true;
}

void TestMainPaint::pictureBox()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QString, asked);
    QFETCH(QRect, place);
    QFETCH(bool, placeholder);
    Program program;
    program.showAndGreet();
    QDir().mkpath(program.topicFolder());
    program.state.CurrentBasePath = program.topicFolder() + u"/Baza.dat"_qs;
    if (!file.isEmpty()) {
        const QString path = program.topicFolder() + u'/' + file;
        if (size.isEmpty()) {
            QFile damaged(path);
            QVERIFY(damaged.open(QIODevice::WriteOnly));
            damaged.write("GIF89a\x01\x00garbage");
        } else {
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::blue);
            QVERIFY(image.save(path));
        }
    }
    ModalAnswerer answerer;
    program.form1->ShowPicture(asked);
    QVERIFY(answerer.seen.isEmpty());   // the main window never reports
    QLabel *box = program.form1->Image1;
    QVERIFY(box->isVisible());
    QCOMPARE(box->geometry(), place);
    const QImage shown = grabbed(program.surface(), place);
    const QPoint middle(place.width() / 2, place.height() / 2);
    if (placeholder)
        QCOMPARE(QColor(shown.pixel(2, place.height() / 2)), QColor(Qt::white));
    else
        QCOMPARE(QColor(shown.pixel(middle)), QColor(Qt::blue));
    QVERIFY(program.form1->currentPicturePath().endsWith(file.isEmpty() ? asked : file));

    program.form1->HidePicture();
    QVERIFY(!box->isVisible());
    QVERIFY(box->pixmap().isNull());
}

void TestMainPaint::questionWithPicture()
{
    Program program;
    program.showAndGreet();
    QDir().mkpath(program.topicFolder());
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::green);
    QVERIFY(image.save(program.topicFolder() + u"/Ris1.png"_qs));
    program.loadDocument({u"{test=3}"_qs, u"{pic=Ris1.PNG}"_qs, u"Что на рисунке?"_qs});
    program.startTest(1);
    QCOMPARE(program.form1->RichMemoTest->toPlainText(), u"Что на рисунке?"_qs);
    QCOMPARE(program.state.CorrectAnswer, 3);
    QVERIFY(program.form1->Image1->isVisible());
    QCOMPARE(program.form1->Image1->geometry(), QRect(448, 315, 312, 156));
}

void TestMainPaint::pictureWindow()
{
    Program program;
    program.showAndGreet();
    QDir().mkpath(program.topicFolder());
    program.state.CurrentBasePath = program.topicFolder() + u"/Baza.dat"_qs;
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(program.topicFolder() + u"/square.png"_qs));
    program.form1->ShowPicture(u"square.png"_qs);
    program.form1->setPictureClockVisible(false);

    const QSize desktop = QGuiApplication::primaryScreen()->virtualGeometry().size();
    const QRect expected = PictureFit::fitOnDesktop(QSize(300, 300), desktop);
    QRect shownAt;
    bool clockShown = true;
    bool frameless = false;
    ModalAnswerer answerer([&](QWidget *modal) {
        auto *window = qobject_cast<TForm7 *>(modal);
        if (!window)
            return false;
        shownAt = window->Image1->geometry();
        clockShown = window->Panel1->isVisible();
        frameless = window->windowFlags().testFlag(Qt::FramelessWindowHint);
        QTest::mouseClick(window->Image1, Qt::LeftButton, {}, QPoint(5, 5));   // a click closes it
        return true;
    });
    QTest::mouseClick(program.form1->Image1, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(answerer.seen, QStringList{u"TForm7"_qs});
    QCOMPARE(shownAt, expected);
    QVERIFY(!clockShown);
    QVERIFY(frameless);
    QVERIFY(!program.form7->isVisible());
    QVERIFY(program.form7->Image1->pixmap().isNull());   // dropped until the next showing
}

void TestMainPaint::pictureWindowReportsBrokenFile()
{
    Program program;
    program.showAndGreet();
    QDir().mkpath(program.topicFolder());
    program.state.CurrentBasePath = program.topicFolder() + u"/Baza.dat"_qs;
    program.form1->ShowPicture(u"missing.png"_qs);
    QStringList seen;
    ModalAnswerer answerer([&](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen << box->text();
            ModalAnswerer::press(box, QMessageBox::Ok);
            return true;
        }
        if (!seen.isEmpty()) {
            // The window stays without a picture until it is clicked.
            if (!program.form7->Image1->isVisible())
                modal->hide();
            return true;
        }
        return false;
    });
    program.form1->Image1Click();
    QCOMPARE(seen.size(), 1);
    QVERIFY(seen.first().contains(u"missing.png"_qs));
}

void TestMainPaint::timeOutClosesPictureWindow()
{
    Program program;
    program.showAndGreet();
    QDir().mkpath(program.topicFolder());
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(program.topicFolder() + u"/p.png"_qs));
    program.loadDocument({u"{test=1}"_qs, u"{pic=p.png}"_qs, u"Вопрос"_qs});
    program.startTest(1, "4");
    program.state.Time.ClockMinutes = 0;
    program.state.Time.ClockSeconds = 1;
    bool pictureOpenAtEnd = true;
    program.clock.onPause = [&](int ms) {
        if (ms == 700)
            pictureOpenAtEnd = program.form7->isVisible();
    };
    QString clockInPicture;
    ModalAnswerer answerer([&](QWidget *modal) {
        if (!qobject_cast<TForm7 *>(modal))
            return false;
        ModalAnswerer results;
        program.form1->TimerTimer();
        clockInPicture = program.form7->Panel1->text();
        return true;
    });
    program.form1->Image1Click();
    QVERIFY(!pictureOpenAtEnd);
    QCOMPARE(clockInPicture, u"00:00:00"_qs);
    QVERIFY(!program.state.SessionActive);
}

void TestMainPaint::aboutWindow()
{
    Program program;
    program.showAndGreet();
    TForm9 &about = *program.form9;
    QCOMPARE(about.size(), QSize(450, 275));
    QVERIFY(about.windowTitle().contains(u"Наставник 1.0"_qs));
    QStringList playedWhileOpen;
    bool pictureFills = false;
    ModalAnswerer answerer([&](QWidget *modal) {
        if (modal != &about)
            return false;
        (void)QTest::qWaitFor([&] { return about.isActiveWindow(); }, 2000);
        playedWhileOpen = program.sink.played;
        pictureFills = grabbed(&about, about.rect()) == bitmap(u"About"_qs);
        QTest::mouseClick(about.Image1, Qt::LeftButton, {}, QPoint(100, 100));
        return true;
    });
    program.form1->N13Click();
    QCOMPARE(playedWhileOpen, QStringList{u"About"_qs});
    QVERIFY(pictureFills);
    QTRY_COMPARE(program.sink.played, (QStringList{u"About"_qs, u"BookEnd"_qs}));
    QVERIFY(!about.isVisible());
}

QTEST_MAIN(TestMainPaint)
#include "tst_mainpaint.moc"
