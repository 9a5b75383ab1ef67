#include "files/SettingsKeys.h"
#include "console/TForm1.h"
#include "platform/Timer.h"
#include "tests/console/WorkstationFixture.h"
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
    std::function<void(TForm1&)> prepare;
    std::function<void(TForm1&, VirtualMessageLoop&)> enter;
};

void noPreparation(TForm1&) {}

void clickArrow(TForm1& window, Qt::ArrowType arrow)
{
    const auto* spin = window.findChild<QWidget*>(QStringLiteral("SpinButton1"));
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
    TForm1 window(platform(), WorkstationFolder(folder.path()));
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
        EntryPoint{"SpinButton", noPreparation,
                   [](TForm1& w, VirtualMessageLoop&) { clickArrow(w, Qt::UpArrow); }},
        EntryPoint{"ResizeWritingAMissingTableKeyDuringShow",
                   [](TForm1& w) { w.workstation().settings().ini().deleteKey(settings::sectionSettings, settings::keyTable); },
                   [](TForm1& w, VirtualMessageLoop&) { w.show(); }},
        EntryPoint{"PortMenuItem", noPreparation,
                   [](TForm1& w, VirtualMessageLoop&) { w.actions().IniCOM[4]->trigger(); }},
        EntryPoint{"PortSearchOpeningTheSettingsMenu",
                   // Stored as "02": the search writes it back as "2".
                   [](TForm1& w) { w.workstation().settings().ini().writeString(settings::sectionSettings, settings::keyComPort, u"02"); },
                   [](TForm1& w, VirtualMessageLoop&) { Q_EMIT w.actions().settingsMenu->aboutToShow(); }},
        EntryPoint{"TimerHandler", noPreparation,
                   [](TForm1& w, VirtualMessageLoop& loop) {
                       auto timer = loop.createTimer();
                       timer->setInterval(10);
                       timer->setOnTimer([&w] { w.workstation().settings().ini().writeString(u"Настройки", u"x", u"1"); });
                       timer->setEnabled(true);
                       loop.advance(20);
                   }}),
    [](const ::testing::TestParamInfo<EntryPoint>& tested) { return std::string(tested.param.name); });

} // namespace
} // namespace kirvan::testing
