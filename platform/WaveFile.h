#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace kirvan {

// A wave file: 16-bit mono PCM samples with their rate.
struct Wave {
    int sampleRate = 22050;
    std::vector<qint16> samples;
};

// The bytes of a RIFF/WAVE file holding the wave.
QByteArray waveFileBytes(const Wave& wave);

// Whether the file can be read and holds PCM sound in the RIFF/WAVE layout: a missing, empty,
// truncated or foreign file is not played, so that an alarm is never silent for want of a file.
bool isPlayableWaveFile(const QString& path);

} // namespace kirvan
