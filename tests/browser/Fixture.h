// Shared pieces of the browser tests: a library in a temporary folder, a
// prompter that answers from a script, a cue recorder, a clock that never
// waits and a stand-in for the main window.
#pragma once

#include "library/Cp1251.h"
#include "library/LineList.h"
#include "richtext/LineModel.h"
#include "session/ui/AppContext.h"
#include "session/Cues.h"
#include "session/ui/Prompter.h"
#include "session/Services.h"
#include "session/SessionState.h"
#include "tests/support/FakeHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QQueue>
#include <QStringList>
#include <QTest>
#include <QListWidget>
#include <QTextDocument>

#include <memory>

// Clicks a row of one of the chooser's lists where a user would, on the row.
inline void clickRow(QListWidget *list, int row, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(list->item(row)).center());
}

// Windows-1251 bytes of a text.
inline QByteArray cp(const QString &text)
{
    return Cp1251::encode(text).value();
}

inline QByteArray crlf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += cp(line) + "\r\n";
    return bytes;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

#include "authoring/ui/Reindex.h"
#include "authoring/ui/ResCompil.h"
#include "browser/ui/Book.h"
#include "results/ui/TestOption.h"
#include "tests/support/Doubles.h"
#include "tests/support/Prompters.h"

#include <QTemporaryDir>

// A program folder in a temporary directory with the windows of the browser.
// Fill the library with subject() and topic() before calling open().
struct Env
{
    QTemporaryDir dir;
    SessionState state;
    RecordingSink sink;
    FakeClock clock{QTime(10, 30).msecsSinceStartOfDay(), 7};
    std::unique_ptr<Cues> cues;
    ScriptedPrompter scripted;
    WidgetPrompter real;
    FakeHost host;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<TForm4> form4;
    std::unique_ptr<TForm8> form8;

    QString root() const { return dir.path() + u'/'; }
    QString data() const { return dir.path() + QStringLiteral("/Baza/Data"); }

    explicit Env(bool realBoxes = false)
    {
        state.ProgramFolder = root();
        state.LibraryFolder = state.ResultsLibraryFolder = root() + QStringLiteral("Baza/");
        QDir().mkpath(data());
        cues = std::make_unique<Cues>(sink, state.LibraryFolder);
        context.reset(new AppContext{state, *cues, clock, realBoxes ? static_cast<Prompter &>(real) : scripted});
        context->host = &host;
    }

    void setSubjects(const QStringList &lines) { writeFile(data() + QStringLiteral("/Index.dat"), crlf(lines)); }
    void setTopics(int subject, const QStringList &lines)
    {
        writeFile(data() + QStringLiteral("/%1/Index.dat").arg(subject), crlf(lines));
    }
    // A topic folder with a base file (any bytes will do for managing it).
    void makeTopic(int subject, int topic, bool withBase = true)
    {
        const QString folder = data() + QStringLiteral("/%1/%2").arg(subject).arg(topic);
        QDir().mkpath(folder);
        if (withBase)
            writeFile(folder + QStringLiteral("/Baza.dat"), "\x84\x8d\x99\x8c\r\n");
        writeFile(folder + QStringLiteral("/Config.dat"), "1\r\n1\r\n1\r\n1\r\n");
    }

    TForm2 &open()
    {
        form2 = std::make_unique<TForm2>(*context);
        form3 = std::make_unique<TForm3>(*context);
        context->windows.baseCreation = form3.get();
        form4 = std::make_unique<TForm4>(*context);
        context->windows.showTopicOptions = [this] { form4->exec(); };
        form8 = std::make_unique<TForm8>(*context);
        context->windows.showRestore = [this] { form8->exec(); };
        return *form2;
    }

    QListWidget *list(const char *name) const { return form2->findChild<QListWidget *>(QString::fromLatin1(name)); }
    QStringList rows(const char *name) const
    {
        QStringList texts;
        QListWidget *w = list(name);
        for (int i = 0; i < w->count(); ++i)
            texts.append(w->item(i)->text());
        return texts;
    }
    void select(const char *name, int row)
    {
        list(name)->setCurrentRow(row);
    }
};
