#include "complex/CompositionTree.h"
#include "complex/ControlModuleEditor.h"
#include "complex/ControlModules.h"
#include "files/IniFile.h"
#include "files/IniStore.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualMessageLoop.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

struct Module {
    int section; // 1 to 256
    QString system;
    QString zone;
    QString scenario; // empty: no key
    QString mode;
    QString comment;
};

QString sectionText(const Module& m)
{
    QString text = QStringLiteral("[МОДУЛЬ УПРАВЛЕНИЯ %1]\nСИСТЕМА=%2\nЗОНА=%3\n").arg(m.section).arg(m.system, m.zone);
    if (!m.scenario.isEmpty())
        text += QStringLiteral("СЦЕНАРИЙ=") + m.scenario + u'\n';
    return text + QStringLiteral("РЕЖИМ=%1\nКОМЕНТАРИЙ=%2\n").arg(m.mode, m.comment);
}

class ControlModulesTest : public ::testing::Test {
protected:
    using Queued = std::pair<int, int>; // address, parameter A

    // The settings with these modules, and the table built from them as at start-up.
    void settingsWith(const std::vector<Module>& modules)
    {
        QString text = QStringLiteral("[Настройки]\nCOM-порт=1\n");
        for (const Module& m : modules)
            text += sectionText(m);
        folder.writeText(QStringLiteral("KirvanMonitorP.ini"), text);
        modules_.fillSlots();
    }
    QByteArray settingsBytes() const { return folder.read(QStringLiteral("KirvanMonitorP.ini")); }
    bool hasSection(int section) const
    {
        return settings.sectionExists(QStringLiteral("МОДУЛЬ УПРАВЛЕНИЯ %1").arg(section));
    }
    QString zoneOf(int section) const
    {
        return settings.readString(QStringLiteral("МОДУЛЬ УПРАВЛЕНИЯ %1").arg(section), u"ЗОНА", QStringLiteral("-"));
    }
    // The editor of a zone of system `system`, as opened from the zone's node.
    ControlModuleEditor editorOf(const QString& system, const QString& zone)
    {
        tree.clear();
        TreeNode* zoneNode = tree.add(tree.add(nullptr, system), zone);
        return ControlModuleEditor(modules_, zoneNode);
    }

    TempFolder folder;
    FixedLocale locale;
    IniStore store{locale};
    IniFile settings{store, folder.file(QStringLiteral("KirvanMonitorP.ini"))};
    VirtualMessageLoop loop;
    RecordingDialogs dialogs;
    std::vector<Queued> queued;
    ControlModules modules_{settings, loop, dialogs,
                            [this](std::uint8_t address, std::uint8_t a) { queued.emplace_back(address, a); }};
    CompositionTree tree;
};

TEST_F(ControlModulesTest, AutomaticModuleStartsAtOnceManualOneAsksFirst)
{
    settingsWith({{1, u"A01:СКЛАД"_s, u"Цех 1"_s, u"5"_s, u"АВТОМАТ"_s, u"Вентиляция цеха"_s}});
    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 1"));
    EXPECT_EQ(queued, (std::vector<Queued>{{1, 4}}));
    EXPECT_FALSE(modules_.prompt());

    settingsWith({{1, u"A01:СКЛАД"_s, u"Цех 1"_s, u"5"_s, u"РУЧНОЙ"_s, u"Вентиляция цеха"_s}});
    queued.clear();
    // Both texts are compared whole.
    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 10"));
    modules_.findControlModule(QStringLiteral("СКЛАД2"), QStringLiteral("Цех 1"));
    EXPECT_FALSE(modules_.prompt());
    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 1"));
    ASSERT_TRUE(modules_.prompt());
    EXPECT_EQ(modules_.prompt()->place, QStringLiteral("СКЛАД Цех 1"));
    EXPECT_EQ(modules_.prompt()->question(), QStringLiteral("Запустить сценарий 5 «Вентиляция цеха»?"));
    EXPECT_TRUE(queued.empty()) << "a manual module waits for the operator";
    modules_.answerYes();
    EXPECT_EQ(queued, (std::vector<Queued>{{1, 4}}));
    EXPECT_FALSE(modules_.prompt());

    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 1"));
    ASSERT_TRUE(modules_.prompt()) << "after the answer the next alarm asks again";
    modules_.closePrompt();
    EXPECT_FALSE(modules_.prompt());
    EXPECT_EQ(queued.size(), 1u) << "skipping starts nothing";
}

