// The options dialog driven as the chooser drives it: loading and clamping
// the topic's config.dat, the total time, the arrow buttons, saving the
// first three lines and keeping the rest, cancelling without a trace, and
// an unusable file reported and replaced by a new topic's options.
#include "Fixture.h"

#include "library/LineList.h"
#include "library/Paths.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestTestOption : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void controls();
    void loading_data();
    void loading();
    void unknownCodesKeepPreviousChoice();
    void totalFollowsChoice_data();
    void totalFollowsChoice();
    void arrowsStopAtEnds();
    void saveKeepsLaterLines();
    void cancelLeavesFileAlone();
    void unusableFileOpensAsNewTopic_data();
    void unusableFileOpensAsNewTopic();
    void reportIsRealBoxAndDoesNotReload();
    void selectCueOnLeftPress();

private:
    QString configPath() const { return m_fix->path(QStringLiteral("topic/Config.dat")); }
    template <typename W>
    W *child(const char *name) const
    {
        W *widget = m_fix->form4.findChild<W *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    QString checkedIn(const char *group) const;
    // Opens the dialog, runs the step while it is shown, then closes it with
    // the given button (Button1 saves, Button2 cancels) unless the step did.
    void openDialog(const std::function<void()> &step, const char *closeWith = "Button2");

    std::unique_ptr<Fixture> m_fix;
};

void TestTestOption::init()
{
    m_fix = std::make_unique<Fixture>();
    QVERIFY(QDir().mkpath(m_fix->path(QStringLiteral("topic"))));
    m_fix->state.CurrentBasePath = m_fix->path(QStringLiteral("topic/Baza.dat"));
    QVERIFY(LineLists::write(m_fix->path(QStringLiteral("topic/Baza.ini")), {"0", "12", "30", "41"}));
}

void TestTestOption::cleanup()
{
    m_fix.reset();
}

QString TestTestOption::checkedIn(const char *group) const
{
    const QList<QRadioButton *> buttons = child<QWidget>(group)->findChildren<QRadioButton *>();
    QString checked;
    for (QRadioButton *button : buttons)
        if (button->isChecked())
            checked += button->objectName();
    return checked;
}

void TestTestOption::openDialog(const std::function<void()> &step, const char *closeWith)
{
    TForm4 &form4 = m_fix->form4;
    QPushButton *close = child<QPushButton>(closeWith);
    whenModal(&form4, [&] {
        step();
        if (form4.isVisible())
            QTest::mouseClick(close, Qt::LeftButton);
    });
    form4.exec();
}

void TestTestOption::controls()
{
    TForm4 &form4 = m_fix->form4;
    QCOMPARE(form4.windowTitle(), QStringLiteral("Индивидуальная настройка тестов..."));
    QCOMPARE(form4.size(), QSize(385, 315));
    const QList<std::pair<const char *, QString>> captions{
        {"RadioButton1", QStringLiteral("Бесконечно")},   {"RadioButton2", QStringLiteral("2 минуты")},
        {"RadioButton3", QStringLiteral("1 минута")},     {"RadioButton4", QStringLiteral("30 секунд")},
        {"RadioButton5", QStringLiteral("15 секунд")},    {"RadioButton11", QStringLiteral("Кол. верных из общего")},
        {"RadioButton12", QStringLiteral("12 бальная сис-ма")}, {"RadioButton13", QStringLiteral("10 бальная сис-ма")},
        {"RadioButton14", QStringLiteral("5 бальная сис-ма")},  {"Button1", QStringLiteral("Сохранить")},
        {"Button2", QStringLiteral("Отмена")}, {"Button3", QStringLiteral("<")}, {"Button4", QStringLiteral(">")}};
    for (const auto &[name, caption] : captions)
        QCOMPARE(child<QAbstractButton>(name)->text(), caption);
    QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("1"));
    QVERIFY(child<QLineEdit>("Edit1")->isReadOnly());
    QCOMPARE(child<QSlider>("TrackBar1")->tickPosition(), QSlider::TicksBelow);
    QCOMPARE(checkedIn("GroupBox1"), QStringLiteral("RadioButton1"));
    QCOMPARE(checkedIn("GroupBox3"), QStringLiteral("RadioButton11"));
}

