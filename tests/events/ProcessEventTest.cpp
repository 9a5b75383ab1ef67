#include "tests/events/EventFixture.h"

#include "files/SettingsKeys.h"
#include "events/TreeMarking.h"
#include "files/FileWriteError.h"
#include "platform/ConversionError.h"
#include "tests/support/FileSizeLimit.h"

#include <QDir>
#include <QFileInfo>

namespace kirvan::testing {
namespace {

using ProcessEventTest = EventFixture;

TEST_F(ProcessEventTest, AddressWithoutASystemHasNoEffectAtAll)
{
    EXPECT_TRUE(process(QStringLiteral("02/И01-05/08")).isEmpty());
    EXPECT_TRUE(process(QStringLiteral("07/И01-05/07")).isEmpty());
    EXPECT_EQ(table.journalRow(), 1);
    EXPECT_TRUE(alarms.calls.empty());
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("KirvanMonitorP.txt"))));
}

TEST_F(ProcessEventTest, NonNumericCodeFailsBeforeAnythingChanges)
{
    EXPECT_THROW(dispatcher.processEvent(QStringLiteral("01/И01-05/0x")), ConversionError);
    EXPECT_THROW(dispatcher.processEvent(QStringLiteral("01/И01-05")), ConversionError);
    EXPECT_TRUE(log.historyList().isEmpty());
    EXPECT_EQ(table.journalRow(), 1);
}

TEST_F(ProcessEventTest, MissingSystemFileIgnoresEverythingButTheAdsLinkLoss)
{
    settings.ini().writeString(settings::sectionAddress, u"33", folder.file(QStringLiteral("нет.cnf")));
    settings.ini().writeString(settings::sectionAddress, u"02", folder.file(QStringLiteral("нет.cnf")));
    EXPECT_TRUE(process(QStringLiteral("02/И01-05/08")).isEmpty());
    const QString line = process(QStringLiteral("33/И01-01/23"));
    EXPECT_EQ(line, QStringLiteral("33/И01-01/23 08.12.2023 9:15:02 ОТКАЗ: КОМПЛЕКС НЕТ СВЯЗИ С УДАЛЕННОЙ АДС"));
    EXPECT_EQ(row(1)[2], QStringLiteral("КОМПЛЕКС"));
    EXPECT_EQ(table.journalRow(), 2);
    EXPECT_EQ(window.restores, 0);
    EXPECT_EQ(alarms.calls, std::vector<std::string>{"fault"});
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("нет.tb0"))));
}

TEST_F(ProcessEventTest, AdsLinkLossKeepsAShownFire)
{
    settings.ini().writeString(settings::sectionAddress, u"32", folder.file(QStringLiteral("нет.cnf")));
    alarms.level = Annunciation::Fire;
    EXPECT_EQ(process(QStringLiteral("32/И01-01/23")),
              QStringLiteral("32/И01-01/23 08.12.2023 9:15:02 ОТКАЗ: КОМПЛЕКС НЕТ СВЯЗИ С АДС №1"));
    EXPECT_TRUE(alarms.calls.empty());
}

TEST_F(ProcessEventTest, SystemNameIsTheUpperCasedBaseNameWhateverTheFilesCase)
{
    folder.writeText(QStringLiteral("цех.cnf"), QStringLiteral("[СИСТЕМА]\nАДРЕС=01\n"));
    settings.ini().writeString(settings::sectionAddress, u"01", folder.file(QStringLiteral("ЦЕХ.CNF")));
    EXPECT_EQ(process(QStringLiteral("01/И02-64/09")),
              QStringLiteral("01/И02-64/09 08.12.2023 9:15:02 ОТКАЗ: ЦЕХ НЕТ СВЯЗИ С ПУ-П"));
    EXPECT_EQ(row(1)[2], QStringLiteral("ЦЕХ"));
}

TEST_F(ProcessEventTest, SwitchingWritesTheDetectorStateAndThePicture)
{
    process(QStringLiteral("01/И01-06/03"));
    EXPECT_EQ(detectorValue(QStringLiteral("Склад.tb0"), QStringLiteral("И01-06"), QStringLiteral("СОСТОЯНИЕ")),
              QStringLiteral("ВКЛ"));
    EXPECT_EQ(node(QStringLiteral("И01-06"))->imageIndex(), stateicon::securityOn);
    process(QStringLiteral("01/И01-05/05"));
    EXPECT_EQ(node(QStringLiteral("И01-05"))->imageIndex(), stateicon::detectorOff);
    EXPECT_TRUE(markers.paints.empty()) << "detectors without a marker get none";
}

