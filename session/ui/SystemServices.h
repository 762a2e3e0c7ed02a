// The real clock and the real sound: a pause that runs the event loop for its
// time, and one QSoundEffect.
#pragma once

#include "session/Services.h"

#include <QSoundEffect>

#include <memory>

class QSocketNotifier;
class QTranslator;

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

// Qt's own texts (the buttons of message and input boxes, the file dialog,
// the context menu of a text view) in Russian, like the rest of the program.
// Looks where Qt keeps its translations, then in "translations" beside the
// program (where an installation for Windows puts them). False when neither
// has them; Qt's texts then stay in English.
bool loadQtRussian(QTranslator &translator, const QString &programFolder);

// Ends the program cleanly when the system asks it to stop: SIGTERM at the
// end of a session or a shutdown, SIGINT from a terminal. The event loops
// end as the closing of the program's windows would end them, so what ends
// the program normally (the windows destroyed, the journal closed) still
// happens; no question is asked. Made before the windows, so that a stop
// asked for while they are being made waits for the event loop. Does
// nothing where there are no such signals (Windows).
class QuitOnSignals final
{
public:
    QuitOnSignals();
    ~QuitOnSignals();
    Q_DISABLE_COPY_MOVE(QuitOnSignals)

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};
