// The chooser's question bank commands. A teacher's GIFT or Aiken file
// becomes an RTF test document in a folder the teacher picks, which then
// goes through "Добавить новую тему" like any document (right away, if the
// teacher wishes); a topic goes out as a GIFT or Aiken file. The work is
// QuestionBank's; the chooser only asks and tells.
#include "browser/ui/Book.h"

#include "authoring/QuestionBank.h"
#include "session/Captions.h"
#include "session/Cues.h"
#include "session/SessionState.h"
#include "session/TestHost.h"
#include "session/ui/AppContext.h"
#include "session/ui/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>

namespace {

// What did not come across, at most a screenful of it.
QString notesText(const QList<QuestionBank::Note> &notes)
{
    if (notes.isEmpty())
        return {};
    constexpr qsizetype Shown = 15;
    QString text = QStringLiteral("\n\nНе перенесено или перенесено с изменениями:");
    for (qsizetype i = 0; i < notes.size() && i < Shown; ++i)
        text += u'\n' + notes.at(i).describe();
    if (notes.size() > Shown)
        text += QStringLiteral("\n… и ещё %1").arg(notes.size() - Shown);
    return text;
}

// A topic's name as a file name: characters no file system takes replaced.
QString fileNameOf(const QString &name)
{
    QString file = name.trimmed();
    for (QChar &c : file) {
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 32)
            c = u'_';
    }
    return file.isEmpty() ? QStringLiteral("тема") : file;
}

} // namespace

void TForm2::ImportQuestions()
{
    if (refusedReadOnly())
        return;
    if (const QString unreadable = unreadableRow(m_listPredmet, m_subjects); !unreadable.isEmpty()) {
        reportError(unreadable);
        return;
    }
    m_context.cues.PlaySoundCue(Cue::Ding);
    const QString bank = m_context.prompter.openFile(
        this, m_context.host->openBazaFolder(),
        QStringLiteral("Банк вопросов GIFT или Aiken (*.txt *.gift);;Все файлы (*)"));
    if (bank.isEmpty()) {
        m_context.cues.PlaySoundCue(Cue::Cancel);
        return;
    }
    const QString folder = m_context.prompter.chooseFolder(this, QStringLiteral("Папка для документа с тестами"),
                                                           QFileInfo(bank).absolutePath());
    if (folder.isEmpty()) {
        m_context.cues.PlaySoundCue(Cue::Cancel);
        return;
    }
    const QString document = QDir(folder).filePath(QFileInfo(bank).completeBaseName() + QStringLiteral(".rtf"));
    if (QFileInfo::exists(document)) {
        m_context.cues.PlaySoundCue(Cue::Warn);
        if (!m_context.prompter.confirm(this, Caption::Attention,
                                        QStringLiteral("Файл «%1» уже есть в этой папке. Заменить его?")
                                            .arg(QFileInfo(document).fileName()))) {
            m_context.cues.PlaySoundCue(Cue::Cancel);
            return;
        }
    }
    const Expected<QuestionBank::Written> written = QuestionBank::importBank(bank, document);
    if (!written) {
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        m_context.prompter.message(this, Caption::Attention, written.error(), Prompter::Icon::Error);
        return;
    }
    m_context.cues.PlaySoundCue(Cue::Ding);
    const QString text = QStringLiteral("Вопросы записаны в документ\n%1\n\nВопросов: %2\nРисунков: %3")
                             .arg(QDir::toNativeSeparators(document))
                             .arg(written->questions)
                             .arg(written->pictures.size())
                         + notesText(written->notes)
                         + QStringLiteral("\n\nДобавить этот документ как новую тему сейчас?");
    if (!m_context.prompter.confirm(this, Caption::Attention, text)) {
        m_context.cues.PlaySoundCue(Cue::Cancel);
        return;
    }
    addTopicFrom(document);
}

void TForm2::ExportGift()
{
    exportSelectedTopic(true);
}

void TForm2::ExportAiken()
{
    exportSelectedTopic(false);
}

void TForm2::exportSelectedTopic(bool gift)
{
    if (!selectedTopicReady())
        return;
    const QListWidgetItem *row = m_listTema->currentItem();
    const QString topic = row ? row->text() : QString();
    m_context.cues.PlaySoundCue(Cue::Ding);
    const QString suggested = QDir(m_context.host->openBazaFolder())
                                  .filePath(fileNameOf(topic) + (gift ? QStringLiteral(".gift.txt")
                                                                      : QStringLiteral(".aiken.txt")));
    const QString file = m_context.prompter.saveFile(
        this, gift ? QStringLiteral("Экспорт темы в GIFT") : QStringLiteral("Экспорт темы в Aiken"), suggested,
        QStringLiteral("Текстовый файл (*.txt)"));
    if (file.isEmpty()) {
        m_context.cues.PlaySoundCue(Cue::Cancel);
        return;
    }
    const Expected<QuestionBank::Written> written = QuestionBank::exportTopic(
        m_context.state.CurrentBasePath, gift ? QuestionBank::Format::Gift : QuestionBank::Format::Aiken, file, topic);
    if (!written) {
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        m_context.prompter.message(this, Caption::Attention, written.error(), Prompter::Icon::Error);
        return;
    }
    m_context.cues.PlaySoundCue(Cue::OkNewBaza);
    m_context.prompter.message(this, Caption::Attention,
                               QStringLiteral("Тема записана в файл\n%1\n\nВопросов: %2\nРисунков рядом с ним: %3")
                                       .arg(QDir::toNativeSeparators(file))
                                       .arg(written->questions)
                                       .arg(written->pictures.size())
                                   + notesText(written->notes),
                               Prompter::Icon::None);
}