TEST_F(ControlModulesTest, OpenPromptPassesOverManualModulesButNotAutomaticOnes)
{
    settingsWith({{2, u"A01:СКЛАД"_s, u"Цех 1"_s, u"5"_s, u"РУЧНОЙ"_s, u"первый"_s},
                  {4, u"A01:СКЛАД"_s, u"Цех 2"_s, u"6"_s, u"РУЧНОЙ"_s, u"второй"_s},
                  {9, u"A02:СКЛАД"_s, u"Цех 2"_s, u"7"_s, u"АВТОМАТ"_s, {}}});
    int promptChanges = 0;
    modules_.setOnPromptChanged([&] { ++promptChanges; });
    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 1"));
    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 2"));
    ASSERT_TRUE(modules_.prompt());
    EXPECT_EQ(modules_.prompt()->comment, QStringLiteral("первый")) << "no second prompt";
    EXPECT_EQ(promptChanges, 1);
    EXPECT_EQ(queued, (std::vector<Queued>{{2, 6}})) << "the automatic module of a later slot starts";
}

TEST_F(ControlModulesTest, SystemsOfOneNameShareModulesAndTheLowerSlotDecides)
{
    // Two systems made from files of the same name at addresses 1 and 3.
    settingsWith({{3, u"A03:СКЛАД"_s, u"Цех 1"_s, u"9"_s, u"РУЧНОЙ"_s, u"третий"_s},
                  {8, u"A01:СКЛАД"_s, u"Цех 1"_s, u"5"_s, u"РУЧНОЙ"_s, u"первый"_s}});
    for (int alarm = 0; alarm < 2; ++alarm) {
        modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 1"));
        ASSERT_TRUE(modules_.prompt());
        EXPECT_EQ(modules_.prompt()->comment, QStringLiteral("третий"));
        modules_.answerYes();
    }
    EXPECT_EQ(queued, (std::vector<Queued>{{3, 8}, {3, 8}})) << "the command goes to the stored address";
}

TEST_F(ControlModulesTest, ScenarioOutsideTheListWrapsIntoParameterA)
{
    const std::vector<std::pair<QString, int>> cases{{QString(), 254},
                                                     {QStringLiteral("0"), 255},
                                                     {QStringLiteral("abc"), 254},
                                                     {QStringLiteral("96"), 95}};
    for (const auto& [scenario, parameterA] : cases) {
        settingsWith({{1, u"A00:СКЛАД"_s, u"Цех 1"_s, scenario, u"АВТОМАТ"_s, {}}});
        queued.clear();
        modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 1"));
        EXPECT_EQ(queued, (std::vector<Queued>{{0, parameterA}})) << scenario.toStdString();
    }
}

TEST_F(ControlModulesTest, RecordWithoutAddressIsSkippedAndWarnedAboutOnceAfterTheAlarm)
{
    settingsWith({{1, u"AX1:СКЛАД"_s, u"Цех 1"_s, u"2"_s, u"АВТОМАТ"_s, {}},
                  {5, u"A01:СКЛАД"_s, u"Цех 1"_s, u"3"_s, u"АВТОМАТ"_s, {}}});
    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 1"));
    EXPECT_EQ(queued, (std::vector<Queued>{{1, 2}})) << "the search goes on with the next slot";
    EXPECT_TRUE(dialogs.shown.empty()) << "no box holds up the alarm being handled";
    loop.advance(10);
    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 1"));
    loop.advance(10);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Предупреждение"));
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("МОДУЛЬ УПРАВЛЕНИЯ 1")));
    EXPECT_EQ(queued.size(), 2u);
}

