// Reading a compiled help file (CHM) through libchm: its pages, pictures and
// style sheets by path, its default page and its table of contents. No
// windows here; the help window shows what this returns.
#pragma once

#include "library/Expected.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

struct chmFile;

class ChmFile final
{
public:
    // One entry of the table of contents; level 0 is the outermost.
    struct Entry
    {
        QString name;
        QString local;   // archive path of the page, "/" first; may carry "#anchor"
        int level = 0;
    };

    // Fails when the file is missing or is not a CHM archive.
    static Expected<std::shared_ptr<ChmFile>> open(const QString &path);
    ~ChmFile();
    ChmFile(const ChmFile &) = delete;
    ChmFile &operator=(const ChmFile &) = delete;

    // Archive paths start with "/"; letter case does not matter.
    bool contains(const QString &path) const;
    Expected<QByteArray> read(const QString &path) const;
    // The ordinary files of the archive (pages, pictures, the contents).
    QStringList files() const { return m_files; }

    QString title() const { return m_title; }
    // The page to show first.
    QString defaultTopic() const { return m_defaultTopic; }
    // The contents file (.hhc) and its entries; empty when there is none.
    QString contentsFile() const { return m_contentsFile; }
    QList<Entry> contents() const { return m_contents; }

    // Text of a page or a contents file: the charset it names, else UTF-8
    // when it is valid UTF-8, else Windows-1251 (help written on Windows).
    static QString decodeText(const QByteArray &bytes);
    // The entries of a sitemap (.hhc): OBJECT blocks with "Name" and
    // "Local" parameters, nested by UL lists.
    static QList<Entry> parseSitemap(const QString &text);
    // An archive path for a page named relative to the archive's root.
    static QString archivePath(const QString &name);

private:
    explicit ChmFile(chmFile *handle);
    void readSystem();

    chmFile *m_handle = nullptr;
    QStringList m_files;
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsFile;
    QList<Entry> m_contents;
};
