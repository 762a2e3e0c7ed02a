#include "session/ui/SystemServices.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QEventLoop>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <algorithm>

QTime SystemClock::currentTime() const
{
    return QTime::currentTime();
}

void SystemClock::pause(int milliseconds)
{
    // Not a sleep: a sleeping window thread paints nothing, and Qt's sound
    // player, fed from it, starts a cue only after the sleep.
    QEventLoop loop;
    QTimer::singleShot(std::max(0, milliseconds), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

SoundEffectSink::SoundEffectSink()
{
    // A cue must be heard with the tutor's nod, not after it. Left to
    // itself, a PulseAudio (or PipeWire) stream of a sound effect is given
    // up to two seconds of buffering, which here delayed every cue by most
    // of a second. The sound library reads this variable when a stream is
    // opened and asks for a short buffer instead. (Playback also needs the
    // window thread's event loop, which is why the tutor's pauses run it.)
    // Nothing else reads it, and a value the user set is kept.
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
