#include "authoring/ui/Reindex.h"

#include "authoring/TopicFiles.h"
#include "library/Paths.h"
#include "richtext/RtfReader.h"
#include "session/ui/AppContext.h"
#include "session/Captions.h"
#include "session/Cues.h"
#include "session/ui/PanelStyle.h"
#include "session/ui/Prompter.h"
#include "session/SessionState.h"
#include "session/TestHost.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextDocument>
#include <QTreeView>

namespace {

// The drives offered: on Windows every drive letter, elsewhere the file
// system root and the user's home folder.
QStringList drives()
{
    QStringList list;
#ifdef Q_OS_WIN
    for (const QFileInfo &drive : QDir::drives())
        list.append(drive.absolutePath().toUpper());
#else
    list.append(QDir::homePath());
    list.append(QStringLiteral("/"));
#endif
    return list;
}

} // namespace

TForm8::TForm8(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Восстановление исходной базы..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(274, 314);
    setAutoFillBackground(true);
    QPalette caption = palette();
    caption.setColor(QPalette::Window, caption.color(QPalette::Active, QPalette::Highlight));
    setPalette(caption);

    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setGeometry(8, 8, 257, 27);
    m_edit1->setReadOnly(true);
    m_edit1->setFont(pixelFont(QStringLiteral("Times New Roman"), 16));
    QPalette blue = m_edit1->palette();
    blue.setColor(QPalette::Text, Qt::blue);
    m_edit1->setPalette(blue);

    m_driveBox = new QComboBox(this);
    m_driveBox->setObjectName(QStringLiteral("DriveBox"));
    m_driveBox->setGeometry(8, 48, 257, m_driveBox->sizeHint().height());
    m_driveBox->addItems(drives());

    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setReadOnly(true);
    m_listBox = new QTreeView(this);
    m_listBox->setObjectName(QStringLiteral("ListBox"));
    m_listBox->setGeometry(8, 72, 257, 193);
    m_listBox->setModel(m_folders);
    m_listBox->setHeaderHidden(true);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        m_listBox->hideColumn(column);

    QFont bold = font();
    bold.setBold(true);
    m_button1 = new QPushButton(QStringLiteral("Восстановить"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(8, 272, 105, 33);
    m_button1->setFont(bold);
    m_button2 = new QPushButton(QStringLiteral("Создать новую папку"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(120, 272, 145, 33);
    m_button2->setFont(bold);

    connect(m_button1, &QPushButton::clicked, this, &TForm8::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &TForm8::Button2Click);
    connect(m_driveBox, &QComboBox::currentIndexChanged, this, &TForm8::DriveBoxChange);
    connect(m_listBox->selectionModel(), &QItemSelectionModel::currentChanged, this, &TForm8::ListBoxChange);
    setDrive(m_driveBox->currentText());
}

QString TForm8::destination() const
{
    return m_edit1->text();
}

void TForm8::warn(const QString &text)
{
    m_context.prompter.message(this, Caption::Attention, text, Prompter::Icon::Exclamation);
}

void TForm8::setDrive(const QString &drive)
{
    m_drive = drive;
    const QModelIndex root = m_folders->setRootPath(drive);
    m_listBox->setRootIndex(root);
    m_listBox->setCurrentIndex(QModelIndex());
    m_edit1->setText(QDir::toNativeSeparators(drive));
}

void TForm8::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

void TForm8::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        m_context.cues.PlaySoundCue(Cue::Cancel);
}

void TForm8::FormActivate()
{
    if (m_listBox->currentIndex().isValid())
        ListBoxChange();
    m_context.cues.PlaySoundCue(Cue::NewBaza);
}

void TForm8::DriveBoxChange()
{
    const QString drive = m_driveBox->currentText();
    if (!QFileInfo(drive).isDir() || !QFileInfo(drive).isReadable()) {
        m_context.prompter.message(this, Caption::Attention, QStringLiteral("Диск не готов к работе!"),
                                   Prompter::Icon::Exclamation);
        const QSignalBlocker blocker(m_driveBox);
        m_driveBox->setCurrentIndex(0);
        setDrive(m_driveBox->currentText());
        return;
    }
    setDrive(drive);
}

void TForm8::ListBoxChange()
{
    const QModelIndex current = m_listBox->currentIndex();
    m_edit1->setText(QDir::toNativeSeparators(current.isValid() ? m_folders->filePath(current) : m_drive));
}

void TForm8::selectFolder(const QString &path)
{
    const QString folder = QFileInfo(path).absoluteFilePath();
    // Switch the drive when the folder is not under the current one.
    if (!folder.startsWith(m_drive)) {
        for (int i = 0; i < m_driveBox->count(); ++i) {
            if (folder.startsWith(m_driveBox->itemText(i))) {
                const QSignalBlocker blocker(m_driveBox);
                m_driveBox->setCurrentIndex(i);
                setDrive(m_driveBox->itemText(i));
                break;
            }
        }
    }
    const QModelIndex index = m_folders->index(folder);
    if (index.isValid()) {
        m_listBox->setCurrentIndex(index);
        m_listBox->scrollTo(index);
    }
    m_edit1->setText(QDir::toNativeSeparators(folder));
}

void TForm8::Button1Click()
{
    SessionState &state = m_context.state;
    const QString dest = QDir::fromNativeSeparators(destination());
    if (dest.isEmpty() || !QFileInfo(dest).isDir()) {
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        warn(QStringLiteral("Выберите папку, в которую будет восстановлен тест."));
        return;
    }
    if (!TopicFiles::hasNoFiles(dest)) {
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        warn(QStringLiteral("Папка не пустая !!!"));
        return;
    }
    m_context.cues.PlaySoundCue(Cue::Ding);
    if (!m_context.prompter.confirm(this, Caption::Attention, QStringLiteral("Тест будет размещен по вышеуказанному адресу?"))) {
        m_context.cues.PlaySoundCue(Cue::Cancel);
        return;
    }
    const auto failed = [this](const QString &error) {
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        m_context.prompter.message(this, Caption::Attention, error, Prompter::Icon::Error);
    };
    const Expected<QByteArray> source = TopicFiles::restoreSource(state.CurrentBasePath, dest);
    if (!source)
        return failed(source.error());
    TestHost &host = *m_context.host;
    RtfReader::load(*source, host.fullTestDocument());
    const QStringList pictures = TopicFiles::pictureNames(host.fullTestLines());
    host.fullTestDocument().clear();
    const TopicFiles::PictureCopy copy = TopicFiles::copyPictures(Paths::folderOf(state.CurrentBasePath), dest, pictures);
    if (!copy.status) {
        // Take back what this restore wrote: the folder is empty again and
        // a second attempt, once the cause is removed, is accepted.
        QFile::remove(dest + QStringLiteral("/test.rtf"));
        for (const QString &file : copy.copied)
            QFile::remove(file);
        return failed(copy.status.error());
    }
    if (!copy.missing.isEmpty()) {
        // Every picture the topic holds is restored; the author learns, in
        // one message, which names led nowhere inside the topic folder.
        QStringList names;
        for (const QString &name : copy.missing)
            names.append(QStringLiteral("«%1»").arg(name));
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        warn(QStringLiteral("Тест восстановлен, но не скопированы рисунки, которых нет в папке темы:\n")
             + names.join(QStringLiteral("\n")));
    }
    m_context.cues.PlaySoundCue(Cue::Count);
    accept();
}

void TForm8::Button2Click()
{
    m_context.cues.PlaySoundCue(Cue::Ding);
    const QString name = m_context.prompter.input(this, Caption::Attention, QStringLiteral("Введите имя новой директории"));
    if (name.isEmpty()) {
        m_context.cues.PlaySoundCue(Cue::Cancel);
        return;
    }
    QString parent = QDir::fromNativeSeparators(destination());
    while (parent.size() > 1 && parent.endsWith(u'/'))
        parent.chop(1);
    // One new folder inside the chosen one: no separators, no "." or "..".
    const bool plainName = !name.contains(u'/') && !name.contains(u'\\') && name != QStringLiteral(".")
                           && name != QStringLiteral("..");
    if (parent.isEmpty() || !plainName || !QDir(parent).mkdir(name)) {
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        warn(QStringLiteral("Невозможно создать папку !!!"));
        return;
    }
    selectFolder(parent + (parent.endsWith(u'/') ? QString() : QStringLiteral("/")) + name);
    m_context.cues.PlaySoundCue(Cue::OptTestCancel);
}
