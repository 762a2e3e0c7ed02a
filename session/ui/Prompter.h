// Message boxes, input boxes and the file dialog, behind one small
// interface: windows ask through it, the program answers with the real
// boxes, and tests can answer with a script instead.
#pragma once

#include <QString>

class QWidget;

class Prompter
{
public:
    enum class Icon { None, Exclamation, Error };

    virtual ~Prompter() = default;

    // A box with an OK button.
    virtual void message(QWidget *parent, const QString &caption, const QString &text, Icon icon) = 0;
    // A box with OK and Cancel and the exclamation icon; true for OK.
    virtual bool confirm(QWidget *parent, const QString &caption, const QString &text) = 0;
    // A question with "Да" and "Нет"; true for "Да".
    virtual bool ask(QWidget *parent, const QString &caption, const QString &text) { return confirm(parent, caption, text); }
    // A one-line input box with an empty default; an empty string when cancelled.
    virtual QString input(QWidget *parent, const QString &caption, const QString &prompt) = 0;
    // An open-file dialog; an empty string when cancelled.
    virtual QString openFile(QWidget *parent, const QString &folder, const QString &filter) = 0;
    // A dialog choosing an existing folder; an empty string when cancelled.
    virtual QString chooseFolder(QWidget *parent, const QString &caption, const QString &folder) = 0;
    // A save-file dialog offering path, asking before it replaces a file; an
    // empty string when cancelled.
    virtual QString saveFile(QWidget *parent, const QString &caption, const QString &path, const QString &filter) = 0;
};

// The real boxes. Each is a modal QMessageBox, QInputDialog or QFileDialog
// parented to the window that asks, so tests can find and answer them with
// QApplication::activeModalWidget().
class WidgetPrompter final : public Prompter
{
public:
    void message(QWidget *parent, const QString &caption, const QString &text, Icon icon) override;
    bool confirm(QWidget *parent, const QString &caption, const QString &text) override;
    bool ask(QWidget *parent, const QString &caption, const QString &text) override;
    QString input(QWidget *parent, const QString &caption, const QString &prompt) override;
    QString openFile(QWidget *parent, const QString &folder, const QString &filter) override;
    QString chooseFolder(QWidget *parent, const QString &caption, const QString &folder) override;
    QString saveFile(QWidget *parent, const QString &caption, const QString &path, const QString &filter) override;
};
