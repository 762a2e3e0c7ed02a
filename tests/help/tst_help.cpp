// The compiled help file: it opens with libchm (as the help window reads
// it), its default topic and every page of the contents are inside it,
// no link or picture of a page points at something missing, every page is
// UTF-8 and says so, the check's report messages are all explained, and the
// sound page lists every cue under the switch that turns it on and off.
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>

#include <chm_lib.h>

#include "tests/support/Cues.h"

namespace {

class ChmFile
{
public:
    explicit ChmFile(const QString &path) : m_file(chm_open(QFile::encodeName(path).constData())) {}
    ~ChmFile()
    {
        if (m_file)
            chm_close(m_file);
    }
    Q_DISABLE_COPY_MOVE(ChmFile)

    bool isOpen() const { return m_file != nullptr; }

    bool contains(const QString &path) const
    {
        chmUnitInfo info;
        return chm_resolve_object(m_file, path.toUtf8().constData(), &info) == CHM_RESOLVE_SUCCESS;
    }

    QByteArray read(const QString &path) const
    {
        chmUnitInfo info;
        if (chm_resolve_object(m_file, path.toUtf8().constData(), &info) != CHM_RESOLVE_SUCCESS)
            return {};
        QByteArray data(qsizetype(info.length), Qt::Uninitialized);
        const LONGINT64 got = chm_retrieve_object(m_file, &info, reinterpret_cast<unsigned char *>(data.data()),
                                                  0, LONGINT64(info.length));
        data.truncate(qsizetype(qMax<LONGINT64>(got, 0)));
        return data;
    }

    QStringList pages() const
    {
        QStringList out;
        chm_enumerate(m_file, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, &ChmFile::collect, &out);
        return out;
    }

private:
    static int collect(chmFile *, chmUnitInfo *info, void *context)
    {
        const QString path = QString::fromUtf8(info->path);
        if (path.endsWith(QStringLiteral(".html")))
            static_cast<QStringList *>(context)->append(path);
        return CHM_ENUMERATOR_CONTINUE;
    }

    chmFile *m_file;
};

// The default topic recorded in the #SYSTEM object (entry code 2).
QString defaultTopic(const QByteArray &system)
{
    qsizetype at = 4; // version
    while (at + 4 <= system.size()) {
        const quint16 code = quint8(system[at]) | quint16(quint8(system[at + 1])) << 8;
        const quint16 length = quint8(system[at + 2]) | quint16(quint8(system[at + 3])) << 8;
        const QByteArray value = system.mid(at + 4, length);
        if (code == 2)
            return QString::fromUtf8(value.left(value.indexOf('\0')));
        at += 4 + length;
    }
    return {};
}

QString decodeUtf8(const QByteArray &bytes, bool *ok)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    *ok = !decoder.hasError();
    return text;
}

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void defaultTopicIsInside();
    void contentsPagesAreInside();
    void pages_data();
    void pages();
    void checkMessagesAreExplained_data();
    void checkMessagesAreExplained();
    void soundPageListsCuesByTheirSwitch();

private:
    std::unique_ptr<ChmFile> m_chm;
};

void TestHelp::initTestCase()
{
    m_chm = std::make_unique<ChmFile>(QStringLiteral(NASTAVNIK_HELP_FILE));
    QVERIFY2(m_chm->isOpen(), NASTAVNIK_HELP_FILE);
}

void TestHelp::defaultTopicIsInside()
{
    const QString topic = defaultTopic(m_chm->read(QStringLiteral("/#SYSTEM")));
    QCOMPARE(topic, QStringLiteral("index.html"));
    QVERIFY(m_chm->contains(u'/' + topic));
}

void TestHelp::contentsPagesAreInside()
{
    bool ok = false;
    const QString hhc = decodeUtf8(m_chm->read(QStringLiteral("/Help.hhc")), &ok);
    QVERIFY(ok);
    static const QRegularExpression local(QStringLiteral("name=\"Local\" value=\"([^\"]+)\""));
    int entries = 0;
    for (auto m = local.globalMatch(hhc); m.hasNext();) {
        const QString page = m.next().captured(1);
        QVERIFY2(m_chm->contains(u'/' + page), qPrintable(page));
        ++entries;
    }
    // Every page is reachable from the contents.
    QCOMPARE(entries, m_chm->pages().size());
}

