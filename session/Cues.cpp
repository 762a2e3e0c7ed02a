#include "session/Cues.h"

#include "library/LineList.h"
#include "library/Paths.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

Cues::Cues(CueSink &sink, QString library)
    : m_sink(sink), m_library(std::move(library))
{
}

void Cues::PlayVoiceCue(const QString &name)
{
    if (!m_voiceOn)
        return;
    // The tutor finishes what he is saying (or lets an effect end) before
    // he speaks again.
    if (const int left = timeLeft(); left > 0 && m_clock)
        m_clock->pause(left);
    play(name);
}

void Cues::PlaySoundCue(const QString &name)
{
    if (m_soundOn)
        play(name);
}

void Cues::play(const QString &name)
{
    const QString path = Paths::cueFile(m_library, name);
    if (m_clock) {
        m_startedAt = now();
        m_length = wavLength(path);
    }
    m_sink.play(path);
}

int Cues::now() const
{
    return m_clock ? m_clock->currentTime().msecsSinceStartOfDay() : 0;
}

int Cues::timeLeft() const
{
    if (!m_clock || m_length <= 0)
        return 0;
    int elapsed = now() - m_startedAt;
    if (elapsed < 0)
        elapsed += 24 * 3600 * 1000;   // past midnight
    return std::max(0, m_length - elapsed);
}

int Cues::wavLength(const QString &path)
{
    // RIFF "WAVE", then chunks of a four-letter id and a little-endian size:
    // "fmt " holds the bytes per second, "data" the samples.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return 0;
    const auto le32 = [](const QByteArray &bytes, int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    quint32 bytesPerSecond = 0;
    for (int chunks = 0; chunks < 64; ++chunks) {
        const QByteArray header = file.read(8);
        if (header.size() < 8)
            return 0;
        const quint32 size = le32(header, 4);
        if (header.startsWith("data")) {
            if (bytesPerSecond == 0)
                return 0;
            // A size the file cannot hold (a stream left open) counts what is there.
            const quint64 bytes = std::min<quint64>(size, quint64(std::max<qint64>(0, file.size() - file.pos())));
            return int(std::min<quint64>(bytes * 1000 / bytesPerSecond, 3600 * 1000));
        }
        if (header.startsWith("fmt ")) {
            const QByteArray format = file.read(std::min<quint32>(size, 16));
            if (format.size() < 12)
                return 0;
            bytesPerSecond = le32(format, 8);
            if (!file.seek(file.pos() + (size - quint32(format.size())) + (size & 1)))
                return 0;
        } else if (!file.seek(file.pos() + qint64(size) + (size & 1))) {
            return 0;
        }
    }
    return 0;
}

void Cues::loadSwitches()
{
    const Expected<LineList> lines = LineLists::read(Paths::soundConfig(m_library));
    if (!lines || lines->size() < 2) {
        m_voiceOn = m_soundOn = true;
        return;
    }
    m_voiceOn = lines->at(0) == "1";
    m_soundOn = lines->at(1) == "1";
}

Status Cues::saveSwitches() const
{
    return LineLists::write(Paths::soundConfig(m_library),
                            {m_voiceOn ? "1" : "0", m_soundOn ? "1" : "0"});
}
