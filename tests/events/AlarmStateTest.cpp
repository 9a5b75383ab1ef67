#include "events/AlarmState.h"

#include <gtest/gtest.h>

namespace kirvan {
namespace {

struct LevelCase {
    void (AlarmState::*raise)();
    int level;
    const char16_t* word;
    Rgb colour;
};

TEST(AlarmStateTest, EachAlarmShowsItsWordAndColour)
{
    const LevelCase cases[] = {{&AlarmState::RaiseFaultAlarm, 1, u" ОТКАЗ", {255, 255, 0}},
                               {&AlarmState::RaiseFireAlarm, 2, u" ПОЖАР", {255, 0, 0}},
                               {&AlarmState::RaiseTechnologyAlarm, 3, u"Технология", {166, 202, 240}}};
    for (const LevelCase& c : cases) {
        AlarmState alarms;
        int changes = 0;
        alarms.setOnChanged([&] { ++changes; });
        (alarms.*c.raise)();
        EXPECT_EQ(alarms.AlarmLevel(), c.level);
        EXPECT_EQ(alarms.word(), QString::fromUtf16(c.word));
        EXPECT_EQ(alarms.colour(), c.colour);
        EXPECT_EQ(changes, 1);
    }
}

TEST(AlarmStateTest, StartsNormalAndResetReturnsToNormalWithTheCounterCleared)
{
    int resets = 0;
    AlarmState alarms([&] { ++resets; });
    EXPECT_EQ(alarms.word(), QStringLiteral(" НОРМА"));
    EXPECT_EQ(alarms.colour(), (Rgb{0, 128, 0}));
    alarms.RaiseFireAlarm();
    alarms.incrementFireCounter();
    alarms.SoundOffExecute();
    EXPECT_EQ(alarms.word(), QStringLiteral(" ПОЖАР")) << "sound off keeps the alarm shown";
    alarms.AlarmOffExecute();
    EXPECT_EQ(alarms.AlarmLevel(), 0);
    EXPECT_EQ(alarms.FireCounter(), 0);
    EXPECT_EQ(alarms.word(), QStringLiteral(" НОРМА"));
    alarms.ResetSystemState();
    EXPECT_EQ(resets, 1);
}

} // namespace
} // namespace kirvan
