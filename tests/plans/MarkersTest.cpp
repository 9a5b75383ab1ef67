#include "tests/plans/PlansFixture.h"

#include "events/EventServices.h"

namespace kirvan::testing {
namespace {

using MarkersTest = PlansFixture;

TEST_F(MarkersTest, PaintMarkerMakesTheMarkerFromTheDetectorFile)
{
    select(QStringLiteral("Цех 1"));
    ASSERT_EQ(workstation->planArea().currentPlan(), plan(QStringLiteral("Цех1.bmp")));
    struct Case {
        QString record;
        Rgb asked;
        QString name;
        Rgb colour;
        PlanMarker::Shape shape;
        QPoint position;
        QString hint;
        QString plane;
        bool visible;
    };
    const Case cases[] = {
        // Switched on, on the plan shown: the colour asked for, placed by the area's size.
        {QStringLiteral("01/И01-05/07"),
         colours::red,
         QStringLiteral("SH010105"),
         colours::red,
         PlanMarker::Shape::Circle,
         {200, 480},
         QStringLiteral("A01/И01-05 Коридор"),
         plan(QStringLiteral("Цех1.bmp")),
         true},
        // Switched off and shown without an alarm: white; a security detector is a square.
        {QStringLiteral("01/И01-06/07"),
         colours::green,
         QStringLiteral("SH010106"),
         colours::white,
         PlanMarker::Shape::Square,
         {400, 200},
         QStringLiteral("A01/И01-06 Склад"),
         plan(QStringLiteral("Цех1.bmp")),
         true},
        // A zone without a plan picture: "-", never shown.
        {QStringLiteral("01/И12-05/08"),
         colours::yellow,
         QStringLiteral("SH011205"),
         colours::yellow,
         PlanMarker::Shape::Circle,
         {200, 300},
         QStringLiteral("A01/И12-05 Зал"),
         QStringLiteral("-"),
         false},
        // A zone the system does not have: no plan, visible over whatever is shown.
        {QStringLiteral("01/И12-07/07"),
         colours::blue,
         QStringLiteral("SH011207"),
         colours::blue,
         PlanMarker::Shape::Square,
         {100, 100},
         QStringLiteral("A01/И12-07 Чужой"),
         QString(),
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record.toStdString());
        EXPECT_TRUE(workstation->markers().paint(c.record, c.asked, true));
        const PlanMarker* m = marker(c.name);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->colour, c.colour);
        EXPECT_EQ(m->shape, c.shape);
        EXPECT_EQ(m->position, c.position);
        EXPECT_EQ(m->hint, c.hint);
        EXPECT_EQ(m->Plane, c.plane);
        EXPECT_EQ(m->visible, c.visible);
        EXPECT_TRUE(m->Blink);
        EXPECT_TRUE(m->pressHandler);
    }
}

// A fire on a white plan must not be white: the switched-off state shows only without an alarm.
TEST_F(MarkersTest, AnAlarmMarkerHasTheAlarmsColourWhateverTheStoredState)
{
    folder.writeText(QStringLiteral("Объекты/Склад.tb2"), QStringLiteral("[И21-01]\nЗОНА=Цех 1\nX=2\nY=2\n"));
    for (const QString& record : {QStringLiteral("01/И01-06/07"), QStringLiteral("01/И21-01/07")})
        for (const Rgb colour : {colours::red, colours::blue, colours::yellow}) {
            workstation->markers().removeAllMarkers();
            ASSERT_TRUE(workstation->markers().paint(record, colour, true));
            EXPECT_EQ(workstation->markers().markers().front()->colour, colour) << record.toStdString();
        }
}

TEST_F(MarkersTest, PaintMarkerCreatesNothingWithoutAPlaceOrASystemFile)
{
    folder.writeText(
        QStringLiteral("Объекты/Склад.tb2"),
        QStringLiteral("[И21-01]\nX=0\nY=2\n[И21-02]\nX=abc\nY=2\n[И21-03]\nX=-3\nY=2\n[И21-04]\nX=1E-320\nY=2\n"));
    for (const QString& record :
         {QStringLiteral("01/И01-07/07"), QStringLiteral("01/И21-01/07"), QStringLiteral("01/И21-02/07"),
          QStringLiteral("01/И21-03/07"), QStringLiteral("01/И21-04/07"), QStringLiteral("02/И01-01/07"),
          QStringLiteral("03/И01-05/07")}) {
        EXPECT_FALSE(workstation->markers().paint(record, colours::red, true)) << record.toStdString();
    }
    EXPECT_TRUE(workstation->markers().markers().empty());
}

// A fault 1.3 s after a fire repaints the marker steady; had the blink just hidden it, nothing
// would show it again for the rest of the alarm.
TEST_F(MarkersTest, RepaintThatEndsBlinkingShowsTheMarkerOnItsPlan)
{
    select(QStringLiteral("Цех 1"));
    MarkerPainter& markers = workstation->markers();
    markers.paintMarker(QStringLiteral("01/И01-05/07"), colours::red, true);
    markers.paintMarker(QStringLiteral("01/И12-05/07"), colours::red, true); // plan "-", hidden
    markers.blinkMarkers();
    ASSERT_FALSE(marker(QStringLiteral("SH010105"))->visible);
    markers.paintMarker(QStringLiteral("01/И01-05/07"), colours::red, true);
    EXPECT_FALSE(marker(QStringLiteral("SH010105"))->visible) << "still blinking: the next step shows it";
    EXPECT_TRUE(markers.hasMarker(QStringLiteral("01/И01-05/08")));
    markers.paintMarker(QStringLiteral("01/И01-05/08"), colours::yellow, false);
    const PlanMarker* m = marker(QStringLiteral("SH010105"));
    EXPECT_EQ(m->colour, colours::yellow);
    EXPECT_FALSE(m->Blink);
    EXPECT_TRUE(m->visible);
    markers.paintMarker(QStringLiteral("01/И12-05/08"), colours::yellow, false);
    EXPECT_FALSE(marker(QStringLiteral("SH011205"))->visible) << "a marker of a plan not shown stays hidden";
    EXPECT_EQ(workstation->markers().markers().size(), 2u);
}

TEST_F(MarkersTest, BlinkingAndSoundOffActOnTheShownPlanOnly)
{
    select(QStringLiteral("Цех 1"));
    MarkerPainter& markers = workstation->markers();
    markers.paintMarker(QStringLiteral("01/И01-05/07"), colours::red, true); // shown plan
    markers.paintMarker(QStringLiteral("01/И12-05/07"), colours::red, true); // plan "-", hidden
    markers.blinkMarkers();
    EXPECT_FALSE(marker(QStringLiteral("SH010105"))->visible);
    markers.blinkMarkers();
    EXPECT_TRUE(marker(QStringLiteral("SH010105"))->visible);
    markers.blinkMarkers();
    EXPECT_FALSE(marker(QStringLiteral("SH011205"))->visible) << "a marker of a plan not shown never blinks into view";
    markers.stopMarkerBlinking();
    EXPECT_TRUE(marker(QStringLiteral("SH010105"))->visible);
    EXPECT_FALSE(marker(QStringLiteral("SH011205"))->visible);
    EXPECT_FALSE(marker(QStringLiteral("SH011205"))->Blink);
    markers.removeMarker(QStringLiteral("SH010105"));
    EXPECT_EQ(marker(QStringLiteral("SH010105")), nullptr);
    markers.removeAllMarkers();
    EXPECT_TRUE(workstation->markers().markers().empty()) << "also the markers of plans not shown";
}

TEST_F(MarkersTest, ShowAndHideMarkersOfAZoneOrADetector)
{
    select(QStringLiteral("Цех 1"));
    MarkerCommands& commands = workstation->markerCommands();
    commands.showMarkers();
    EXPECT_NE(marker(QStringLiteral("SH010105")), nullptr);
    EXPECT_EQ(marker(QStringLiteral("SH010105"))->colour, colours::green);
    EXPECT_EQ(marker(QStringLiteral("SH010106"))->colour, colours::white);
    EXPECT_EQ(marker(QStringLiteral("SH010107")), nullptr);
    EXPECT_TRUE(dialogs.shown.empty()) << "a zone's detector without a place is passed over";
    EXPECT_EQ(marker(QStringLiteral("SH011205")), nullptr) << "the next zone's detectors are not the zone's";

    select(QStringLiteral("И01-07 Без места"));
    commands.showMarkers();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("ВНИМАНИЕ"));
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Извещатель не установлен"));

