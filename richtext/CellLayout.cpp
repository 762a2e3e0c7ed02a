#include "richtext/CellLayout.h"

#include "richtext/LineModel.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTransform>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace CellLayout {
namespace {

constexpr int MaxTurnedSide = 4096;   // pixels: a turned cell's picture is at most this long

void collectTables(QTextFrame *frame, QList<QTextTable *> &tables)
{
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(child))
            tables.append(table);
        collectTables(child, tables);
    }
}

// The cells of a table, each once (a merged cell is met at its top left).
template <typename F>
void forEachCell(QTextTable *table, F &&f)
{
    for (int r = 0; r < table->rows(); ++r)
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.isValid() && cell.row() == r && cell.column() == c)
                f(cell);
        }
}

double verticalFrame(const QTextTableCellFormat &format)
{
    return format.topPadding() + format.bottomPadding() + format.topBorder() + format.bottomBorder();
}

void turnCell(QTextDocument &document, QTextTableCell cell)
{
    QTextTableCellFormat format = cell.format().toTableCellFormat();
    const auto flow = TextFlow(format.intProperty(TextFlowProperty));
    format.clearProperty(TextFlowProperty);
    const int start = cell.firstCursorPosition().position();
    const int end = cell.lastCursorPosition().position();
    const QTextBlockFormat firstBlock = cell.firstCursorPosition().blockFormat();

    // The cell's text laid out on its own, each paragraph on one line, or
    // wrapped at the length an exact row height leaves it.
    QTextDocument text;
    text.setDocumentMargin(0);
    text.setDefaultFont(document.defaultFont());
    QTextCursor into(&text);
    LineModel::copyRange(document, start, end, into);
    text.setTextWidth(-1);
    double length = text.idealWidth();
    const double height = format.doubleProperty(RowHeightProperty);
    if (height < 0)
        length = std::min(length, -height - verticalFrame(format));
    length = std::clamp(length, 1.0, double(MaxTurnedSide));
    text.setTextWidth(length);
    const QSizeF size = text.documentLayout()->documentSize();
    QImage flat(int(std::ceil(length)), std::clamp(int(std::ceil(size.height())), 1, MaxTurnedSide),
                QImage::Format_ARGB32_Premultiplied);
    flat.fill(Qt::transparent);
    {
        QPainter painter(&flat);
        painter.setRenderHint(QPainter::TextAntialiasing);
        text.drawContents(&painter);
    }
    const QImage turned = flat.transformed(QTransform().rotate(flow == TextFlow::Upwards ? -90 : 90));

    static std::atomic<int> serial{0};
    const QString name = QStringLiteral("cellturn:%1").arg(++serial);
    document.addResource(QTextDocument::ImageResource, QUrl(name), turned);

    // Word places turned text by the cell's vertical alignment across the
    // cell and by the paragraph's alignment along it.
    const bool up = flow == TextFlow::Upwards;
    Qt::Alignment across = Qt::AlignHCenter;
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignMiddle: break;
    case QTextCharFormat::AlignBottom: across = up ? Qt::AlignRight : Qt::AlignLeft; break;
    default: across = up ? Qt::AlignLeft : Qt::AlignRight; break;
    }
    const Qt::Alignment along = firstBlock.alignment() & Qt::AlignHorizontal_Mask;
    const bool atEnd = along & (Qt::AlignRight | Qt::AlignTrailing);
    if (along & Qt::AlignHCenter)
        format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    else
        format.setVerticalAlignment(up != atEnd ? QTextCharFormat::AlignBottom : QTextCharFormat::AlignTop);
    cell.setFormat(format);

    QTextCursor content(&document);
    content.setPosition(start);
    content.setPosition(end, QTextCursor::KeepAnchor);
    content.removeSelectedText();
    QTextBlockFormat block;
    block.setAlignment(across);
    content.setBlockFormat(block);
    QTextImageFormat image;
    image.setName(name);
    image.setWidth(turned.width());
    image.setHeight(turned.height());
    content.insertImage(image);
}

// The height of a cell's content, from the top of its first paragraph (its
// margin included) to the bottom of its last (whose bottom margin Qt's
// table layout leaves out).
double contentHeight(const QTextDocument &document, const QTextTableCell &cell)
{
    const QAbstractTextDocumentLayout *layout = document.documentLayout();
    const QTextBlock first = cell.firstCursorPosition().block();
    const QTextBlock last = cell.lastCursorPosition().block();
    const double top = layout->blockBoundingRect(first).top() - first.blockFormat().topMargin();
    const double bottom = layout->blockBoundingRect(last).bottom();
    return bottom - top;
}

void fitRowHeights(QTextDocument &document, QTextTable *table)
{
    bool changed = false;
    for (int r = 0; r < table->rows(); ++r) {
        // The cell with the tallest content gets what the row lacks as
        // padding, below its text or above it or both as the cell is
        // aligned; the others are aligned in the row as they ask.
        double lacking = -1;
        QTextTableCell tallest;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (!cell.isValid() || cell.row() != r || cell.column() != c || cell.rowSpan() != 1)
                continue;
            const QTextTableCellFormat format = cell.format().toTableCellFormat();
            const double height = std::abs(format.doubleProperty(RowHeightProperty));
            if (height <= 0)
                continue;
            const double missing = height - verticalFrame(format) - contentHeight(document, cell);
            if (!tallest.isValid() || missing < lacking) {
                lacking = missing;
                tallest = cell;
            }
        }
        if (tallest.isValid() && lacking >= 0.5) {
            QTextTableCellFormat format = tallest.format().toTableCellFormat();
            const QTextCharFormat::VerticalAlignment align = format.verticalAlignment();
            const double above = align == QTextCharFormat::AlignBottom ? lacking
                : align == QTextCharFormat::AlignMiddle                ? lacking / 2
                                                                       : 0;
            format.setTopPadding(format.topPadding() + above);
            format.setBottomPadding(format.bottomPadding() + lacking - above);
            tallest.setFormat(format);
            changed = true;
        }
    }
    // Qt does not lay a table out again when only the format of its first
    // cell changes.
    if (changed) {
        const int first = table->firstPosition() - 1;
        document.markContentsDirty(first, table->lastPosition() + 1 - first);
    }
}

} // namespace

void apply(QTextDocument &document)
{
    QList<QTextTable *> tables;
    collectTables(document.rootFrame(), tables);
    bool heights = false;
    for (QTextTable *table : tables) {
        QList<QTextTableCell> turned;
        forEachCell(table, [&](const QTextTableCell &cell) {
            const QTextTableCellFormat format = cell.format().toTableCellFormat();
            if (format.intProperty(TextFlowProperty) != 0)
                turned.append(cell);
            heights = heights || format.hasProperty(RowHeightProperty);
        });
        for (const QTextTableCell &cell : turned)
            turnCell(document, table->cellAt(cell.row(), cell.column()));
    }
    if (!heights)
        return;
    // A view that has not been given its width yet is measured without
    // wrapping, which is right for rows of one line of text.
    const bool unsized = document.pageSize().isNull();
    if (unsized)
        document.setTextWidth(-1);
    document.documentLayout()->documentSize();   // lays the document out
    for (QTextTable *table : tables)
        fitRowHeights(document, table);
    if (unsized)
        document.setPageSize(QSizeF());
}

} // namespace CellLayout
