// The help: a small CHM is compiled with chmcmd for each run; the reader
// must find its pages, default page and contents, the help window must
// show the pages with their pictures and follow their links, and the menu
// command must say "Cant start Help.chm" when the file is missing or is no
// help file.
#include "tests/support/Program.h"

#include "help/ChmFile.h"
#include "help/ui/HelpWindow.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTreeWidget>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray cp1251(const QString &text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

// Compiles a help file of two pages, a picture and contents into dir/t.chm.
QString compileHelp(const QString &dir)
{
    const QString chmcmd = QStandardPaths::findExecutable(QStringLiteral("chmcmd"));
    if (chmcmd.isEmpty())
        return {};
    writeFile(dir + u"/p.hhp"_qs, "[OPTIONS]\r\nCompiled file=t.chm\r\nContents file=toc.hhc\r\n"
                                  "Default topic=start.htm\r\nTitle=Help\r\n\r\n[FILES]\r\nstart.htm\r\n"
                                  "pages/second.htm\r\npic.png\r\n");
    writeFile(dir + u"/start.htm"_qs,
              cp1251(u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
                     "</head><body><h1>Наставник: помощь</h1><a href=\"pages/second.htm\">дальше</a>"
                     "<img src=\"pic.png\"></body></html>"_qs));
    QDir().mkpath(dir + u"/pages"_qs);
    writeFile(dir + u"/pages/second.htm"_qs,
              u"<html><body><p>Вторая страница</p><a href=\"../start.htm\">назад</a></body></html>"_qs.toUtf8());
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(dir + u"/pic.png"_qs);
    writeFile(dir + u"/toc.hhc"_qs,
              cp1251(u"<HTML><BODY><UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Начало\">"
                     "<param name=\"Local\" value=\"start.htm\"></OBJECT><UL><LI><OBJECT type=\"text/sitemap\">"
                     "<param name=\"Name\" value=\"Вторая\"><param name=\"Local\" value=\"pages/second.htm\">"
                     "</OBJECT></UL></UL></BODY></HTML>"_qs));
    QProcess process;
    process.setWorkingDirectory(dir);
    process.start(chmcmd, {u"p.hhp"_qs});
    if (!process.waitForFinished(30000) || !QFileInfo::exists(dir + u"/t.chm"_qs))
        return {};
    return dir + u"/t.chm"_qs;
}

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void readerFindsPagesAndContents();
    void sitemapParsing_data();
    void sitemapParsing();
    void textDecoding_data();
    void textDecoding();
    void windowShowsPagesPicturesAndLinks();
    void menuCommandOpensHelp();
    void missingOrBrokenHelpFile_data();
    void missingOrBrokenHelpFile();

private:
    QTemporaryDir m_dir;
    QString m_chm;
};

void TestHelp::initTestCase()
{
    m_chm = compileHelp(m_dir.path());
    if (m_chm.isEmpty())
        QSKIP("chmcmd (fp-utils) is needed to build the help file");
}

void TestHelp::readerFindsPagesAndContents()
{
    const Expected<std::shared_ptr<ChmFile>> opened = ChmFile::open(m_chm);
    QVERIFY2(opened, qPrintable(opened.error()));
    const ChmFile &chm = **opened;
    QVERIFY(chm.files().contains(u"/start.htm"_qs));
    QVERIFY(chm.files().contains(u"/pages/second.htm"_qs));
    QVERIFY(chm.contains(u"PIC.PNG"_qs));   // any letter case
    QCOMPARE(chm.defaultTopic(), u"/start.htm"_qs);
    QCOMPARE(chm.title(), u"Help"_qs);
    QCOMPARE(chm.contentsFile().toLower(), u"/toc.hhc"_qs);

    const QList<ChmFile::Entry> contents = chm.contents();
    QCOMPARE(contents.size(), 2);
    QCOMPARE(contents.at(0).name, u"Начало"_qs);
    QCOMPARE(contents.at(0).level, 0);
    QCOMPARE(contents.at(1).local, u"/pages/second.htm"_qs);
    QCOMPARE(contents.at(1).level, 1);

    const Expected<QByteArray> picture = chm.read(u"/pic.png"_qs);
    QVERIFY(picture);
    QCOMPARE(QImage::fromData(*picture).size(), QSize(20, 10));
    QVERIFY(!chm.read(u"/nothing.htm"_qs));
}

