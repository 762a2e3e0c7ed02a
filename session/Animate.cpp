#include "session/Animate.h"

#include "session/Cues.h"
#include "session/Services.h"
#include "session/SessionState.h"

#include <QRandomGenerator>

namespace {

// A head turn: every frame but the last is held for 100 ms.
QList<Animate::Step> turn(std::initializer_list<int> frames)
{
    QList<Animate::Step> steps;
    for (int frame : frames)
        steps.append({frame, 100});
    if (!steps.isEmpty())
        steps.last().wait = 0;
    return steps;
}

} // namespace

Animate::Animate(SessionState &state, Cues &cues, Clock &clock, DrawFrame draw)
    : m_state(state), m_cues(cues), m_clock(clock), m_draw(std::move(draw))
{
}

QString Animate::frameResource(int frame)
{
    static const char *const names[FrameCount] = {"Hd_Normal", "Hd_No1",  "Hd_No2",  "Hd_No3", "Hd_No4",
                                                  "Hd_Yes1",   "Hd_Yes2", "Hd_Yes3", "Hd_Yes4"};
    if (frame < 0 || frame >= FrameCount)
        return {};
    return QString::fromLatin1(names[frame]);
}

QList<Animate::Step> Animate::nod()
{
    return {{Yes1, 100}, {Yes2, 50}, {Yes1, 50}, {Normal, 50}, {Yes3, 100}, {Yes4, 130}, {Yes3, 100}, {Normal, 0}};
}

QList<Animate::Step> Animate::shake()
{
    return {{No1, 100}, {No2, 50}, {No1, 50}, {Normal, 50}, {No3, 100}, {No4, 100}, {No3, 50}, {Normal, 0}};
}

QList<Animate::Step> Animate::greeting()
{
    return {{Yes1, 100}, {Yes2, 50}, {Yes1, 50}, {Normal, 50}, {Yes3, 100}, {Yes4, 350}, {Yes3, 100}, {Normal, 0}};
}

QList<Animate::Step> Animate::lookTransition(int from, int to)
{
    if (from == to || from < 0 || from > 3 || to < 1 || to > 3)
        return {};
    // The head looks up at the question, to the right over the right part
    // of the window, and at the viewer over the left part.
    switch (from) {
    case 0:
        return to == 1 ? turn({Yes1, Yes2}) : to == 2 ? turn({Yes1, Normal}) : turn({No1, No2});
    case 1:
        return to == 2 ? turn({Yes1, Normal}) : turn({Yes1, No1, No2});
    case 2:
        return to == 1 ? turn({Yes1, Yes2}) : turn({No1, No2});
    default:
        return to == 1 ? turn({No1, Yes1, Yes2}) : turn({No1, Normal});
    }
}

void Animate::run(const QList<Step> &steps)
{
    for (const Step &step : steps) {
        if (m_draw)
            m_draw(step.frame);
        if (step.wait > 0)
            m_clock.pause(step.wait);
    }
}

QString Animate::pick(const QString &first, const QString &second) const
{
    QRandomGenerator generator(quint32(m_clock.msecsOfDay()));
    return generator.bounded(2) == 0 ? first : second;
}

void Animate::AnimateRight()
{
    if (m_state.AskedCount == m_state.QuestionsToAsk)
        m_state.RightStreak = 0;
    m_state.WrongStreak = 0;
    ++m_state.RightStreak;
    if (m_state.RightStreak == 5) {
        m_state.RightStreak = 0;
        m_cues.PlayVoiceCue(Cue::AnalginYes1);
    } else {
        m_cues.PlayVoiceCue(pick(Cue::Yes, Cue::Yes1));
    }
    run(nod());
}

void Animate::AnimateWrong()
{
    if (m_state.AskedCount == m_state.QuestionsToAsk)
        m_state.WrongStreak = 0;
    m_state.RightStreak = 0;
    ++m_state.WrongStreak;
    if (m_state.WrongStreak == 3) {
        m_state.WrongStreak = 0;
        m_cues.PlayVoiceCue(pick(Cue::AnalginNo1, Cue::AnalginNo2));
    } else {
        m_cues.PlayVoiceCue(pick(Cue::No, Cue::No1));
    }
    run(shake());
}

void Animate::AnimateGreeting()
{
    if (!m_state.GreetingPending)
        return;
    m_cues.PlaySoundCue(Cue::Hello);
    run(greeting());
    m_state.GreetingPending = false;
}

void Animate::LookAt(int zone)
{
    if (zone == m_state.LookZone)
        return;
    run(lookTransition(m_state.LookZone, zone));
    m_state.LookZone = std::uint8_t(zone);
}
