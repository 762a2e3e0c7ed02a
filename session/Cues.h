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

#include <QLatin1String>
#include <QString>

// The cues the program plays. Each constant is named after its file,
// Baza/Sound/<name>.wav, and holds that name.
namespace Cue {

// The tutor's voice, gated by the voice switch: play with PlayVoiceCue.
inline constexpr QLatin1String Yes{"Yes"};
inline constexpr QLatin1String Yes1{"Yes1"};
inline constexpr QLatin1String AnalginYes1{"AnalginYes1"};
inline constexpr QLatin1String No{"No"};
inline constexpr QLatin1String No1{"No1"};
inline constexpr QLatin1String AnalginNo1{"AnalginNo1"};
inline constexpr QLatin1String AnalginNo2{"AnalginNo2"};
inline constexpr QLatin1String Final1{"Final1"};
inline constexpr QLatin1String Final2{"Final2"};
inline constexpr QLatin1String Final3{"Final3"};
inline constexpr QLatin1String Final4{"Final4"};
inline constexpr QLatin1String Gmm{"Gmm"};
inline constexpr QLatin1String Sora{"Sora"};
inline constexpr QLatin1String Book{"Book"};
inline constexpr QLatin1String Name{"Name"};
inline constexpr QLatin1String Gong{"Gong"};
inline constexpr QLatin1String We{"We"};
inline constexpr QLatin1String Next{"Next"};
inline constexpr QLatin1String Time1{"Time1"};
inline constexpr QLatin1String Time{"Time"};

// Sound effects, gated by the effects switch: play with PlaySoundCue.
inline constexpr QLatin1String Hello{"Hello"};
inline constexpr QLatin1String OptTestMenu{"OptTestMenu"};
inline constexpr QLatin1String OptTestSave{"OptTestSave"};
inline constexpr QLatin1String OptTestCancel{"OptTestCancel"};
inline constexpr QLatin1String SelectOpt{"SelectOpt"};
inline constexpr QLatin1String Table{"Table"};
inline constexpr QLatin1String BookEnd{"BookEnd"};
inline constexpr QLatin1String About{"About"};
inline constexpr QLatin1String Clock{"Clock"};
inline constexpr QLatin1String Down{"Down"};
inline constexpr QLatin1String Cancel{"Cancel"};
inline constexpr QLatin1String Ding{"Ding"};
inline constexpr QLatin1String Warn{"Warn"};
inline constexpr QLatin1String Del{"Del"};
inline constexpr QLatin1String Rename{"Rename"};
inline constexpr QLatin1String NewPredmet{"NewPredmet"};
inline constexpr QLatin1String ContecstMenu{"ContecstMenu"};
inline constexpr QLatin1String SelectPredmet{"SelectPredmet"};
inline constexpr QLatin1String SelectTema{"SelectTema"};
inline constexpr QLatin1String Sort{"Sort"};
inline constexpr QLatin1String NewBaza{"NewBaza"};
inline constexpr QLatin1String Count{"Count"};
inline constexpr QLatin1String OkNewBaza{"OkNewBaza"};
inline constexpr QLatin1String ErrorNewBaza{"ErrorNewBaza"};

} // namespace Cue

class Cues
{
public:
    Cues(CueSink &sink, QString library);

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
    QString m_library;
    Clock *m_clock = nullptr;
    int m_startedAt = 0;      // when the last cue started, ms of the day
    int m_length = 0;         // and how long it lasts
    bool m_voiceOn = true;
    bool m_soundOn = true;
};