void TestHelp::sitemapParsing_data()
{
    QTest::addColumn<QString>("sitemap");
    QTest::addColumn<QStringList>("entries");   // "level name local"
    QTest::newRow("nested") << u"<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"A\">"
                               "<param name=\"Local\" value=\"a.htm\"></object><ul><li><object><param name=Name "
                               "value=B><param name=Local value=sub\\b.htm#x></object></ul></ul>"_qs
                            << QStringList{u"0 A /a.htm"_qs, u"1 B /sub/b.htm#x"_qs};
    QTest::newRow("entities and quotes") << u"<UL><LI><OBJECT><PARAM NAME='Name' VALUE='Q &amp; A'>"
                                            "<PARAM NAME='Local' VALUE='q.htm'></OBJECT></UL>"_qs
                                         << QStringList{u"0 Q & A /q.htm"_qs};
    QTest::newRow("ms-its link") << u"<ul><li><object><param name=\"Name\" value=\"C\"><param name=\"Local\" "
                                    "value=\"ms-its:Help.chm::/c.htm\"></object></ul>"_qs
                                 << QStringList{u"0 C /c.htm"_qs};
    QTest::newRow("unbalanced") << u"</ul></ul><object><param name=\"Name\" value=\"D\">"_qs << QStringList{};
}

void TestHelp::sitemapParsing()
{
    QFETCH(QString, sitemap);
    QFETCH(QStringList, entries);
    QStringList got;
    for (const ChmFile::Entry &e : ChmFile::parseSitemap(sitemap))
        got << QStringLiteral("%1 %2 %3").arg(e.level).arg(e.name, e.local);
    QCOMPARE(got, entries);
}

void TestHelp::textDecoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf-8") << u"<p>Привет</p>"_qs.toUtf8() << u"<p>Привет</p>"_qs;
    QTest::newRow("windows-1251 without charset") << cp1251(u"<p>Привет</p>"_qs) << u"<p>Привет</p>"_qs;
    QTest::newRow("named charset") << cp1251(u"<meta charset=\"windows-1251\"><p>Ёж</p>"_qs)
                                   << u"<meta charset=\"windows-1251\"><p>Ёж</p>"_qs;
}

void TestHelp::textDecoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(ChmFile::decodeText(bytes), text);
}

void TestHelp::windowShowsPagesPicturesAndLinks()
{
    Expected<std::shared_ptr<ChmFile>> opened = ChmFile::open(m_chm);
    QVERIFY(opened);
    HelpWindow window;
    window.setFile(*opened);
    ChmBrowser *browser = window.browser();
    QVERIFY(browser->toPlainText().contains(u"Наставник: помощь"_qs));
    const QVariant picture = browser->document()->resource(QTextDocument::ImageResource,
                                                            browser->source().resolved(QUrl(u"pic.png"_qs)));
    QVERIFY(picture.isValid());

    // A relative link into a folder, and back up again.
    browser->setSource(browser->source().resolved(QUrl(u"pages/second.htm"_qs)));
    QVERIFY(browser->toPlainText().contains(u"Вторая страница"_qs));
    browser->setSource(browser->source().resolved(QUrl(u"../start.htm"_qs)));
    QVERIFY(browser->toPlainText().contains(u"Наставник: помощь"_qs));

    QTreeWidget *tree = window.contentsTree();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *second = tree->topLevelItem(0)->child(0);
    QVERIFY(second);
    QCOMPARE(second->text(0), u"Вторая"_qs);
    Q_EMIT tree->itemClicked(second, 0);
    QVERIFY(browser->toPlainText().contains(u"Вторая страница"_qs));
}

void TestHelp::menuCommandOpensHelp()
{
    Program program;
    QVERIFY(QFile::copy(m_chm, program.folder() + u"Help.chm"_qs));
    ModalAnswerer answerer;
    program.form1->N12->trigger();
    QVERIFY(answerer.seen.isEmpty());
    auto *window = program.form1->findChild<HelpWindow *>();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->browser()->toPlainText().contains(u"Наставник: помощь"_qs));
}

void TestHelp::missingOrBrokenHelpFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("not a help file") << QByteArray("MZ this is something else entirely");
}

void TestHelp::missingOrBrokenHelpFile()
{
    QFETCH(QByteArray, content);
    Program program;
    if (!content.isEmpty())
        writeFile(program.folder() + u"Help.chm"_qs, content);
    ModalAnswerer answerer;
    program.form1->N12Click();
    QCOMPARE(answerer.seen.size(), 1);
    QVERIFY(answerer.seen.first().endsWith(u"|Cant start Help.chm"_qs));
    QVERIFY(!program.form1->findChild<HelpWindow *>());
}

QTEST_MAIN(TestHelp)
#include "tst_helpwindow.moc"
