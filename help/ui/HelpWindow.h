// The program's help window: the pages of Help.chm in a rich text browser
// that fetches pages, pictures and style sheets from the archive and
// follows its links, beside the table of contents when the file has one.
#pragma once

#include <QTextBrowser>
#include <QWidget>

#include <memory>

class ChmFile;
class QTreeWidget;
class QTreeWidgetItem;

// A text browser whose documents come out of a CHM archive ("chm:" URLs).
class ChmBrowser final : public QTextBrowser
{
    Q_OBJECT

public:
    explicit ChmBrowser(QWidget *parent = nullptr);
    void setFile(std::shared_ptr<ChmFile> file) { m_file = std::move(file); }
    // The URL of an archive path.
    static QUrl pageUrl(const QString &archivePath);

    QVariant loadResource(int type, const QUrl &name) override;

private:
    std::shared_ptr<ChmFile> m_file;
};

class HelpWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);
    // Shows a help file from its first page.
    void setFile(std::shared_ptr<ChmFile> file);

    ChmBrowser *browser() const { return m_browser; }
    QTreeWidget *contentsTree() const { return m_contents; }

private:
    void showEntry(QTreeWidgetItem *item);

    std::shared_ptr<ChmFile> m_file;
    ChmBrowser *m_browser = nullptr;
    QTreeWidget *m_contents = nullptr;
};
