// Draws an RTF document as the question view shows a question: read by the
// program's reader, put into a text view styled as the question view is
// (QuestionPage), and saved as a PNG as tall as the whole document (or the
// view's own size with --view, scroll bars included). Used to put the
// program's rendering of real documents beside a word processor's.
//
//   nastavnik-render [--view] FILE.rtf OUT.png
#include "richtext/RtfReader.h"
#include "session/ui/QuestionPage.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
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

    QTextEdit edit;
    QuestionPage::styleView(&edit);
    edit.resize(QuestionPage::ViewSize);
    edit.show();
    app.processEvents();
    QuestionPage::show(&edit, source, 0, source.characterCount() - 1);
    app.processEvents();
    if (!view) {
        const int height = int(edit.document()->documentLayout()->documentSize().height()) + 8;
        edit.resize(QuestionPage::ViewSize.width(), std::clamp(height, 40, 20000));
        app.processEvents();
    }
    return edit.grab().save(args[1]) ? 0 : 1;
}
