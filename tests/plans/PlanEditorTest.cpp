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
        workstation->planEditor().ImageEditExecute();
        ASSERT_TRUE(workstation->planEditor().editMode());
    }
    void placeAt(QPoint at)
    {
        PlanEditor& editor = workstation->planEditor();
        editor.SetDatExecute();
        editor.Image1MouseMove(at);
        editor.Image1Click();
    }
    PlanEditor& editor() { return workstation->planEditor(); }
};

TEST_F(PlanEditorTest, EditModeKeepsPollingAndLeavingEndsItsStatus)
{
    select(QStringLiteral("И01-05 Коридор"));
    int collapses = 0;
    editor().setOnCollapseTree([&] { ++collapses; });
    dialogs.answers.push_back(Dialogs::Answer::Cancel);
    editor().ImageEditExecute();
    EXPECT_FALSE(editor().editMode());
    EXPECT_TRUE(workstation->link().cycle().running());

    enterEditMode();
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Вы уверены, что хотите редактировать планы ?"));
    EXPECT_EQ(dialogs.shown.back().caption, QStringLiteral("Редактор планов"));
    EXPECT_TRUE(workstation->link().cycle().running());
    const StatusBar& status = workstation->statusBar();
    EXPECT_EQ(status.Panel17(), QStringLiteral("ВНИМАНИЕ! ВКЛЮЧЕН РЕЖИМ РЕДАКТИРОВАНИЯ ПЛАНОВ"));
    EXPECT_TRUE(status.Panel17Alert());
    EXPECT_TRUE(status.Panel15Centred());
    EXPECT_TRUE(status.Panel13().isEmpty());
    EXPECT_EQ(workstation->popup().menu(), TreePopup::Menu::PopupMenu2) << "the selection handler ran again";
    const std::size_t sent = port.sent.size();
    loop.advance(PollingCycle::startupTicks * PollingCycle::tickMs + 5000);
    EXPECT_GT(port.sent.size(), sent) << "the systems are polled while the plans are edited";

    // Leaving while placing ends the placing without a marker.
    editor().SetDatExecute();
    dialogs.answers.push_back(Dialogs::Answer::Ok);
    editor().ImageEditExecute();
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Выйти из режима редактирования планов?"));
    EXPECT_FALSE(editor().editMode());
    EXPECT_FALSE(editor().placing());
    editor().Image1Click();
    EXPECT_TRUE(workstation->markers().markers().empty());
    EXPECT_TRUE(workstation->link().cycle().running());
    EXPECT_FALSE(status.Panel17Alert());
    EXPECT_TRUE(status.Panel17().isEmpty());
    EXPECT_EQ(workstation->popup().menu(), TreePopup::Menu::PopupMenu3);
    EXPECT_EQ(collapses, 2);
    loop.advance(10000);
    EXPECT_FALSE(port.sent.empty());
}

TEST_F(PlanEditorTest, PlacingStoresThePlaceAndTheMarkerGetsItsPopUpWhenMadeAgain)
{
    enterEditMode();
    select(QStringLiteral("И01-07 Без места"));
    editor().SetDatExecute();
    EXPECT_TRUE(editor().placing());
    EXPECT_EQ(workstation->statusBar().Panel13(), QStringLiteral("          КОМАНДА: УСТАНОВИТЬ ИЗВЕЩАТЕЛЬ"));
    editor().Image1MouseMove(QPoint(0, 150));
    EXPECT_EQ(workstation->statusBar().Panel15(), QStringLiteral("X=0  Y=150"));
    editor().Image1Click();
    EXPECT_FALSE(editor().placing());

    // Column 0 stores the place of column 1: 800 / 1; 600 / 150.
    EXPECT_TRUE(detectorFile(u'0').contains(QStringLiteral("[И01-07]\r\nЗОНА=Цех 1\r\nТЕКСТ=Без места\r\n"
                                                           "СОСТОЯНИЕ=ВКЛ\r\nX=800\r\nY=4\r\n")))
        << detectorFile(u'0').toStdString();
    const TImgDat* placed = marker(QStringLiteral("SH010107"));
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->hint, QStringLiteral("И01-07 Без места"));
    EXPECT_EQ(placed->position, QPoint(0, 150));
    EXPECT_EQ(placed->colour, colours::green);
    EXPECT_EQ(placed->Plane, plan(QStringLiteral("Цех1.bmp")));
    workstation->markers().Shape1MouseDown(QStringLiteral("SH010107"));
    EXPECT_EQ(workstation->markers().SelectedMarker(), nullptr) << "a placed marker has no pop-up";

    // Placed twice: refused, nothing stored.
    placeAt(QPoint(300, 300));
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Извещатель уже установлен"));
    EXPECT_EQ(dialogs.shown.back().caption, QStringLiteral("Ошибка"));
    EXPECT_TRUE(detectorFile(u'0').contains(QStringLiteral("X=800\r\nY=4\r\n")));
    EXPECT_FALSE(editor().placing());

    // Hidden and shown again, it is made from the file with the hint and the pop-up.
    workstation->markerCommands().N13Click();
    workstation->markerCommands().N12Click();
    const TImgDat* again = marker(QStringLiteral("SH010107"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->hint, QStringLiteral("A01/И01-07 Без места"));
    EXPECT_EQ(again->position, QPoint(1, 150));
    workstation->markers().Shape1MouseDown(QStringLiteral("SH010107"));
    EXPECT_EQ(workstation->markers().SelectedMarker(), again);
}

