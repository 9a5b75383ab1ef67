#include "tests/plans/PlansFixture.h"

#include "events/EventServices.h"

#include <QStandardPaths>

namespace kirvan::testing {
namespace {

class PlanEditorTest : public PlansFixture {
protected:
    void enterEditMode()
    {
        dialogs.answers.push_back(Dialogs::Answer::Ok);
        workstation->planEditor().togglePlanEditMode();
        ASSERT_TRUE(workstation->planEditor().editMode());
    }
    void placeAt(QPoint at)
    {
        PlanEditor& editor = workstation->planEditor();
        editor.placeMarker();
        editor.pointerMoved(at);
        editor.clicked();
    }
    PlanEditor& editor() { return workstation->planEditor(); }
};

TEST_F(PlanEditorTest, EditModeKeepsPollingAndLeavingEndsItsStatus)
{
    select(QStringLiteral("И01-05 Коридор"));
    int collapses = 0;
    editor().setOnCollapseTree([&] { ++collapses; });
    dialogs.answers.push_back(Dialogs::Answer::Cancel);
    editor().togglePlanEditMode();
    EXPECT_FALSE(editor().editMode());
    EXPECT_TRUE(workstation->link().cycle().running());

    enterEditMode();
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Вы уверены, что хотите редактировать планы?"));
    EXPECT_EQ(dialogs.shown.back().caption, QStringLiteral("Редактор планов"));
    EXPECT_TRUE(workstation->link().cycle().running());
    const StatusBar& status = workstation->statusBar();
    EXPECT_EQ(status.messagePanel(), QStringLiteral("ВНИМАНИЕ! ВКЛЮЧЕН РЕЖИМ РЕДАКТИРОВАНИЯ ПЛАНОВ"));
    EXPECT_TRUE(status.messagePanelAlert());
    EXPECT_TRUE(status.statePanelCentred());
    EXPECT_TRUE(status.commandPanel().isEmpty());
    EXPECT_EQ(workstation->popup().menu(), TreePopup::Menu::markerMenu) << "the selection handler ran again";
    const std::size_t sent = port.sent.size();
    loop.advance(PollingCycle::startupTicks * PollingCycle::tickMs + 5000);
    EXPECT_GT(port.sent.size(), sent) << "the systems are polled while the plans are edited";

    // Leaving while placing ends the placing without a marker.
    editor().placeMarker();
    dialogs.answers.push_back(Dialogs::Answer::Ok);
    editor().togglePlanEditMode();
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Выйти из режима редактирования планов?"));
    EXPECT_FALSE(editor().editMode());
    EXPECT_FALSE(editor().placing());
    editor().clicked();
    EXPECT_TRUE(workstation->markers().markers().empty());
    EXPECT_TRUE(workstation->link().cycle().running());
    EXPECT_FALSE(status.messagePanelAlert());
    EXPECT_TRUE(status.messagePanel().isEmpty());
    EXPECT_EQ(workstation->popup().menu(), TreePopup::Menu::treeMenu);
    EXPECT_EQ(collapses, 2);
    loop.advance(10000);
    EXPECT_FALSE(port.sent.empty());
}

TEST_F(PlanEditorTest, PlacingStoresThePlaceAndTheMarkerGetsItsPopUpWhenMadeAgain)
{
    enterEditMode();
    select(QStringLiteral("И01-07 Без места"));
    editor().placeMarker();
    EXPECT_TRUE(editor().placing());
    EXPECT_EQ(workstation->statusBar().commandPanel(), QStringLiteral("          КОМАНДА: УСТАНОВИТЬ ИЗВЕЩАТЕЛЬ"));
    editor().pointerMoved(QPoint(0, 150));
    EXPECT_EQ(workstation->statusBar().statePanel(), QStringLiteral("X=0  Y=150"));
    editor().clicked();
    EXPECT_FALSE(editor().placing());

    // Column 0 stores the place of column 1: 800 / 1; 600 / 150.
    EXPECT_TRUE(detectorFile(u'0').contains(QStringLiteral("[И01-07]\r\nЗОНА=Цех 1\r\nТЕКСТ=Без места\r\n"
                                                           "СОСТОЯНИЕ=ВКЛ\r\nX=800\r\nY=4\r\n")))
        << detectorFile(u'0').toStdString();
    const PlanMarker* placed = marker(QStringLiteral("SH010107"));
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->hint, QStringLiteral("И01-07 Без места"));
    EXPECT_EQ(placed->position, QPoint(0, 150));
    EXPECT_EQ(placed->colour, colours::green);
    EXPECT_EQ(placed->Plane, plan(QStringLiteral("Цех1.bmp")));
    workstation->markers().pressMarker(QStringLiteral("SH010107"));
    EXPECT_EQ(workstation->markers().selectedMarker(), nullptr) << "a placed marker has no pop-up";

    // Placed twice: refused, nothing stored.
    placeAt(QPoint(300, 300));
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Извещатель уже установлен"));
    EXPECT_EQ(dialogs.shown.back().caption, QStringLiteral("Ошибка"));
    EXPECT_TRUE(detectorFile(u'0').contains(QStringLiteral("X=800\r\nY=4\r\n")));
    EXPECT_FALSE(editor().placing());

