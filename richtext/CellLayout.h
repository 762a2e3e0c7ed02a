// What Qt's table layout cannot do by itself, done on a document that is
// shown: a row as high as the document asks (at least or exactly), and
// cell text turned on its side to run upwards or downwards, as Word draws
// it in narrow header columns. The RTF reader marks such cells with the
// properties below; the rows and turned text are made when a range is
// copied into a view (LineModel::copyRange), at the view's own width. The
// full-test document keeps the text of turned cells as text, so its lines
// are the same whatever the cells look like.
#pragma once

#include <QTextFormat>

class QTextDocument;

namespace CellLayout {

enum class TextFlow {
    None = 0,
    Upwards = 1,     // bottom to top, the text's top towards the cell's left side
    Downwards = 2,   // top to bottom, the text's top towards the cell's right side
};

// On a table cell's format: a TextFlow value.
inline constexpr int TextFlowProperty = QTextFormat::UserProperty + 0x2f2;
// On the format of each cell of a row with a height: the height in pixels,
// positive for "at least", negative for "exactly".
inline constexpr int RowHeightProperty = QTextFormat::UserProperty + 0x2f3;

// Turns the marked cells' text into a picture of it turned on its side and
// makes the rows with a height as high as they ask; lays the document out
// at its text width to measure them. Does nothing to a document without
// marked cells.
void apply(QTextDocument &document);

} // namespace CellLayout