TEST_F(ControlModulesTest, TableHoldsTheSectionsWithKeysAndFollowsTheEditor)
{
    settingsWith({{7, u"A01:СКЛАД"_s, u"Цех 1"_s, u"1"_s, u"АВТОМАТ"_s, {}},
                  {70, u"A01:СКЛАД"_s, u"Цех 2"_s, u"2"_s, u"АВТОМАТ"_s, {}}});
    folder.writeText(QStringLiteral("KirvanMonitorP.ini"),
                     folder.readText(QStringLiteral("KirvanMonitorP.ini")) + QStringLiteral("[МОДУЛЬ УПРАВЛЕНИЯ 5]\n"));
    modules_.fillSlots();
    const ControlModuleTable& table = modules_.table();
    EXPECT_TRUE(table.used(6));
    EXPECT_TRUE(table.used(69));
    EXPECT_FALSE(table.used(4)) << "a section without keys does not exist";
    EXPECT_FALSE(table.used(0));

    // A module written by hand while the program runs is found after the next start only.
    folder.writeText(QStringLiteral("KirvanMonitorP.ini"),
                     folder.readText(QStringLiteral("KirvanMonitorP.ini"))
                         + sectionText({1, u"A01:СКЛАД"_s, u"Цех 3"_s, u"4"_s, u"АВТОМАТ"_s, {}}));
    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 3"));
    EXPECT_TRUE(queued.empty());
    // Saving never writes over it, though the table marks its slot free.
    ControlModuleEditor editor = editorOf(QStringLiteral("A01:СКЛАД"), QStringLiteral("Цех 4"));
    editor.setScenario(9);
    editor.save();
    EXPECT_EQ(zoneOf(1), QStringLiteral("Цех 3"));
    EXPECT_EQ(zoneOf(2), QStringLiteral("Цех 4"));
    EXPECT_TRUE(modules_.table().used(0));
}

TEST_F(ControlModulesTest, EditorShowsTheSavedModuleOfItsZone)
{
    settingsWith({{2, u"A01:СКЛАД"_s, u"Цех 2"_s, u"12"_s, u"АВТОМАТ"_s, u"другая зона"_s},
                  {4, u"A01:СКЛАД"_s, u"Цех 1"_s, u"5"_s, u"РУЧНОЙ"_s, u"Вентиляция цеха"_s},
                  {6, u"A01:СКЛАД"_s, u"Цех 1"_s, u"7"_s, u"АВТОМАТ"_s, u"вторая запись"_s}});
    TreeNode* system = tree.add(nullptr, QStringLiteral("A01:СКЛАД"));
    TreeNode* zone = tree.add(system, QStringLiteral("Цех 1"));
    TreeNode* detector = tree.add(zone, QStringLiteral("И01-05 Коридор"));
    for (const TreeNode* node : {zone, detector}) {
        const ControlModuleEditor editor(modules_, node);
        EXPECT_EQ(editor.system(), QStringLiteral("A01:СКЛАД"));
        EXPECT_EQ(editor.zone(), QStringLiteral("Цех 1"));
        EXPECT_EQ(editor.scenario(), 5) << "the first record of the zone";
        EXPECT_EQ(editor.mode(), ControlModuleEditor::Manual);
        EXPECT_EQ(editor.comment(), QStringLiteral("Вентиляция цеха"));
        EXPECT_TRUE(editor.actionsEnabled());
    }
    const ControlModuleEditor onSystem(modules_, system);
    EXPECT_EQ(onSystem.system(), QStringLiteral("Label2"));
    EXPECT_EQ(onSystem.scenario(), 0);
    EXPECT_FALSE(onSystem.actionsEnabled());

    settingsWith({{4, u"A01:СКЛАД"_s, u"Цех 1"_s, u"200"_s, {}, {}}});
    const ControlModuleEditor handWritten(modules_, zone);
    EXPECT_EQ(handWritten.scenario(), 0) << "a number the list lacks shows as none";
    EXPECT_EQ(handWritten.mode(), ControlModuleEditor::Automatic) << "only РУЧНОЙ shows as manual";
}

