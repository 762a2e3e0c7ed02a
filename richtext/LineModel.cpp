#include "richtext/LineModel.h"

#include "library/TagLine.h"
#include "richtext/CellLayout.h"
#include "richtext/RtfReader.h"

#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>

LineModel::LineModel(const QTextDocument &document)
{
    m_raw = document.toRawText();
    m_folded = folded(m_raw);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        // QTextDocument keeps an empty block in front of a table that opens
        // the document or a cell; word processors show no line there.
        if (block.blockFormat().boolProperty(RtfReader::SpacerBlockProperty) && block.length() == 1)
            continue;
        const int position = block.position();
        const int length = block.length() - 1; // without the paragraph separator
        int start = 0;
        for (int i = 0; i < length; ++i) {
            if (m_raw.at(position + i) == QChar::LineSeparator) {
                m_starts.append(position + start);
                m_lengths.append(i - start);
                start = i + 1;
            }
        }
        m_starts.append(position + start);
        m_lengths.append(length - start);
    }
    m_end = std::max(0, document.characterCount() - 1);
    // The line after a final paragraph mark is not a line of the document.
    if (!m_lengths.isEmpty() && m_lengths.constLast() == 0) {
        m_starts.removeLast();
        m_lengths.removeLast();
    }
}

QString LineModel::lineText(int line) const
{
    if (line < 0 || line >= lineCount())
        return {};
    return m_raw.mid(m_starts.at(line), m_lengths.at(line));
}

int LineModel::lineStart(int line) const
{
    if (line < 0)
        return 0;
    if (line >= lineCount())
        return m_end;
    return m_starts.at(line);
}

int LineModel::lineAt(int offset) const
{
    const auto it = std::upper_bound(m_starts.cbegin(), m_starts.cend(), offset);
    return std::max(0, int(it - m_starts.cbegin()) - 1);
}

int LineModel::find(const QString &text, int from) const
{
    if (text.isEmpty())
        return -1;
    return int(m_folded.indexOf(folded(text), std::max(0, from)));
}

QString LineModel::folded(const QString &text)
{
    return TagLine::folded(text);
}

void LineModel::copyRange(const QTextDocument &source, int start, int end, QTextCursor &target)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&source));
    const int last = std::max(0, source.characterCount() - 1);
    start = std::clamp(start, 0, last);
    end = std::clamp(end, start, last);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    const QTextDocumentFragment fragment = cursor.selection();

    // A fragment keeps the image formats but not the images held as document
    // resources: copy those the range shows.
    QTextDocument *targetDocument = target.document();
    QSet<QString> copied;
    for (QTextBlock block = source.findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment piece = it.fragment();
            if (piece.position() >= end || piece.position() + piece.length() <= start)
                continue;
            const QTextCharFormat format = piece.charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            if (name.isEmpty() || copied.contains(name))
                continue;
            copied.insert(name);
            const QVariant image = source.resource(QTextDocument::ImageResource, QUrl(name));
            if (image.isValid())
                targetDocument->addResource(QTextDocument::ImageResource, QUrl(name), image);
        }
    }
    // Inserted into an empty paragraph, the fragment's first paragraph is
    // merged into it and takes its format: a centred first line would show
    // left-aligned, its indents and spacing gone. That paragraph is the
    // source's; so is its format (tables bring their own).
    const bool intoEmpty = target.block().length() == 1 && !target.currentTable();
    const int at = target.position();
    target.insertFragment(fragment);
    QTextCursor first(const_cast<QTextDocument *>(&source));
    first.setPosition(start);
    if (intoEmpty && !first.currentTable()) {
        QTextBlockFormat format = first.blockFormat();
        format.clearProperty(QTextFormat::ObjectIndex);   // a list of the source document
        QTextCursor merged(targetDocument);
        merged.setPosition(at);
        merged.setBlockFormat(format);
    }
    CellLayout::apply(*targetDocument);
}
