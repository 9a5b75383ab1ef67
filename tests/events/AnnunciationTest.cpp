#include "events/AlarmSounds.h"
#include "events/AlarmState.h"
#include "events/SystemReset.h"
#include "platform/AlertTones.h"
#include "platform/WaveFile.h"
#include "tests/events/EventFixture.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/VirtualMessageLoop.h"

#include "complex/StateIcon.h"

#include <optional>

namespace kirvan::testing {
namespace {

// The real annunciation behind the reactions, on virtual time, with the recording sound double
// and the sound files in the workstation folder.
class AnnunciationTest : public EventFixture {
protected:
    AnnunciationTest()
    {
        folder.write(QStringLiteral("fault.wav"), waveFileBytes(tones::faultChirp()));
        folder.write(QStringLiteral("alarm.wav"), waveFileBytes(tones::alarmSweep()));
    }

    // A record, or an operator's step: "sound off", "alarm off", or "tick" (one second of
    // blinkTimer: the dark phase, then the word with its sound).
    void step(const QString& what)
    {
        if (what == u"sound off")
            state.silence();
        else if (what == u"alarm off")
            state.resetAlarm();
        else if (what == u"tick")
            loop.advance(1000);
        else
            real.processEvent(what);
    }

    QString faultFile() const { return folder.file(QStringLiteral("fault.wav")); }
    QString alarmFile() const { return folder.file(QStringLiteral("alarm.wav")); }

