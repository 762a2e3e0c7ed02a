// The real clock and the real sound: a blocking pause and one QSoundEffect.
#pragma once

#include "session/Services.h"

#include <QSoundEffect>

class SystemClock final : public Clock
{
public:
    QTime currentTime() const override;
    void pause(int milliseconds) override;
};

// One playback channel: stop, set the new source, play. QSoundEffect needs no
// media framework and stays silent (with a warning) without an audio device.
class SoundEffectSink final : public CueSink
{
public:
    SoundEffectSink();
    void play(const QString &wavPath) override;

private:
    QSoundEffect m_effect;
};
