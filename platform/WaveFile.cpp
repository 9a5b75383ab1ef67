#include "platform/WaveFile.h"

#include <QFile>
#include <QtEndian>

namespace kirvan {

namespace {

constexpr int headerSize = 44;

void appendLe32(QByteArray& bytes, quint32 value)
{
    char data[4];
    qToLittleEndian(value, data);
    bytes.append(data, 4);
}

void appendLe16(QByteArray& bytes, quint16 value)
{
    char data[2];
    qToLittleEndian(value, data);
    bytes.append(data, 2);
}

quint32 le32(const char* data)
{
    return qFromLittleEndian<quint32>(data);
}

quint16 le16(const char* data)
{
    return qFromLittleEndian<quint16>(data);
}

} // namespace

QByteArray waveFileBytes(const Wave& wave)
{
    const auto dataSize = static_cast<quint32>(wave.samples.size() * sizeof(qint16));
    QByteArray bytes;
    bytes.reserve(headerSize + static_cast<qsizetype>(dataSize));
    bytes.append("RIFF", 4);
    appendLe32(bytes, 36 + dataSize);
    bytes.append("WAVEfmt ", 8);
    appendLe32(bytes, 16);
    appendLe16(bytes, 1); // PCM
    appendLe16(bytes, 1); // mono
    appendLe32(bytes, static_cast<quint32>(wave.sampleRate));
    appendLe32(bytes, static_cast<quint32>(wave.sampleRate) * 2);
    appendLe16(bytes, 2);
    appendLe16(bytes, 16);
    bytes.append("data", 4);
    appendLe32(bytes, dataSize);
    for (const qint16 sample : wave.samples)
        appendLe16(bytes, static_cast<quint16>(sample));
    return bytes;
}

// Walks the chunks: a "fmt " chunk of PCM, then a "data" chunk with sound that the file holds.
bool isPlayableWaveFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray riff = file.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return false;
    bool pcm = false;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() != 8)
            return false;
        const quint32 size = le32(chunk.constData() + 4);
        const QByteArray id = chunk.left(4);
        if (id == "fmt ") {
            const QByteArray format = file.read(16);
            if (size < 16 || format.size() != 16)
                return false;
            const quint16 tag = le16(format.constData());
            const quint16 channels = le16(format.constData() + 2);
            const quint16 bits = le16(format.constData() + 14);
            pcm = tag == 1 && channels >= 1 && (bits == 8 || bits == 16);
            if (!file.seek(file.pos() + (size - 16) + (size & 1)))
                return false;
        } else if (id == "data") {
            return pcm && size > 0 && file.size() - file.pos() >= static_cast<qint64>(size);
        } else if (!file.seek(file.pos() + size + (size & 1))) {
            return false;
        }
    }
    return false;
}

} // namespace kirvan