void TestTestOption::loading_data()
{
    QTest::addColumn<LineList>("config");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("label4");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("total");

    QTest::newRow("total 350 cut to 200") << LineList{"2", "10", "3", "350"} << 200 << QStringLiteral("10")
                                          << QStringLiteral("из 350") << QStringLiteral("RadioButton2")
                                          << QStringLiteral("RadioButton13") << QStringLiteral("Всего: 00:20:00");
    QTest::newRow("total 0 shown as 1") << LineList{"1", "1", "1", "0"} << 1 << QStringLiteral("1")
                                        << QStringLiteral("из 0") << QStringLiteral("RadioButton1")
                                        << QStringLiteral("RadioButton11") << QStringLiteral("Всего: Нет");
    QTest::newRow("count 250 opens at 200") << LineList{"5", "250", "4", "200"} << 200 << QStringLiteral("200")
                                            << QStringLiteral("из 200") << QStringLiteral("RadioButton5")
                                            << QStringLiteral("RadioButton14") << QStringLiteral("Всего: 00:50:00");
    QTest::newRow("count 0 opens at 1") << LineList{"3", "0", "2", "30"} << 30 << QStringLiteral("1")
                                        << QStringLiteral("из 30") << QStringLiteral("RadioButton3")
                                        << QStringLiteral("RadioButton12") << QStringLiteral("Всего: 00:01:00");
    QTest::newRow("count above a small total") << LineList{"4", "9", "1", "5"} << 5 << QStringLiteral("5")
                                               << QStringLiteral("из 5") << QStringLiteral("RadioButton4")
                                               << QStringLiteral("RadioButton11") << QStringLiteral("Всего: 00:02:30");
    QTest::newRow("200 at 2 minutes") << LineList{"2", "200", "1", "200"} << 200 << QStringLiteral("200")
                                      << QStringLiteral("из 200") << QStringLiteral("RadioButton2")
                                      << QStringLiteral("RadioButton11") << QStringLiteral("Всего: 06:40:00");
}

void TestTestOption::loading()
{
    QFETCH(LineList, config);
    QFETCH(int, maximum);
    QFETCH(QString, count);
    QFETCH(QString, label4);
    QFETCH(QString, time);
    QFETCH(QString, result);
    QFETCH(QString, total);

    // The slider already stands at the clamped place from an earlier
    // opening: Edit1 must still show the clamped count, not the line.
    QVERIFY(LineLists::write(configPath(), {"1", "200", "1", "200"}));
    openDialog([] {});
    QVERIFY(LineLists::write(configPath(), config));
    const QByteArray before = readAll(configPath());
    m_fix->sink.played.clear();

    openDialog([&] {
        auto *slider = child<QSlider>("TrackBar1");
        QCOMPARE(slider->minimum(), 1);
        QCOMPARE(slider->maximum(), maximum);
        QCOMPARE(child<QLabel>("Label2")->text(), QString::number(maximum));
        QCOMPARE(child<QLineEdit>("Edit1")->text(), count);
        QCOMPARE(QString::number(slider->value()), count);
        QCOMPARE(child<QLabel>("Label4")->text(), label4);
        QCOMPARE(checkedIn("GroupBox1"), time);
        QCOMPARE(checkedIn("GroupBox3"), result);
        QCOMPARE(child<QLabel>("Label3")->text(), total);
        QCOMPARE(m_fix->state.TestConfig, config);
    });
    QCOMPARE(readAll(configPath()), before);
    QCOMPARE(m_fix->sink.played, (QStringList{QStringLiteral("OptTestMenu"), QStringLiteral("OptTestCancel")}));
    QVERIFY(m_fix->prompter.recorded.messages.isEmpty());
}

void TestTestOption::unknownCodesKeepPreviousChoice()
{
    QVERIFY(LineLists::write(configPath(), {"3", "4", "3", "10"}));
    openDialog([] {});
    QVERIFY(LineLists::write(configPath(), {"7", "4", "", "10"}));
    openDialog([&] {
        QCOMPARE(checkedIn("GroupBox1"), QStringLiteral("RadioButton3"));
        QCOMPARE(checkedIn("GroupBox3"), QStringLiteral("RadioButton13"));
        QTest::mouseClick(child<QPushButton>("Button1"), Qt::LeftButton);
    });
    QCOMPARE(*LineLists::read(configPath()), (LineList{"3", "4", "3", "10"}));
}

