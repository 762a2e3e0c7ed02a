#include "session/SystemServices.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QThread>
#include <QTranslator>
#include <QUrl>

QTime SystemClock::currentTime() const
{
    return QTime::currentTime();
}

void SystemClock::pause(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

SoundEffectSink::SoundEffectSink()
{
    // A cue must be heard with the tutor's nod, not after it. Left to
    // itself, a PulseAudio (or PipeWire) stream of a sound effect is given
    // up to two seconds of buffering, which here delayed every cue by most
    // of a second. The sound library reads this variable when a stream is
    // opened and asks for a short buffer instead; playback is fed from its
    // own thread, so the tutor's blocking pauses do not starve it. Nothing
    // else reads it, and a value the user set is kept.
    if (!qEnvironmentVariableIsSet("PULSE_LATENCY_MSEC"))
        qputenv("PULSE_LATENCY_MSEC", "80");
}

void SoundEffectSink::play(const QString &wavPath)
{
    m_effect.stop();
    if (!QFileInfo::exists(wavPath))
        return;
    m_effect.setSource(QUrl::fromLocalFile(wavPath));
    m_effect.play();
}

bool loadQtRussian(QTranslator &translator, const QString &programFolder)
{
    const QString name = QStringLiteral("qtbase_ru");
    return translator.load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || translator.load(name, programFolder + QStringLiteral("translations"));
}
