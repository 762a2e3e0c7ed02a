#include "browser/ui/Book.h"

#include "session/ui/Bitmaps.h"
#include "authoring/TopicFiles.h"
#include "browser/ui/BookButton.h"
#include "library/Cp1251.h"
#include "library/Library.h"
#include "library/Paths.h"
#include "session/ui/AppContext.h"
#include "session/Captions.h"
#include "session/Cues.h"
#include "session/ui/PanelStyle.h"
#include "session/ui/Prompter.h"
#include "session/SessionState.h"
#include "session/TestHost.h"
#include "session/ui/TeacherGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>

#include <utility>

namespace {

// A list of the book. Only a press on a row changes the highlighted row: a
// press, a drag or a release off the rows leaves it as it is (a plain list
// clears it), so "Открыть" always opens the row the user sees.
class BookList final : public QListWidget
{
public:
    using QListWidget::QListWidget;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (onRow(event))
            QListWidget::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (event->buttons() == Qt::NoButton || onRow(event))
            QListWidget::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const QModelIndexList kept = selectedIndexes();
        QListWidget::mouseReleaseEvent(event);
        if (!onRow(event) && !kept.isEmpty() && selectedIndexes().isEmpty())
            selectionModel()->select(kept.constFirst(), QItemSelectionModel::ClearAndSelect);
    }

private:
    bool onRow(const QMouseEvent *event) const { return itemAt(event->position().toPoint()) != nullptr; }
};

} // namespace

