#include "dialogs/QtDialogs.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

// The operator presses Enter as soon as the box is up: with a question that answer is No.
TEST(QtDialogsTest, EnterAnswersOnlyWhatChangesNothing)
{
    const struct {
        Dialogs::Buttons buttons;
        Dialogs::Answer answer;
    } cases[] = {{Dialogs::Buttons::YesNo, Dialogs::Answer::No}, {Dialogs::Buttons::OkCancel, Dialogs::Answer::Ok}};
    QtDialogs dialogs;
    for (const auto& c : cases) {
        QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
        EXPECT_EQ(dialogs.messageBox(u"ВНИМАНИЕ"_s, u"Тревога не отключена. Завершить работу программы?"_s,
                                     Dialogs::Icon::Question, c.buttons),
                  c.answer);
    }
}

} // namespace
} // namespace kirvan