void TestTestOption::totalFollowsChoice_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("total");
    QTest::newRow("no limit") << QStringLiteral("RadioButton1") << 150 << QStringLiteral("Всего: Нет");
    QTest::newRow("10 at 2 min") << QStringLiteral("RadioButton2") << 10 << QStringLiteral("Всего: 00:20:00");
    QTest::newRow("61 at 1 min") << QStringLiteral("RadioButton3") << 61 << QStringLiteral("Всего: 01:01:00");
    QTest::newRow("7 at 30 s") << QStringLiteral("RadioButton4") << 7 << QStringLiteral("Всего: 00:03:30");
    QTest::newRow("4 at 15 s") << QStringLiteral("RadioButton5") << 4 << QStringLiteral("Всего: 00:01:00");
}

void TestTestOption::totalFollowsChoice()
{
    QFETCH(QString, option);
    QFETCH(int, count);
    QFETCH(QString, total);
    QVERIFY(LineLists::write(configPath(), {"1", "1", "1", "200"}));
    openDialog([&] {
        QTest::mouseClick(m_fix->form4.findChild<QRadioButton *>(option), Qt::LeftButton);
        child<QSlider>("TrackBar1")->setValue(count);
        QCOMPARE(child<QLineEdit>("Edit1")->text(), QString::number(count));
        QCOMPARE(child<QLabel>("Label3")->text(), total);
    });
}

void TestTestOption::arrowsStopAtEnds()
{
    QVERIFY(LineLists::write(configPath(), {"1", "1", "1", "3"}));
    const QByteArray before = readAll(configPath());
    openDialog([&] {
        auto *slider = child<QSlider>("TrackBar1");
        auto *less = child<QPushButton>("Button3");
        auto *more = child<QPushButton>("Button4");
        QTest::mouseClick(less, Qt::LeftButton);
        QCOMPARE(slider->value(), 1);
        for (int expected : {2, 3, 3, 3}) {
            QTest::mouseClick(more, Qt::LeftButton);
            QCOMPARE(slider->value(), expected);
            QCOMPARE(child<QLineEdit>("Edit1")->text(), QString::number(expected));
        }
        QTest::mouseClick(less, Qt::LeftButton);
        QCOMPARE(slider->value(), 2);
    });
    QCOMPARE(readAll(configPath()), before);
}

void TestTestOption::saveKeepsLaterLines()
{
    QVERIFY(LineLists::write(configPath(), {"1", "250", "1", "220", "fifth line", ""}));
    openDialog([&] {
        QTest::mouseClick(child<QRadioButton>("RadioButton4"), Qt::LeftButton);
        QTest::mouseClick(child<QRadioButton>("RadioButton12"), Qt::LeftButton);
    }, "Button1");
    QCOMPARE(readAll(configPath()), QByteArray("4\r\n200\r\n2\r\n220\r\nfifth line\r\n\r\n"));
    QCOMPARE(m_fix->state.TestConfig, (LineList{"4", "200", "2", "220", "fifth line", ""}));
    QVERIFY(m_fix->sink.played.contains(QStringLiteral("OptTestSave")));
    QVERIFY(!m_fix->form4.isVisible());
}