    select(QStringLiteral("И01-05 Коридор"));
    commands.hideMarkers();
    EXPECT_EQ(marker(QStringLiteral("SH010105")), nullptr);
    EXPECT_NE(marker(QStringLiteral("SH010106")), nullptr);
    EXPECT_TRUE(detectorFile(u'0').contains(QStringLiteral("X=4"))) << "hiding keeps the place";
    select(QStringLiteral("Цех 1"));
    commands.hideMarkers();
    EXPECT_TRUE(workstation->markers().markers().empty());
}

// Shrunk and grown again, a marker must stay over its room: at its stored place on every size.
TEST_F(MarkersTest, MarkersFollowTheirStoredPlaceWhenTheAreaIsResized)
{
    select(QStringLiteral("Цех 1"));
    workstation->markers().paintMarker(QStringLiteral("01/И01-05/07"), colours::red, true);
    const struct {
        QSize area;
        QPoint position;
    } sizes[] = {{{400, 300}, {100, 240}}, {{801, 599}, {200, 479}}, {{800, 600}, {200, 480}}};
    for (const auto& c : sizes) {
        workstation->planArea().setSize(c.area);
        EXPECT_EQ(marker(QStringLiteral("SH010105"))->position, c.position);
    }
    EXPECT_TRUE(detectorFile(u'0').contains(QStringLiteral("X=4\r\nY=1,25"))) << "the stored place is unchanged";
}

