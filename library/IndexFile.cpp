#include "library/IndexFile.h"

#include "library/Cp1251.h"
#include "library/Decimal.h"

#include <QCollator>
#include <QDir>
#include <QLocale>

#include <algorithm>

Status IndexFile::load(const QString &path)
{
    m_path = path;
    Expected<LineList> lines = LineLists::read(path);
    if (!lines) {
        m_lines.clear();
        return Error{lines.error()};
    }
    m_lines = std::move(lines).value();
    return {};
}

Status IndexFile::save(const QString &path) const
{
    const_cast<IndexFile *>(this)->m_path = path;
    return LineLists::write(path, m_lines);
}

QByteArray IndexFile::displayNameBytes(int i) const
{
    const QByteArray &line = m_lines.at(i);
    const qsizetype eq = line.indexOf('=');
    return eq < 0 ? QByteArray() : line.left(eq);
}

QString IndexFile::displayName(int i) const
{
    return Cp1251::decode(displayNameBytes(i));
}

QString IndexFile::folderText(int i) const
{
    const QByteArray &line = m_lines.at(i);
    const qsizetype eq = line.indexOf('=');
    return Cp1251::decode(eq < 0 ? line : line.mid(eq + 1));
}

Expected<int> IndexFile::folderNumber(int i) const
{
    // The digits of Windows-1251 are those of ASCII, so the stored bytes
    // read as the text shown.
    const QByteArray &line = m_lines.at(i);
    const qsizetype eq = line.indexOf('=');
    const std::optional<int> number = parseDecimal(QByteArrayView(line).sliced(eq + 1));
    if (!number || *number < 1)
        return Error{QStringLiteral("Файл %1, строка %2: «%3» не является номером папки.")
                         .arg(QDir::toNativeSeparators(m_path)).arg(i + 1).arg(Cp1251::decode(m_lines.at(i)))};
    return *number;
}

void IndexFile::sort()
{
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<std::pair<QString, QByteArray>> keyed;
    keyed.reserve(m_lines.size());
    for (const QByteArray &line : std::as_const(m_lines))
        keyed.append({Cp1251::decode(line), line});
    std::stable_sort(keyed.begin(), keyed.end(), [&collator](const auto &a, const auto &b) {
        return collator.compare(a.first, b.first) < 0;
    });
    for (qsizetype i = 0; i < keyed.size(); ++i)
        m_lines[i] = keyed.at(i).second;
}

Expected<int> IndexFile::allocateFolderNumber() const
{
    QList<int> used;
    used.reserve(m_lines.size());
    for (int i = 0; i < count(); ++i) {
        Expected<int> number = folderNumber(i);
        if (!number)
            return Error{number.error()};
        used.append(*number);
    }
    for (int n = 1;; ++n) {
        if (!used.contains(n))
            return n;
    }
}

Expected<QByteArray> IndexFile::storedName(const QString &typed, int maxLength)
{
    QString name = typed.left(maxLength);
    name.replace(u'=', u'-');
    return Cp1251::encode(name);
}

QByteArray IndexFile::makeLine(const QByteArray &name, int number)
{
    return name + '=' + QByteArray::number(number);
}
