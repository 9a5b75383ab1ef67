#include "platform/AlertTones.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kirvan::tones {

namespace {

constexpr int sampleRate = 22050;
// Short fades at both ends of every tone, so that no tone starts or stops with a click.
constexpr double fadeSeconds = 0.005;

int samplesOf(double seconds)
{
    return static_cast<int>(std::lround(seconds * sampleRate));
}

// A tone whose frequency moves linearly from `from` to `to` Hz. `edge` adds odd harmonics:
// 0 a pure sine, 1 close to a square wave, which carries through a noisy room.
void appendTone(Wave& wave, double seconds, double from, double to, double amplitude, double edge)
{
    const int count = samplesOf(seconds);
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double frequency = from + (to - from) * t / seconds;
        phase += 2 * std::numbers::pi * frequency / sampleRate;
        double value = std::sin(phase);
        for (int harmonic = 3; harmonic <= 7; harmonic += 2)
            value += edge * std::sin(harmonic * phase) / harmonic;
        value /= 1 + edge * (1.0 / 3 + 1.0 / 5 + 1.0 / 7);
        const double fade = std::min({1.0, t / fadeSeconds, (seconds - t) / fadeSeconds});
        wave.samples.push_back(static_cast<qint16>(std::lround(value * amplitude * fade * 32767)));
    }
}

void appendSilence(Wave& wave, double seconds)
{
    wave.samples.insert(wave.samples.end(), static_cast<std::size_t>(samplesOf(seconds)), 0);
}

} // namespace

Wave faultChirp()
{
    Wave wave{sampleRate, {}};
    appendTone(wave, 0.12, 1400, 1400, 0.6, 0.3);
    appendSilence(wave, 0.03);
    appendTone(wave, 0.12, 950, 950, 0.6, 0.3);
    return wave;
}

Wave alarmSweep()
{
    Wave wave{sampleRate, {}};
    for (int sweep = 0; sweep < 2; ++sweep)
        appendTone(wave, 0.5, 500, 1000, 0.8, 0.6);
    return wave;
}

Wave builtInAlert()
{
    Wave wave{sampleRate, {}};
    for (int beat = 0; beat < 4; ++beat) {
        appendTone(wave, 0.125, 880, 880, 0.8, 1.0);
        appendTone(wave, 0.125, 660, 660, 0.8, 1.0);
    }
    return wave;
}

} // namespace kirvan::tones
