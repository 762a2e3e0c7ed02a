// The layout of the full-test document: none at all. The program numbers a
// document's lines by its hard lines (LineModel), never by how they would
// wrap on screen, and it never shows the whole document: questions are
// copied out of it into the question view, which lays out only what it
// shows. Qt's own layout, which a text view gives the document it holds,
// would word-wrap every paragraph again after each load, which takes
// minutes on a document of tens of thousands of paragraphs and freezes the
// window meanwhile. The reader gives every document it fills this layout,
// so the chooser and the checker read a document the same way.
#pragma once

#include <QAbstractTextDocumentLayout>

class HardLineLayout final : public QAbstractTextDocumentLayout
{
public:
    explicit HardLineLayout(QTextDocument *document) : QAbstractTextDocumentLayout(document) {}

    // Gives the document this layout unless it has it already.
    static void install(QTextDocument &document);

    // Nothing is drawn and nothing is measured: the document is never shown.
    void draw(QPainter *, const PaintContext &) override {}
    int hitTest(const QPointF &, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame *) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock &) const override { return {}; }

protected:
    void documentChanged(int, int, int) override {}
};
