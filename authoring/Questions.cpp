#include "authoring/Questions.h"

#include "library/TagLine.h"
#include "richtext/LineModel.h"

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 32 || c.isSpace();
}

// Only blanks stand between the line's start and p.
bool atLineStart(const QString &text, qsizetype p)
{
    for (qsizetype i = p - 1; i >= 0 && text.at(i) != u'\n'; --i) {
        if (!isBlank(text.at(i)))
            return false;
    }
    return true;
}

// The end of the answer number n standing at p, or -1 when none stands
// there; lineStart tells whether only blanks precede p on its line.
qsizetype markerEnd(const QString &text, qsizetype p, int n, bool lineStart, bool lineStartOnly)
{
    if (text.at(p) != QChar(u'0' + n))
        return -1;
    if (p > 0 && !isBlank(text.at(p - 1)))
        return -1;
    if (lineStartOnly && !lineStart)
        return -1;
    const QChar next = p + 1 < text.size() ? text.at(p + 1) : QChar(u'\n');
    if (next == u')')
        return p + 2;
    if (next == u'.') {
        const QChar after = p + 2 < text.size() ? text.at(p + 2) : QChar(u'\n');
        return isBlank(after) ? p + 2 : -1;
    }
    // A number alone at a line's start: a table's number column, or a
    // number and a tab.
    if (lineStart && (next == u'\n' || next == u'\t'))
        return p + 1;
    return -1;
}

struct Marker
{
    qsizetype start;
    qsizetype end;
};

QList<Marker> findMarkers(const QString &text, bool lineStartOnly)
{
    QList<Marker> found;
    qsizetype from = 0;
    for (int n = 1; n <= 4; ++n) {
        qsizetype end = -1;
        qsizetype p = from;
        // Whether only blanks stand between the line's start and p, kept
        // up to date as p moves on: one pass over the text.
        bool lineStart = atLineStart(text, p);
        for (; p < text.size(); ++p) {
            if ((end = markerEnd(text, p, n, lineStart, lineStartOnly)) >= 0)
                break;
            const QChar c = text.at(p);
            if (c == u'\n')
                lineStart = true;
            else if (!isBlank(c))
                lineStart = false;
        }
        if (end < 0)
            break;
        found.append({p, end});
        from = end;
    }
    return found;
}

// Lines trimmed, blank ones at either end dropped.
QString keptLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(u'\n'))
        lines.append(TagLine::trimmed(line));
    while (!lines.isEmpty() && lines.constFirst().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

} // namespace

QList<DocumentQuestion> documentQuestions(const LineModel &lines)
{
    QList<DocumentQuestion> questions;
    const int total = lines.lineCount();
    for (int line = 0; line < total; ++line) {
        QString text = lines.lineText(line);
        const QString normalized = TagLine::normalized(text);
        if (normalized.contains(TagLine::tagStart())) {
            DocumentQuestion question;
            question.line = line;
            question.number = int(questions.size()) + 1;
            question.field = TagLine::rightField(normalized);
            questions.append(question);
            continue;
        }
        if (questions.isEmpty())
            continue; // the preamble
        DocumentQuestion &question = questions.last();
        if (line == question.line + 1 && TagLine::isPictureLine(normalized)) {
            question.picture = TagLine::pictureName(text);
            continue;
        }
        if (text.contains(QChar::ObjectReplacementCharacter)) {
            question.hasObjects = true;
            text.remove(QChar::ObjectReplacementCharacter);
        }
        question.body.append(text);
    }
    return questions;
}

NumberedAnswers numberedAnswers(const QStringList &body)
{
    const QString text = body.join(u'\n');
    QList<Marker> markers = findMarkers(text, true);
    if (markers.size() < 4) {
        const QList<Marker> anywhere = findMarkers(text, false);
        if (anywhere.size() > markers.size())
            markers = anywhere;
    }
    NumberedAnswers result;
    if (markers.isEmpty()) {
        result.question = keptLines(text);
        return result;
    }
    result.question = keptLines(text.left(markers.constFirst().start));
    for (qsizetype i = 0; i < markers.size(); ++i) {
        const qsizetype start = markers.at(i).end;
        const qsizetype end = i + 1 < markers.size() ? markers.at(i + 1).start : text.size();
        result.answers.append(text.mid(start, end - start).simplified());
    }
    return result;
}

QString placeText(const QString &line)
{
    const QString text = TagLine::trimmed(line);
    return text.size() > 60 ? text.left(59) + QChar(0x2026) : text;
}