TEST_F(ControlModulesTest, WithoutScenarioNothingCanBeStartedSavedOrDeleted)
{
    settingsWith({{1, u"A01:СКЛАД"_s, u"Цех 1"_s, u"5"_s, u"РУЧНОЙ"_s, {}}});
    const QByteArray before = settingsBytes();
    ControlModuleEditor editor = editorOf(QStringLiteral("A01:СКЛАД"), QStringLiteral("Цех 1"));
    editor.setScenario(0);
    EXPECT_FALSE(editor.actionsEnabled());
    editor.start();
    editor.save();
    EXPECT_FALSE(editor.erase());
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(settingsBytes(), before);

    editor.setScenario(12);
    EXPECT_TRUE(editor.actionsEnabled());
    editor.start();
    EXPECT_EQ(queued, (std::vector<Queued>{{1, 11}}));
    EXPECT_EQ(settingsBytes(), before) << "starting saves nothing";
}

TEST_F(ControlModulesTest, SavingMovesTheZonesOneModuleToTheLowestFreeSlot)
{
    settingsWith({{1, u"A01:СКЛАД"_s, u"Цех 1"_s, u"1"_s, u"РУЧНОЙ"_s, {}},
                  {3, u"A01:СКЛАД"_s, u"Цех 2"_s, u"5"_s, u"РУЧНОЙ"_s, {}}});
    ControlModuleEditor editor = editorOf(QStringLiteral("A01:СКЛАД"), QStringLiteral("Цех 2"));
    editor.setScenario(8);
    editor.setMode(ControlModuleEditor::Automatic);
    editor.setComment(QStringLiteral("Дымоудаление"));
    editor.save();
    editor.save();
    EXPECT_FALSE(hasSection(3));
    EXPECT_EQ(folder.readText(QStringLiteral("KirvanMonitorP.ini")),
              QStringLiteral("[Настройки]\r\nCOM-порт=1\r\n")
                  + sectionText({1, u"A01:СКЛАД"_s, u"Цех 1"_s, u"1"_s, u"РУЧНОЙ"_s, {}})
                        .replace(QStringLiteral("\n"), QStringLiteral("\r\n"))
                  + QStringLiteral("[МОДУЛЬ УПРАВЛЕНИЯ 2]\r\nСИСТЕМА=A01:СКЛАД\r\nЗОНА=Цех 2\r\nСЦЕНАРИЙ=8\r\n"
                                   "РЕЖИМ=АВТОМАТ\r\nКОМЕНТАРИЙ=Дымоудаление\r\n"));
    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 2"));
    EXPECT_EQ(queued, (std::vector<Queued>{{1, 7}})) << "the search sees the saved module at once";
}

TEST_F(ControlModulesTest, DeletingLeavesAHoleThatTheNextSaveFills)
{
    settingsWith({{1, u"A01:СКЛАД"_s, u"Цех 1"_s, u"1"_s, u"АВТОМАТ"_s, {}},
                  {2, u"A01:СКЛАД"_s, u"Цех 2"_s, u"2"_s, u"АВТОМАТ"_s, {}},
                  {3, u"A01:СКЛАД"_s, u"Цех 3"_s, u"3"_s, u"АВТОМАТ"_s, {}}});
    EXPECT_TRUE(editorOf(QStringLiteral("A01:СКЛАД"), QStringLiteral("Цех 2")).erase());
    EXPECT_FALSE(hasSection(2));
    EXPECT_TRUE(hasSection(3));
    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 2"));
    EXPECT_TRUE(queued.empty()) << "gone without a restart";

    ControlModuleEditor editor = editorOf(QStringLiteral("A01:СКЛАД"), QStringLiteral("Цех 4"));
    editor.setScenario(4);
    editor.save();
    EXPECT_EQ(zoneOf(2), QStringLiteral("Цех 4"));
    EXPECT_FALSE(hasSection(4));
}

