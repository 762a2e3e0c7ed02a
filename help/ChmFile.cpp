#include "help/ChmFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <chm_lib.h>

#include <algorithm>

namespace {

// A damaged archive may claim any length; nothing in a help file is larger.
constexpr LONGUINT64 kLargestObject = 64 * 1024 * 1024;

int collectFile(chmFile *, chmUnitInfo *info, void *context)
{
    auto *files = static_cast<QStringList *>(context);
    const QString path = QString::fromUtf8(info->path);
    if ((info->flags & CHM_ENUMERATE_NORMAL) && (info->flags & CHM_ENUMERATE_FILES) && !path.endsWith(u'/'))
        files->append(path);
    return CHM_ENUMERATOR_CONTINUE;
}

QString cString(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    return ChmFile::decodeText(end < 0 ? bytes : bytes.left(end)).trimmed();
}

QString htmlUnescape(QString text)
{
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

} // namespace

ChmFile::ChmFile(chmFile *handle) : m_handle(handle) {}

ChmFile::~ChmFile()
{
    if (m_handle)
        chm_close(m_handle);
}

Expected<std::shared_ptr<ChmFile>> ChmFile::open(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return Error{QStringLiteral("Файл помощи не найден: %1").arg(path)};
    chmFile *handle = chm_open(QFile::encodeName(path).constData());
    if (!handle)
        return Error{QStringLiteral("Файл помощи не читается: %1").arg(path)};
    std::shared_ptr<ChmFile> file(new ChmFile(handle));
    chm_enumerate(handle, CHM_ENUMERATE_ALL, collectFile, &file->m_files);
    file->readSystem();
    return file;
}

QString ChmFile::archivePath(const QString &name)
{
    QString path = name;
    path.replace(u'\\', u'/');
    if (!path.startsWith(u'/'))
        path.prepend(u'/');
    return path;
}

bool ChmFile::contains(const QString &path) const
{
    chmUnitInfo info{};
    const QByteArray name = archivePath(path).toUtf8();
    return chm_resolve_object(m_handle, name.constData(), &info) == CHM_RESOLVE_SUCCESS;
}

Expected<QByteArray> ChmFile::read(const QString &path) const
{
    chmUnitInfo info{};
    const QByteArray name = archivePath(path).toUtf8();
    if (chm_resolve_object(m_handle, name.constData(), &info) != CHM_RESOLVE_SUCCESS)
        return Error{QStringLiteral("Нет страницы %1").arg(path)};
    if (info.length > kLargestObject)
        return Error{QStringLiteral("Страница %1 слишком велика").arg(path)};
    QByteArray bytes(qsizetype(info.length), Qt::Uninitialized);
    if (info.length == 0)
        return bytes;
    const LONGINT64 got = chm_retrieve_object(m_handle, &info, reinterpret_cast<unsigned char *>(bytes.data()), 0,
                                              LONGINT64(info.length));
    if (got <= 0)
        return Error{QStringLiteral("Страница %1 не читается").arg(path)};
    bytes.truncate(qsizetype(got));
    return bytes;
}

void ChmFile::readSystem()
{
    // #SYSTEM: a version word, then records of a 16-bit code, a 16-bit
    // length and that many bytes. Code 0 names the contents file, 2 the
    // default page, 3 the title.
    const Expected<QByteArray> system = read(QStringLiteral("/#SYSTEM"));
    if (system) {
        const QByteArray &data = *system;
        qsizetype at = 4;
        while (at + 4 <= data.size()) {
            const auto byte = [&](qsizetype i) { return quint16(quint8(data.at(i))); };
            const quint16 code = quint16(byte(at) | byte(at + 1) << 8);
            const quint16 length = quint16(byte(at + 2) | byte(at + 3) << 8);
            at += 4;
            if (at + length > data.size())
                break;
            const QString text = cString(data.mid(at, length));
            if (code == 0 && !text.isEmpty())
                m_contentsFile = archivePath(text);
            else if (code == 2 && !text.isEmpty())
                m_defaultTopic = archivePath(text);
            else if (code == 3)
                m_title = text;
            at += length;
        }
    }

    if (m_contentsFile.isEmpty() || !contains(m_contentsFile)) {
        m_contentsFile.clear();
        const auto hhc = std::find_if(m_files.cbegin(), m_files.cend(),
                                      [](const QString &f) { return f.endsWith(u".hhc", Qt::CaseInsensitive); });
        if (hhc != m_files.cend())
            m_contentsFile = *hhc;
    }
    if (!m_contentsFile.isEmpty()) {
        const Expected<QByteArray> sitemap = read(m_contentsFile);
        if (sitemap)
            m_contents = parseSitemap(decodeText(*sitemap));
    }

    const auto page = [](const QString &local) { return local.section(u'#', 0, 0); };
    if (!m_defaultTopic.isEmpty() && contains(page(m_defaultTopic)))
        return;
    m_defaultTopic.clear();
    for (const Entry &entry : std::as_const(m_contents)) {
        if (!entry.local.isEmpty() && contains(page(entry.local))) {
            m_defaultTopic = entry.local;
            return;
        }
    }
    for (const QString &name : {QStringLiteral("/index.htm"), QStringLiteral("/index.html"),
                                QStringLiteral("/default.htm"), QStringLiteral("/default.html")}) {
        if (contains(name)) {
            m_defaultTopic = name;
            return;
        }
    }
    for (const QString &file : std::as_const(m_files)) {
        if (file.endsWith(u".htm", Qt::CaseInsensitive) || file.endsWith(u".html", Qt::CaseInsensitive)) {
            m_defaultTopic = file;
            return;
        }
    }
}

QString ChmFile::decodeText(const QByteArray &bytes)
{
    static const QRegularExpression charset(QStringLiteral("charset\\s*=\\s*[\"']?([A-Za-z0-9_.:-]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = charset.match(QString::fromLatin1(bytes.left(2048)));
    if (match.hasMatch()) {
        QStringDecoder named(match.captured(1).toLatin1().constData());
        if (named.isValid())
            return named.decode(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1251("windows-1251");
    if (cp1251.isValid())
        return cp1251.decode(bytes);
    return QString::fromLatin1(bytes);
}

QList<ChmFile::Entry> ChmFile::parseSitemap(const QString &text)
{
    static const QRegularExpression token(
        QStringLiteral("<\\s*(/?)\\s*(ul|object)\\b[^>]*>|<\\s*param\\s+([^>]*)>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attribute(QStringLiteral("(name|value)\\s*=\\s*(\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
                                              QRegularExpression::CaseInsensitiveOption);
    QList<Entry> entries;
    int depth = 0;
    bool inObject = false;
    Entry current;
    for (auto it = token.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString tag = m.captured(2).toLower();
        if (tag == u"ul") {
            depth = closing ? std::max(0, depth - 1) : depth + 1;
        } else if (tag == u"object") {
            if (!closing) {
                inObject = true;
                current = Entry{};
                current.level = std::max(0, depth - 1);
            } else if (inObject) {
                inObject = false;
                if (!current.name.isEmpty() || !current.local.isEmpty())
                    entries.append(current);
            }
        } else if (inObject) {
            QString name;
            QString value;
            for (auto a = attribute.globalMatch(m.captured(3)); a.hasNext();) {
                const QRegularExpressionMatch am = a.next();
                QString v = am.captured(3);
                if (v.isEmpty())
                    v = am.captured(4);
                if (v.isEmpty())
                    v = am.captured(5);
                if (am.captured(1).compare(u"name", Qt::CaseInsensitive) == 0)
                    name = htmlUnescape(v);
                else
                    value = htmlUnescape(v);
            }
            if (name.compare(u"Name", Qt::CaseInsensitive) == 0 && current.name.isEmpty())
                current.name = value;
            else if (name.compare(u"Local", Qt::CaseInsensitive) == 0 && current.local.isEmpty())
                // "ms-its:Help.chm::/page.htm" names a page of this file too.
                current.local = archivePath(value.contains(u"::") ? value.section(QStringLiteral("::"), 1) : value);
        }
    }
    return entries;
}