    // Hidden and shown again, it is made from the file with the hint and the pop-up.
    workstation->markerCommands().hideMarkers();
    workstation->markerCommands().showMarkers();
    const PlanMarker* again = marker(QStringLiteral("SH010107"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->hint, QStringLiteral("A01/И01-07 Без места"));
    EXPECT_EQ(again->position, QPoint(1, 150));
    workstation->markers().pressMarker(QStringLiteral("SH010107"));
    EXPECT_EQ(workstation->markers().selectedMarker(), again);
}

TEST_F(PlanEditorTest, AClickWithoutASelectedDetectorEndsPlacing)
{
    enterEditMode();
    select(QStringLiteral("И01-07 Без места"));
    editor().placeMarker();
    select(QStringLiteral("Цех 1"));
    editor().pointerMoved(QPoint(40, 40));
    editor().clicked();
    EXPECT_FALSE(editor().placing());
    EXPECT_TRUE(workstation->markers().markers().empty());
    EXPECT_FALSE(detectorFile(u'0').contains(QStringLiteral("X=20")));
    EXPECT_TRUE(dialogs.shown.size() == 1u) << "only the confirmation of the mode";
}

TEST_F(PlanEditorTest, RemovingNeedsTheShownMarker)
{
    enterEditMode();
    select(QStringLiteral("И01-05 Коридор"));
    editor().removeMarker();
    EXPECT_EQ(workstation->statusBar().commandPanel(), QStringLiteral("          КОМАНДА: УДАЛИТЬ ИЗВЕЩАТЕЛЬ"));
    EXPECT_TRUE(detectorFile(u'0').contains(QStringLiteral("X=4\r\nY=1,25"))) << "not shown: the place stays";
    workstation->markerCommands().showMarkers();
    editor().removeMarker();
    EXPECT_EQ(marker(QStringLiteral("SH010105")), nullptr);
    EXPECT_TRUE(detectorFile(u'0').contains(QStringLiteral("[И01-05]\r\nЗОНА=Цех 1\r\nТЕКСТ=Коридор\r\nТИП=ДЫМОВОЙ\r\n"
                                                           "СОСТОЯНИЕ=ВКЛ\r\n[И01-06]")));
}

TEST_F(PlanEditorTest, LoadingAPlanShowsItAndStoresItForTheZone)
{
    enterEditMode();
    select(QStringLiteral("Цех 2"));
    const QString chosen = folder.file(QStringLiteral("Объекты/Цех2.png"));
    folder.write(QStringLiteral("Объекты/Цех2.png"), "png");
    dialogs.files.push_back(chosen);
    editor().assignPlan();
    settlePlanPictures(*workstation);
    EXPECT_EQ(pictures.loaded.back(), chosen);
    EXPECT_FALSE(workstation->planArea().picture().isNull());
    EXPECT_TRUE(folder.readText(QStringLiteral("Объекты/Склад.cnf")).contains(QStringLiteral("2=") + chosen));
    EXPECT_TRUE(workstation->planArea().currentPlan().isEmpty()) << "currentPlan follows at the next display";
    select(QStringLiteral("Цех 2"));
    EXPECT_EQ(workstation->planArea().currentPlan(), chosen);

    // A general plan, and a cancelled dialog.
    select(QStringLiteral("A01:СКЛАД"));
    dialogs.files.push_back(chosen);
    editor().assignPlan();
    editor().assignPlan();
    EXPECT_TRUE(
        folder.readText(QStringLiteral("Объекты/Склад.cnf")).contains(QStringLiteral("[ОБЩИЙ ПЛАН]\r\n0=") + chosen));
}

TEST_F(PlanEditorTest, PictureEditorFromTheSettingsOrThePath)
{
    const QByteArray path = qgetenv("PATH");
    const QString bin = folder.file(QStringLiteral("bin"));
    QDir().mkpath(bin);
    qputenv("PATH", bin.toLocal8Bit());
    editor().startPictureEditor();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("\"Редактор\" раздела \"Настройки\"")));
    EXPECT_TRUE(shell.started.empty());

    for (const QString& program : {QStringLiteral("gimp"), QStringLiteral("pinta")}) {
        QFile file(bin + u'/' + program);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    editor().startPictureEditor();
    EXPECT_EQ(shell.started.back().program, QStringLiteral("pinta")) << "kolourpaint, pinta, gimp in this order";

    workstation->settings().ini().writeString(u"Настройки", u"Редактор", u"gimp");
    editor().startPictureEditor();
    EXPECT_EQ(shell.started.back().program, QStringLiteral("gimp"));
    workstation->settings().ini().writeString(u"Настройки", u"Редактор", u"mspaint");
    editor().startPictureEditor();
    EXPECT_TRUE(dialogs.shown.back().text.contains(QStringLiteral("mspaint")));
    EXPECT_EQ(shell.started.size(), 2u);
    qputenv("PATH", path);
}

} // namespace
} // namespace kirvan::testing
