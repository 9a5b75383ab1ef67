#include "tests/plans/PlansFixture.h"

#include "link/Commands.h"
#include "events/MarkerName.h"

namespace kirvan::testing {
namespace {

class MarkerCommandsTest : public PlansFixture {
protected:
    // The marker of a detector of system 01, made from its file and pressed.
    void press(const QString& record)
    {
        workstation->markers().paintMarker(record, colours::green, false);
        workstation->markers().pressMarker(markername::ofRecord(record));
        ASSERT_NE(workstation->markers().selectedMarker(), nullptr);
    }
    std::vector<Command> queued() const
    {
        std::vector<Command> commands;
        for (int slot = 0; slot < CommandQueue::Capacity; ++slot)
            if (workstation->link().queue().slot(slot).code == command::switchDetector)
                commands.push_back(workstation->link().queue().slot(slot));
        return commands;
    }
    // Code and parameters of the last frame on the line.
    std::vector<std::uint8_t> lastFrameBody() const
    {
        const std::vector<std::uint8_t> bytes = port.sentBytes();
        if (bytes.size() < 7)
            return {};
        return {bytes.end() - 5, bytes.end() - 2};
    }
};

TEST_F(MarkerCommandsTest, SwitchingIsQueuedAndArmingSentAtOnce)
{
    folder.writeText(QStringLiteral("Объекты/Склад.tb1"),
                     QStringLiteral("[И12-07]\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВКЛ\nX=8\nY=6\n[И21-01]\nСОСТОЯНИЕ=ВКЛ\nX=8\nY=6\n"));
    folder.writeText(QStringLiteral("Объекты/Склад.tb2"), QStringLiteral("[И21-01]\nСОСТОЯНИЕ=ВКЛ\nX=8\nY=6\n"));
    press(QStringLiteral("01/И12-07/XX"));
    MarkerCommands& commands = workstation->markerCommands();
    commands.switchDetectorOn();
    EXPECT_EQ(workstation->statusBar().commandPanel(), QStringLiteral("          КОМАНДА: ВКЛ.ИЗВЕЩАТЕЛЬ"));
    commands.switchDetectorOff();
    EXPECT_EQ(workstation->statusBar().commandPanel(), QStringLiteral("          КОМАНДА: ВЫКЛ.ИЗВЕЩАТЕЛЬ"));
    // Line 2 of device 1: LineBase[1] + 2 = 9; detector 7 is index 6; off adds 128.
    EXPECT_EQ(queued(), (std::vector<Command>{{1, command::switchDetector, 9, 6}, {1, command::switchDetector, 137, 6}}));

    commands.arm();
    EXPECT_EQ(lastFrameBody(), (std::vector<std::uint8_t>{command::arm, 9, 6}));
    commands.disarm();
    EXPECT_EQ(lastFrameBody(), (std::vector<std::uint8_t>{command::disarm, 9, 6}));

    // A panel of four lines before device 2: line 1 of device 2 is 7 + 4 + 1 = 12.
    folder.writeText(QStringLiteral("Объекты/Склад.cnf"), QStringLiteral("[ПРИБОРЫ]\nППКП1=-4\nППКП2=ЕСТЬ\n"));
    press(QStringLiteral("01/И21-01/XX"));
    commands.arm();
    EXPECT_EQ(lastFrameBody(), (std::vector<std::uint8_t>{command::arm, 12, 0}));
}

TEST_F(MarkerCommandsTest, NothingGoesOutWithoutTheSystemFileOrForAnAbsentDevice)
{
    folder.writeText(QStringLiteral("Объекты/Склад.tb2"), QStringLiteral("[И21-01]\nСОСТОЯНИЕ=ВКЛ\nX=8\nY=6\n"));
    press(QStringLiteral("01/И21-01/XX"));
    const std::size_t sent = port.sent.size();
    const QString status = workstation->statusBar().commandPanel();
    MarkerCommands& commands = workstation->markerCommands();
    // Device 1 is absent, so device 2 has no line numbers: they would alias another device's.
    folder.writeText(QStringLiteral("Объекты/Склад.cnf"), QStringLiteral("[ПРИБОРЫ]\nППКП1=НЕТ\nППКП2=ЕСТЬ\n"));
    commands.switchDetectorOn();
    commands.arm();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Предупреждение"));

    QFile::remove(folder.file(QStringLiteral("Объекты/Склад.cnf")));
    commands.switchDetectorOff();
    commands.disarm();
    ASSERT_EQ(dialogs.shown.size(), 4u);
    EXPECT_EQ(dialogs.shown[3].text, QStringLiteral("Не обнаружен файл конфигурации!"));
    EXPECT_TRUE(queued().empty());
    EXPECT_EQ(port.sent.size(), sent);
    EXPECT_EQ(workstation->statusBar().commandPanel(), status) << "no status text for a command not given";
}

} // namespace
} // namespace kirvan::testing