    VirtualMessageLoop loop;
    RecordingSound sound;
    std::vector<QString> told;
    AlarmSounds sounds{sound, {folder.path()}, [this](const QString& text) { told.push_back(text); }};
    SystemReset reset{tree, settings, store, markers};
    AlarmState state{loop, sounds, markers, [this](const QString& address, const std::set<QString>& spared) {
                         reset.resetSystemState(address, spared);
                     }};
    EventDispatcher real{EventEnvironment{settings, store, table, log, tree, clock, locale,
                                          EventServices{state, markers, modules, window}}};
};

struct BlinkCase {
    void (AlarmState::*raise)();
    const char16_t* word;
    Rgb colour;
    bool looped;
};

TEST_F(AnnunciationTest, EveryOtherTickShowsTheWordAndStartsItsSoundAnew)
{
    const BlinkCase cases[] = {{&AlarmState::raiseFaultAlarm, u" ОТКАЗ", {255, 255, 0}, false},
                               {&AlarmState::raiseFireAlarm, u" ПОЖАР", {255, 0, 0}, true},
                               {&AlarmState::raiseTechnologyAlarm, u"Технология", {166, 202, 240}, true}};
    for (const BlinkCase& c : cases) {
        step(QStringLiteral("alarm off"));
        sound.calls.clear();
        markers.calls.clear();
        (state.*c.raise)();
        EXPECT_EQ(state.colour(), c.colour);
        EXPECT_EQ(state.text(), QStringLiteral(" НОРМА")) << "the word waits for the blink";
        const QString play = (c.looped ? QStringLiteral("looped ") + alarmFile() : QStringLiteral("once ") + faultFile());
        const std::vector<std::pair<QString, std::vector<QString>>> ticks = {{QString(), {}},
                                                                             {QString::fromUtf16(c.word), {play}},
                                                                             {QString(), {play}},
                                                                             {QString::fromUtf16(c.word), {play, play}}};
        for (const auto& [text, played] : ticks) {
            loop.advance(AlarmState::blinkIntervalMs);
            EXPECT_EQ(state.text(), text);
            EXPECT_EQ(sound.calls, played);
        }
        EXPECT_EQ(markers.calls, std::vector<std::string>(4, "blink"));
        loop.advance(AlarmState::blinkIntervalMs / 2);
        (state.*c.raise)();
        loop.advance(AlarmState::blinkIntervalMs / 2);
        EXPECT_EQ(state.text(), QString()) << "raising a blinking alarm keeps its rhythm";
    }
}

struct Scenario {
    const char* name;
    std::vector<const char16_t*> steps;
    int level;
    const char16_t* text;
    bool blinking;
    // Sounds asked for, by kind: "once fault", "looped alarm", "stop".
    std::vector<const char*> sounds;
    // The last marker painted, if the case checks it.
    std::optional<Paint> lastPaint;
    std::optional<int> systemIcon;
};

TEST_F(AnnunciationTest, AlarmsBlinkSoundAndYieldAsTheOperatorSilencesAndResets)
{
    const QString fault = QStringLiteral("01/И13-12/08");
    const Scenario scenarios[] = {
        {"fire, sound off, fault: the fire stays red and steady",
         {u"01/И01-05/07", u"tick", u"sound off", u"01/И13-12/08", u"tick"},
         2,
         u" ПОЖАР",
         false,
         {"looped alarm", "stop"},
         Paint{fault, colours::yellow, false},
         stateicon::systemFire},
        {"fire, sound off, fire: blinking and the alarm sound resume",
         {u"01/И01-05/07", u"sound off", u"01/И01-05/07", u"tick"},
         2,
         u" ПОЖАР",
         true,
         {"stop", "looped alarm"},
         Paint{QStringLiteral("01/И01-05/07"), colours::red, true},
         stateicon::systemFire},
        {"technology, installation fault: the fault replaces it, the blue marker stays",
         {u"01/И01-07/07", u"01/И01-05/41", u"tick"},
         1,
         u" ОТКАЗ",
         true,
         {"once fault"},
         Paint{QStringLiteral("01/И01-05/41"), colours::yellow, true},
         stateicon::systemFire},
        {"technology, detector fault: the technology alarm stays",
         {u"01/И01-07/07", u"tick", u"01/И13-12/08", u"tick"},
         3,
         u"Технология",
         true,
         {"looped alarm", "looped alarm"},
         Paint{fault, colours::yellow, false},
         stateicon::systemFire},
        {"fault after an alarm reset marks the system with the fault",
         {u"01/И01-05/07", u"alarm off", u"01/И13-12/08", u"tick"},
         1,
         u" ОТКАЗ",
         true,
         {"stop", "once fault"},
         Paint{fault, colours::yellow, true},
         stateicon::systemFault},
        {"sound off with nothing shown keeps the normal word",
         {u"sound off"},
         0,
         u" НОРМА",
         false,
         {"stop"},
         std::nullopt,
         std::nullopt},
        {"control check from the line: normal, silent, counter cleared",
         {u"01/И01-05/07", u"tick", u"01/И01-01/01"},
         0,
         u" НОРМА",
         false,
         {"looped alarm", "stop"},
         Paint{QStringLiteral("01/И01-05/07"), colours::red, true},
         stateicon::systemNormal},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        step(QStringLiteral("alarm off"));
        sound.calls.clear();
        markers.paints.clear();
        for (const char16_t* what : s.steps)
            step(QString::fromUtf16(what));
        EXPECT_EQ(state.alarmLevel(), s.level);
        EXPECT_EQ(state.text(), QString::fromUtf16(s.text));
        EXPECT_EQ(state.blinking(), s.blinking);
        std::vector<QString> expected;
        for (const char* kind : s.sounds)
            expected.push_back(kind == std::string("stop")         ? QStringLiteral("stop")
                               : kind == std::string("once fault") ? QStringLiteral("once ") + faultFile()
                                                                   : QStringLiteral("looped ") + alarmFile());
        EXPECT_EQ(sound.calls, expected);
        if (s.lastPaint) {
            ASSERT_FALSE(markers.paints.empty());
            EXPECT_EQ(markers.paints.back(), *s.lastPaint);
        }
        if (s.systemIcon) {
            EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), *s.systemIcon);
        }
    }
}

