#include "tests/plans/PlansFixture.h"

#include "events/EventServices.h"

namespace kirvan::testing {
namespace {

using PlanDisplayTest = PlansFixture;

TEST_F(PlanDisplayTest, EachNodeShowsThePlanOfItsSystemOrZone)
{
    select(QStringLiteral("Цех 1"));
    workstation->markers().paintMarker(QStringLiteral("01/И12-07/07"), colours::red, true); // no plan
    workstation->markers().paintMarker(QStringLiteral("01/И01-05/07"), colours::red, true); // Цех 1
    const PlanArea& area = workstation->planArea();

    select(QStringLiteral("И01-06 Склад"));
    EXPECT_EQ(area.title(), QStringLiteral("СКЛАД Цех 1"));
    EXPECT_EQ(area.currentPlan(), plan(QStringLiteral("Цех1.bmp")));
    EXPECT_FALSE(area.picture().isNull());
    EXPECT_TRUE(pictures.loaded.back().endsWith(QStringLiteral("Объекты/Цех1.bmp")));
    EXPECT_FALSE(marker(QStringLiteral("SH011207"))->visible);
    EXPECT_TRUE(marker(QStringLiteral("SH010105"))->visible);

    // A system without a general plan: nothing shown, and only the markers of no plan.
    select(QStringLiteral("A01:СКЛАД"));
    EXPECT_TRUE(area.title().isEmpty());
    EXPECT_TRUE(area.picture().isNull());
    EXPECT_TRUE(area.currentPlan().isEmpty());
    EXPECT_TRUE(marker(QStringLiteral("SH011207"))->visible);
    EXPECT_FALSE(marker(QStringLiteral("SH010105"))->visible);

    // A zone without a picture: cleared; the stored path is current all the same.
    select(QStringLiteral("И12-05 Зал"));
    EXPECT_TRUE(area.currentPlan().isEmpty()) << "zone 2 has no \"ПЛАН ЗОНЫ\" key: the default is empty";
    EXPECT_TRUE(area.picture().isNull());
}

TEST_F(PlanDisplayTest, MissingAndUnreadablePlansAndSystemsWithoutAFile)
{
    const PlanArea& area = workstation->planArea();
    select(QStringLiteral("Цех 1"));
    // A system without its file changes nothing.
    select(QStringLiteral("Зона"));
    EXPECT_EQ(area.currentPlan(), plan(QStringLiteral("Цех1.bmp")));
    EXPECT_EQ(area.title(), QStringLiteral("СКЛАД Цех 1"));

    // The file replaced by one the reader refuses: the title stays and the reason is shown in
    // the plan area.
    pictures.errors.insert(QStringLiteral("Цех1.bmp"), QStringLiteral("формат рисунка не распознан"));
    folder.write(QStringLiteral("Объекты/Цех1.bmp"), "damaged picture");
    select(QStringLiteral("И01-05 Коридор"));
    EXPECT_EQ(area.title(), QStringLiteral("СКЛАД Цех 1"));
    EXPECT_TRUE(area.picture().isNull());
    EXPECT_TRUE(area.message().contains(QStringLiteral("формат рисунка не распознан")));
    EXPECT_TRUE(area.message().contains(QStringLiteral("Цех1.bmp")));

    // A stored plan whose file is gone: area and title cleared, the path is still current.
    QFile::remove(folder.file(QStringLiteral("Объекты/Цех1.bmp")));
    select(QStringLiteral("Цех 1"));
    EXPECT_TRUE(area.title().isEmpty());
    EXPECT_TRUE(area.message().isEmpty());
    EXPECT_EQ(area.currentPlan(), plan(QStringLiteral("Цех1.bmp")));
}

TEST_F(PlanDisplayTest, AZoneUnknownToItsSystemKeepsThePlanShown)
{
    select(QStringLiteral("Цех 1"));
    folder.writeText(QStringLiteral("Объекты/Склад.cnf"), QStringLiteral("[ЗОНА]\n1=Другая\n"));
    select(QStringLiteral("Цех 2"));
    EXPECT_EQ(workstation->planArea().currentPlan(), plan(QStringLiteral("Цех1.bmp")))
        << "the markers of the plan still on screen keep blinking";
    EXPECT_EQ(workstation->planArea().title(), QStringLiteral("СКЛАД Цех 1"));
}

TEST_F(PlanDisplayTest, ASelectionShowsAKeptPictureAtOnceOrSaysItIsLoading)
{
    const PlanArea& area = workstation->planArea();
    workstation->tree().select(node(QStringLiteral("Цех 1")));
    EXPECT_EQ(area.title(), QStringLiteral("СКЛАД Цех 1"));
    EXPECT_TRUE(area.picture().isNull());
    EXPECT_EQ(area.message(), PlanDisplay::loadingText);
    settlePlanPictures(*workstation);
    EXPECT_FALSE(area.picture().isNull());
    EXPECT_TRUE(area.message().isEmpty());

    // Back to a plan shown before: at once, without reading it again.
    select(QStringLiteral("A01:СКЛАД"));
    const std::size_t reads = pictures.loaded.size();
    workstation->tree().select(node(QStringLiteral("И01-05 Коридор")));
    EXPECT_FALSE(area.picture().isNull());
    EXPECT_FALSE(workstation->planPictures().busy());
    EXPECT_EQ(pictures.loaded.size(), reads);

    // A plan still loading when the selection moves on is not shown over the next one.
    pictures.endless << QStringLiteral("Двойник.bmp");
    folder.writeText(QStringLiteral("Объекты/Склад.cnf"), QStringLiteral("[ЗОНА]\n1=Цех 1\n2=Цех 2\n[ПРИБОРЫ]\nППКП1=ЕСТЬ\n"
                                                                         "[ПЛАН ЗОНЫ]\n1=Объекты\\Двойник.bmp\n"));
    workstation->tree().select(node(QStringLiteral("Цех 1")));
    EXPECT_EQ(area.message(), PlanDisplay::loadingText);
    select(QStringLiteral("Цех 2"));
    EXPECT_TRUE(area.message().isEmpty());
    EXPECT_TRUE(area.title().isEmpty());
}

// Every alarm selects its detector and shows its zone's plan: the plan already shown is not painted again.
TEST_F(PlanDisplayTest, ThePlanShownAlreadyIsNotShownAgain)
{
    select(QStringLiteral("Цех 1"));
    int changes = 0;
    workstation->planArea().setOnChanged([&changes] { ++changes; });
    select(QStringLiteral("И01-05 Коридор"));
    select(QStringLiteral("И01-06 Склад"));
    EXPECT_EQ(changes, 0);
    select(QStringLiteral("A01:СКЛАД"));
    EXPECT_EQ(changes, 1);

    // Nor are the markers of a flood's alarms on plans not shown.
    select(QStringLiteral("Цех 1"));
    int markerChanges = 0;
    workstation->markers().setOnChanged([&markerChanges](const PlanMarker*) { ++markerChanges; });
    workstation->markers().paintMarker(QStringLiteral("01/И12-05/07"), colours::red, true); // Цех 2
    workstation->markers().paintMarker(QStringLiteral("01/И12-05/07"), colours::red, false);
    workstation->markers().showPlan(workstation->planArea().currentPlan());
    EXPECT_EQ(markerChanges, 0);
    workstation->markers().paintMarker(QStringLiteral("01/И01-05/07"), colours::red, true); // Цех 1
    EXPECT_EQ(markerChanges, 1);
}

// Kept at the size shown, a plan scanned at 10000 × 7000 costs the memory of the area, not of the scan.
TEST_F(PlanDisplayTest, PicturesAreReadAtTheAreasSizeAndAgainWhenItChanges)
{
    PlanArea& area = workstation->planArea();
    const QSize first = area.size();
    select(QStringLiteral("Цех 1"));
    ASSERT_FALSE(pictures.bounds.empty());
    EXPECT_EQ(pictures.bounds.back(), first);

    area.setSize(QSize(900, 700));
    EXPECT_FALSE(area.picture().isNull()) << "the picture shown stays, stretched, while it is read again";
    EXPECT_TRUE(area.message().isEmpty());
    settlePlanPictures(*workstation);
    EXPECT_EQ(pictures.bounds.back(), QSize(900, 700));

    const std::size_t reads = pictures.loaded.size();
    area.setSize(first);
    EXPECT_EQ(pictures.loaded.size(), reads) << "the picture kept at that size is shown at once";
    EXPECT_FALSE(workstation->planPictures().busy());

    // A plan that cannot be read is not read again for each new size.
    pictures.errors.insert(QStringLiteral("Цех1.bmp"), QStringLiteral("формат рисунка не распознан"));
    folder.write(QStringLiteral("Объекты/Цех1.bmp"), "damaged picture");
    select(QStringLiteral("И01-05 Коридор"));
    const std::size_t damagedReads = pictures.loaded.size();
    area.setSize(QSize(700, 500));
    EXPECT_EQ(pictures.loaded.size(), damagedReads);
    EXPECT_TRUE(area.message().contains(QStringLiteral("формат рисунка не распознан")));
}

} // namespace
} // namespace kirvan::testing