TEST_F(ControlModulesTest, FullTableSavesNothingAndSaysSoButAZoneKeepsItsPlace)
{
    std::vector<Module> all;
    for (int section = 1; section <= ControlModuleTable::SlotCount; ++section)
        all.push_back({section, u"A01:СКЛАД"_s, QStringLiteral("Зона %1").arg(section), u"1"_s, u"РУЧНОЙ"_s, {}});
    settingsWith(all);
    const QByteArray before = settingsBytes();
    ControlModuleEditor newZone = editorOf(QStringLiteral("A01:СКЛАД"), QStringLiteral("Цех 1"));
    newZone.setScenario(3);
    newZone.save();
    EXPECT_EQ(settingsBytes(), before);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Предупреждение"));

    ControlModuleEditor savedZone = editorOf(QStringLiteral("A01:СКЛАД"), QStringLiteral("Зона 200"));
    savedZone.setScenario(4);
    savedZone.save();
    EXPECT_EQ(settings.readInteger(u"МОДУЛЬ УПРАВЛЕНИЯ 200", u"СЦЕНАРИЙ", 0), 4);
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(ControlModulesTest, RefusedWriteIsReportedAndLeavesFileAndTableAsTheyWere)
{
    settingsWith({{2, u"A01:СКЛАД"_s, u"Цех 1"_s, u"5"_s, u"АВТОМАТ"_s, {}}});
    const QByteArray before = settingsBytes();
    ControlModuleEditor editor = editorOf(QStringLiteral("A01:СКЛАД"), QStringLiteral("Цех 1"));
    editor.setScenario(6);
    editor.setComment(QStringLiteral("Вентиляция"));
    {
        const FileSizeLimit fullDisk(static_cast<rlim_t>(before.size()));
        editor.save();
    }
    EXPECT_EQ(settingsBytes(), before);
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Ошибка"));
    EXPECT_TRUE(modules_.table().used(1));
    EXPECT_FALSE(modules_.table().used(0));
    modules_.findControlModule(QStringLiteral("СКЛАД"), QStringLiteral("Цех 1"));
    EXPECT_EQ(queued, (std::vector<Queued>{{1, 4}})) << "the module is still the one on the disk";
}

TEST_F(ControlModulesTest, RemovingASystemErasesExactlyItsModules)
{
    settingsWith({{7, u"A01:СКЛАД"_s, u"Цех 1"_s, u"1"_s, u"РУЧНОЙ"_s, {}},
                  {8, u"A01:СКЛАД2"_s, u"Цех 1"_s, u"1"_s, u"РУЧНОЙ"_s, {}},
                  {9, u"A02:СКЛАД"_s, u"Цех 1"_s, u"1"_s, u"РУЧНОЙ"_s, {}},
                  {70, u"A01:СКЛАД"_s, u"Цех 2"_s, u"1"_s, u"РУЧНОЙ"_s, {}}});
    EXPECT_EQ(modules_.table().eraseSystem(QStringLiteral("A01:СКЛАД")), 2);
    EXPECT_FALSE(hasSection(7));
    EXPECT_FALSE(hasSection(70));
    EXPECT_TRUE(hasSection(8));
    EXPECT_TRUE(hasSection(9));
    EXPECT_FALSE(modules_.table().used(6));
    EXPECT_FALSE(modules_.table().used(69));
    EXPECT_TRUE(modules_.table().used(8));
}

} // namespace
} // namespace kirvan::testing
