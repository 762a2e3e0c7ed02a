#include "richtext/TestDocument.h"

#include "library/LineList.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTextDocument>

namespace TestDocument {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

Error tooManyLines(const QString &path)
{
    return Error{QStringLiteral("Документ %1 слишком велик для программы: в нём больше %2 строк. "
                                "Разделите его на несколько тем.")
                     .arg(shown(path), QLocale(QLocale::Russian).toString(MaxLines))};
}

// The document's lines as LineModel counts them, or a little more (the empty
// block in front of a table counts here), without building the model.
qint64 linesAtMost(const QTextDocument &document)
{
    return document.blockCount() + document.toRawText().count(QChar::LineSeparator);
}

} // namespace

Expected<QByteArray> readFile(const QString &path)
{
    const qint64 size = QFileInfo(path).size();
    if (size > MaxBytes)
        return Error{QStringLiteral("Документ %1 слишком велик для программы: %2 МБ, а можно не больше "
                                    "%3 МБ. Разделите его на несколько тем.")
                         .arg(shown(path))
                         .arg((size + 1024 * 1024 - 1) / (1024 * 1024))
                         .arg(MaxBytes / (1024 * 1024))};
    return LineLists::readBytes(path);
}

Expected<RtfReader::Result> load(const QByteArray &bytes, const QString &path, QTextDocument &document,
                                 const RtfReader::Progress &progress)
{
    document.clear();
    // Paragraphs are counted as they come, so that a document of a million
    // lines is stopped early instead of being read whole first.
    bool tooLong = false;
    const RtfReader::Result result = RtfReader::load(bytes, document, [&](int percent) {
        if (document.blockCount() > MaxLines) {
            tooLong = true;
            return false;
        }
        return !progress || progress(percent);
    });
    if (tooLong || (!result.cancelled && linesAtMost(document) > MaxLines)) {
        document.clear();
        return tooManyLines(path);
    }
    return result;
}

Expected<RtfReader::Result> read(const QString &path, QTextDocument &document, const RtfReader::Progress &progress)
{
    document.clear();
    const Expected<QByteArray> bytes = readFile(path);
    if (!bytes)
        return Error{bytes.error()};
    return load(*bytes, path, document, progress);
}

} // namespace TestDocument