// 800 / 3 stored with 15 digits gives back 2.99999…: truncated, the marker would creep.
TEST_F(MarkersTest, APlacedMarkerComesBackWhereItWasPut)
{
    workstation->planEditor().togglePlanEditMode();
    select(QStringLiteral("И12-05 Зал"));
    workstation->planEditor().placeMarker();
    workstation->planEditor().pointerMoved(QPoint(3, 7));
    workstation->planEditor().clicked();
    ASSERT_NE(marker(QStringLiteral("SH011205")), nullptr);
    workstation->planArea().setSize(QSize(400, 300));
    EXPECT_EQ(marker(QStringLiteral("SH011205"))->position, QPoint(2, 4)) << "placed markers follow the size too";
    workstation->planArea().setSize(QSize(800, 600));
    EXPECT_EQ(marker(QStringLiteral("SH011205"))->position, QPoint(3, 7));
    workstation->markers().removeAllMarkers();
    workstation->planEditor().togglePlanEditMode();
    select(QStringLiteral("Цех 2"));
    workstation->markerCommands().showMarkers();
    ASSERT_NE(marker(QStringLiteral("SH011205")), nullptr);
    EXPECT_EQ(marker(QStringLiteral("SH011205"))->position, QPoint(3, 7));
}

TEST_F(MarkersTest, MarkerPressSelectsItAndOffersArmingForSquaresOnly)
{
    select(QStringLiteral("Цех 1"));
    workstation->markerCommands().showMarkers();
    PlanMarkers& markers = workstation->markers();
    markers.pressMarker(QStringLiteral("SH010106"));
    EXPECT_EQ(markers.selectedMarker(), marker(QStringLiteral("SH010106")));
    EXPECT_TRUE(markers.selectedMarker()->popupAttached);
    EXPECT_TRUE(markers.armItemsVisible());
    markers.pressMarker(QStringLiteral("SH010105"));
    EXPECT_FALSE(markers.armItemsVisible());
    markers.removeAllMarkers();
    EXPECT_EQ(markers.selectedMarker(), nullptr) << "a removed marker is not acted on";
}

// The view paints again only the place of a marker an alarm made or recoloured; a blink or
// another plan may change any.
TEST_F(MarkersTest, AChangeOfOneMarkerNamesIt)
{
    select(QStringLiteral("Цех 1"));
    std::vector<const PlanMarker*> changes;
    workstation->markers().setOnChanged([&changes](const PlanMarker* only) { changes.push_back(only); });
    MarkerPainter& markers = workstation->markers();
    markers.paintMarker(QStringLiteral("01/И01-05/07"), colours::red, true);
    markers.paintMarker(QStringLiteral("01/И01-05/08"), colours::yellow, true);
    markers.blinkMarkers();
    const PlanMarker* made = marker(QStringLiteral("SH010105"));
    EXPECT_EQ(changes, (std::vector<const PlanMarker*>{made, made, nullptr}));
}

} // namespace
} // namespace kirvan::testing
