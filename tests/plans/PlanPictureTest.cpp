#include "window/MainWindow.h"

#include "window/PlanPicture.h"
#include "events/EventServices.h"
#include "plans/PlanMarker.h"
#include "tests/plans/PlansFixture.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>

namespace kirvan::testing {
namespace {

// The plan picture panel of the window: markers are found under the pointer, answer a press
// with the marker pop-up, and show their hint.
class PlanPictureTest : public PlansFixture {
protected:
    void SetUp() override
    {
        PlansFixture::SetUp();
        workstation.reset();
        window = std::make_unique<MainWindow>(platform(), WorkstationFolder(folder.path()));
        window->resize(1200, 900);
        window->show();
        panel = window->findChild<QWidget*>(QStringLiteral("planView"));
        ASSERT_NE(panel, nullptr);
    }
    void TearDown() override { window.reset(); }

    void press(QPoint at, Qt::MouseButton button)
    {
        QMouseEvent event(QEvent::MouseButtonPress, at, panel->mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(panel, &event);
    }
    Workstation& station() { return window->workstation(); }

    std::unique_ptr<MainWindow> window;
    QWidget* panel = nullptr;
};

// A large plan shrunk to the panel keeps its thin walls: a plain stretch drops whole columns of
// pixels, and a one-pixel line with them.
TEST_F(PlanPictureTest, ALargePlanIsShrunkWithoutLosingItsThinLines)
{
    QImage plan(4000, 2800, QImage::Format_RGB32);
    plan.fill(Qt::white);
    for (int x = 25; x < plan.width(); x += 50)
        for (int y = 0; y < plan.height(); ++y)
            plan.setPixel(x, y, qRgb(0, 0, 0));
    station().planArea().show(QStringLiteral("Большой план"), plan, {});
    const QImage shown = panel->grab().toImage();
    ASSERT_LT(shown.width(), plan.width() / 4);
    int columnsWithoutLine = 0;
    // Every 50 plan pixels hold one line; each stretch of the panel that wide must show it.
    const double step = 50.0 * shown.width() / plan.width();
    for (double from = 0; from + step < shown.width(); from += step) {
        int darkest = 255;
        for (int x = int(from); x < int(from + step); ++x)
            darkest = std::min(darkest, qGray(shown.pixel(x, shown.height() / 2)));
        columnsWithoutLine += darkest > 240;
    }
    EXPECT_EQ(columnsWithoutLine, 0);
}

TEST_F(PlanPictureTest, APressedMarkerOpensItsPopUpAndShowsItsHint)
{
    Workstation& w = station();
    w.tree().select(w.tree().nodeAt(1)); // Цех 1
    ASSERT_EQ(w.planArea().size(), panel->size()) << "markers are placed by the panel's size";
    w.markerCommands().showMarkers();
    const PlanMarker* circle = w.markers().find(QStringLiteral("SH010105"));
    const PlanMarker* square = w.markers().find(QStringLiteral("SH010106"));
    ASSERT_TRUE(circle && square);
    QMenu* popup = window->actions().detectorMenu;

    const int side = static_cast<PlanPicture*>(panel)->markerSize();
    EXPECT_GE(side, PlanMarker::size);
    press(square->position + QPoint(side / 2, side / 2), Qt::RightButton);
    EXPECT_EQ(w.markers().selectedMarker(), square);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->actions()[0]->text(), QStringLiteral("A01/И01-06 Склад")) << "the pop-up names its detector";
    EXPECT_TRUE(popup->actions()[4]->isVisible()) << "arming is offered for a square";
    popup->hide();

    press(circle->position + QPoint(side - 1, side - 1), Qt::RightButton);
    EXPECT_EQ(w.markers().selectedMarker(), circle);
    EXPECT_FALSE(popup->actions()[4]->isVisible());
    EXPECT_FALSE(popup->actions()[5]->isVisible());
    popup->hide();

    press(circle->position + QPoint(side, side), Qt::RightButton);
    EXPECT_FALSE(popup->isVisible()) << "a press beside the marker is the picture's";

    QHelpEvent help(QEvent::ToolTip, square->position + QPoint(1, 1), panel->mapToGlobal(square->position));
    QApplication::sendEvent(panel, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("A01/И01-06 Склад\nВЫКЛЮЧЕН"));
}

TEST_F(PlanPictureTest, PlacingFollowsThePointerAndTheClick)
{
    Workstation& w = station();
    dialogs.answers.push_back(Dialogs::Answer::Ok);
    window->actions().togglePlanEditMode->trigger();
    EXPECT_TRUE(window->actions().togglePlanEditMode->isChecked());
    w.tree().select(w.tree().nodeAt(4)); // И01-07 Без места
    window->actions().placeMarker->trigger();
    EXPECT_EQ(panel->cursor().shape(), Qt::CrossCursor);
    const QPoint at(120, 90);
    QMouseEvent move(QEvent::MouseMove, at, panel->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &move);
    press(at, Qt::LeftButton);
    QMouseEvent release(QEvent::MouseButtonRelease, at, panel->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(panel, &release);
    ASSERT_NE(w.markers().find(QStringLiteral("SH010107")), nullptr);
    EXPECT_EQ(w.markers().find(QStringLiteral("SH010107"))->position, at);
    EXPECT_EQ(panel->cursor().shape(), Qt::ArrowCursor);
}

} // namespace
} // namespace kirvan::testing
