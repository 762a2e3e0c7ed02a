// The two cue players and their switches. A cue is a name standing for
// Baza/Sound/<name>.wav; voice cues (the tutor speaking) and sound effects
// differ only in the switch that gates them. The switches are kept in
// Baza/Sound/Sound.cfg: line 1 voice, line 2 effects, "1" meaning on.
//
// There is one playback channel, and a new cue cuts the one still playing,
// with one exception: a voice line is heard whole. Given a clock, the
// player knows how long the cue it started last lasts (the length of its
// WAV file), and a voice line asked for before that cue has had its time
// waits for it, through a pause of that clock.
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

    // The clock that times the cues and pauses a voice line that must wait;
    // without one (the default) nothing waits.
    void setClock(Clock *clock) { m_clock = clock; }
    // Milliseconds the cue started last still has to play; 0 without a clock.
    int timeLeft() const;

    // The playing time of a PCM WAV file in milliseconds; 0 when the file
    // is missing or its header cannot be read.
    static int wavLength(const QString &path);

    bool voiceOn() const { return m_voiceOn; }
    bool soundOn() const { return m_soundOn; }
    void setVoiceOn(bool on) { m_voiceOn = on; }
    void setSoundOn(bool on) { m_soundOn = on; }

    // A missing or short file turns both switches on.
    void loadSwitches();
    Status saveSwitches() const;

private:
    void play(const QString &name);

    int now() const;

    CueSink &m_sink;
    QString m_programFolder;
    Clock *m_clock = nullptr;
    int m_startedAt = 0;      // when the last cue started, ms of the day
    int m_length = 0;         // and how long it lasts
    bool m_voiceOn = true;
    bool m_soundOn = true;
};