void TestHelp::pages_data()
{
    QTest::addColumn<QString>("page");
    const QStringList all = ChmFile(QStringLiteral(NASTAVNIK_HELP_FILE)).pages();
    QVERIFY(all.size() >= 8);
    for (const QString &page : all)
        QTest::newRow(qPrintable(page)) << page;
}

void TestHelp::pages()
{
    QFETCH(QString, page);
    bool ok = false;
    const QString html = decodeUtf8(m_chm->read(page), &ok);
    QVERIFY2(ok, "not UTF-8");
    QVERIFY(html.contains(QStringLiteral("charset=utf-8")));
    QVERIFY(html.contains(QStringLiteral("<title>")));
    static const QRegularExpression target(QStringLiteral("(?:href|src)=\"([^\"#:]+)(?:#[^\"]*)?\""));
    for (auto m = target.globalMatch(html); m.hasNext();) {
        const QString ref = m.next().captured(1);
        QVERIFY2(m_chm->contains(u'/' + ref), qPrintable(QStringLiteral("broken link to ") + ref));
    }
}

void TestHelp::checkMessagesAreExplained_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("ok") << QStringLiteral("База создана:");
    QTest::newRow("tag count") << QStringLiteral("Проверьте правильность теговой разметки.");
    QTest::newRow("no tests") << QStringLiteral("Выбранный файл не содержит тестов");
    QTest::newRow("picture missing") << QStringLiteral(" не найден...");
    QTest::newRow("picture not after tag")
        << QStringLiteral("Тег {Test} и тег {Pic} не должны быть разделены пустой строкой");
    QTest::newRow("tag line text")
        << QStringLiteral("Строки с тегом {Test=*} не должны содержать другой информации.");
    QTest::newRow("empty question") << QStringLiteral("Найдены вопросы не содержащие ни одной строки");
    QTest::newRow("not stored as RTF") << QStringLiteral("Сохраните документ в формате RTF.");
    QTest::newRow("unreadable") << QStringLiteral("Ошибка открытия файла...");
}

void TestHelp::checkMessagesAreExplained()
{
    QFETCH(QString, message);
    bool ok = false;
    QString html = decodeUtf8(m_chm->read(QStringLiteral("/messages.html")), &ok);
    QVERIFY(ok);
    html.remove(QStringLiteral("<b>")).remove(QStringLiteral("</b>")).replace(QStringLiteral("<br>"), QStringLiteral(" "));
    QVERIFY2(html.contains(message), qPrintable(message));
}

void TestHelp::soundPageListsCuesByTheirSwitch()
{
    bool ok = false;
    const QString html = decodeUtf8(m_chm->read(QStringLiteral("/sound.html")), &ok);
    QVERIFY(ok);
    const auto table = [&](const QString &id) {
        const qsizetype from = html.indexOf(QStringLiteral("<table id=\"%1\"").arg(id));
        return from < 0 ? QString() : html.mid(from, html.indexOf(QStringLiteral("</table>"), from) - from);
    };
    const QString voice = table(QStringLiteral("voice")), effects = table(QStringLiteral("effects"));
    QVERIFY2(!voice.isEmpty() && !effects.isEmpty(), "the page has a voice table and an effects table");
    // A teacher who switches the voice off must know which sounds go with it.
    for (const QString &cue : VoiceCues)
        QVERIFY2(voice.contains(cue + QStringLiteral(".wav")), qPrintable(cue));
    static const QRegularExpression file(QStringLiteral("\\b([A-Za-z0-9]+)\\.wav"));
    for (auto m = file.globalMatch(effects); m.hasNext();) {
        const QString cue = m.next().captured(1);
        QVERIFY2(SoundCues.contains(cue), qPrintable(cue + QStringLiteral(" listed as an effect")));
    }
}

QTEST_GUILESS_MAIN(TestHelp)
#include "tst_help.moc"