TEST_F(ProcessEventTest, SwitchingOffASecurityDetectorWithAMarkerTurnsItWhite)
{
    markers.withMarker.insert(QStringLiteral("01/И01-06"));
    process(QStringLiteral("01/И01-06/05"));
    EXPECT_EQ(node(QStringLiteral("И01-06"))->imageIndex(), stateicon::securityOff);
    EXPECT_EQ(markers.paints, (std::vector<Paint>{{QStringLiteral("01/И01-06/05"), colours::white, false}}));
}

TEST_F(ProcessEventTest, SwitchingAPointAboveSixtyLeavesTheFileUntouched)
{
    const QByteArray before = folder.read(QStringLiteral("Склад.tb0"));
    process(QStringLiteral("01/И01-61/03"));
    EXPECT_EQ(folder.read(QStringLiteral("Склад.tb0")), before);
}

TEST_F(ProcessEventTest, SwitchingCreatesAMissingDetectorFile)
{
    process(QStringLiteral("01/И31-02/03"));
    EXPECT_EQ(detectorValue(QStringLiteral("Склад.tb3"), QStringLiteral("И31-02"), QStringLiteral("СОСТОЯНИЕ")),
              QStringLiteral("ВКЛ"));
}

TEST_F(ProcessEventTest, ArmedThenDisarmedEndsDisarmed)
{
    process(QStringLiteral("01/И01-05/30"));
    EXPECT_EQ(node(QStringLiteral("И01-05"))->imageIndex(), stateicon::armed);
    process(QStringLiteral("01/И01-05/31"));
    EXPECT_EQ(detectorValue(QStringLiteral("Склад.tb0"), QStringLiteral("И01-05"), QStringLiteral("ОХРАНА")),
              QStringLiteral("ВЫКЛ"));
    EXPECT_EQ(node(QStringLiteral("И01-05"))->imageIndex(), stateicon::securityOn);
}

TEST_F(ProcessEventTest, FireRaisesTheAlarmMarksTheTreeAndSearchesTheZonesModules)
{
    process(QStringLiteral("01/И01-05/07"));
    EXPECT_EQ(window.restores, 1);
    EXPECT_EQ(alarms.calls, std::vector<std::string>{"fire"});
    EXPECT_EQ(markers.paints, (std::vector<Paint>{{QStringLiteral("01/И01-05/07"), colours::red, true}}));
    EXPECT_EQ(modules.searches, std::vector<QString>{QStringLiteral("СКЛАД/Цех 1")});
    EXPECT_EQ(node(QStringLiteral("И01-05"))->imageIndex(), stateicon::fire);
    EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), stateicon::systemFire);
    EXPECT_EQ(selections, std::vector<TreeNode*>{node(QStringLiteral("И01-05"))});
    EXPECT_EQ(alarms.fires, 1);
    EXPECT_EQ(table.topRow(), 1);
}

TEST_F(ProcessEventTest, FireOfAnUndescribedDetectorStillRaisesTheAlarmAndMarksItsNode)
{
    // A detector file out of date after rewiring: the tree knows the detector, its file does not.
    tree.clear();
    ComplexFile::parseInto(tree, u"A01:СКЛАД\n\tЦех 1\n\t\tИ01-08 Новый\n");
    process(QStringLiteral("01/И01-08/07"));
    EXPECT_EQ(window.restores, 1);
    EXPECT_EQ(alarms.calls, std::vector<std::string>{"fire"});
    EXPECT_EQ(markers.paints, (std::vector<Paint>{{QStringLiteral("01/И01-08/07"), colours::red, true}}));
    EXPECT_EQ(node(QStringLiteral("И01-08"))->imageIndex(), stateicon::fire);
    EXPECT_EQ(alarms.fires, 1);
}

TEST_F(ProcessEventTest, RefusedDetectorFileWriteStillLogsTheJournalLineFirst)
{
    // A detector file larger than the disk lets the program write; the text log is small.
    folder.writeText(QStringLiteral("Склад.tb0"), folder.readText(QStringLiteral("Склад.tb0"))
                                                      + QStringLiteral("[И01-50]\nТЕКСТ=%1\n").arg(QString(3000, u'x')));
    // Each record changes a value, so each must write.
    for (const char16_t* code : {u"01/И01-06/03", u"01/И01-05/05", u"01/И01-05/30", u"01/И01-05/31"}) {
        const QString record = QString::fromUtf16(code);
        SCOPED_TRACE(record.toStdString());
        const auto before = log.historyList().size();
        {
            FileSizeLimit disk(1500);
            EXPECT_THROW(dispatcher.processEvent(record), FileWriteError);
        }
        ASSERT_EQ(log.historyList().size(), before + 1);
        EXPECT_TRUE(log.historyList().back().startsWith(record + QStringLiteral(" 08.12.2023 9:15:02 СКЛАД: ")));
        EXPECT_TRUE(log.historyList().back().contains(record.mid(3, 6) + QStringLiteral(" Цех 1 ")));
        EXPECT_TRUE(folder.readText(QStringLiteral("KirvanMonitorP.txt")).contains(record));
    }
}

