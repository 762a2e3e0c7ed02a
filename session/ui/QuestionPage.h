// How a question meets the eye: the view its text is shown in and the
// picture of the picture box. The main window and the teacher's preview
// both draw questions through these, so that the preview shows exactly
// what the student sees.
#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>

class QTextDocument;
class QTextEdit;

namespace QuestionPage {

// The question view's size in the main window.
inline constexpr QSize ViewSize{746, 257};

// Font, colours, wrapping and scroll bars of the question view.
void styleView(QTextEdit *view);

// Puts the body of one question (from bodyStart to bodyEnd of the whole
// test's document) into the view, scrolled to its top.
void show(QTextEdit *view, const QTextDocument &fullTest, int bodyStart, int bodyEnd);

// The question's picture as the picture box shows it, and its place in
// the main window; the crossed-out placeholder when the file cannot be
// read.
QPixmap boxPicture(const QString &path, QRect &place);

} // namespace QuestionPage
