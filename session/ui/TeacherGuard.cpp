#include "session/ui/TeacherGuard.h"

#include "library/Paths.h"
#include "library/TeacherPassword.h"
#include "session/Captions.h"
#include "session/Cues.h"
#include "session/SessionState.h"
#include "session/ui/AppContext.h"
#include "session/ui/Prompter.h"

namespace {

const QString kCaption = QStringLiteral("Пароль учителя");

} // namespace

bool TeacherGuard::allow(QWidget *parent)
{
    if (m_unlocked)
        return true;
    const QString path = Paths::teacherPassword(m_context.state.LibraryFolder);
    const Expected<std::optional<TeacherPassword>> stored = TeacherPassword::load(path);
    if (!stored) {
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        m_context.prompter.message(parent, Caption::Attention, stored.error(), Prompter::Icon::Error);
        return false;
    }
    if (!stored->has_value())
        return true;
    constexpr int Tries = 3;
    for (int attempt = 1; attempt <= Tries; ++attempt) {
        const QString prompt = attempt == 1 ? QStringLiteral("Введите пароль учителя:")
                                            : QStringLiteral("Пароль неверен. Попытка %1 из %2:").arg(attempt).arg(Tries);
        const QString given = m_context.prompter.password(parent, kCaption, prompt);
        if (given.isEmpty()) {
            m_context.cues.PlaySoundCue(Cue::Cancel);
            return false;
        }
        if ((*stored)->matches(given)) {
            m_unlocked = true;
            return true;
        }
    }
    m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
    m_context.prompter.message(parent, Caption::Attention,
                               QStringLiteral("Пароль учителя введён неверно три раза."), Prompter::Icon::Error);
    return false;
}

void TeacherGuard::changePassword(QWidget *parent)
{
    const QString path = Paths::teacherPassword(m_context.state.LibraryFolder);
    if (!allow(parent))
        return;
    const Expected<std::optional<TeacherPassword>> stored = TeacherPassword::load(path);
    const bool isSet = stored && stored->has_value();
    const QString first = m_context.prompter.password(
        parent, kCaption,
        isSet ? QStringLiteral("Новый пароль (пусто - снять пароль):") : QStringLiteral("Новый пароль:"));
    if (first.isEmpty()) {
        if (!isSet || !m_context.prompter.confirm(parent, Caption::Attention,
                                                  QStringLiteral("Снять пароль учителя? Журнал и правка тем"
                                                                 " будут открыты всем."))) {
            m_context.cues.PlaySoundCue(Cue::Cancel);
            return;
        }
        if (const Status removed = TeacherPassword::remove(path); !removed) {
            m_context.prompter.message(parent, Caption::Attention, removed.error(), Prompter::Icon::Error);
            return;
        }
        m_context.prompter.message(parent, kCaption, QStringLiteral("Пароль учителя снят."), Prompter::Icon::None);
        return;
    }
    const QString second = m_context.prompter.password(parent, kCaption, QStringLiteral("Повторите новый пароль:"));
    if (second != first) {
        m_context.cues.PlaySoundCue(Cue::ErrorNewBaza);
        m_context.prompter.message(parent, Caption::Attention,
                                   QStringLiteral("Пароли не совпадают. Пароль учителя не изменён."),
                                   Prompter::Icon::Exclamation);
        return;
    }
    if (const Status saved = TeacherPassword::make(first).save(path); !saved) {
        m_context.prompter.message(parent, Caption::Attention, saved.error(), Prompter::Icon::Error);
        return;
    }
    m_context.prompter.message(parent, kCaption, QStringLiteral("Пароль учителя сохранён."), Prompter::Icon::None);
}
