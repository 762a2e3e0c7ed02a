#include "authoring/CompileCheck.h"

#include "authoring/Questions.h"
#include "library/TagLine.h"

#include "library/Paths.h"
#include "richtext/LineModel.h"
#include "session/Cues.h"

#include <QFileInfo>

#include <algorithm>

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

namespace {

// A picture name that reaches outside the document's folder: a parent step,
// a root or a drive.
bool leavesFolder(const QString &name)
{
    const QString path = QString(name).replace(u'\\', u'/');
    return path.startsWith(u'/') || (path.size() > 1 && path.at(1) == u':')
           || path.split(u'/').contains(QStringLiteral(".."));
}

// Every fault of the document with its place, beside the one verdict the
// report gives: the author mends them all in one go.
QList<Finding> findFaults(const LineModel &lines, const QString &folder)
{
    QList<Finding> found;
    const auto add = [&](Finding::Kind kind, int line, int question, const QString &detail = {}) {
        found.append({kind, line + 1, question, placeText(lines.lineText(line)), detail});
    };
    const int total = lines.lineCount();
    int question = 0;
    int lastTag = -1;          // the line of the last tag line
    int bodyLines = 0;         // lines of the last question's body
    for (int line = 0; line < total; ++line) {
        const QString text = lines.lineText(line);
        const QString normalized = TagLine::normalized(text);
        if (normalized.contains(TagLine::tagStart())) {
            if (lastTag >= 0 && bodyLines == 0)
                add(Finding::Kind::EmptyQuestion, lastTag, question);
            ++question;
            lastTag = line;
            bodyLines = 0;
            const qsizetype at = normalized.indexOf(TagLine::tagStart());
            const qsizetype close = normalized.indexOf(u'}', at);
            const QString tag = close < 0 ? normalized.mid(at) : normalized.mid(at, close - at + 1);
            const QString other = TagLine::trimmed(QString(TagLine::trimmed(text)).remove(at, tag.size()));
            if (!other.isEmpty()) {
                add(Finding::Kind::TagLineHasOtherText, line, question, other);
            } else if (TagLine::rightField(tag) == 0) {
                QString digit = tag.mid(TagLine::tagOpening().size());
                digit.chop(1);
                add(Finding::Kind::TagDigitOutOfRange, line, question, TagLine::trimmed(digit));
            }
            continue;
        }
        if (TagLine::isPictureLine(normalized)) {
            if (lastTag < 0 || line != lastTag + 1) {
                add(Finding::Kind::PictureNotAfterTag, line, question);
                ++bodyLines;
                continue;
            }
            const QString name = TagLine::pictureName(text);
            if (leavesFolder(name))
                add(Finding::Kind::PictureOutsideFolder, line, question, name);
            else if (const Expected<QString> picture = findPicture(folder, name); !picture)
                add(Finding::Kind::PictureMissing, line, question, picture.error());
            continue;
        }
        if (lastTag >= 0)
            ++bodyLines;
    }
    if (lastTag >= 0 && bodyLines == 0)
        add(Finding::Kind::EmptyQuestion, lastTag, question);
    std::stable_sort(found.begin(), found.end(), [](const Finding &a, const Finding &b) { return a.line < b.line; });
    return found;
}

} // namespace

QString Finding::describe() const
{
    QString what;
    switch (kind) {
    case Kind::TagLineHasOtherText:
        what = QStringLiteral("в строке с тегом есть другой текст: «%1»").arg(detail);
        break;
    case Kind::TagDigitOutOfRange:
        what = QStringLiteral("номер правильного поля «%1» не от 1 до 4").arg(detail);
        break;
    case Kind::EmptyQuestion:
        what = QStringLiteral("в вопросе нет ни одной строки");
        break;
    case Kind::PictureNotAfterTag:
        what = QStringLiteral("строка с рисунком стоит не сразу после строки с тегом");
        break;
    case Kind::PictureMissing:
        what = QStringLiteral("рисунок не найден: %1").arg(detail);
        break;
    case Kind::PictureOutsideFolder:
        what = QStringLiteral("рисунок «%1» лежит не в папке документа").arg(detail);
        break;
    }
    return QStringLiteral("строка %1, вопрос %2: %3 (%4)").arg(line).arg(question).arg(what, text);
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
    result.findings = findFaults(lines, folder);
    DocumentWarnings warnings = checkWarnings(lines, folder);
    result.rightFields = warnings.rightFields;
    result.warnings = std::move(warnings.warnings);
    return result;
}
