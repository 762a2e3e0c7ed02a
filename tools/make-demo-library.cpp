// Builds the demo library that ships with the program: the subjects and
// topics listed in resources/demo/library.txt, each topic made from its test
// document by the same compile check and topic file writing the chooser
// uses. A document that does not pass the check fails the build.
//
// Usage: make-demo-library <demo folder> <output folder>
// Writes <output folder>/Baza/Data/... (replacing what was there).
#include "authoring/CompileCheck.h"
#include "authoring/TopicFiles.h"
#include "library/IndexFile.h"
#include "library/LineList.h"
#include "library/Paths.h"
#include "library/TopicConfig.h"
#include "richtext/LineModel.h"
#include "richtext/RtfReader.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>
#include <QTextStream>

#include <cstdio>

namespace {

int fail(const QString &text)
{
    std::fprintf(stderr, "make-demo-library: %s\n", text.toUtf8().constData());
    return 1;
}

struct Entry
{
    QString subject;
    QString topic;
    QString document;
    QList<QByteArray> options;   // time code, questions asked, result form
    int line = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return fail(QStringLiteral("usage: make-demo-library <demo folder> <output folder>"));
    const QString demo = args.at(1);
    const QString out = args.at(2);

    QFile list(demo + QStringLiteral("/library.txt"));
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1").arg(list.fileName()));
    QList<Entry> entries;
    QTextStream in(&list);
    for (int number = 1; !in.atEnd(); ++number) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'|');
        const QStringList options = fields.value(3).simplified().split(u' ', Qt::SkipEmptyParts);
        if (fields.size() != 4 || options.size() != 3)
            return fail(QStringLiteral("library.txt line %1: expected subject | topic | document | 3 options").arg(number));
        Entry entry{fields.at(0).trimmed(), fields.at(1).trimmed(), fields.at(2).trimmed(), {}, number};
        for (const QString &option : options)
            entry.options.append(option.toLatin1());
        entries.append(entry);
    }

    const QString data = out + QStringLiteral("/Baza/Data");
    QDir(out + QStringLiteral("/Baza")).removeRecursively();
    if (!QDir().mkpath(data))
        return fail(QStringLiteral("cannot create %1").arg(data));

    IndexFile subjects;
    QHash<QString, int> subjectNumbers;
    QHash<int, IndexFile> topicIndexes;
    for (const Entry &entry : std::as_const(entries)) {
        if (!subjectNumbers.contains(entry.subject)) {
            const Expected<int> n = subjects.allocateFolderNumber();
            const Expected<QByteArray> name = IndexFile::storedName(entry.subject, IndexFile::SubjectNameLength);
            if (!n || !name)
                return fail(n ? name.error() : n.error());
            subjects.append(IndexFile::makeLine(*name, *n));
            subjectNumbers.insert(entry.subject, *n);
        }
        const int subject = subjectNumbers.value(entry.subject);
        IndexFile &topics = topicIndexes[subject];
        const Expected<int> m = topics.allocateFolderNumber();
        const Expected<QByteArray> name = IndexFile::storedName(entry.topic, IndexFile::TopicNameLength);
        if (!m || !name)
            return fail(m ? name.error() : m.error());

        const QString source = demo + u'/' + entry.document;
        const Expected<QByteArray> bytes = LineLists::readBytes(source);
        if (!bytes)
            return fail(bytes.error());
        QTextDocument document;
        RtfReader::load(*bytes, document);
        const LineModel lines(document);
        const CheckResult check = compileCheck(lines, source);
        if (check.verdict != Verdict::Ok)
            return fail(QStringLiteral("%1: %2").arg(entry.document, QString(check.message).replace(QStringLiteral("\r\n"), QStringLiteral(" "))));

        const QString folder = data + QStringLiteral("/%1/%2").arg(subject).arg(*m);
        if (!QDir().mkpath(folder))
            return fail(QStringLiteral("cannot create %1").arg(folder));
        if (Status written = TopicFiles::writeTopicFiles(folder, source, TopicFiles::pictureNames(lines),
                                                         check.tagIndex, check.testCount);
            !written)
            return fail(written.error());
        LineList config = TopicConfig::defaults(check.testCount);
        for (int i = 0; i < 3; ++i)
            config[i] = entry.options.at(i);
        if (Status written = LineLists::write(Paths::configFile(folder), config); !written)
            return fail(written.error());
        topics.append(IndexFile::makeLine(*name, *m));
        std::printf("%s / %s: %d questions, %d pictures\n", qPrintable(entry.subject), qPrintable(entry.topic),
                    check.testCount, check.pictureCount);
    }
    for (auto it = topicIndexes.cbegin(); it != topicIndexes.cend(); ++it) {
        if (Status saved = it.value().save(data + QStringLiteral("/%1/Index.dat").arg(it.key())); !saved)
            return fail(saved.error());
    }
    if (Status saved = subjects.save(data + QStringLiteral("/Index.dat")); !saved)
        return fail(saved.error());
    return 0;
}