TEST_F(ProcessEventTest, TechnologyWhileAFireIsShownKeepsTheFireAndStillCounts)
{
    alarms.level = Annunciation::Fire;
    process(QStringLiteral("01/И01-07/07"));
    EXPECT_TRUE(alarms.calls.empty());
    EXPECT_EQ(markers.paints, (std::vector<Paint>{{QStringLiteral("01/И01-07/07"), colours::blue, false}}));
    EXPECT_EQ(node(QStringLiteral("И01-07"))->imageIndex(), stateicon::technology);
    EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), stateicon::systemFire);
    EXPECT_EQ(alarms.fires, 1);
}

// While a fire is shown the display stays with it: no later alarm moves the selection, and the
// plan that follows it, away; without a fire, fire and technology take it.
TEST_F(ProcessEventTest, WhileAFireIsShownNoLaterAlarmTakesTheSelection)
{
    const struct {
        const char* name;
        int level;
        const char16_t* record;
        bool selects;
    } cases[] = {
        {"technology during a fire", Annunciation::Fire, u"01/И01-07/07", false},
        {"technology record during a fire", Annunciation::Fire, u"01/И01-05/51", false},
        {"a second fire", Annunciation::Fire, u"01/И13-12/07", false},
        {"release during a fire", Annunciation::Fire, u"01/И13-12/38", false},
        {"the first fire", Annunciation::Technology, u"01/И13-12/07", true},
        {"technology during a fault", Annunciation::Fault, u"01/И01-07/07", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        alarms.level = c.level;
        selections.clear();
        process(QString::fromUtf16(c.record));
        EXPECT_EQ(selections.size(), c.selects ? 1u : 0u);
    }
}

TEST_F(ProcessEventTest, TechnologyWithoutAFireRaisesTheTechnologyAlarm)
{
    process(QStringLiteral("01/И01-05/51"));
    EXPECT_EQ(alarms.calls, std::vector<std::string>{"technology"});
    EXPECT_EQ(markers.paints, (std::vector<Paint>{{QStringLiteral("01/И01-05/51"), colours::blue, true}}));
    EXPECT_EQ(alarms.fires, 1);
}

TEST_F(ProcessEventTest, FaultAfterAnAlarmLeavesTheSystemPictureAndTheSelection)
{
    alarms.level = Annunciation::Technology;
    alarms.fires = 1;
    process(QStringLiteral("01/И13-12/08"));
    EXPECT_TRUE(alarms.calls.empty());
    EXPECT_EQ(markers.paints, (std::vector<Paint>{{QStringLiteral("01/И13-12/08"), colours::yellow, false}}));
    EXPECT_EQ(node(QStringLiteral("И13-12"))->imageIndex(), stateicon::fault);
    EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), 0);
    EXPECT_TRUE(selections.empty());
}

TEST_F(ProcessEventTest, InstallationFaultReplacesATechnologyAlarmButNotAFire)
{
    alarms.level = Annunciation::Technology;
    process(QStringLiteral("01/И01-05/42"));
    EXPECT_EQ(alarms.calls, std::vector<std::string>{"fault"});
    alarms.level = Annunciation::Fire;
    process(QStringLiteral("01/И01-05/42"));
    EXPECT_EQ(alarms.calls.size(), 1u);
    EXPECT_EQ(markers.paints.back(), (Paint{QStringLiteral("01/И01-05/42"), colours::yellow, false}));
}

TEST_F(ProcessEventTest, FaultWithNoAlarmSinceTheResetMarksTheSystemAndSelectsTheDetector)
{
    process(QStringLiteral("01/И13-12/08"));
    EXPECT_EQ(alarms.calls, std::vector<std::string>{"fault"});
    EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), stateicon::systemFault);
    EXPECT_EQ(selections, std::vector<TreeNode*>{node(QStringLiteral("И13-12"))});
}

