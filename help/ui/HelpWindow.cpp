#include "help/ui/HelpWindow.h"

#include "help/ChmFile.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTreeWidget>

namespace {

const QString kScheme = QStringLiteral("chm");

} // namespace

ChmBrowser::ChmBrowser(QWidget *parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("HelpBrowser"));
    setOpenExternalLinks(true);
}

QUrl ChmBrowser::pageUrl(const QString &archivePath)
{
    QUrl url;
    url.setScheme(kScheme);
    const QString path = ChmFile::archivePath(archivePath);
    url.setPath(path.section(u'#', 0, 0));
    if (path.contains(u'#'))
        url.setFragment(path.section(u'#', 1));
    return url;
}

QVariant ChmBrowser::loadResource(int type, const QUrl &name)
{
    QUrl url = name;
    if (url.isRelative())
        url = source().resolved(url);
    if (!m_file || url.scheme() != kScheme)
        return QTextBrowser::loadResource(type, name);
    const Expected<QByteArray> bytes = m_file->read(url.path());
    if (!bytes)
        return {};
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
        return ChmFile::decodeText(*bytes);
    return *bytes;
}

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Помощь"));
    resize(900, 650);

    auto *splitter = new QSplitter(this);
    m_contents = new QTreeWidget(splitter);
    m_contents->setObjectName(QStringLiteral("HelpContents"));
    m_contents->setHeaderHidden(true);
    m_browser = new ChmBrowser(splitter);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);
    // Wide enough for the contents' longest titles at the usual font.
    splitter->setSizes({330, 570});

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(m_contents, &QTreeWidget::itemActivated, this, &HelpWindow::showEntry);
    connect(m_contents, &QTreeWidget::itemClicked, this, &HelpWindow::showEntry);
}

void HelpWindow::setFile(std::shared_ptr<ChmFile> file)
{
    m_file = std::move(file);
    m_browser->setFile(m_file);
    m_browser->clearHistory();
    m_contents->clear();
    if (!m_file)
        return;
    if (!m_file->title().isEmpty())
        setWindowTitle(m_file->title());

    // Nest the entries by their levels.
    QList<QTreeWidgetItem *> parents;
    for (const ChmFile::Entry &entry : m_file->contents()) {
        const int level = std::min<int>(entry.level, int(parents.size()));
        parents.resize(level);
        auto *item = parents.isEmpty() ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(parents.last());
        item->setText(0, entry.name);
        item->setToolTip(0, entry.name);
        item->setData(0, Qt::UserRole, entry.local);
        parents.append(item);
    }
    m_contents->expandAll();
    m_contents->setVisible(m_contents->topLevelItemCount() > 0);

    if (!m_file->defaultTopic().isEmpty())
        m_browser->setSource(ChmBrowser::pageUrl(m_file->defaultTopic()), QTextDocument::HtmlResource);
}

void HelpWindow::showEntry(QTreeWidgetItem *item)
{
    const QString local = item ? item->data(0, Qt::UserRole).toString() : QString();
    if (!local.isEmpty())
        m_browser->setSource(ChmBrowser::pageUrl(local), QTextDocument::HtmlResource);
}
