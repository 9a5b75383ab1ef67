#include "tests/link/PanelLinkFixture.h"

#include "complex/CompositionTree.h"
#include "complex/ConfigurationLoader.h"
#include "files/SettingsKeys.h"
#include "complex/TreePopup.h"
#include "link/Commands.h"
#include "link/PanelLinkControl.h"
#include "platform/Timer.h"
#include "tests/support/RecordingDialogs.h"

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

// The configuration load driving the real panel link on virtual time.
class LoadConfigurationTest : public PanelLinkFixture {
protected:
    void writeComplex(const QString& text) { folder.writeText(u"kirvanmonitorp.cnf"_s, text); }
    std::vector<Command> queued()
    {
        std::vector<Command> slots;
        for (int i = 0; i < CommandQueue::Capacity; ++i)
            slots.push_back(link.queue().slot(i));
        return slots;
    }

    CompositionTree tree;
    RecordingDialogs dialogs;
    TreePopup popup;
    PanelLinkControl control{link, loop};
    ConfigurationLoader loader{tree, settings, store, statusBar, dialogs, control, popup};
};

constexpr Command request(std::uint8_t address)
{
    return {address, command::initialRequest, 0, 0};
}

TEST_F(LoadConfigurationTest, SystemsAtZeroAndTwoAreConfiguredAndAskedTwiceEachInTreeOrder)
{
    writeComplex(u"A00:СКЛАД\n\tЦех\nA02:ОФИС\n"_s);
    loader.loadConfiguration();
    EXPECT_EQ(link.cycle().linkState(), (LinkStateTable{0, 255, 0, 255}));
    EXPECT_EQ(link.cycle().systemCount(), 2);
    EXPECT_EQ(queued(), (std::vector<Command>{request(0), request(0), request(2), request(2), {}, {}, {}, {}}));
    EXPECT_TRUE(link.cycle().running());
    EXPECT_EQ(link.cycle().pollTicks(), 1) << "one tick at once";
}

TEST_F(LoadConfigurationTest, LoadingTwiceCountsTheSystemsAfresh)
{
    writeComplex(u"A00:СКЛАД\nA01:ОФИС\nA03:ЦЕХ\n"_s);
    loader.loadConfiguration();
    link.cycle().linkState()[1] = LinkSupervision::lost;
    writeComplex(u"A00:СКЛАД\nA01:ОФИС\n"_s);
    loader.loadConfiguration();
    EXPECT_EQ(link.cycle().systemCount(), 2);
    EXPECT_EQ(link.cycle().linkState(), (LinkStateTable{0, 0, 255, 255}));
    EXPECT_EQ(queued(), (std::vector<Command>{request(0), request(0), request(1), request(1), {}, {}, {}, {}}));
}

TEST_F(LoadConfigurationTest, FourSystemsTakeAllEightSlotsAndAreSentBeforeTheFirstLinkCheck)
{
    writeComplex(u"A00:А\nA01:Б\nA02:В\nA03:Г\n"_s);
    loader.loadConfiguration();
    EXPECT_EQ(queued(), (std::vector<Command>{request(0), request(0), request(1), request(1), request(2), request(2),
                                              request(3), request(3)}));
    loop.advance(8 * 800 + 9 * 800);
    const auto frames = framesSent();
    ASSERT_GE(frames.size(), 9u);
    for (std::size_t f = 0; f < 8; ++f)
        EXPECT_EQ(frames[f][2], command::initialRequest) << f;
    EXPECT_EQ(frames[8][2], command::linkCheck);
}

// The wait before the load is virtual time, and the program's other handlers run in it.
TEST_F(LoadConfigurationTest, TheDelayKeepsHandlersRunningAndTheirCommandsStayQueued)
{
    writeComplex(u"A01:СКЛАД\n"_s);
    tree.add(nullptr, u"A03:ПРЕЖНИЙ"_s);
    statusBar.setMessagePanel(u"прежний текст"_s);
    auto handler = loop.createTimer();
    handler->setInterval(300);
    std::int64_t ranAt = -1;
    handler->setOnTimer([&] {
        handler->setEnabled(false);
        ranAt = loop.now();
        EXPECT_EQ(statusBar.messagePanel(), u"прежний текст"_s);
        EXPECT_EQ(tree.topLevel().front()->text(), u"A03:ПРЕЖНИЙ"_s);
        link.queueCommand(3, command::switchDetector, 1, 2);
    });
    handler->setEnabled(true);
    loader.loadConfiguration();
    EXPECT_EQ(ranAt, 300);
    EXPECT_EQ(loop.now(), 500);
    EXPECT_EQ(queued()[0], (Command{3, command::switchDetector, 1, 2}));
    EXPECT_EQ(queued()[1], request(1));
    EXPECT_EQ(queued()[2], request(1));
}

TEST_F(LoadConfigurationTest, AnEmptyComplexStopsPolling)
{
    link.cycle().start();
    writeComplex({});
    loader.loadConfiguration();
    EXPECT_FALSE(link.cycle().running());
    EXPECT_EQ(link.cycle().systemCount(), 0);
    EXPECT_EQ(link.cycle().linkState(), (LinkStateTable{255, 255, 255, 255}));
}

TEST_F(LoadConfigurationTest, ALoadErrorLeavesPollingForTheSystemsLoaded)
{
    writeComplex(u"A02:СКЛАД\n\tЦех\nA0X:КРИВАЯ\n"_s);
    loader.loadConfiguration();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(link.cycle().running());
    EXPECT_EQ(link.cycle().systemCount(), 1);
    EXPECT_EQ(link.cycle().linkState(), (LinkStateTable{255, 255, 0, 255}));
    EXPECT_EQ(statusBar.messagePanel(), QString());
}

TEST_F(LoadConfigurationTest, AnAddressOutsideTheRangeQueuesNothing)
{
    writeComplex(u"A07:ЧУЖАЯ\nA01:СКЛАД\n"_s);
    loader.loadConfiguration();
    EXPECT_EQ(queued(), (std::vector<Command>{request(1), request(1), {}, {}, {}, {}, {}, {}}));
    EXPECT_EQ(link.cycle().systemCount(), 1);
}

} // namespace
} // namespace kirvan::testing
