#include "tests/app/WorkstationFixture.h"

#include "files/SettingsKeys.h"
#include "platform/Timer.h"
#include "tests/support/WorkedExample.h"

#include <QDir>
#include <algorithm>
#include <QFile>

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

const QString rangeText = u"Версия программы обслуживает адреса из диапазона 0..3"_s;

class SystemCommandsTest : public WorkstationFixture {
protected:
    void SetUp() override
    {
        workstation = startWorkstation();
        workstation->link().ports().choosePort(2);
        systemFile = writeWarehouse(folder);
        workstation->statusBar().setOnChanged([this] { panel15.append(workstation->statusBar().statePanel()); });
        workstation->systems().setOnClearPlan([this] { ++planCleared; });
    }
    void addWarehouse()
    {
        dialogs.files = {systemFile};
        dialogs.inputs = {u"1"_s};
        workstation->systems().addSystem();
    }
    QStringList shownTexts() const
    {
        QStringList texts;
        for (const auto& shown : dialogs.shown)
            texts << shown.caption + u'|' + shown.text;
        return texts;
    }
    bool polling() { return workstation->link().cycle().running(); }

    std::unique_ptr<Workstation> workstation;
    QString systemFile;
    QStringList panel15;
    int planCleared = 0;
};

TEST_F(SystemCommandsTest, AFileThatIsNoSystemFileIsRefusedWritingNothingAndPollingGoesOn)
{
    addWarehouse();
    const auto before = folder.snapshot();
    dialogs.shown.clear();
    dialogs.files = {folder.file(u"kirvanmonitorp.cnf"_s)};
    dialogs.inputs = {u"2"_s};
    workstation->systems().addSystem();
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown.back().caption, u"Ошибка"_s);
    EXPECT_TRUE(dialogs.shown.back().text.contains(u"файл состава комплекса"_s))
        << dialogs.shown.back().text.toStdString();
    EXPECT_EQ(folder.snapshot(), before);
    EXPECT_TRUE(polling());
}

TEST_F(SystemCommandsTest, AnAddressOutsideTheRangeOrNotANumberIsAskedAgainAndTheSystemIsAdded)
{
    dialogs.files = {systemFile};
    dialogs.inputs = {u"7"_s, u"два"_s, u" 1"_s};
    workstation->systems().addSystem();

    EXPECT_EQ(shownTexts(), QStringList({u"Ввести в состав|Конфигурация системы (*.cnf)"_s,
                                         u"Регистрация адреса|Введите адрес системы (0..3)"_s, u"Ошибка|"_s + rangeText,
                                         u"Регистрация адреса|Введите адрес системы (0..3)"_s, u"Ошибка|"_s + rangeText,
                                         u"Регистрация адреса|Введите адрес системы (0..3)"_s}));
    EXPECT_EQ(folder.readText(u"kirvanmonitorp.cnf"_s), warehouseLines());
    EXPECT_EQ(logLines().last(), u"08.12.2023 9:15:02 СИСТЕМА A01:СКЛАД ВВЕДЕНА В СОСТАВ КОМПЛЕКСА"_s);
    EXPECT_TRUE(panel15.contains(u"    Цех 1"_s)) << "the zone is shown while it is built";
    EXPECT_TRUE(workstation->statusBar().messagePanel().isEmpty());
    // Reloaded: the tree shows the system, polling runs, and the port chosen before is open again.
    ASSERT_EQ(workstation->tree().topLevel().size(), 1u);
    EXPECT_EQ(workstation->tree().count(), 5);
    EXPECT_TRUE(polling());
    EXPECT_EQ(port.opened, std::vector<int>({2, 2}));
    EXPECT_TRUE(port.open);
    EXPECT_EQ(planCleared, 1);
}

TEST_F(SystemCommandsTest, CancellingLeavesEverythingAsItWasPortAndPollingIncluded)
{
    addWarehouse();
    const QByteArray settingsBefore = folder.read(u"KirvanMonitorP.ini"_s);
    ASSERT_TRUE(polling());

    workstation->systems().addSystem(); // the file dialog is cancelled
    EXPECT_TRUE(polling());
    EXPECT_EQ(port.opened.size(), 2u) << "the port was not touched";

    dialogs.files = {systemFile}; // then the address dialog
    workstation->systems().addSystem();
    EXPECT_TRUE(polling());
    EXPECT_EQ(port.opened.size(), 2u) << "the port was not touched";
    EXPECT_TRUE(port.open);
    EXPECT_EQ(folder.read(u"KirvanMonitorP.ini"_s), settingsBefore);
    EXPECT_EQ(folder.readText(u"kirvanmonitorp.cnf"_s), warehouseLines());

    dialogs.answers = {Dialogs::Answer::Cancel}; // and a removal
    workstation->tree().select(workstation->tree().topLevel()[0].get());
    workstation->systems().removeSystem();
    EXPECT_EQ(workstation->tree().count(), 5);
    EXPECT_EQ(folder.read(u"KirvanMonitorP.ini"_s), settingsBefore);
}