void TestTestOption::cancelLeavesFileAlone()
{
    // Odd bytes on purpose: a lone LF, no final line end, a fifth line.
    const QByteArray original("2\n7\r\n3\r\n40\r\nnote");
    QVERIFY(writeAll(configPath(), original));
    openDialog([&] {
        QTest::mouseClick(child<QRadioButton>("RadioButton5"), Qt::LeftButton);
        QTest::mouseClick(child<QRadioButton>("RadioButton14"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("Button4"), Qt::LeftButton);
        child<QSlider>("TrackBar1")->setValue(33);
    }, "Button2");
    QCOMPARE(readAll(configPath()), original);
    QCOMPARE(m_fix->state.TestConfig, (LineList{"2", "7", "3", "40", "note"}));
    QCOMPARE(m_fix->sink.played.last(), QStringLiteral("OptTestCancel"));
}

void TestTestOption::unusableFileOpensAsNewTopic_data()
{
    QTest::addColumn<QByteArray>("content");   // empty: no file at all
    QTest::addColumn<bool>("tagIndex");
    QTest::addColumn<QString>("label4");
    QTest::newRow("missing") << QByteArray() << true << QStringLiteral("из 3");
    QTest::newRow("missing, no tag index") << QByteArray() << false << QStringLiteral("из 1");
    QTest::newRow("three lines") << QByteArray("2\r\n5\r\n3\r\n") << true << QStringLiteral("из 3");
    QTest::newRow("count not a number") << QByteArray("2\r\nfive\r\n3\r\n10\r\n") << true << QStringLiteral("из 3");
    QTest::newRow("total not a number") << QByteArray("2\r\n5\r\n3\r\n-4\r\n") << true << QStringLiteral("из 3");
}

void TestTestOption::unusableFileOpensAsNewTopic()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, tagIndex);
    QFETCH(QString, label4);

    // Something else checked before, so that the defaults must be set.
    QVERIFY(LineLists::write(configPath(), {"5", "3", "4", "10"}));
    openDialog([] {});
    QVERIFY(QFile::remove(configPath()));
    if (!content.isEmpty())
        QVERIFY(writeAll(configPath(), content));
    if (!tagIndex)
        QVERIFY(QFile::remove(m_fix->path(QStringLiteral("topic/Baza.ini"))));

    openDialog([&] {
        QCOMPARE(checkedIn("GroupBox1"), QStringLiteral("RadioButton1"));
        QCOMPARE(checkedIn("GroupBox3"), QStringLiteral("RadioButton11"));
        QCOMPARE(child<QLineEdit>("Edit1")->text(), QStringLiteral("1"));
        QCOMPARE(child<QLabel>("Label4")->text(), label4);
        QCOMPARE(child<QLabel>("Label3")->text(), QStringLiteral("Всего: Нет"));
        QTRY_COMPARE(m_fix->prompter.recorded.messages.size(), 1);
        QCOMPARE(m_fix->prompter.recorded.messages.first().caption, QStringLiteral("Внимание !!!"));
        QVERIFY(m_fix->prompter.recorded.messages.first().parentVisible);
    });
    // Cancelled: nothing written.
    QCOMPARE(readAll(configPath()), content);
    QCOMPARE(QFileInfo::exists(configPath()), !content.isEmpty());

    // Saved: the file is repaired with a new topic's options.
    openDialog([] {}, "Button1");
    const QByteArray total = label4.mid(3).toLatin1();
    QCOMPARE(*LineLists::read(configPath()), (LineList{"1", "1", "1", total}));
}

void TestTestOption::reportIsRealBoxAndDoesNotReload()
{
    m_fix->prompter.useReal = true;
    QString reported;
    TForm4 &form4 = m_fix->form4;
    whenMessageBox(&form4, [&](QMessageBox *box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Внимание !!!"));
        QVERIFY(box->parentWidget() == &form4);
        reported = box->text();
        // Changed while the box is up; its closing gives the dialog back its
        // activation, which must not load the file again.
        child<QSlider>("TrackBar1")->setValue(3);
        box->button(QMessageBox::Ok)->click();
    });
    openDialog([&] {
        QTRY_VERIFY(!reported.isEmpty());
        QTRY_COMPARE(QApplication::activeModalWidget(), static_cast<QWidget *>(&form4));
        QCOMPARE(child<QLineEdit>("Edit1")->text(), QStringLiteral("3"));
    }, "Button1");
    QVERIFY2(reported.contains(QStringLiteral("Config.dat")), qPrintable(reported));
    QCOMPARE(*LineLists::read(configPath()), (LineList{"1", "3", "1", "3"}));
    QCOMPARE(m_fix->sink.played.count(QStringLiteral("OptTestMenu")), 1);
}

void TestTestOption::selectCueOnLeftPress()
{
    QVERIFY(LineLists::write(configPath(), {"1", "2", "1", "10"}));
    openDialog([&] {
        m_fix->sink.played.clear();
        for (const char *name : {"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton4", "RadioButton5",
                                 "RadioButton11", "RadioButton12", "RadioButton13", "RadioButton14", "Button3",
                                 "Button4"}) {
            QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
            QTest::mouseClick(child<QAbstractButton>(name), Qt::RightButton);
        }
        QCOMPARE(m_fix->sink.played, QStringList(11, QStringLiteral("SelectOpt")));
        m_fix->sink.played.clear();
        QTest::mouseClick(child<QLineEdit>("Edit1"), Qt::LeftButton);
        QCOMPARE(m_fix->sink.played, QStringList());
    });
}

QTEST_MAIN(TestTestOption)
#include "tst_testoption.moc"