TEST_F(PlanEditorTest, AClickWithoutASelectedDetectorEndsPlacing)
{
    enterEditMode();
    select(QStringLiteral("И01-07 Без места"));
    editor().SetDatExecute();
    select(QStringLiteral("Цех 1"));
    editor().Image1MouseMove(QPoint(40, 40));
    editor().Image1Click();
    EXPECT_FALSE(editor().placing());
    EXPECT_TRUE(workstation->markers().markers().empty());
    EXPECT_FALSE(detectorFile(u'0').contains(QStringLiteral("X=20")));
    EXPECT_TRUE(dialogs.shown.size() == 1u) << "only the confirmation of the mode";
}

TEST_F(PlanEditorTest, RemovingNeedsTheShownMarker)
{
    enterEditMode();
    select(QStringLiteral("И01-05 Коридор"));
    editor().DelDatExecute();
    EXPECT_EQ(workstation->statusBar().Panel13(), QStringLiteral("          КОМАНДА: УДАЛИТЬ ИЗВЕЩАТЕЛЬ"));
    EXPECT_TRUE(detectorFile(u'0').contains(QStringLiteral("X=4\r\nY=1,25"))) << "not shown: the place stays";
    workstation->markerCommands().N12Click();
    editor().DelDatExecute();
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
    editor().ImageLoadExecute();
    settlePlanPictures(*workstation);
    EXPECT_EQ(pictures.loaded.back(), chosen);
    EXPECT_FALSE(workstation->planArea().picture().isNull());
    EXPECT_TRUE(folder.readText(QStringLiteral("Объекты/Склад.cnf")).contains(QStringLiteral("2=") + chosen));
    EXPECT_TRUE(workstation->planArea().CurrentPlan().isEmpty()) << "CurrentPlan follows at the next display";
    select(QStringLiteral("Цех 2"));
    EXPECT_EQ(workstation->planArea().CurrentPlan(), chosen);

    // A general plan, and a cancelled dialog.
    select(QStringLiteral("A01:СКЛАД"));
    dialogs.files.push_back(chosen);
    editor().ImageLoadExecute();
    editor().ImageLoadExecute();
    EXPECT_TRUE(folder.readText(QStringLiteral("Объекты/Склад.cnf")).contains(QStringLiteral("[ОБЩИЙ ПЛАН]\r\n0=") + chosen));
}

TEST_F(PlanEditorTest, PictureEditorFromTheSettingsOrThePath)
{
    const QByteArray path = qgetenv("PATH");
    const QString bin = folder.file(QStringLiteral("bin"));
    QDir().mkpath(bin);
    qputenv("PATH", bin.toLocal8Bit());
    editor().ImageDesignExecute();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("\"Редактор\" раздела \"Настройки\"")));
    EXPECT_TRUE(shell.started.empty());

    for (const QString& program : {QStringLiteral("gimp"), QStringLiteral("pinta")}) {
        QFile file(bin + u'/' + program);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    editor().ImageDesignExecute();
    EXPECT_EQ(shell.started.back().program, QStringLiteral("pinta")) << "kolourpaint, pinta, gimp in this order";

    workstation->settings().ini().writeString(u"Настройки", u"Редактор", u"gimp");
    editor().ImageDesignExecute();
    EXPECT_EQ(shell.started.back().program, QStringLiteral("gimp"));
    workstation->settings().ini().writeString(u"Настройки", u"Редактор", u"mspaint");
    editor().ImageDesignExecute();
    EXPECT_TRUE(dialogs.shown.back().text.contains(QStringLiteral("mspaint")));
    EXPECT_EQ(shell.started.size(), 2u);
    qputenv("PATH", path);
}

} // namespace
} // namespace kirvan::testing
