#include "console/OperatorNotices.h"

#include "tests/support/RecordingDialogs.h"
#include "tests/support/VirtualMessageLoop.h"

#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

// A box left open for hours while the log fails and recovers again and again: the notices that
// come meanwhile wait in a bounded queue, and the newest of them are the ones shown.
TEST(OperatorNoticesTest, WhileABoxIsOpenOnlyTheNewestNoticesWait)
{
    VirtualMessageLoop loop;
    RecordingDialogs dialogs;
    OperatorNotices notices(loop, dialogs);
    constexpr int posted = 3 * static_cast<int>(OperatorNotices::MaxWaiting);
    dialogs.whileShown = [&] {
        dialogs.whileShown = {};
        for (int n = 1; n <= posted; ++n)
            notices.post(QStringLiteral("Предупреждение"), QString::number(n));
    };
    notices.post(QStringLiteral("Предупреждение"), QStringLiteral("первое"));
    EXPECT_TRUE(dialogs.shown.empty()) << "shown only once the poster's work has returned";
    loop.advance(10);

    ASSERT_EQ(dialogs.shown.size(), 1 + OperatorNotices::MaxWaiting);
    EXPECT_EQ(dialogs.shown.front().text, QStringLiteral("первое"));
    for (std::size_t i = 1; i < dialogs.shown.size(); ++i)
        EXPECT_EQ(dialogs.shown[i].text, QString::number(posted - static_cast<int>(OperatorNotices::MaxWaiting) + static_cast<int>(i)));
}

} // namespace
} // namespace kirvan::testing