TEST_F(AnnunciationTest, SoundOffSteadiesTheMarkersAndAlarmResetKeepsThoseTheTreeShows)
{
    step(QStringLiteral("01/И01-05/07"));
    loop.advance(1000);
    step(QStringLiteral("sound off"));
    EXPECT_EQ(markers.calls, (std::vector<std::string>{"blink", "blink", "stop blinking"}));
    step(QStringLiteral("01/И01-05/07"));
    step(QStringLiteral("alarm off"));
    EXPECT_EQ(state.fireCounter(), 0);
    EXPECT_EQ(markers.calls,
              (std::vector<std::string>{"blink", "blink", "stop blinking", "remove all but 1", "stop blinking"}));
    loop.advance(5000);
    EXPECT_EQ(markers.calls.size(), 5u) << "blinkTimer is off";
}

TEST_F(AnnunciationTest, SystemResetReturnsTheSystemsPicturesAndRemovesItsMarkers)
{
    // A second system whose pictures a reset of system 01 must not touch.
    folder.writeText(QStringLiteral("Офис.cnf"), QStringLiteral("[СИСТЕМА]\nАДРЕС=00\n"));
    settings.ini().writeString(u"АДРЕС", u"00", folder.file(QStringLiteral("Офис.cnf")));
    TreeNode* office = tree.add(nullptr, QStringLiteral("A00:ОФИС"));
    tree.add(tree.add(office, QStringLiteral("Приёмная")), QStringLiteral("И01-05 Вход"));
    tree.walk([this](TreeNode& n) {
        tree.setPicture(n, stateicon::fire);
        return true;
    });
    // The selection is the operator's: the reset goes by the address it is given.
    tree.select(office);
    reset.resetSystemState(QStringLiteral("01"));
    EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), stateicon::systemNormal);
    EXPECT_EQ(node(QStringLiteral("Цех 1"))->imageIndex(), stateicon::fire) << "zones are passed over";
    EXPECT_EQ(node(QStringLiteral("И01-05"))->imageIndex(), stateicon::detectorOn);
    EXPECT_EQ(node(QStringLiteral("И01-06"))->imageIndex(), stateicon::securityOff);
    EXPECT_EQ(node(QStringLiteral("И01-07"))->imageIndex(), stateicon::detectorOff) << "no state reads as off";
    EXPECT_EQ(node(QStringLiteral("И13-12"))->imageIndex(), stateicon::detectorOff);
    EXPECT_EQ(markers.calls,
              (std::vector<std::string>{"remove SH010105", "remove SH010106", "remove SH010107", "remove SH011312"}));
    EXPECT_EQ(office->imageIndex(), stateicon::fire);
    EXPECT_EQ(office->children().front()->children().front()->imageIndex(), stateicon::fire);
}

TEST_F(AnnunciationTest, SystemResetSparesTheDetectorsAnnouncedAfterTheCheckBegan)
{
    tree.walk([this](TreeNode& n) {
        tree.setPicture(n, stateicon::fire);
        return true;
    });
    reset.resetSystemState(QStringLiteral("01"), {QStringLiteral("SH011312")});
    EXPECT_EQ(node(QStringLiteral("И13-12"))->imageIndex(), stateicon::fire);
    EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), stateicon::fire) << "its system still has an alarm";
    EXPECT_EQ(node(QStringLiteral("И01-05"))->imageIndex(), stateicon::detectorOn);
    EXPECT_EQ(markers.calls, (std::vector<std::string>{"remove SH010105", "remove SH010106", "remove SH010107"}));
}

struct CheckCase {
    const char* name;
    std::vector<const char16_t*> before; // announced before the check begins
    std::vector<const char16_t*> after; // arriving while it waits between systems
    int level;
    bool blinking;
    int markersKept;
    int detectorIcon; // И13-12 once the check's record has come
};