// A fire waits for no dialog: the line is paused only while the files are written.
TEST_F(SystemCommandsTest, PollingAndReceptionGoOnWhileTheOperatorChoosesTheFileAndTypesTheAddress)
{
    addWarehouse();
    loop.advance(PollingCycle::startupTicks * PollingCycle::tickMs);
    std::vector<std::pair<bool, bool>> duringDialogs;
    std::size_t sentBefore = 0;
    dialogs.whileShown = [&] {
        duringDialogs.emplace_back(polling(), port.isOpen());
        sentBefore = port.sent.size();
        loop.advance(2 * PollingCycle::tickMs);
        EXPECT_GT(port.sent.size(), sentBefore) << "frames go out while the dialog is open";
    };
    // The detector files are read with the line polled too, and before any file is written.
    std::vector<std::pair<bool, bool>> whileReading;
    const QByteArray settingsBefore = folder.read(u"KirvanMonitorP.ini"_s);
    workstation->systems().setOnProgress([&] {
        whileReading.emplace_back(polling() && port.isOpen(), folder.read(u"KirvanMonitorP.ini"_s) == settingsBefore);
    });
    // Another system: the same file at a second address is refused.
    folder.writeText(u"Дом.cnf"_s, u"[СИСТЕМА]\n[ЗОНА]\n1=Холл\n"_s);
    dialogs.files = {folder.file(u"Дом.cnf"_s)};
    dialogs.inputs = {u"2"_s};
    workstation->systems().addSystem();
    EXPECT_EQ(duringDialogs, (std::vector<std::pair<bool, bool>>{{true, true}, {true, true}}));
    ASSERT_FALSE(whileReading.empty());
    EXPECT_TRUE(
        std::all_of(whileReading.begin(), whileReading.end(), [](auto seen) { return seen.first && seen.second; }));
    EXPECT_NE(folder.read(u"KirvanMonitorP.ini"_s), settingsBefore) << "and written after";
}

TEST_F(SystemCommandsTest, AFailedAdditionIsReportedAndPutsThePortAndPollingBack)
{
    // The composition file cannot be written: it would go into a folder that is not there.
    ASSERT_TRUE(QFile::link(folder.file(u"missing/k.cnf"_s), folder.file(u"kirvanmonitorp.cnf"_s)));
    workstation->link().cycle().start();
    dialogs.files = {systemFile};
    dialogs.inputs = {u"1"_s};
    EXPECT_ANY_THROW(workstation->systems().addSystem());
    EXPECT_TRUE(polling());
    EXPECT_EQ(port.opened, std::vector<int>({2, 2}));
    EXPECT_TRUE(workstation->statusBar().messagePanel().isEmpty());
    EXPECT_FALSE(workstation->systems().running());
}

TEST_F(SystemCommandsTest, RemovingTheLastSystemTellsTheAdsStationStopsPollingAndEmptiesThePanels)
{
    addWarehouse();
    workstation->settings().ini().writeString(settings::sectionSettings, settings::keyEquipment, u"0");
    workstation->tree().select(workstation->tree().topLevel()[0].get());
    port.sent.clear();
    workstation->systems().removeSystem();

    EXPECT_EQ(shownTexts().last(), u"Вывести из состава|Вы уверены, что хотите вывести из состава комплекса СКЛАД?"_s);
    EXPECT_TRUE(workstation->tree().topLevel().empty());
    EXPECT_EQ(folder.readText(u"kirvanmonitorp.cnf"_s), QString());
    EXPECT_EQ(logLines().last(), u"08.12.2023 9:15:02 СИСТЕМА СКЛАД ВЫВЕДЕНА ИЗ СОСТАВА КОМПЛЕКСА"_s);
    EXPECT_FALSE(polling());
    EXPECT_TRUE(workstation->statusBar().commandPanel().isEmpty());
    // The state panel was emptied too, and the frame to the АДС station, unanswered, leaves it so.
    EXPECT_TRUE(workstation->statusBar().statePanel().isEmpty());
    const std::vector<std::uint8_t> frame = port.sentBytes();
    ASSERT_EQ(frame.size(), 7u);
    EXPECT_EQ(frame[0], 0x20);
    EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 2, frame.end() - 1),
              std::vector<std::uint8_t>({0x8A, 0x80, 0x01, 0x00}));
}

} // namespace
} // namespace kirvan::testing
