// The two cue players and their switches. A cue is a name standing for
// Baza/Sound/<name>.wav; voice cues (the tutor speaking) and sound effects
// differ only in the switch that gates them. The switches are kept in
// Baza/Sound/Sound.cfg: line 1 voice, line 2 effects, "1" meaning on.
#pragma once

#include "library/Expected.h"
#include "session/Services.h"

#include <QString>

class Cues
{
public:
    Cues(CueSink &sink, QString programFolder);

    void PlayVoiceCue(const QString &name);
    void PlaySoundCue(const QString &name);

    bool voiceOn() const { return m_voiceOn; }
    bool soundOn() const { return m_soundOn; }
    void setVoiceOn(bool on) { m_voiceOn = on; }
    void setSoundOn(bool on) { m_soundOn = on; }

    // A missing or short file turns both switches on.
    void loadSwitches();
    Status saveSwitches() const;

private:
    void play(const QString &name);

    CueSink &m_sink;
    QString m_programFolder;
    bool m_voiceOn = true;
    bool m_soundOn = true;
};
