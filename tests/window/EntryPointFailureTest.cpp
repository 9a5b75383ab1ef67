#include "files/SettingsKeys.h"
#include "window/MainWindow.h"
#include "platform/Timer.h"
#include "tests/app/WorkstationFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <functional>

namespace kirvan::testing {
namespace {

// Each way the toolkit enters the program, driven while the settings file cannot be written
// (a full disk that root cannot bypass): the operator is told, that operation ends, the program
// goes on.
struct EntryPoint {
    const char* name;
    std::function<void(MainWindow&)> prepare;
    std::function<void(MainWindow&, VirtualMessageLoop&)> enter;
};

void noPreparation(MainWindow&) {}

void clickArrow(MainWindow& window, Qt::ArrowType arrow)
{
    const auto* spin = window.findChild<QWidget*>(QStringLiteral("eventGridScroll"));
    ASSERT_NE(spin, nullptr);
    for (auto* button : spin->findChildren<QToolButton*>())
        if (button->arrowType() == arrow)
            return button->click();
    ADD_FAILURE() << "no arrow button";
}

class EntryPointFailureTest : public WorkstationFixture, public ::testing::WithParamInterface<EntryPoint> {
protected:
    QString settingsPath() const { return folder.file(QStringLiteral("KirvanMonitorP.ini")); }
    bool toldRefusal() const
    {
        for (const auto& box : dialogs.shown)
            if (box.caption == QStringLiteral("Ошибка")
                && box.text.startsWith(QStringLiteral("Unable to write to ") + settingsPath())
                && box.text.contains(QStringLiteral("Причина: файл слишком велик")))
                return true;
        return false;
    }
};

TEST_P(EntryPointFailureTest, RefusedWriteIsReportedAndTheProgramGoesOn)
{
    MainWindow window(platform(), WorkstationFolder(folder.path()));
    GetParam().prepare(window);
    const QByteArray settingsBefore = folder.read(QStringLiteral("KirvanMonitorP.ini"));
    {
        FileSizeLimit fullDisk(16);
        GetParam().enter(window, loop);
    }
    EXPECT_TRUE(toldRefusal()) << "boxes shown: " << dialogs.shown.size();
    EXPECT_EQ(folder.read(QStringLiteral("KirvanMonitorP.ini")), settingsBefore);
    // The program still works: the next operation writes.
    window.workstation().settings().ini().writeString(u"Проверка", u"после", u"1");
}

INSTANTIATE_TEST_SUITE_P(
    EveryEntryPoint, EntryPointFailureTest,
    ::testing::Values(
        EntryPoint{"ScrollArrow", noPreparation, [](MainWindow& w, VirtualMessageLoop&) { clickArrow(w, Qt::UpArrow); }},
        EntryPoint{"ResizeWritingAMissingTableKeyDuringShow",
                   [](MainWindow& w) {
                       w.workstation().settings().ini().deleteKey(settings::sectionSettings, settings::keyTable);
                   },
                   [](MainWindow& w, VirtualMessageLoop&) { w.show(); }},
        EntryPoint{"PortMenuItem", noPreparation,
                   [](MainWindow& w, VirtualMessageLoop&) { w.actions().choosePort[4]->trigger(); }},
        EntryPoint{"PortSearchOpeningTheSettingsMenu",
                   // Stored as "02": the search writes it back as "2".
                   [](MainWindow& w) {
                       w.workstation().settings().ini().writeString(settings::sectionSettings, settings::keyComPort,
                                                                    u"02");
                   },
                   [](MainWindow& w, VirtualMessageLoop&) { Q_EMIT w.actions().settingsMenu->aboutToShow(); }},
        EntryPoint{"TimerHandler", noPreparation,
                   [](MainWindow& w, VirtualMessageLoop& loop) {
                       auto timer = loop.createTimer();
                       timer->setInterval(10);
                       timer->setOnTimer([&w] { w.workstation().settings().ini().writeString(u"Настройки", u"x", u"1"); });
                       timer->setEnabled(true);
                       loop.advance(20);
                   }}),
    [](const ::testing::TestParamInfo<EntryPoint>& tested) { return std::string(tested.param.name); });

} // namespace
} // namespace kirvan::testing
