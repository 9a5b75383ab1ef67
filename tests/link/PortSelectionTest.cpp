#include "tests/link/PanelLinkFixture.h"

#include "config/SettingsKeys.h"

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
    ports().FindComPortExecute();
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
        ports().FindComPortExecute();
        EXPECT_FALSE(port.open) << stored;
        EXPECT_TRUE(port.opened.empty());
        EXPECT_EQ(ports().checked(), std::nullopt);
    }
}

TEST_F(PortSelectionTest, ChoosingAPortOpensItStoresItAndChecksOnlyIt)
{
    ports().IniCOMExecute(4);
    EXPECT_EQ(port.number, 4);
    EXPECT_TRUE(port.open);
    EXPECT_EQ(storedPort(), 4);
    EXPECT_EQ(ports().checked(), 4);
}

TEST_F(PortSelectionTest, APortThatCannotOpenIsStillStoredAndChecked)
{
    ports().IniCOMExecute(9);
    EXPECT_FALSE(port.open);
    EXPECT_EQ(storedPort(), 9);
    EXPECT_EQ(ports().checked(), 9);
}

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
