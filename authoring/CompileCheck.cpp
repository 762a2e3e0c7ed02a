#include "authoring/CompileCheck.h"

#include "library/TagLine.h"

#include "library/Paths.h"
#include "richtext/LineModel.h"
#include "session/Cues.h"

#include <QFileInfo>

namespace {

const QString kSyntaxHead = QStringLiteral("В файле нарушен синтаксис:\r\n\r\n");

// Counts the case-insensitive hits of a pattern, each search resuming right
// after the previous hit.
int countHits(const LineModel &lines, const QString &pattern)
{
    int count = 0;
    for (int hit = lines.find(pattern, 0); hit >= 0; hit = lines.find(pattern, hit + int(pattern.size())))
        ++count;
    return count;
}

void report(const std::function<void(int)> &progress, int value)
{
    if (progress)
        progress(value);
}

} // namespace

QString picturePathAsWritten(const QString &folder, const QString &name)
{
    return TagLine::trimmed(folder + u'/' + name);
}

Expected<QString> findPicture(const QString &folder, const QString &name)
{
    const QString asWritten = picturePathAsWritten(folder, name);
    const QString path = Paths::fileInside(folder, name);
    if (path.isEmpty())
        return Error{asWritten};
    return path;
}

QString cueFor(Verdict verdict)
{
    return verdict == Verdict::Ok ? QString(Cue::OkNewBaza) : QString(Cue::ErrorNewBaza);
}

CheckResult compileCheck(const LineModel &lines, const QString &sourcePath, const std::function<void(int)> &progress)
{
    CheckResult result;
    const int total = lines.lineCount();

    // Passes 1 to 4: the four valid tags.
    int bar = 10;
    for (int field = 1; field <= 4; ++field) {
        result.testCount += countHits(lines, TagLine::tag(field));
        report(progress, bar += 15);
    }

    // Pass 5: every "{test", valid or not, gives a tag line.
    const QString tagOpening = TagLine::tagStart();
    const QString picOpening = TagLine::pictureOpening();
    bool stopped = false;
    bool havePrevious = false;
    int previousLine = 0;    // the line of the previous hit
    int previousPicture = 0; // 1 when the previous hit had a picture line
    for (int hit = lines.find(tagOpening, 0); hit >= 0; hit = lines.find(tagOpening, hit + int(tagOpening.size()))) {
        ++result.tagCount;
        const int line = lines.lineAt(hit);
        result.tagIndex.append(QByteArray::number(line));
        if (TagLine::trimmed(lines.lineText(line)).size() != 8)
            result.verdict = Verdict::TagLineHasOtherText;
        const bool hasPicture = TagLine::isPictureLine(TagLine::normalized(lines.lineText(line + 1)));
        // The previous question ends right where this one starts: no body.
        if (havePrevious && previousLine + previousPicture + 1 == line) {
            result.verdict = Verdict::EmptyQuestion;
            stopped = true;
            break;
        }
        if (hasPicture)
            ++result.picturesAfterTags;
        havePrevious = true;
        previousLine = line;
        previousPicture = hasPicture ? 1 : 0;
    }
    if (!stopped) {
        if (havePrevious && total - previousPicture == previousLine + 1)
            result.verdict = Verdict::EmptyQuestion; // the last question has no body
        else
            result.tagIndex.append(QByteArray::number(total));
    }
    report(progress, bar += 15);

    // The verdicts, in order; the first to fire writes the report, except
    // a missing picture, which replaces whatever was reported before.
    if (result.verdict == Verdict::TagLineHasOtherText)
        result.message = kSyntaxHead + QStringLiteral("Строки с тегом {Test=*} не должны содержать другой информации.");
    if (result.verdict == Verdict::Ok && result.tagCount != result.testCount) {
        result.verdict = Verdict::TagCountMismatch;
        result.message = kSyntaxHead + QStringLiteral("Проверьте правильность теговой разметки.");
    }
    if (result.verdict == Verdict::Ok && result.testCount == 0) {
        result.verdict = Verdict::NoTests;
        result.message = QStringLiteral("Выбранный файл не содержит тестов");
    }
    if (result.verdict == Verdict::EmptyQuestion)
        result.message = kSyntaxHead + QStringLiteral("Найдены вопросы не содержащие ни одной строки");

    // Picture pass: every picture line must name a file beside the document.
    const QString folder = QFileInfo(sourcePath).absolutePath();
    bool missing = false;
    for (int hit = lines.find(picOpening, 0); hit >= 0; hit = lines.find(picOpening, hit + int(picOpening.size()))) {
        ++result.pictureCount;
        if (missing)
            continue;
        const QString name = TagLine::pictureName(lines.lineText(lines.lineAt(hit + int(picOpening.size()))));
        const Expected<QString> found = findPicture(folder, name);
        if (!found) {
            missing = true;
            result.verdict = Verdict::PictureMissing;
            result.missingPicture = found.error();
            result.message = QStringLiteral("Рисунок \"") + result.missingPicture + QStringLiteral("\" не найден...");
        }
    }
    report(progress, 95);

    if (result.verdict == Verdict::Ok && result.picturesAfterTags != result.pictureCount) {
        result.verdict = Verdict::PictureNotAfterTag;
        result.message = kSyntaxHead + QStringLiteral("Тег {Test} и тег {Pic} не должны быть разделены пустой строкой");
    }
    if (result.verdict == Verdict::Ok) {
        result.message = QStringLiteral("База создана:\r\n\r\nТестов: ") + QString::number(result.testCount)
                         + QStringLiteral("\r\nРисунков: ") + QString::number(result.pictureCount);
    }
    return result;
}
