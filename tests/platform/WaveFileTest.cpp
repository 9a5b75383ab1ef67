#include "platform/AlertTones.h"
#include "platform/WaveFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

QByteArray validWave()
{
    return waveFileBytes(Wave{8000, {0, 1000, -1000, 0}});
}

QByteArray withFormatTag(QByteArray bytes, char tag)
{
    bytes[20] = tag;
    return bytes;
}

TEST(WaveFileTest, OnlyCompletePcmWaveFilesArePlayable)
{
    const QByteArray valid = validWave();
    // A chunk the player does not know, before the sound, is passed over.
    QByteArray withList = valid.left(12) + QByteArray("LIST\x03\0\0\0abc\0", 12) + valid.mid(12);
    const struct {
        const char* name;
        QByteArray bytes;
        bool playable;
    } cases[] = {
        {"synthesised", valid, true},
        {"with a foreign chunk", withList, true},
        {"empty", QByteArray(), false},
        {"text", QByteArray("not a wave at all, just text"), false},
        {"cut in the sound", valid.left(valid.size() - 2), false},
        {"header only", valid.left(44).replace(40, 4, QByteArray(4, '\0')), false},
        {"compressed", withFormatTag(valid, 2), false},
        {"no sound chunk", valid.left(36), false},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        folder.write(QStringLiteral("x.wav"), c.bytes);
        EXPECT_EQ(isPlayableWaveFile(folder.file(QStringLiteral("x.wav"))), c.playable) << c.name;
    }
    EXPECT_FALSE(isPlayableWaveFile(folder.file(QStringLiteral("missing.wav"))));
    EXPECT_FALSE(isPlayableWaveFile(folder.path())) << "a folder";
}

// The frequency of a stretch of a tone, from its rising zero crossings.
double frequencyAt(const Wave& wave, double fromSeconds, double seconds)
{
    const auto first = static_cast<std::size_t>(fromSeconds * wave.sampleRate);
    const auto count = static_cast<std::size_t>(seconds * wave.sampleRate);
    int crossings = 0;
    for (std::size_t i = first + 1; i < first + count; ++i)
        crossings += wave.samples[i - 1] < 0 && wave.samples[i] >= 0;
    return crossings / seconds;
}

TEST(WaveFileTest, AlarmSweepsThroughTheSounderBandTwiceASecond)
{
    const Wave alarm = tones::alarmSweep();
    EXPECT_EQ(alarm.samples.size(), static_cast<std::size_t>(alarm.sampleRate)) << "one second, as the blink restarts it";
    for (const double sweep : {0.0, 0.5}) {
        EXPECT_NEAR(frequencyAt(alarm, sweep + 0.01, 0.04), 530, 40);
        EXPECT_NEAR(frequencyAt(alarm, sweep + 0.45, 0.04), 965, 40);
    }
}

TEST(WaveFileTest, FaultChirpIsShortAndTwoToned)
{
    const Wave fault = tones::faultChirp();
    EXPECT_LT(fault.samples.size(), static_cast<std::size_t>(fault.sampleRate / 2)) << "shorter than a blink phase";
    EXPECT_GT(frequencyAt(fault, 0.01, 0.1), frequencyAt(fault, 0.16, 0.1) + 200);
}

} // namespace
} // namespace kirvan::testing
