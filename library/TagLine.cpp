#include "library/TagLine.h"

namespace TagLine {

QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

QString folded(const QString &text)
{
    QString result(text.size(), Qt::Uninitialized);
    QChar *out = result.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = text.at(i).toLower();
    return result;
}

QString normalized(const QString &line)
{
    return folded(trimmed(line));
}

bool isTagLine(const QString &normalizedLine)
{
    return normalizedLine.contains(tagOpening());
}

bool isPictureLine(const QString &normalizedLine)
{
    return normalizedLine.contains(pictureOpening());
}

int rightField(const QString &normalizedLine)
{
    if (!isTagLine(normalizedLine))
        return 0;
    QString digit = normalizedLine.mid(tagOpening().size());
    digit.chop(1);
    bool isNumber = false;
    const int field = trimmed(digit).toInt(&isNumber);
    return isNumber && field >= 1 && field <= 4 ? field : 0;
}

QString pictureName(const QString &line)
{
    QString name = trimmed(trimmed(line).mid(pictureOpening().size()));
    name.chop(1);
    return trimmed(name);
}

} // namespace TagLine
