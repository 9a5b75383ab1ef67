#include "events/AlarmSounds.h"
#include "platform/AlertTones.h"
#include "platform/WaveFile.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

enum class File { None, Valid, Damaged, ValidUpperCase };

struct LookupCase {
    const char* name;
    File workstation;
    File program;
    // "workstation", "program" or "" for the built-in alert.
    const char* played;
    const char16_t* told;
    File chosen = File::None; // the file of the settings, "chosen/alarm.wav"
};

void put(const TempFolder& folder, const QString& sub, File file)
{
    QDir(folder.path()).mkpath(sub);
    const QString name = sub
                         + (file == File::ValidUpperCase ? QStringLiteral("/ALARM.WAV") : QStringLiteral("/alarm.wav"));
    if (file == File::Valid || file == File::ValidUpperCase)
        folder.write(name, waveFileBytes(tones::alarmSweep()));
    else if (file == File::Damaged)
        folder.write(name, QByteArray("RIFF\0\0\0\0WAVE", 12));
}

TEST(AlarmSoundsTest, FilesAreTakenFromTheWorkstationThenBesideTheProgramElseTheAlertSounds)
{
    const LookupCase cases[] = {
        {"both folders: the workstation's", File::Valid, File::Valid, "workstation", nullptr},
        {"letter case aside", File::ValidUpperCase, File::None, "workstation", nullptr},
        {"only beside the program", File::None, File::Valid, "program", nullptr},
        {"nowhere", File::None, File::None, "", u"ВНИМАНИЕ! НЕ НАЙДЕН ЗВУКОВОЙ ФАЙЛ alarm.wav: ЗВУЧИТ ВСТРОЕННЫЙ СИГНАЛ"},
        {"damaged in the workstation folder: reported, not replaced by the program's", File::Damaged, File::Valid, "",
         u"ВНИМАНИЕ! НЕ ЧИТАЕТСЯ ЗВУКОВОЙ ФАЙЛ %1/ws/alarm.wav: ЗВУЧИТ ВСТРОЕННЫЙ СИГНАЛ"},
        {"the installer's choice before both", File::Valid, File::Valid, "chosen", nullptr, File::Valid},
        {"a damaged choice is not replaced", File::Valid, File::None, "",
         u"ВНИМАНИЕ! НЕ ЧИТАЕТСЯ ЗВУКОВОЙ ФАЙЛ %1/chosen/alarm.wav: ЗВУЧИТ ВСТРОЕННЫЙ СИГНАЛ", File::Damaged},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        put(folder, QStringLiteral("ws"), c.workstation);
        put(folder, QStringLiteral("program"), c.program);
        RecordingSound sound;
        std::vector<QString> told;
        AlarmSounds sounds(sound, {folder.file(QStringLiteral("ws")), folder.file(QStringLiteral("program"))},
                           [&](const QString& text) { told.push_back(text); });
        put(folder, QStringLiteral("chosen"), c.chosen);
        if (c.chosen != File::None)
            sounds.choose(AlarmSounds::alarmName, folder.file(QStringLiteral("chosen/alarm.wav")));
        sounds.playLooped(QStringLiteral("alarm.wav"));
        sounds.playLooped(QStringLiteral("alarm.wav"));
        const QString expected = c.played == std::string("workstation")
                                     ? QStringLiteral("looped ")
                                           + folder.file(c.workstation == File::ValidUpperCase
                                                             ? QStringLiteral("ws/ALARM.WAV")
                                                             : QStringLiteral("ws/alarm.wav"))
                                 : c.played == std::string("program")
                                     ? QStringLiteral("looped ") + folder.file(QStringLiteral("program/alarm.wav"))
                                 : c.played == std::string("chosen")
                                     ? QStringLiteral("looped ") + folder.file(QStringLiteral("chosen/alarm.wav"))
                                     : QStringLiteral("looped ");
        EXPECT_EQ(sound.calls, std::vector<QString>(2, expected));
        if (c.told)
            EXPECT_EQ(told, std::vector<QString>{QString::fromUtf16(c.told).arg(folder.path())}) << "told once";
        else
            EXPECT_TRUE(told.empty());
    }
}

} // namespace
} // namespace kirvan::testing
