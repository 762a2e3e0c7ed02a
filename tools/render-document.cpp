// Draws an RTF document as the question view shows a question: read by the
// program's reader, copied into a text view of the question view's width,
// font and colours, and saved as a PNG as tall as the whole document (or
// the view's own height with --view, scroll bars included). Used to put the
// program's rendering of real documents beside a word processor's.
//
//   nastavnik-render [--view] FILE.rtf OUT.png
#include "richtext/LineModel.h"
#include "richtext/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextStream>

#include <algorithm>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool view = args.removeAll(QStringLiteral("--view")) > 0;
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: nastavnik-render [--view] FILE.rtf OUT.png\n";
        return 2;
    }
    QFile file(args[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << args[0] << ": " << file.errorString() << '\n';
        return 1;
    }
    QTextDocument source;
    RtfReader::load(file.readAll(), source);

    // The question view's own settings (session/ui/Main.cpp).
    QTextEdit edit;
    edit.setReadOnly(true);
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    edit.setLineWrapMode(QTextEdit::WidgetWidth);
    edit.setFont(QFont(QStringLiteral("Times New Roman"), 12));
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, Qt::white);
    edit.setPalette(palette);
    edit.resize(746, 257);
    edit.show();
    app.processEvents();
    QTextCursor cursor(edit.document());
    LineModel::copyRange(source, 0, source.characterCount() - 1, cursor);
    app.processEvents();
    if (!view) {
        const int height = int(edit.document()->documentLayout()->documentSize().height()) + 8;
        edit.resize(746, std::clamp(height, 40, 20000));
        app.processEvents();
    }
    return edit.grab().save(args[1]) ? 0 : 1;
}
