// Subject and topic index files: one line per entry, "name=number", in the
// order the entries are listed. The display name is the text before the
// first '=', the folder number the text after it (the whole line when there
// is no '='). Changes are made in memory and the whole list is then saved.
#pragma once

#include "library/Expected.h"
#include "library/LineList.h"

#include <QString>

class IndexFile
{
public:
    static constexpr int SubjectNameLength = 12;
    static constexpr int TopicNameLength = 15;

    Status load(const QString &path);
    Status save(const QString &path) const;

    // The path last loaded or saved; used in error messages.
    const QString &path() const { return m_path; }

    int count() const { return int(m_lines.size()); }
    const LineList &lines() const { return m_lines; }
    void setLines(const LineList &lines) { m_lines = lines; }

    QByteArray displayNameBytes(int i) const;
    QString displayName(int i) const;
    QString folderText(int i) const;
    // The folder number as a decimal integer; a hand-edited line whose number
    // is not one is an error that names the file and the line.
    Expected<int> folderNumber(int i) const;

    void append(const QByteArray &line) { m_lines.append(line); }
    void replace(int i, const QByteArray &line) { m_lines[i] = line; }
    void remove(int i) { m_lines.removeAt(i); }

    // Whole lines compared with Russian collation, ignoring letter case.
    void sort();

    // The smallest positive number no line uses.
    Expected<int> allocateFolderNumber() const;

    // A typed name made ready for an index line: cut to maxLength characters,
    // '=' replaced by '-' (it would end the name inside the line), and
    // encoded; a character Windows-1251 cannot hold is an error.
    static Expected<QByteArray> storedName(const QString &typed, int maxLength);
    static QByteArray makeLine(const QByteArray &name, int number);

private:
    LineList m_lines;
    QString m_path;
};
