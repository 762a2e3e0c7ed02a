// The boxes of a test: answered from a script, which fails the test on a
// confirmation or an input box nobody scripted and records every message,
// or the real boxes, for tests that answer them as a user would.
#pragma once

#include "session/ui/Prompter.h"

#include <QQueue>
#include <QStringList>
#include <QTest>
#include <QWidget>

// Answers from queues, in order; records every box it was asked to show.
class ScriptedPrompter final : public Prompter
{
public:
    struct Box
    {
        QString caption;
        QString text;
        Icon icon;
        bool parentVisible;   // the box's window was on the screen
    };

    QQueue<QString> inputs;       // answers to input boxes, in order
    QQueue<bool> confirms;        // answers to confirmations
    QQueue<QString> files;        // answers to the open-file dialog
    QQueue<QString> folders;      // answers to the folder dialog
    QQueue<QString> saves;        // answers to the save-file dialog
    QList<Box> messages;          // message boxes shown
    QStringList asked;            // captions of every box, in order

    void message(QWidget *parent, const QString &caption, const QString &text, Icon icon) override
    {
        messages.append({caption, text, icon, parent && parent->isVisible()});
        asked.append(caption);
    }
    bool confirm(QWidget *, const QString &caption, const QString &) override
    {
        asked.append(caption);
        if (confirms.isEmpty()) {
            QTest::qFail("unexpected confirmation", __FILE__, __LINE__);
            return false;
        }
        return confirms.dequeue();
    }
    QString input(QWidget *, const QString &caption, const QString &) override
    {
        asked.append(caption);
        if (inputs.isEmpty()) {
            QTest::qFail("unexpected input box", __FILE__, __LINE__);
            return {};
        }
        return inputs.dequeue();
    }
    QString openFile(QWidget *, const QString &, const QString &) override
    {
        asked.append(QStringLiteral("open"));
        return files.isEmpty() ? QString() : files.dequeue();
    }
    QString chooseFolder(QWidget *, const QString &, const QString &) override
    {
        asked.append(QStringLiteral("folder"));
        return folders.isEmpty() ? QString() : folders.dequeue();
    }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override
    {
        asked.append(QStringLiteral("save"));
        return saves.isEmpty() ? QString() : saves.dequeue();
    }
};

// Either prompter, chosen per test: the scripted one by default, the real
// boxes when a test wants to answer them itself.
class SwitchPrompter final : public Prompter
{
public:
    void message(QWidget *parent, const QString &caption, const QString &text, Icon icon) override
    {
        current().message(parent, caption, text, icon);
    }
    bool confirm(QWidget *parent, const QString &caption, const QString &text) override
    {
        return current().confirm(parent, caption, text);
    }
    QString input(QWidget *parent, const QString &caption, const QString &prompt) override
    {
        return current().input(parent, caption, prompt);
    }
    QString openFile(QWidget *parent, const QString &folder, const QString &filter) override
    {
        return current().openFile(parent, folder, filter);
    }
    QString chooseFolder(QWidget *parent, const QString &caption, const QString &folder) override
    {
        return current().chooseFolder(parent, caption, folder);
    }
    QString saveFile(QWidget *parent, const QString &caption, const QString &path, const QString &filter) override
    {
        return current().saveFile(parent, caption, path, filter);
    }

    Prompter &current() { return useReal ? static_cast<Prompter &>(real) : recorded; }

    bool useReal = false;
    ScriptedPrompter recorded;
    WidgetPrompter real;
};
