// Writes WAV files of silence of a chosen length, for the cue player's
// timing: 22050 Hz, mono, 16-bit PCM, as the program's own cues are.
#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

inline bool writeSilence(const QString &path, int ms)
{
    const quint32 data = quint32(22050 * 2 * qint64(ms) / 1000);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + data);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(22050) << quint32(22050 * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << data;
    bytes.append(QByteArray(qsizetype(data), '\0'));
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