// "Общий контроль" checks the systems one after another; what arrives between its records is
// not the check's to reset.
TEST_F(AnnunciationTest, ControlCheckResetsOnlyWhatWasAnnouncedWhenItBegan)
{
    const CheckCase cases[] = {
        {"fire before, nothing after: all is reset", {u"01/И13-12/07"}, {}, 0, false, 0, stateicon::detectorOff},
        {"fire after: it stays announced", {u"01/И01-05/07"}, {u"01/И13-12/07"}, 2, true, 1, stateicon::fire},
        {"fire before, fault after: the fault is shown", {u"01/И01-05/07"}, {u"01/И13-12/08"}, 1, true, 1, stateicon::fault},
        {"fault and technology after: technology is shown", {}, {u"01/И13-12/08", u"01/И01-07/07"}, 3, true, 2, stateicon::fault},
        {"sound off after the fault: it stays steady", {}, {u"01/И13-12/08", u"sound off"}, 1, false, 1, stateicon::fault},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        step(QStringLiteral("alarm off"));
        for (const char16_t* what : c.before)
            step(QString::fromUtf16(what));
        const std::uint64_t since = state.lastAnnouncement();
        for (const char16_t* what : c.after)
            step(QString::fromUtf16(what));
        markers.calls.clear();
        real.processEvent(QStringLiteral("01/И01-01/01"), RecordContext{false, since});
        EXPECT_EQ(state.alarmLevel(), c.level);
        EXPECT_EQ(state.blinking(), c.blinking);
        EXPECT_EQ(state.fireCounter() > 0, c.level == Annunciation::Fire || c.level == Annunciation::Technology);
        if (c.level != Annunciation::Normal) {
            EXPECT_EQ(markers.calls.front(), "remove all but " + std::to_string(c.markersKept));
            EXPECT_NE(node(QStringLiteral("A01"))->imageIndex(), stateicon::systemNormal) << "the system keeps its alarm";
        }
        EXPECT_EQ(node(QStringLiteral("И13-12"))->imageIndex(), c.detectorIcon);
        EXPECT_EQ(node(QStringLiteral("И01-05"))->imageIndex(), stateicon::detectorOn);
    }
}

// A check reported by one system resets that system, whichever node a fire has selected.
TEST_F(AnnunciationTest, ControlCheckFromTheLineResetsTheRecordsOwnSystem)
{
    folder.writeText(QStringLiteral("Офис.cnf"), QStringLiteral("[СИСТЕМА]\nАДРЕС=02\n"));
    folder.writeText(QStringLiteral("Офис.tb0"), QStringLiteral("[И01-05]\nЗОНА=Приёмная\nТЕКСТ=Вход\n"));
    settings.ini().writeString(u"АДРЕС", u"02", folder.file(QStringLiteral("Офис.cnf")));
    TreeNode* office = tree.add(nullptr, QStringLiteral("A02:ОФИС"));
    TreeNode* entrance = tree.add(tree.add(office, QStringLiteral("Приёмная")), QStringLiteral("И01-05 Вход"));
    step(QStringLiteral("01/И13-12/07"));
    ASSERT_EQ(tree.selected()->text(), QStringLiteral("И13-12 Лестница"));
    step(QStringLiteral("02/И01-05/08"));
    step(QStringLiteral("02/И01-01/01"));
    EXPECT_EQ(entrance->imageIndex(), stateicon::detectorOff);
    EXPECT_EQ(office->imageIndex(), stateicon::systemNormal);
    EXPECT_EQ(node(QStringLiteral("И13-12"))->imageIndex(), stateicon::fire);
    EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), stateicon::systemFire);
}

// Faults after a fire must not scroll the fire's row away while the grid has room for it.
TEST_F(AnnunciationTest, TheRowOfTheFireThatBeganTheAlarmStaysInViewWhileThereIsRoom)
{
    table.setRowsShown(6); // collapsed, three rows deep, in a grid that shows six
    step(QStringLiteral("01/И01-05/07"));
    step(QStringLiteral("01/И13-12/07")); // a second fire: the first one's row is kept
    const int tops[] = {1, 1, 1, 1, 2, 3};
    for (const int top : tops) {
        step(QStringLiteral("01/И13-12/08"));
        EXPECT_EQ(table.topRow(), top) << "event " << table.journalRow() - 1;
    }
    step(QStringLiteral("alarm off"));
    step(QStringLiteral("01/И13-12/08"));
    EXPECT_EQ(table.topRow(), table.journalRow() - 6) << "after the reset the newest row last, the grid full";
}

} // namespace
} // namespace kirvan::testing
