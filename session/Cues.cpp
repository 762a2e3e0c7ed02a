#include "session/Cues.h"

#include "library/LineList.h"
#include "library/Paths.h"

Cues::Cues(CueSink &sink, QString programFolder)
    : m_sink(sink), m_programFolder(std::move(programFolder))
{
}

void Cues::PlayVoiceCue(const QString &name)
{
    if (m_voiceOn)
        play(name);
}

void Cues::PlaySoundCue(const QString &name)
{
    if (m_soundOn)
        play(name);
}

void Cues::play(const QString &name)
{
    m_sink.play(Paths::cueFile(m_programFolder, name));
}

void Cues::loadSwitches()
{
    const Expected<LineList> lines = LineLists::read(Paths::soundConfig(m_programFolder));
    if (!lines || lines->size() < 2) {
        m_voiceOn = m_soundOn = true;
        return;
    }
    m_voiceOn = lines->at(0) == "1";
    m_soundOn = lines->at(1) == "1";
}

Status Cues::saveSwitches() const
{
    return LineLists::write(Paths::soundConfig(m_programFolder),
                            {m_voiceOn ? "1" : "0", m_soundOn ? "1" : "0"});
}
