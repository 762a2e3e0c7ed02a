// nastavnik-check: the authors' checker. Checks test documents exactly as
// the program's "Добавить новую тему" does (the same bytes a topic would
// store, reader, line model and compile check, pictures looked up beside
// each document) and prints the report the program would show, so that an
// author or a script can check a folder of tests without opening the
// program. With --questions it also prints each question as the program
// would cut it out of the document.
//
// Exit status: 0 when every file passed, 1 when any failed the check, 2 when
// any could not be read or was too large for the program (or the command
// line was wrong).
#include "authoring/CompileCheck.h"
#include "authoring/SourceDocument.h"
#include "richtext/LineModel.h"
#include "richtext/TestDocument.h"
#include "session/Comp.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>

namespace {

void print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void printQuestions(const CheckResult &result, const LineModel &lines)
{
    const int questions = Comp::questionsInBase(result.tagIndex);
    for (int n = 1; n <= questions; ++n) {
        const Comp::QuestionPlace place = Comp::locateQuestion(result.tagIndex, n, lines);
        if (place.broken) {
            print(QStringLiteral("-- %1 broken\n").arg(n));
            continue;
        }
        print(QStringLiteral("-- %1 correct=%2 picture=%3\n")
                  .arg(n)
                  .arg(place.correct)
                  .arg(place.pictureName.isEmpty() ? QStringLiteral("-") : place.pictureName));
        QString body;
        for (int line = lines.lineAt(place.bodyStart);
             line < lines.lineCount() && lines.lineStart(line) < place.bodyEnd; ++line) {
            body += lines.lineText(line);
            body += u'\n';
        }
        print(body);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // The rich text document needs a GUI application for its fonts; a
    // server without a display gets the offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Only the report goes out: Qt's own chatter (a missing runtime folder
    // on a server, say) would get mixed into it.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    QGuiApplication app(argc, argv);

    QStringList arguments = QGuiApplication::arguments();
    arguments.removeFirst();
    const bool questions = arguments.removeAll(QStringLiteral("--questions")) > 0;
    const bool unknownOption = std::any_of(arguments.cbegin(), arguments.cend(),
                                           [](const QString &argument) { return argument.startsWith(u'-'); });
    if (arguments.isEmpty() || unknownOption) {
        std::fputs("usage: nastavnik-check [--questions] FILE...\n"
                   "Checks test documents as the program does before it makes a topic of them.\n",
                   stderr);
        return 2;
    }

    bool failed = false;
    bool unreadable = false;
    for (const QString &path : std::as_const(arguments)) {
        print(QStringLiteral("== ") + path + u'\n');
        // Read as the program reads it, refused with the program's message
        // when it cannot be read or is too large for the program.
        const Expected<QByteArray> bytes = TestDocument::readFile(path);
        if (!bytes) {
            print(bytes.error() + u'\n');
            unreadable = true;
            continue;
        }
        // As base creation does: the lines a topic would store are the
        // lines checked, and a file no topic can hold is a failed check.
        const Expected<LineList> source = SourceDocument::prepare(*bytes, path);
        if (!source) {
            print(QString(source.error()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + u'\n');
            failed = true;
            continue;
        }
        QTextDocument document;
        if (const Expected<RtfReader::Result> read = TestDocument::load(SourceDocument::checkedBytes(*source), path, document);
            !read) {
            print(read.error() + u'\n');
            unreadable = true;
            continue;
        }
        const LineModel lines(document);
        const CheckResult result = compileCheck(lines, path);
        print(QString(result.message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + u'\n');
        for (const Finding &finding : result.findings)
            print(finding.describe() + u'\n');
        if (result.verdict != Verdict::Ok)
            failed = true;
        else if (questions)
            printQuestions(result, lines);
    }
    std::fflush(stdout);
    return unreadable ? 2 : failed ? 1 : 0;
}
