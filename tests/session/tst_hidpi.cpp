// On a screen scaled to 200 % the windows keep their sizes in the window's
// own units and paint the twice-as-large drawings of their bitmaps pixel for
// pixel, not the plain ones enlarged: read back from the main window and
// the chooser under a scale factor of 2.
#include "tests/support/Program.h"

#include <QApplication>
#include <QListWidget>

namespace {

QImage drawing(const QString &name)
{
    QImage image = QImage(u":/bitmaps/%1.png"_qs.arg(name)).convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    return image;
}

// A region of what the widget painted, in the screen's pixels.
QImage painted(QWidget *widget, const QRect &logical)
{
    QImage image = widget->grab(logical).toImage().convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    return image;
}

} // namespace

class TestHiDpi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sharpAtTwice();
};

void TestHiDpi::sharpAtTwice()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    Program program;
    program.showAndGreet();
    TForm1 &form = *program.form1;
    QCOMPARE(form.centralWidget()->size(), QSize(782, 514));   // the window's own units

    // The board and the tutor's head as the larger drawings hold them.
    const QImage board = painted(form.centralWidget(), QRect(67, 344, 224, 163));
    QCOMPARE(board.size(), QSize(448, 326));
    QCOMPARE(board, drawing(u"ButNorm@2x"_qs));
    QCOMPARE(painted(form.centralWidget(), QRect(34, 273, 45, 54)), drawing(u"Hd_Normal@2x"_qs));

    // The chooser's page, where no list lies over it.
    TForm2 &book = *program.form2;
    book.show();
    QVERIFY(QTest::qWaitForWindowExposed(&book));
    const QRect corner(0, 0, 40, 40);
    QCOMPARE(painted(&book, corner), drawing(u"Book@2x"_qs).copy(QRect(0, 0, 80, 80)));
    book.hide();
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestHiDpi test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_hidpi.moc"
