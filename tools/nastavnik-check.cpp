// nastavnik-check: the authors' checker. Checks test documents exactly as
// the program's "Добавить новую тему" does (the same bytes a topic would
// store, reader, line model and compile check, pictures looked up beside
// each document) and prints the report the program would show, so that an
// author or a script can check a folder of tests without opening the
// program. Every fault is listed with its line and question after the
// report, then the warnings, which never fail a document. A folder given
// stands for every .rtf document under it. With --questions it also prints
// each question as the program would cut it out of the document; with
// --json it prints one JSON array for scripts.
//
// Exit status: 0 when every file passed, 1 when any failed the check, 2 when
// any could not be read or was too large for the program (or the command
// line was wrong).
#include "authoring/CompileCheck.h"
#include "authoring/SourceDocument.h"
#include "richtext/LineModel.h"
#include "richtext/TestDocument.h"
#include "session/Comp.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextDocument>

#include <algorithm>
#include <functional>
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

// The kinds of fault as scripts read them.
QString kindName(Finding::Kind kind)
{
    switch (kind) {
    case Finding::Kind::TagLineHasOtherText:
        return QStringLiteral("tag-line-has-other-text");
    case Finding::Kind::TagDigitOutOfRange:
        return QStringLiteral("tag-digit-out-of-range");
    case Finding::Kind::EmptyQuestion:
        return QStringLiteral("empty-question");
    case Finding::Kind::PictureNotAfterTag:
        return QStringLiteral("picture-not-after-tag");
    case Finding::Kind::PictureMissing:
        return QStringLiteral("picture-missing");
    case Finding::Kind::PictureOutsideFolder:
        return QStringLiteral("picture-outside-folder");
    }
    return {};
}

QString warningKindName(Warning::Kind kind)
{
    switch (kind) {
    case Warning::Kind::KeyShare:
        return QStringLiteral("key-share");
    case Warning::Kind::KeyRun:
        return QStringLiteral("key-run");
    case Warning::Kind::SameText:
        return QStringLiteral("same-text");
    case Warning::Kind::NoNumberedAnswers:
        return QStringLiteral("no-numbered-answers");
    case Warning::Kind::LargePicture:
        return QStringLiteral("large-picture");
    }
    return {};
}

// The documents the arguments name: a file as it is, a folder as every .rtf
// under it, in order. A folder without any counts as unreadable.
QStringList documents(const QStringList &arguments, bool &unreadable, const std::function<void(const QString &)> &say)
{
    QStringList files;
    for (const QString &argument : arguments) {
        if (!QFileInfo(argument).isDir()) {
            files << argument;
            continue;
        }
        QStringList found;
        QDirIterator it(argument, {QStringLiteral("*.rtf"), QStringLiteral("*.RTF"), QStringLiteral("*.Rtf")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        found.sort();
        found.removeDuplicates();
        if (found.isEmpty()) {
            say(QStringLiteral("== ") + argument + QStringLiteral("\nВ папке нет документов RTF\n"));
            unreadable = true;
        }
        files << found;
    }
    return files;
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
    const bool json = arguments.removeAll(QStringLiteral("--json")) > 0;
    const bool unknownOption = std::any_of(arguments.cbegin(), arguments.cend(),
                                           [](const QString &argument) { return argument.startsWith(u'-'); });
    if (arguments.isEmpty() || unknownOption) {
        std::fputs("usage: nastavnik-check [--questions] [--json] FILE|FOLDER...\n"
                   "Checks test documents as the program does before it makes a topic of them.\n",
                   stderr);
        return 2;
    }

    bool failed = false;
    bool unreadable = false;
    QJsonArray reports;
    // In JSON the report goes into the array instead of onto the output.
    const auto say = [json](const QString &text) {
        if (!json)
            print(text);
    };
    for (const QString &path : documents(arguments, unreadable, say)) {
        QJsonObject report{{QStringLiteral("file"), path}};
        say(QStringLiteral("== ") + path + u'\n');
        const auto done = [&](const QString &status, const QString &message) {
            report.insert(QStringLiteral("status"), status);
            report.insert(QStringLiteral("message"), QString(message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            reports.append(report);
        };
        // Read as the program reads it, refused with the program's message
        // when it cannot be read or is too large for the program.
        const Expected<QByteArray> bytes = TestDocument::readFile(path);
        if (!bytes) {
            say(bytes.error() + u'\n');
            unreadable = true;
            done(QStringLiteral("unreadable"), bytes.error());
            continue;
        }
        // As base creation does: the lines a topic would store are the
        // lines checked, and a file no topic can hold is a failed check.
        const Expected<LineList> source = SourceDocument::prepare(*bytes, path);
        if (!source) {
            say(QString(source.error()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + u'\n');
            failed = true;
            done(QStringLiteral("failed"), source.error());
            continue;
        }
        QTextDocument document;
        if (const Expected<RtfReader::Result> read = TestDocument::load(SourceDocument::checkedBytes(*source), path, document);
            !read) {
            say(read.error() + u'\n');
            unreadable = true;
            done(QStringLiteral("unreadable"), read.error());
            continue;
        }
        const LineModel lines(document);
        const CheckResult result = compileCheck(lines, path);
        say(QString(result.message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + u'\n');
        QJsonArray findings;
        for (const Finding &finding : result.findings) {
            say(finding.describe() + u'\n');
            findings.append(QJsonObject{{QStringLiteral("kind"), kindName(finding.kind)},
                                        {QStringLiteral("line"), finding.line},
                                        {QStringLiteral("question"), finding.question},
                                        {QStringLiteral("text"), finding.text},
                                        {QStringLiteral("detail"), finding.detail},
                                        {QStringLiteral("description"), finding.describe()}});
        }
        report.insert(QStringLiteral("findings"), findings);
        // Warnings follow the faults and never fail the check.
        QJsonArray warnings;
        for (const Warning &warning : result.warnings) {
            say(QStringLiteral("предупреждение: ") + warning.describe() + u'\n');
            warnings.append(QJsonObject{{QStringLiteral("kind"), warningKindName(warning.kind)},
                                        {QStringLiteral("line"), warning.line},
                                        {QStringLiteral("question"), warning.question},
                                        {QStringLiteral("text"), warning.text},
                                        {QStringLiteral("detail"), warning.detail},
                                        {QStringLiteral("description"), warning.describe()}});
        }
        report.insert(QStringLiteral("warnings"), warnings);
        QJsonArray rightFields;
        for (const int count : result.rightFields)
            rightFields.append(count);
        report.insert(QStringLiteral("rightFields"), rightFields);
        report.insert(QStringLiteral("questions"), result.testCount);
        report.insert(QStringLiteral("pictures"), result.pictureCount);
        if (result.verdict != Verdict::Ok)
            failed = true;
        else if (questions && !json)
            printQuestions(result, lines);
        done(result.verdict == Verdict::Ok ? QStringLiteral("ok") : QStringLiteral("failed"), result.message);
    }
    if (json)
        print(QString::fromUtf8(QJsonDocument(reports).toJson(QJsonDocument::Indented)));
    std::fflush(stdout);
    return unreadable ? 2 : failed ? 1 : 0;
}