TForm2::TForm2(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::FormCreate()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Выбор..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(609, 413);

    m_background = Bitmaps::pixmap(QStringLiteral("Book"));

    const QFont listFont = pixelFont(QStringLiteral("Times New Roman"), 24, true, true);
    const auto makeList = [this, &listFont](const QString &name, const QRect &place) {
        auto *list = new BookList(this);
        list->setObjectName(name);
        list->setGeometry(place);
        list->setFont(listFont);
        list->setCursor(Qt::PointingHandCursor);
        list->viewport()->setCursor(Qt::PointingHandCursor);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setContextMenuPolicy(Qt::PreventContextMenu);
        list->setUniformItemSizes(true);
        list->setStyleSheet(QStringLiteral("QListWidget { background: white; }"));
        list->viewport()->installEventFilter(this);
        list->installEventFilter(this);
        return list;
    };
    m_listPredmet = makeList(QStringLiteral("ListPredmet"), QRect(49, 47, 215, 285));
    m_listTema = makeList(QStringLiteral("ListTema"), QRect(326, 48, 232, 283));
    // The keyboard moves the selection too; the selection handlers follow it
    // so that the topic opened is always the one highlighted. A list that
    // gains focus makes its first row current without selecting it: that
    // chooses nothing.
    connect(m_listPredmet, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_syncing && row >= 0 && selectedRow(m_listPredmet) == row)
            ListPredmetClick();
    });
    connect(m_listTema, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_syncing && row >= 0 && selectedRow(m_listTema) == row)
            ListTemaClick();
    });

    m_buttonOpen = new BookButton(QStringLiteral("ButOpen1"), QStringLiteral("ButOpen2"), QStringLiteral("ButOpen3"),
                                  QStringLiteral("Открыть"), this);
    m_buttonOpen->setObjectName(QStringLiteral("ButtonOpen"));
    m_buttonOpen->setGeometry(48, 379, 105, 23);
    connect(m_buttonOpen, &BookButton::released, this, [this](Qt::MouseButton, bool) { ClickOpenTest(); });

    m_buttonSort = new BookButton(QStringLiteral("ButSort1"), QStringLiteral("ButSort2"), QStringLiteral("ButSort3"),
                                  QStringLiteral("А…Я"), this);
    m_buttonSort->setObjectName(QStringLiteral("ButtonSort"));
    m_buttonSort->setGeometry(453, 379, 105, 23);
    connect(m_buttonSort, &BookButton::released, this, [this](Qt::MouseButton, bool leftClick) {
        if (leftClick)
            ButtonSortClick();
    });

    m_panelProg = new QFrame(this);
    m_panelProg->setObjectName(QStringLiteral("PanelProg"));
    m_panelProg->setGeometry(144, 152, 305, 41);
    m_panelProg->setFrameShape(QFrame::Panel);
    m_panelProg->setFrameShadow(QFrame::Raised);
    m_panelProg->setAutoFillBackground(true);
    QPalette silver = m_panelProg->palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    m_panelProg->setPalette(silver);
    m_progressBar = new QProgressBar(m_panelProg);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar"));
    m_progressBar->setGeometry(8, 8, 289, 25);
    m_progressBar->setRange(0, 100);
    m_panelProg->hide();

    const QString close = QStringLiteral("Закрыть книгу");
    m_predmetMenu = makeMenu(QStringLiteral("PredmetMenu"),
                             {QStringLiteral("Удалить предмет"), QStringLiteral("Переименовать предмет"),
                              QStringLiteral("Добавить предмет"), QString(), QStringLiteral("Добавить новую тему"),
                              QStringLiteral("Импорт вопросов (GIFT, Aiken)..."), QString(), close},
                             m_listPredmet);
    m_predmetMenu1 = makeMenu(QStringLiteral("PredmetMenu1"), {QStringLiteral("Добавить предмет"), QString(), close});
    m_temaMenu = makeMenu(QStringLiteral("TemaMenu"),
                          {QStringLiteral("Открыть тест..."), QStringLiteral("Просмотр теста"), QString(),
                           QStringLiteral("Удалить тему"),
                           QStringLiteral("Переименовать тему"), QStringLiteral("Восстановить тему"),
                           QStringLiteral("Экспорт в GIFT..."), QStringLiteral("Экспорт в Aiken..."), QString(),
                           QStringLiteral("Настройки темы..."), QString(), close},
                          m_listTema);
    m_temaMenu1 = makeMenu(QStringLiteral("TemaMenu1"), {close});

    // Temporary files of a save cut short by a crash would otherwise stay
    // in the library for good, and keep a subject's folder from being removed.
    (void)Library::removeSaveLeftovers(m_context.state.LibraryFolder);
    if (m_context.state.ResultsLibraryFolder != m_context.state.LibraryFolder)
        (void)Library::removeSaveLeftovers(m_context.state.ResultsLibraryFolder);
    // What the choice of the library has to tell, and a subject index that
    // cannot be read, are said when the chooser first opens; the lists then
    // start empty, and the first subject added writes a new index.
    QStringList opening = m_context.state.LibraryNotices;
    if (const Status loaded = Library::openSubjectIndex(m_context.state.LibraryFolder, m_subjects); !loaded) {
        opening.append(loaded.error() + QStringLiteral("\n\nСписок предметов пуст."));
        m_openingIcon = Prompter::Icon::Error;
    }
    m_openingMessage = opening.join(QStringLiteral("\n\n"));
    fillList(m_listPredmet, m_subjects);
}

