// Where the picture window goes and how large a picture is drawn.
#include "session/PictureFit.h"

#include <QTest>

class TestPictureFit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowPosition_data();
    void windowPosition();
    void fitInBox_data();
    void fitInBox();
    void fitOnDesktop_data();
    void fitOnDesktop();
};

void TestPictureFit::windowPosition_data()
{
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("1024x768, 790x560") << QRect(0, 0, 1024, 768) << QSize(790, 560) << QPoint(117, 94);
    QTest::newRow("odd halves go to even") << QRect(0, 0, 1025, 769) << QSize(790, 560) << QPoint(118, 94);
    QTest::newRow("1.5 up to 2") << QRect(0, 0, 793, 583) << QSize(790, 560) << QPoint(2, 2);
    QTest::newRow("wide screen") << QRect(0, 0, 3840, 1080) << QSize(790, 533) << QPoint(1525, 264);
    // The screen the window starts on, wherever it lies on the desktop.
    QTest::newRow("second screen") << QRect(1024, -200, 1024, 768) << QSize(790, 560) << QPoint(1141, -106);
    // Too small a screen: the title and the menu bar stay on it.
    QTest::newRow("640x480") << QRect(0, 0, 640, 480) << QSize(790, 560) << QPoint(0, 0);
    QTest::newRow("640x480 below a top panel") << QRect(0, 28, 640, 452) << QSize(790, 560) << QPoint(0, 28);
    QTest::newRow("fits, but not with 20 to spare") << QRect(0, 0, 800, 570) << QSize(790, 560) << QPoint(5, 0);
}

void TestPictureFit::windowPosition()
{
    QFETCH(QRect, area);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    QCOMPARE(PictureFit::windowPosition(area, window), expected);
}

void TestPictureFit::fitInBox_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("expected");
    // Width 312, centred: left (322 - 312) / 2 + 443 = 448.
    QTest::newRow("2:1") << QSize(400, 200) << QRect(448, 303 + 12, 312, 156);
    QTest::newRow("100x400, centred across") << QSize(100, 400) << QRect(443 + 140, 308, 43, 171);
    QTest::newRow("NoPic 300x200") << QSize(300, 200) << QRect(443 + 33, 308, 256, 171);
    QTest::newRow("exactly 312x171") << QSize(312, 171) << QRect(448, 308, 312, 171);
    QTest::newRow("a line") << QSize(1000, 1) << QRect(448, 303 + 90, 312, 1);
}

void TestPictureFit::fitInBox()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, expected);
    QCOMPARE(PictureFit::fitInBox(picture), expected);
}

void TestPictureFit::fitOnDesktop_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("square on 1024x768") << QSize(500, 500) << QSize(1024, 768) << QRect(158, 30, 708, 708);
    QTest::newRow("wide on 1024x768") << QSize(974, 100) << QSize(1024, 768) << QRect(5 + 20, 309 + 25, 974, 100);
    QTest::newRow("tall on 1280x1024") << QSize(100, 1000) << QSize(1280, 1024)
                                       << QRect(20 + 572, 25 + 5, 96, 964);
}

void TestPictureFit::fitOnDesktop()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, desktop);
    QFETCH(QRect, expected);
    QCOMPARE(PictureFit::fitOnDesktop(picture, desktop), expected);
}

QTEST_GUILESS_MAIN(TestPictureFit)
#include "tst_picturefit.moc"
