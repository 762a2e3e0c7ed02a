#include "session/SystemServices.h"

#include <QFileInfo>
#include <QThread>
#include <QUrl>

QTime SystemClock::currentTime() const
{
    return QTime::currentTime();
}

void SystemClock::pause(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void SoundEffectSink::play(const QString &wavPath)
{
    m_effect.stop();
    if (!QFileInfo::exists(wavPath))
        return;
    m_effect.setSource(QUrl::fromLocalFile(wavPath));
    m_effect.play();
}
