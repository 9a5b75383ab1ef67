#include "app/OperatorNotices.h"

#include "tests/support/RecordingDialogs.h"
#include "tests/support/VirtualMessageLoop.h"

#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

// A log that fails and recovers again and again inside one piece of work: the notices wait in a
// bounded queue until the work has returned, and the newest of them are shown, each leaving the
// window free.
TEST(OperatorNoticesTest, OnlyTheNewestNoticesWaitAndNoneBlocksTheWindow)
{
    VirtualMessageLoop loop;
    RecordingDialogs dialogs;
    OperatorNotices notices(loop, dialogs);
    constexpr int posted = 3 * static_cast<int>(OperatorNotices::MaxWaiting);
    for (int n = 1; n <= posted; ++n)
        notices.post(QStringLiteral("Предупреждение"), QString::number(n));
    EXPECT_TRUE(dialogs.shown.empty()) << "shown only once the poster's work has returned";
    loop.advance(10);

    ASSERT_EQ(dialogs.shown.size(), OperatorNotices::MaxWaiting);
    EXPECT_EQ(dialogs.notices, OperatorNotices::MaxWaiting);
    for (std::size_t i = 0; i < dialogs.shown.size(); ++i)
        EXPECT_EQ(dialogs.shown[i].text,
                  QString::number(posted - static_cast<int>(OperatorNotices::MaxWaiting) + static_cast<int>(i) + 1));
}

} // namespace
} // namespace kirvan::testing
