// The marks of a test document as every reader of them sees them.
#include "library/TagLine.h"

#include <QTest>

class TestTagLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rightField_data();
    void rightField();
    void pictureNames_data();
    void pictureNames();
};

void TestTagLine::rightField_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("field");
    QTest::newRow("plain") << u"{test=3}"_qs << 3;
    QTest::newRow("letter case and blanks") << u" \t{TEST= 4 }\r"_qs << 4;
    QTest::newRow("out of range") << u"{test=5}"_qs << 0;
    QTest::newRow("zero") << u"{test=0}"_qs << 0;
    QTest::newRow("not a number") << u"{test=a}"_qs << 0;
    QTest::newRow("text before the tag") << u"x{test=2}"_qs << 0;
    QTest::newRow("no closing brace") << u"{test=2"_qs << 0;
    QTest::newRow("no tag") << u"{pic=a.png}"_qs << 0;
}

void TestTagLine::rightField()
{
    QFETCH(QString, line);
    QFETCH(int, field);
    QCOMPARE(TagLine::rightField(TagLine::normalized(line)), field);
}

void TestTagLine::pictureNames_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << u"{pic=a.png}"_qs << u"a.png"_qs;
    QTest::newRow("blanks everywhere") << u"\t {pic=  Рис 1.bmp  } \r"_qs << u"Рис 1.bmp"_qs;
    QTest::newRow("sub-folder") << u"{PIC=Img\\A.Png}"_qs << u"Img\\A.Png"_qs;
    QTest::newRow("empty") << u"{pic=}"_qs << QString();
    QTest::newRow("too short") << u"{pi"_qs << QString();
    QTest::newRow("no brace") << u"{pic=abc"_qs << u"ab"_qs;
}

void TestTagLine::pictureNames()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QCOMPARE(TagLine::pictureName(line), name);
}

QTEST_GUILESS_MAIN(TestTagLine)
#include "tst_tagline.moc"