QMenu *TForm2::makeMenu(const QString &name, const QList<QString> &captions, QListWidget *keysIn)
{
    // The editing commands, and those that show or write out the right
    // answers (preview, export), are the teacher's: with a password set they
    // ask for it first.
    struct Command
    {
        QString caption;
        void (TForm2::*handler)();
        bool teachers;
        // The command's key in the list whose menu holds it. Enter, which
        // opens the topic, is the list's own, and Esc the book's, as a
        // dialog's cancel.
        QKeySequence key = {};
    };
    const QList<Command> commands = {
        {QStringLiteral("Удалить предмет"), &TForm2::DeleteSubject, true, QKeySequence(Qt::Key_Delete)},
        {QStringLiteral("Переименовать предмет"), &TForm2::RenameSubject, true, QKeySequence(Qt::Key_F2)},
        {QStringLiteral("Добавить предмет"), &TForm2::AddSubject, true, QKeySequence(Qt::Key_Insert)},
        {QStringLiteral("Добавить новую тему"), &TForm2::AddTopic, true, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {QStringLiteral("Закрыть книгу"), &TForm2::CloseBook, false},
        {QStringLiteral("Открыть тест..."), &TForm2::ClickOpenTest, false},
        {QStringLiteral("Удалить тему"), &TForm2::DeleteTopic, true, QKeySequence(Qt::Key_Delete)},
        {QStringLiteral("Переименовать тему"), &TForm2::RenameTopic, true, QKeySequence(Qt::Key_F2)},
        {QStringLiteral("Восстановить тему"), &TForm2::RestoreTopic, true, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {QStringLiteral("Настройки темы..."), &TForm2::TopicOptions, true, QKeySequence(Qt::ALT | Qt::Key_Return)},
        {QStringLiteral("Импорт вопросов (GIFT, Aiken)..."), &TForm2::ImportQuestions, true,
         QKeySequence(Qt::CTRL | Qt::Key_I)},
        {QStringLiteral("Экспорт в GIFT..."), &TForm2::ExportGift, true, QKeySequence(Qt::CTRL | Qt::Key_G)},
        {QStringLiteral("Экспорт в Aiken..."), &TForm2::ExportAiken, true, QKeySequence(Qt::CTRL | Qt::Key_K)},
        {QStringLiteral("Просмотр теста"), &TForm2::PreviewTopic, true, QKeySequence(Qt::Key_F3)},
    };
    auto *menu = new QMenu(this);
    menu->setObjectName(name);
    for (const QString &caption : captions) {
        if (caption.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(caption);
        for (const Command &command : commands) {
            if (command.caption != caption)
                continue;
            if (command.teachers)
                connect(action, &QAction::triggered, this, [this, handler = command.handler] {
                    if (!m_context.teacher || m_context.teacher->allow(this))
                        (this->*handler)();
                });
            else
                connect(action, &QAction::triggered, this, command.handler);
            if (keysIn && !command.key.isEmpty()) {
                // A key of the list's own, not the menu's: in an open menu
                // Return and Esc keep their usual meaning.
                auto *shortcut = new QAction(keysIn);
                shortcut->setShortcut(command.key);
                shortcut->setShortcutContext(Qt::WidgetShortcut);
                connect(shortcut, &QAction::triggered, action, &QAction::trigger);
                keysIn->addAction(shortcut);
                m_keys.append(shortcut);
            }
            break;
        }
    }
    return menu;
}

QString TForm2::subjectIndexPath() const
{
    return Paths::subjectIndex(m_context.state.LibraryFolder);
}

bool TForm2::refusedReadOnly()
{
    if (!m_context.state.LibraryReadOnly)
        return false;
    m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
    m_context.prompter.message(this, Caption::Attention,
                               QStringLiteral("Библиотека тестов «%1» открыта только для чтения: "
                                              "предметы и темы в ней изменить нельзя.")
                                   .arg(QDir::toNativeSeparators(QDir::cleanPath(m_context.state.LibraryFolder))),
                               Prompter::Icon::Exclamation);
    return true;
}

void TForm2::reportError(const QString &text)
{
    m_context.prompter.message(this, Caption::Attention, text, Prompter::Icon::Error);
}

int TForm2::selectedRow(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentItem();
    return item && item->isSelected() ? list->currentRow() : -1;
}

void TForm2::addRow(QListWidget *list, const QString &text)
{
    auto *item = new QListWidgetItem(text, list);
    item->setSizeHint(QSize(0, 28));
}

void TForm2::fillList(QListWidget *list, const IndexFile &index)
{
    m_syncing = true;
    list->clear();
    for (int i = 0; i < index.count(); ++i)
        addRow(list, index.displayName(i));
    m_syncing = false;
}

void TForm2::showProgress(bool visible)
{
    m_panelProg->setVisible(visible);
}

void TForm2::setProgress(int value)
{
    m_progressBar->setValue(value);
}

void TForm2::setProgressStoppable(bool stoppable)
{
    m_progressBar->setFormat(stoppable ? QStringLiteral("%p%   (Esc — отмена)") : QStringLiteral("%p%"));
}

// --- window events -------------------------------------------------------

void TForm2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_context.cues.PlayVoiceCue(Cue::Book);
    if (!m_openingMessage.isEmpty())
        m_context.prompter.message(this, Caption::Attention, std::exchange(m_openingMessage, QString()),
                                   m_openingIcon);
}

void TForm2::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormDeactivate();
}

void TForm2::leaveForReport()
{
    if (isVisible())
        FormDeactivate();
}

void TForm2::FormDeactivate()
{
    if (!m_context.state.ChooserOpenedTest)
        m_context.cues.PlaySoundCue(Cue::Cancel);
    m_context.state.ChooserOpenedTest = false;
}

void TForm2::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_background.isNull())
        painter.drawPixmap(0, 0, m_background);
    else
        painter.fillRect(rect(), QColor(0x80, 0x50, 0x30));
}

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    const bool predmet = watched == m_listPredmet->viewport();
    const bool tema = watched == m_listTema->viewport();
    if (predmet || tema) {
        QListWidget *list = predmet ? m_listPredmet : m_listTema;
        if (event->type() == QEvent::MouseButtonPress) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && list->itemAt(mouse->position().toPoint()))
                m_context.cues.PlaySoundCue(predmet ? Cue::SelectPredmet : Cue::SelectTema);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const bool handled = QObject::eventFilter(watched, event);
            listMouseUp(list, mouse->button(), mouse->position().toPoint());
            return handled;
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            return true;
        }
    }
    if ((watched == m_listPredmet || watched == m_listTema) && event->type() == QEvent::KeyPress) {
        auto *list = static_cast<QListWidget *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        // The first arrow key in a list where nothing is chosen chooses the
        // highlighted row rather than skipping past it.
        if ((key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) && selectedRow(list) < 0 && list->count() > 0) {
            const int row = std::max(0, list->currentRow());
            m_syncing = true;
            list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            m_syncing = false;
            list == m_listPredmet ? ListPredmetClick() : ListTemaClick();
            return true;
        }
        if (list == m_listTema && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            ClickOpenTest();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::listMouseUp(QListWidget *list, Qt::MouseButton button, const QPoint &pos)
{
    const bool predmet = list == m_listPredmet;
    const QListWidgetItem *item = list->itemAt(pos);
    const QPoint global = list->viewport()->mapToGlobal(pos);
    if (item) {
        m_syncing = true;
        list->setCurrentRow(list->row(item));
        m_syncing = false;
        predmet ? ListPredmetClick() : ListTemaClick();
        if (button == Qt::RightButton) {
            m_context.cues.PlaySoundCue(Cue::ContecstMenu);
            (predmet ? m_predmetMenu : m_temaMenu)->popup(global);
        }
    } else if (button == Qt::RightButton) {
        m_context.cues.PlaySoundCue(Cue::ContecstMenu);
        (predmet ? m_predmetMenu1 : m_temaMenu1)->popup(global);
    }
}

// --- selection -----------------------------------------------------------

void TForm2::ListPredmetClick()
{
    if (m_subjects.count() == 0 || m_listPredmet->count() == 0)
        return;
    int row = selectedRow(m_listPredmet);
    if (row < 0) {
        m_syncing = true;
        m_listPredmet->setCurrentRow(0);
        m_syncing = false;
        row = 0;
    }
    SessionState &state = m_context.state;
    const Expected<int> number = m_subjects.folderNumber(row);
    m_topics.setLines({});
    m_topicsLoaded = false;
    fillList(m_listTema, m_topics);
    if (!number) {
        // A line whose folder cannot be read stands for no subject: nothing
        // may act on the folder of the subject chosen before it.
        state.CurrentSubjectFolder.clear();
        reportError(number.error());
        return;
    }
    state.CurrentSubjectFolder = Paths::subjectFolder(state.LibraryFolder, QString::number(*number));
    const Status loaded = m_topics.load(Paths::topicIndex(state.CurrentSubjectFolder));
    fillList(m_listTema, m_topics);
    m_topicsLoaded = loaded.ok();
    if (!loaded)
        reportError(loaded.error());
}

void TForm2::ListTemaClick()
{
    const int row = selectedRow(m_listTema);
    if (row < 0 || row >= m_topics.count())
        return;
    SessionState &state = m_context.state;
    const Expected<int> number = m_topics.folderNumber(row);
    if (!number) {
        // The row is selected but has no topic behind it; the topic chosen
        // before it must not be opened, edited or deleted in its name.
        state.CurrentBasePath.clear();
        reportError(number.error());
        return;
    }
    state.CurrentBasePath = Paths::baseFile(Paths::topicFolder(state.CurrentSubjectFolder, QString::number(*number)));
}

// --- names ---------------------------------------------------------------

QByteArray TForm2::askName(const QString &caption, const QString &prompt, int maxLength, bool *declined)
{
    m_context.cues.PlaySoundCue(Cue::Ding);
    if (isVisible())
        FormDeactivate();
    const QString typed = m_context.prompter.input(this, caption, prompt);
    *declined = typed.isEmpty();
    if (typed.isEmpty())
        return {};
    Expected<QByteArray> stored = IndexFile::storedName(typed, maxLength);
    if (!stored) {
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        m_context.prompter.message(this, Caption::Attention,
                                   QStringLiteral("Имя «%1» не может быть сохранено: %2\n"
                                                  "Используйте русские или латинские буквы, цифры и знаки.")
                                       .arg(typed.left(maxLength), stored.error()),
                                   Prompter::Icon::Exclamation);
        return {};
    }
    return *stored;
}

// --- subjects ------------------------------------------------------------

void TForm2::AddSubject()
{
    if (refusedReadOnly())
        return;
    SessionState &state = m_context.state;
    const QString dataFolder = Paths::dataFolder(state.LibraryFolder);
    const Expected<int> number = Library::newFolderNumber(m_subjects, dataFolder);
    if (!number) {
        reportError(number.error());
        return;
    }
    bool declined = false;
    const QByteArray name = askName(QStringLiteral("Новый предмет"), QStringLiteral("Введите имя нового предмета"),
                                    IndexFile::SubjectNameLength, &declined);
    if (declined) {
        m_context.cues.PlaySoundCue(Cue::Cancel);
        return;
    }
    if (name.isEmpty())
        return;

    const QString folder = Paths::subjectFolder(state.LibraryFolder, QString::number(*number));
    // A library that lost its Data folder gets it back with the first subject.
    QDir().mkpath(Paths::folderOf(subjectIndexPath()));
    const Status added = Library::addEntry(m_subjects, subjectIndexPath(), name, *number, folder,
                                           [](const QString &made) {
                                               return LineLists::writeBytes(Paths::topicIndex(made), {});
                                           });
    if (!added) {
        fillList(m_listPredmet, m_subjects);
        reportError(added.error());
        return;
    }
    m_syncing = true;
    const int current = m_listPredmet->currentRow();
    addRow(m_listPredmet, Cp1251::decode(name));
    m_listPredmet->setCurrentRow(current);
    m_syncing = false;
    m_context.cues.PlaySoundCue(Cue::NewPredmet);
}

void TForm2::RenameSubject()
{
    if (refusedReadOnly())
        return;
    renameEntry(m_listPredmet, m_subjects, subjectIndexPath(), QStringLiteral("Предмет"),
                QStringLiteral("Введите новое имя предмета"), IndexFile::SubjectNameLength, Cue::Rename);
}

// Gives the selected entry of a list a new name: its index line keeps its
// folder number, and the index is saved (or the old line put back).
void TForm2::renameEntry(QListWidget *list, IndexFile &index, const QString &indexPath, const QString &caption,
                         const QString &prompt, int maxLength, const QString &doneCue)
{
    const int row = selectedRow(list);
    if (row < 0 || row >= index.count())
        return;
    bool declined = false;
    const QByteArray name = askName(caption, prompt, maxLength, &declined);
    if (declined) {
        m_context.cues.PlaySoundCue(Cue::Cancel);
        return;
    }
    if (name.isEmpty())
        return;
    if (Status renamed = Library::renameEntry(index, indexPath, row, name); !renamed) {
        reportError(renamed.error());
        return;
    }
    list->item(row)->setText(Cp1251::decode(name));
    m_context.cues.PlaySoundCue(doneCue);
}

QString TForm2::unreadableRow(const QListWidget *list, const IndexFile &index)
{
    const int row = selectedRow(list);
    if (row < 0 || row >= index.count())
        return {};
    const Expected<int> number = index.folderNumber(row);
    return number ? QString() : number.error();
}

// A line whose folder number cannot be read names no folder, so deleting
// its row takes out the line alone, after the user has seen which line it
// is; inside a subject's deletion (silent) no question is asked.
TForm2::TopicDeletion TForm2::removeUnreadableLine(QListWidget *list, IndexFile &index, const QString &indexPath,
                                                   int row, const QString &error, bool silent)
{
    if (!silent) {
        m_context.cues.PlaySoundCue(Cue::Warn);
        if (!m_context.prompter.confirm(this, Caption::Attention,
                                        error + QStringLiteral("\n\nУдалить из списка только эту строку? "
                                                               "Папки и файлы останутся как есть."))) {
            m_context.cues.PlaySoundCue(Cue::Cancel);
            return TopicDeletion::Declined;
        }
        m_context.cues.PlaySoundCue(Cue::Del);
    }
    return removeIndexRow(list, index, indexPath, row);
}

// Takes a row's line out of its index and the row out of its list; a line
// that cannot be saved stays in both.
TForm2::TopicDeletion TForm2::removeIndexRow(QListWidget *list, IndexFile &index, const QString &indexPath, int row)
{
    if (Status removed = Library::removeEntry(index, indexPath, row); !removed) {
        reportError(removed.error());
        return TopicDeletion::Failed;
    }
    m_syncing = true;
    delete list->takeItem(row);
    list->setCurrentRow(-1);
    m_syncing = false;
    return TopicDeletion::Done;
}

void TForm2::DeleteSubject()
{
    if (refusedReadOnly())
        return;
    SessionState &state = m_context.state;
    const int row = selectedRow(m_listPredmet);
    if (row < 0 || row >= m_subjects.count())
        return;
    if (const QString unreadable = unreadableRow(m_listPredmet, m_subjects); !unreadable.isEmpty()) {
        (void)removeUnreadableLine(m_listPredmet, m_subjects, subjectIndexPath(), row, unreadable, false);
        return;
    }
    m_context.cues.PlaySoundCue(Cue::Warn);
    if (!m_context.prompter.confirm(this, Caption::Attention,
                                    QStringLiteral("При удалении предмета, будут удалены все его темы !"))) {
        m_context.cues.PlaySoundCue(Cue::Cancel);
        return;
    }
    // The topics are those of the selected subject, whatever the list shows.
    ListPredmetClick();
    const QString subjectFolder = state.CurrentSubjectFolder;
    // A topic index that is there but cannot be read hides the subject's
    // topics (the selection has said so); one that is missing lists none.
    if (!m_topicsLoaded && QFileInfo(Paths::topicIndex(subjectFolder)).exists())
        return;
    const int topicCount = m_listTema->count();
    for (int i = 0; i < topicCount; ++i) {
        m_syncing = true;
        m_listTema->setCurrentRow(0);
        m_syncing = false;
        state.SilentDelete = true;
        TopicDeletion result = TopicDeletion::Done;
        if (const QString unreadable = unreadableRow(m_listTema, m_topics); !unreadable.isEmpty()) {
            result = removeUnreadableLine(m_listTema, m_topics, Paths::topicIndex(subjectFolder), 0, unreadable, true);
        } else {
            ListTemaClick();
            result = deleteSelectedTopic();
        }
        state.SilentDelete = false;
        if (result == TopicDeletion::Failed)
            return;
    }
    // The subject folder must hold nothing but its topic index, or it
    // could not be removed after the index had gone.
    if (Status removed = Library::removeSubjectFolder(subjectFolder); !removed) {
        reportError(removed.error());
    } else {
        if (Status saved = Library::removeEntry(m_subjects, subjectIndexPath(), row); !saved) {
            reportError(saved.error());
        } else {
            m_syncing = true;
            delete m_listPredmet->takeItem(row);
            m_listPredmet->setCurrentRow(-1);
            m_syncing = false;
            m_topics.setLines({});
            fillList(m_listTema, m_topics);
            m_context.cues.PlaySoundCue(Cue::Del);
        }
    }
}

// --- topics --------------------------------------------------------------

void TForm2::AddTopic()
{
    if (refusedReadOnly())
        return;
    if (const QString unreadable = unreadableRow(m_listPredmet, m_subjects); !unreadable.isEmpty()) {
        reportError(unreadable);
        return;
    }
    m_context.cues.PlaySoundCue(Cue::Ding);
    TestHost &host = *m_context.host;
    const QString source = m_context.prompter.openFile(this, host.openBazaFolder(), host.openBazaFilter());
    if (source.isEmpty()) {
        m_context.cues.PlaySoundCue(Cue::Cancel);
        return;
    }
    addTopicFrom(source);
}

void TForm2::addTopicFrom(const QString &source)
{
    SessionState &state = m_context.state;
    if (!QFileInfo(source).isFile())
        return;
    BaseCreation *report = m_context.windows.baseCreation;
    const auto failed = [this](const QString &error) {
        showProgress(false);
        QString text = QStringLiteral("Ошибка открытия файла...");
        if (!error.isEmpty())
            text += QStringLiteral("\n\n") + error;
        m_context.prompter.message(this, Caption::Attention, text, Prompter::Icon::Error);
    };
    showProgress(true);
    const Status checked = report->CreateBase(source, *this);
    showProgress(false);
    if (!checked)
        return failed(checked.error());
    if (!report->createConfirmed())
        return;
    const int row = selectedRow(m_listPredmet);
    if (row < 0)
        return;
    const QString topicIndex = Paths::topicIndex(state.CurrentSubjectFolder);
    bool declined = false;
    const QByteArray name = askName(QStringLiteral("Новая тема"), QStringLiteral("Введите имя новой темы"),
                                    IndexFile::TopicNameLength, &declined);
    if (name.isEmpty())
        return;
    const Expected<int> number = Library::newFolderNumber(m_topics, state.CurrentSubjectFolder);
    if (!number)
        return failed(number.error());
    const QString folder = Paths::topicFolder(state.CurrentSubjectFolder, QString::number(*number));
    // A topic without its base would be listed as broken: a failure takes
    // back what this command wrote, and nothing else.
    const Status added = Library::addEntry(m_topics, topicIndex, name, *number, folder,
                                           [report](const QString &made) { return report->WriteTopicFiles(made); });
    if (!added)
        return failed(added.error());
    m_syncing = true;
    const int current = selectedRow(m_listTema);
    addRow(m_listTema, Cp1251::decode(name));
    m_listTema->setCurrentRow(current);
    m_syncing = false;
}

void TForm2::RenameTopic()
{
    if (refusedReadOnly())
        return;
    renameEntry(m_listTema, m_topics, Paths::topicIndex(m_context.state.CurrentSubjectFolder), QStringLiteral("Тема"),
                QStringLiteral("Введите новое имя темы"), IndexFile::TopicNameLength, QStringLiteral("NewPredmet"));
}

void TForm2::DeleteTopic()
{
    if (refusedReadOnly())
        return;
    const int row = selectedRow(m_listTema);
    if (row < 0 || row >= m_topics.count())
        return;
    if (const QString unreadable = unreadableRow(m_listTema, m_topics); !unreadable.isEmpty()) {
        (void)removeUnreadableLine(m_listTema, m_topics, Paths::topicIndex(m_context.state.CurrentSubjectFolder), row,
                                   unreadable, m_context.state.SilentDelete);
        return;
    }
    ListTemaClick();
    deleteSelectedTopic();
}

TForm2::TopicDeletion TForm2::deleteSelectedTopic()
{
    SessionState &state = m_context.state;
    const int row = selectedRow(m_listTema);
    if (row < 0 || row >= m_topics.count())
        return TopicDeletion::Declined;
    // A topic whose files are partly gone (a creation or a deletion cut
    // short) is deleted like any other: what is left of it goes, and so does
    // its line, or it could never be removed.
    if (!state.SilentDelete) {
        m_context.cues.PlaySoundCue(Cue::Warn);
        if (!m_context.prompter.confirm(this, Caption::Attention, QStringLiteral("Удалить эту тему?"))) {
            m_context.cues.PlaySoundCue(Cue::Cancel);
            return TopicDeletion::Declined;
        }
        m_context.cues.PlaySoundCue(Cue::Del);
    }
    // The index line goes only once the folder has gone, so the index never
    // lists a topic that has lost part of its files without saying so.
    if (Status removed = TopicFiles::removeTopicFolder(Paths::folderOf(state.CurrentBasePath)); !removed) {
        reportError(QStringLiteral("Тема не удалена.\n\n") + removed.error());
        return TopicDeletion::Failed;
    }
    return removeIndexRow(m_listTema, m_topics, Paths::topicIndex(state.CurrentSubjectFolder), row);
}

void TForm2::TopicOptions()
{
    if (refusedReadOnly())
        return;
    showForSelectedTopic(m_context.windows.showTopicOptions);
}

void TForm2::PreviewTopic()
{
    const QListWidgetItem *subject = m_listPredmet->currentItem();
    const QListWidgetItem *topic = m_listTema->currentItem();
    const QString caption = (subject ? subject->text() : QString()) + QStringLiteral(" - ( ")
                            + (topic ? topic->text() : QString()) + QStringLiteral(" )");
    showForSelectedTopic([this, caption] {
        if (!m_context.windows.preview)
            return;
        // The preview takes no keyboard focus (its keys turn its pages): the
        // lists' keys, which keep it, must not act on the book under it (Esc
        // would close the book and leave the preview open).
        for (QAction *key : std::as_const(m_keys))
            key->setEnabled(false);
        m_context.windows.preview(m_context.state.CurrentBasePath, caption);
        for (QAction *key : std::as_const(m_keys))
            key->setEnabled(true);
    });
}

void TForm2::RestoreTopic()
{
    showForSelectedTopic(m_context.windows.showRestore);
}

// The options and the restore dialog work on the selected topic's files:
// they are not shown for a row that names no folder, nor for a topic whose
// base is gone.
void TForm2::showForSelectedTopic(const WindowCommand &show)
{
    if (!selectedTopicReady())
        return;
    if (isVisible())
        FormDeactivate();
    show();
}

bool TForm2::selectedTopicReady()
{
    if (const QString unreadable = unreadableRow(m_listTema, m_topics); !unreadable.isEmpty()) {
        reportError(unreadable);
        return false;
    }
    if (!QFileInfo::exists(m_context.state.CurrentBasePath)) {
        m_context.prompter.message(this, Caption::BrokenLibrary,
                                   QStringLiteral("Ненайден файл с выбранным тестом"), Prompter::Icon::Error);
        return false;
    }
    return true;
}

void TForm2::CloseBook()
{
    reject();
}

// --- sorting -------------------------------------------------------------

void TForm2::ButtonSortClick()
{
    if (refusedReadOnly())
        return;
    SessionState &state = m_context.state;
    m_context.cues.PlaySoundCue(Cue::Sort);
    m_subjects.sort();
    fillList(m_listPredmet, m_subjects);
    for (int i = 0; i < m_subjects.count(); ++i) {
        m_syncing = true;
        m_listPredmet->setCurrentRow(i);
        m_syncing = false;
        ListPredmetClick();
        // A subject line without a readable folder has no topics to sort.
        if (!m_subjects.folderNumber(i))
            continue;
        // A topic index that could not be read must not be saved over.
        if (!m_topicsLoaded)
            return;
        m_topics.sort();
        fillList(m_listTema, m_topics);
        if (Status saved = m_topics.save(Paths::topicIndex(state.CurrentSubjectFolder)); !saved) {
            reportError(saved.error());
            return;
        }
    }
    if (Status saved = m_subjects.save(subjectIndexPath()); !saved) {
        reportError(saved.error());
        return;
    }
    m_syncing = true;
    m_listPredmet->setCurrentRow(-1);
    m_syncing = false;
    ListPredmetClick();
}