TEST_F(ProcessEventTest, FaultOfADetectorWithoutANodeStillGetsItsRowAndLine)
{
    folder.writeText(QStringLiteral("Склад.tb2"), QStringLiteral("[И21-01]\nЗОНА=Цех 1\nТЕКСТ=Склад\n"));
    EXPECT_FALSE(process(QStringLiteral("01/И21-01/08")).isEmpty());
    EXPECT_EQ(table.journalRow(), 2);
    EXPECT_TRUE(selections.empty());
    EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), 0);
}

TEST_F(ProcessEventTest, EquipmentFaultAfterAFireKeepsTheFireAndTheSystemPicture)
{
    alarms.level = Annunciation::Fire;
    alarms.fires = 1;
    process(QStringLiteral("01/ИA1-64/09"));
    EXPECT_TRUE(alarms.calls.empty());
    EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), 0);
}

TEST_F(ProcessEventTest, EquipmentFaultDuringATechnologyAlarmRaisesTheFault)
{
    alarms.level = Annunciation::Technology;
    process(QStringLiteral("01/ИA1-64/09"));
    EXPECT_EQ(alarms.calls, std::vector<std::string>{"fault"});
    EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), stateicon::systemFault);
}

TEST_F(ProcessEventTest, LinkLossWithTheComplexMarksTheSystemWithoutLink)
{
    process(QStringLiteral("01/И01-01/23"));
    EXPECT_EQ(node(QStringLiteral("A01"))->imageIndex(), stateicon::systemNoLink);
}

TEST_F(ProcessEventTest, DirectionMarksEverySystemNodeOfTheAddress)
{
    tree.add(nullptr, QStringLiteral("A01:СКЛАД"));
    alarms.fires = 3;
    process(QStringLiteral("01/И02-01/48"));
    for (const auto& system : tree.topLevel())
        EXPECT_EQ(system->imageIndex(), stateicon::systemFire);
    EXPECT_EQ(alarms.calls, std::vector<std::string>{"fire"});
    EXPECT_EQ(alarms.fires, 3);
}

TEST_F(ProcessEventTest, ControlCheckClearsTheAlarmsAndSoundOffSilences)
{
    process(QStringLiteral("01/И01-05/01"));
    process(QStringLiteral("01/И01-05/02"));
    EXPECT_EQ(alarms.calls, (std::vector<std::string>{"control check 01", "sound off"}));
}

TEST_F(ProcessEventTest, RemoteUnitPointOfAnotherFormLeavesNoHalfRow)
{
    process(QStringLiteral("01/И01-79/50"));
    EXPECT_EQ(row(1), std::vector<QString>(6));
    EXPECT_EQ(window.restores, 0);
}

TEST_F(ProcessEventTest, RowsScrollByTheirOffsets)
{
    for (int i = 0; i < 3; ++i)
        process(QStringLiteral("01/И13-12/08"));
    process(QStringLiteral("01/И01-05/07"));
    EXPECT_EQ(table.journalRow(), 5);
    EXPECT_EQ(table.topRow(), 2);
}

TEST(FindDetectorNodeTest, MatchesTheSystemAddressAndTakesTheFirstInTreeOrder)
{
    CompositionTree tree;
    ComplexFile::parseInto(tree, u"A00:ОФИС\n\tЗ\n\t\tИ01-05 a\nA01:СКЛАД\n\tЗ\n\t\tИ01-05 b\n\tЗ2\n\t\tИ01-05 c\n");
    EXPECT_EQ(findDetectorNode(tree, QStringLiteral("01/И01-05/07")), 5);
    EXPECT_EQ(findDetectorNode(tree, QStringLiteral("00/И01-05/07")), 2);
    EXPECT_EQ(findDetectorNode(tree, QStringLiteral("02/И01-05/07")), -1);
    EXPECT_EQ(findDetectorNode(tree, QStringLiteral("01/И01-5/07")), -1);
    EXPECT_EQ(findDetectorNode(CompositionTree(), QStringLiteral("01/И01-05/07")), -1);
}

TEST(FindDetectorNodeTest, LatinLookAlikeLetterDoesNotMatchTheCyrillicDetector)
{
    CompositionTree tree;
    ComplexFile::parseInto(tree, u"A01:СКЛАД\n\tЗ\n\t\tИ01-05 a\n");
    // "A" of the system node is Latin; the record's letter here is a Latin "N", not "И".
    EXPECT_EQ(findDetectorNode(tree, QStringLiteral("01/N01-05/07")), -1);
}

} // namespace
} // namespace kirvan::testing
