#include "tests/link/PanelLinkFixture.h"

#include "files/SettingsKeys.h"

namespace kirvan::testing {
namespace {

class PortSelectionTest : public PanelLinkFixture {
protected:
    int storedPort() { return settings.ini().readInteger(settings::sectionSettings, settings::keyComPort, -1); }
    PortSelection& ports() { return link.ports(); }
};

TEST_F(PortSelectionTest, SearchShowsThePortsThatExistAndOpensTheStoredOne)
{
    port.existing = {1, 3};
    settings.ini().writeInteger(settings::sectionSettings, settings::keyComPort, 3);
    ports().searchPorts();
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(ports().visible(n), n == 1 || n == 3) << n;
    EXPECT_TRUE(port.open);
    EXPECT_EQ(port.number, 3);
    EXPECT_EQ(ports().checked(), 3);
}

TEST_F(PortSelectionTest, StoredNumberOutsideOneToTenLeavesThePortClosed)
{
    for (const int stored : {0, 11}) {
        settings.ini().writeInteger(settings::sectionSettings, settings::keyComPort, stored);
        port.open = true;
        ports().searchPorts();
        EXPECT_FALSE(port.open) << stored;
        EXPECT_TRUE(port.opened.empty());
        EXPECT_EQ(ports().checked(), std::nullopt);
    }
}

TEST_F(PortSelectionTest, ChoosingAPortOpensItStoresItAndChecksOnlyIt)
{
    ports().choosePort(4);
    EXPECT_EQ(port.number, 4);
    EXPECT_TRUE(port.open);
    EXPECT_EQ(storedPort(), 4);
    EXPECT_EQ(ports().checked(), 4);
}

TEST_F(PortSelectionTest, APortThatCannotOpenIsStillStoredAndChecked)
{
    ports().choosePort(9);
    EXPECT_FALSE(port.open);
    EXPECT_EQ(storedPort(), 9);
    EXPECT_EQ(ports().checked(), 9);
}

// Why a port does not open, as the operator reads it in the state panel, with the lamp red
// instead of green for as long as the port stays closed, link checks or not.
struct Refusal {
    int error;
    const char* shown;
};

class ClosedPortTest : public PortSelectionTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ClosedPortTest, StatusBarNamesThePortAndTheReasonAndTheLampIsNeverGreen)
{
    configure({0});
    link.cycle().start();
    loop.advance(8 * 800); // past the silent start-up ticks: link checks go out from here
    port.refusal = GetParam().error;
    ports().choosePort(5);
    ASSERT_FALSE(port.open);
    const QString shown = QStringLiteral("  ") + QString::fromUtf8(GetParam().shown);
    EXPECT_EQ(statusBar.statePanel(), shown);
    EXPECT_EQ(statusBar.linkLamp(), (Rgb{255, 0, 0}));
    QStringList states;
    bool green = false;
    statusBar.setOnChanged([&] {
        if (states.isEmpty() || states.back() != statusBar.statePanel())
            states << statusBar.statePanel();
        green = green || statusBar.linkLamp() == Rgb{0, 128, 0};
    });
    loop.advance(2000);
    EXPECT_FALSE(green);
    EXPECT_FALSE(states.contains(QStringLiteral("  СОСТОЯНИЕ: НОРМА")));
    EXPECT_GE(states.count(QStringLiteral("  СОСТОЯНИЕ: ЗАПРОС")), 2) << "link checks go on";
    for (qsizetype i = 0; i + 1 < states.size(); ++i) {
        if (states[i] == QStringLiteral("  СОСТОЯНИЕ: ЗАПРОС")) {
            EXPECT_EQ(states[i + 1], shown) << "the port's trouble is shown again after each link check";
        }
    }
    EXPECT_EQ(storedPort(), 5) << "the rest of the choice stays";

    port.existing.insert(5);
    answering = {0};
    ports().choosePort(5);
    loop.advance(2000);
    EXPECT_TRUE(green) << "the system answers";
    EXPECT_TRUE(states.contains(QStringLiteral("  СОСТОЯНИЕ: НОРМА")));
}

INSTANTIATE_TEST_SUITE_P(Reasons, ClosedPortTest,
                         ::testing::Values(Refusal{ENOENT, "COM5: нет устройства"},
                                           Refusal{EACCES, "COM5: нет доступа (группа dialout)"},
                                           Refusal{EBUSY, "COM5: занят другой программой"},
                                           Refusal{ENOTTY, "COM5: не является последовательным портом"}));

TEST(PortSelectionTextTest, CaptionsAndMenuTexts)
{
    const char* const menu[] = {"&COM1", "C&OM2", "CO&M3", "COM&4", "COM&5",
                                "COM&6", "COM&7", "COM&8", "COM&9", "COM&10"};
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(PortSelection::menuText(n), QLatin1String(menu[n - 1]));
        EXPECT_EQ(PortSelection::caption(n), QStringLiteral("COM%1").arg(n));
    }
}

} // namespace
} // namespace kirvan::testing
