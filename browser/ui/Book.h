// The chooser, drawn as an open book: subjects on the left page, the
// selected subject's topics on the right. The student picks a topic here
// and opens its test; the teacher manages the library through the context
// menus: subjects and topics are added, renamed, deleted and sorted, a
// topic is created from a test document, its options edited and its source
// restored (a library that cannot be written allows none of these but the
// restoring). Every change goes to the index in memory and then whole to its
// file (IndexFile); the topic folder's files are handled by TopicFiles.
#pragma once

#include "authoring/ui/BaseCreation.h"
#include "library/IndexFile.h"
#include "results/Journal.h"
#include "session/ui/Prompter.h"

#include <QDialog>
#include <QPixmap>

struct AppContext;
class WindowCommand;
class BookButton;
class QFrame;
class QListWidget;
class QMenu;
class QProgressBar;

class TForm2 final : public QDialog, public BaseProgress
{
    Q_OBJECT

public:
    explicit TForm2(AppContext &context, QWidget *parent = nullptr);
    ~TForm2() override;

    // Opens the selected topic's test (or, during a replay, the last one).
    void ClickOpenTest();
    // Offers to go on with a test of this computer that was cut short.
    void offerResume();

    // The progress panel, shown by base creation and by the tag index check
    // while a test is opened.
    void showProgress(bool visible) override;
    void setProgress(int value) override;
    // Says on the bar that Esc stops the work it shows, or no longer does.
    void setProgressStoppable(bool stoppable) override;
    // Base creation shows its report: the chooser gives way.
    void leaveForReport() override;

    // The chooser loses the focus to another of the program's windows (an
    // input box, the report, options or restore dialog) or its modal showing
    // ends: "Cancel" unless a test was just opened.
    void FormDeactivate();

    // Selection handlers, also run by the mouse, the keyboard and the sort.
    void ListPredmetClick();
    void ListTemaClick();
    void ButtonSortClick();

    // The context menu commands.
    void AddSubject();
    void RenameSubject();
    void DeleteSubject();
    void AddTopic();
    void RenameTopic();
    void DeleteTopic();
    void TopicOptions();
    void RestoreTopic();
    void PreviewTopic();
    void CloseBook();
    // Question banks (BookBanks.cpp): a GIFT or Aiken file made a test
    // document, and the selected topic written as either.
    void ImportQuestions();
    void ExportGift();
    void ExportAiken();

    const IndexFile &subjects() const { return m_subjects; }
    const IndexFile &topics() const { return m_topics; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startTest(const QString &basePath, const Journal::Unfinished *resumed);
    void showForSelectedTopic(const WindowCommand &show);
    // Says why the selected topic's files cannot be used, if they cannot.
    bool selectedTopicReady();
    // "Добавить новую тему" once the document is chosen.
    void addTopicFrom(const QString &source);
    void exportSelectedTopic(bool gift);
    enum class TopicDeletion { Done, Declined, Failed };

    void FormCreate();
    TopicDeletion deleteSelectedTopic();
    // The error naming the file and line when the selected row's folder
    // number cannot be read; empty when it stands for an entry or none is
    // selected.
    static QString unreadableRow(const QListWidget *list, const IndexFile &index);
    TopicDeletion removeUnreadableLine(QListWidget *list, IndexFile &index, const QString &indexPath, int row,
                                       const QString &error, bool silent);
    TopicDeletion removeIndexRow(QListWidget *list, IndexFile &index, const QString &indexPath, int row);
    void listMouseUp(QListWidget *list, Qt::MouseButton button, const QPoint &pos);
    static int selectedRow(const QListWidget *list);
    void fillList(QListWidget *list, const IndexFile &index);
    void addRow(QListWidget *list, const QString &text);
    void reportError(const QString &text);
    // A library that cannot be written serves for testing only: its editing
    // commands say so, before they touch anything, and stop.
    bool refusedReadOnly();
    // Asks for a name; an empty string when the answer was empty or the box
    // cancelled, or when the name cannot be stored (said to the user).
    QByteArray askName(const QString &caption, const QString &prompt, int maxLength, bool *declined);
    void renameEntry(QListWidget *list, IndexFile &index, const QString &indexPath, const QString &caption,
                     const QString &prompt, int maxLength, const QString &doneCue);
    QString subjectIndexPath() const;
    // A menu of the given commands; with a list, the commands' keys work in
    // that list, on the row it has selected, as the menu would.
    QMenu *makeMenu(const QString &name, const QList<QString> &captions, QListWidget *keysIn = nullptr);

    AppContext &m_context;
    IndexFile m_subjects;
    IndexFile m_topics;
    QPixmap m_background;
    bool m_syncing = false;
    bool m_topicsLoaded = false;
    // Said once, when the chooser first opens: an error when the subject
    // index cannot be read, else what the choice of the library has to tell.
    QString m_openingMessage;
    Prompter::Icon m_openingIcon = Prompter::Icon::Exclamation;

    QListWidget *m_listPredmet = nullptr;
    QListWidget *m_listTema = nullptr;
    QList<QAction *> m_keys;   // the lists' keys (makeMenu)
    BookButton *m_buttonOpen = nullptr;
    BookButton *m_buttonSort = nullptr;
    QFrame *m_panelProg = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QMenu *m_predmetMenu = nullptr;
    QMenu *m_predmetMenu1 = nullptr;
    QMenu *m_temaMenu = nullptr;
    QMenu *m_temaMenu1 = nullptr;
};
