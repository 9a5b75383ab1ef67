#include "complex/ConfigurationLoader.h"

#include "complex/CompositionTree.h"
#include "files/IniStore.h"
#include "complex/LinkControl.h"
#include "files/SettingsFile.h"
#include "files/SettingsKeys.h"
#include "complex/StateIcon.h"
#include "complex/TreePopup.h"
#include "complex/TreeSelection.h"
#include "platform/StatusBar.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

// The link as the load drives it, as a log of the calls.
class RecordingLinkControl final : public LinkControl {
public:
    void resetForLoad() override { calls << u"reset"_s; }
    void acceptSystem(int address) override { calls << u"accept %1"_s.arg(address); }
    void delay(int ms) override
    {
        calls << u"delay %1"_s.arg(ms);
        if (duringDelay)
            std::exchange(duringDelay, {})();
    }
    void startPolling() override { calls << u"start"_s; }
    void stopPolling() override { calls << u"stop"_s; }

    QStringList calls;
    // Runs once inside the next Delay, as a handler would.
    std::function<void()> duringDelay;
};

class ConfigurationLoaderTest : public ::testing::Test {
protected:
    ConfigurationLoaderTest()
    {
        tree.setOnSelectionChanged([this](TreeNode* node) { selection.treeSelectionChanged(node); });
        loader.setOnBusy([this](bool busy) { busyLog.push_back({busy, statusBar.messagePanel()}); });
    }

    void writeComplex(const QString& text) { folder.writeText(u"kirvanmonitorp.cnf"_s, text); }
    void setSystemFile(const QString& addressKey, const QString& path)
    {
        settings.ini().writeString(settings::sectionAddress, addressKey, path);
    }
    // The picture of the first node whose text begins with `start`; -100 when there is none.
    int picture(const QString& start) const
    {
        int found = -100;
        tree.walk([&](TreeNode& node) {
            if (node.text().startsWith(start))
                found = node.imageIndex();
            return found == -100;
        });
        return found;
    }
    QStringList texts() const
    {
        QStringList all;
        tree.walk([&](TreeNode& node) {
            all << node.text();
            return true;
        });
        return all;
    }

    TempFolder folder;
    testing::FixedLocale locale;
    IniStore store{locale};
    SettingsFile settings{store, WorkstationFolder(folder.path())};
    CompositionTree tree;
    StatusBar statusBar;
    testing::RecordingDialogs dialogs;
    RecordingLinkControl link;
    TreePopup popup;
    TreeSelection selection{popup};
    ConfigurationLoader loader{tree, settings, store, statusBar, dialogs, link, popup};
    struct Busy {
        bool busy;
        QString panel17;
        bool operator==(const Busy&) const = default;
    };
    std::vector<Busy> busyLog;
};

const QString loadingText = u"ВНИМАНИЕ! ИДЕТ ЗАГРУЗКА КОНФИГУРАЦИИ"_s;
const QString rangeText = u"Версия программы обслуживает адреса из диапазона 0..3"_s;

TEST_F(ConfigurationLoaderTest, AcceptsTheSystemsInTreeOrderAfterTheResetAndTheDelay)
{
    writeComplex(u"A00:СКЛАД\n\tЦех\nA02:ОФИС\n"_s);
    loader.loadConfiguration();
    EXPECT_EQ(link.calls, (QStringList{u"reset"_s, u"delay 500"_s, u"accept 0"_s, u"accept 2"_s, u"start"_s}));
    EXPECT_EQ(texts(), (QStringList{u"A00:СКЛАД"_s, u"Цех"_s, u"A02:ОФИС"_s}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ConfigurationLoaderTest, UnreadableDetectorFilesAreNamedOnceAndTheLoadGoesOn)
{
    setSystemFile(u"01"_s, u"Склад.cnf"_s);
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"Склад.tb1"_s));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file(u"Склад.tb2"_s)).constData(), 0644), 0);
    folder.writeText(u"Склад.tb3"_s, u"[И31-01]\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВКЛ\n"_s);
    writeComplex(u"A01:СКЛАД\n\tЦех\n\t\tИ11-01 а\n\t\tИ11-02 б\n\t\tИ21-01 в\n\t\tИ31-01 г\nA02:ОФИС\n"_s);
    loader.loadConfiguration();
    EXPECT_EQ(link.calls, (QStringList{u"reset"_s, u"delay 500"_s, u"accept 1"_s, u"accept 2"_s, u"start"_s}));
    EXPECT_EQ(picture(u"И11-01"_s), stateicon::detectorOff);
    EXPECT_EQ(picture(u"И31-01"_s), stateicon::securityOn) << "the readable file still counts";
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const QString& text = dialogs.shown[0].text;
    EXPECT_EQ(text.count(u"Склад.tb1"_s), 1) << text.toStdString();
    EXPECT_TRUE(text.contains(folder.file(u"Склад.tb1"_s) + u"\": это папка, а не файл"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(folder.file(u"Склад.tb2"_s) + u"\": это канал, а не файл"_s)) << text.toStdString();
    EXPECT_FALSE(text.contains(u"Склад.tb3"_s));
}

TEST_F(ConfigurationLoaderTest, PicturesComeFromTheLevelAndTheDetectorFile)
{
    setSystemFile(u"01"_s, u"Склад.cnf"_s);
    folder.writeText(u"Склад.tb1"_s, u"[И11-01]\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВКЛ\n"
                                     u"[И11-02]\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВЫКЛ\n"
                                     u"[И11-03]\nТИП=ДЫМОВОЙ\nСОСТОЯНИЕ=ВКЛ\n"
                                     u"[И11-04]\nТИП=ДЫМОВОЙ\nСОСТОЯНИЕ=ВЫКЛ\n"
                                     u"[И11-05]\nТИП=ОХРАНА\nСОСТОЯНИЕ=вкл\n"_s);
    folder.writeText(u"Склад.tb2"_s, u"[И21-01]\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВКЛ\n"_s);
    writeComplex(u"A01:СКЛАД\n\tЦех\n\t\tИ11-01 окно\n\t\tИ11-02 дверь\n\t\tИ11-03 дым\n"
                 u"\t\tИ11-04 дым\n\t\tИ11-05 окно\n\t\tИ11-06 нет секции\n\t\tИ21-01 другой прибор\n"
                 u"\t\tИ31-01 нет файла\n\t\t\tглубже\n"_s);
    loader.loadConfiguration();
    EXPECT_EQ(picture(u"A01"_s), stateicon::systemNormal);
    EXPECT_EQ(picture(u"Цех"_s), stateicon::zone);
    EXPECT_EQ(picture(u"И11-01"_s), stateicon::securityOn);
    EXPECT_EQ(picture(u"И11-02"_s), stateicon::securityOff);
    EXPECT_EQ(picture(u"И11-03"_s), stateicon::detectorOn);
    EXPECT_EQ(picture(u"И11-04"_s), stateicon::detectorOff);
    EXPECT_EQ(picture(u"И11-05"_s), stateicon::securityOff) << "values are compared exactly";
    EXPECT_EQ(picture(u"И11-06"_s), stateicon::detectorOff);
    EXPECT_EQ(picture(u"И21-01"_s), stateicon::securityOn) << "the device character picks the file";
    EXPECT_EQ(picture(u"И31-01"_s), stateicon::detectorOff);
    EXPECT_EQ(picture(u"глубже"_s), stateicon::none);
}

TEST_F(ConfigurationLoaderTest, ASystemOutsideTheAddressRangeLeavesTheTreeButNotTheFile)
{
    setSystemFile(u"01"_s, u"Склад.cnf"_s);
    folder.writeText(u"Склад.tb1"_s, u"[И11-01]\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВКЛ\n"_s);
    const QString content = u"A00:ОФИС\n\tКоридор\nA07:ЧУЖАЯ\n\tЗона 7\n\t\tИ11-01 чужой\n"
                            u"A05:ЕЩЕ\nA01:СКЛАД\n\tЦех\n\t\tИ11-01 окно\n"_s;
    writeComplex(content);
    loader.loadConfiguration();
    ASSERT_EQ(dialogs.shown.size(), 2u) << "one message for each, also for one that moved into place";
    EXPECT_EQ(dialogs.shown[0].caption, u"Ошибка"_s);
    EXPECT_EQ(dialogs.shown[0].text, rangeText);
    EXPECT_EQ(texts(), (QStringList{u"A00:ОФИС"_s, u"Коридор"_s, u"A01:СКЛАД"_s, u"Цех"_s, u"И11-01 окно"_s}));
    EXPECT_EQ(link.calls, (QStringList{u"reset"_s, u"delay 500"_s, u"accept 0"_s, u"accept 1"_s, u"start"_s}));
    EXPECT_EQ(picture(u"A01"_s), stateicon::systemNormal);
    EXPECT_EQ(picture(u"Цех"_s), stateicon::zone);
    EXPECT_EQ(picture(u"И11-01"_s), stateicon::securityOn);
    EXPECT_EQ(folder.readText(u"kirvanmonitorp.cnf"_s), QString(content).replace(u"\n"_s, u"\r\n"_s));
}

TEST_F(ConfigurationLoaderTest, AMissingSystemFileStillCountsWithDetectorsOff)
{
    setSystemFile(u"02"_s, u"нет.cnf"_s);
    writeComplex(u"A00:БЕЗ ЗАПИСИ\n\tЦех\n\t\tИ11-01 окно\nA02:НЕТ ФАЙЛА\n\tЦех 2\n\t\tИ11-01 окно\n"_s);
    loader.loadConfiguration();
    EXPECT_EQ(link.calls, (QStringList{u"reset"_s, u"delay 500"_s, u"accept 0"_s, u"accept 2"_s, u"start"_s}));
    EXPECT_EQ(picture(u"A00"_s), stateicon::systemNormal);
    EXPECT_EQ(picture(u"A02"_s), stateicon::systemNormal);
    tree.walk([](TreeNode& node) {
        if (node.level() == 2) {
            EXPECT_EQ(node.imageIndex(), stateicon::detectorOff) << qPrintable(node.text());
        }
        return true;
    });
}

TEST_F(ConfigurationLoaderTest, AnEmptyFileEmptiesTheTreeAndStopsPolling)
{
    writeComplex(u"A00:СКЛАД\n"_s);
    loader.loadConfiguration();
    writeComplex({});
    link.calls.clear();
    loader.loadConfiguration();
    EXPECT_TRUE(tree.topLevel().empty());
    EXPECT_EQ(tree.selected(), nullptr);
    EXPECT_EQ(link.calls, (QStringList{u"reset"_s, u"delay 500"_s, u"stop"_s}));
}

TEST_F(ConfigurationLoaderTest, WithoutAFileTheTreeKeepsItsNodesAndPicturesAndIsPolled)
{
    writeComplex(u"A01:СКЛАД\n\tЦех\n\t\tИ11-01 окно\n"_s);
    loader.loadConfiguration();
    tree.setPicture(*tree.topLevel().front(), stateicon::systemFire);
    QFile::remove(folder.file(u"kirvanmonitorp.cnf"_s));
    link.calls.clear();
    loader.loadConfiguration();
    EXPECT_EQ(texts(), (QStringList{u"A01:СКЛАД"_s, u"Цех"_s, u"И11-01 окно"_s}));
    EXPECT_EQ(picture(u"A01"_s), stateicon::systemFire);
    EXPECT_EQ(link.calls, (QStringList{u"reset"_s, u"delay 500"_s, u"accept 1"_s, u"start"_s}));
}

TEST_F(ConfigurationLoaderTest, WithoutAFileAnEmptyTreeStaysUnpolledWithoutAMenu)
{
    loader.loadConfiguration();
    EXPECT_EQ(link.calls, (QStringList{u"reset"_s, u"delay 500"_s, u"stop"_s}));
    EXPECT_EQ(popup.menu(), TreePopup::Menu::None);
}

TEST_F(ConfigurationLoaderTest, ShowsTheMessageAndTheBusyPointerOnlyWhileReading)
{
    writeComplex(u"A00:СКЛАД\n"_s);
    statusBar.setMessagePanel(u"прежний текст"_s);
    link.duringDelay = [this] { EXPECT_EQ(statusBar.messagePanel(), u"прежний текст"_s); };
    loader.loadConfiguration();
    EXPECT_EQ(busyLog, (std::vector<Busy>{{true, loadingText}, {false, loadingText}}));
    EXPECT_EQ(statusBar.messagePanel(), QString());
}

TEST_F(ConfigurationLoaderTest, SelectsTheFirstNodeAndGivesTheTreeTheNormalMenu)
{
    writeComplex(u"A00:СКЛАД\n\tЦех\n"_s);
    std::vector<TreeNode*> selected;
    tree.setOnSelectionChanged([&](TreeNode* node) {
        selected.push_back(node);
        selection.treeSelectionChanged(node);
    });
    loader.loadConfiguration();
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0], tree.topLevel().front().get());
    EXPECT_EQ(tree.selected(), selected[0]);
    EXPECT_EQ(popup.menu(), TreePopup::Menu::treeMenu);
    EXPECT_FALSE(popup.visible(TreePopup::Item::ModulControl)) << "the items of a system node";
}

TEST_F(ConfigurationLoaderTest, ALoadAskedForDuringTheDelayRunsAfterTheOneUnderWay)
{
    writeComplex(u"A00:СКЛАД\n"_s);
    link.duringDelay = [this] { loader.loadConfiguration(); };
    loader.loadConfiguration();
    EXPECT_EQ(link.calls, (QStringList{u"reset"_s, u"delay 500"_s, u"accept 0"_s, u"start"_s, u"reset"_s,
                                       u"delay 500"_s, u"accept 0"_s, u"start"_s}));
}

TEST_F(ConfigurationLoaderTest, ALoadAskedForDuringTheRangeMessageDoesNotPullTheTreeAway)
{
    writeComplex(u"A09:ЧУЖАЯ\n\tЗона\nA00:СКЛАД\n\tЦех\n"_s);
    struct Reloading final : Dialogs {
        ConfigurationLoader* loader = nullptr;
        int shown = 0;
        // Whatever the kind of message, handlers may run while it is shown.
        void notice(const QString& caption, const QString& text, Icon icon) override
        {
            messageBox(caption, text, icon, Buttons::Ok);
        }
        Answer messageBox(const QString&, const QString&, Icon, Buttons) override
        {
            if (++shown == 1)
                loader->loadConfiguration();
            return Answer::Ok;
        }
        std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return {}; }
        std::optional<QString> openFile(const QString&, const QString&, const QString&) override { return {}; }
    } boxes;
    ConfigurationLoader reloading{tree, settings, store, statusBar, boxes, link, popup};
    boxes.loader = &reloading;
    reloading.loadConfiguration();
    EXPECT_EQ(boxes.shown, 2);
    EXPECT_EQ(texts(), (QStringList{u"A00:СКЛАД"_s, u"Цех"_s}));
    EXPECT_EQ(link.calls.count(u"start"_s), 2);
}

// A file with a line too deep: the nodes read before it are loaded, the rest is reported.
TEST_F(ConfigurationLoaderTest, AnInvalidLevelKeepsTheNodesReadAndLeavesTheWindowWhole)
{
    writeComplex(u"A00:СКЛАД\n\tЦех\nA01:ОФИС\n\t\t\tслишком глубоко\nA02:НЕ ПРОЧИТАНА\n"_s);
    loader.loadConfiguration();
    EXPECT_EQ(texts(), (QStringList{u"A00:СКЛАД"_s, u"Цех"_s, u"A01:ОФИС"_s}));
    EXPECT_EQ(picture(u"Цех"_s), stateicon::zone);
    EXPECT_EQ(picture(u"A01"_s), stateicon::systemNormal);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, u"Ошибка"_s);
    EXPECT_TRUE(dialogs.shown[0].text.contains(u"слишком глубоко"_s)) << qPrintable(dialogs.shown[0].text);
    EXPECT_EQ(link.calls, (QStringList{u"reset"_s, u"delay 500"_s, u"accept 0"_s, u"accept 1"_s, u"start"_s}));
    EXPECT_EQ(busyLog.back().busy, false);
    EXPECT_EQ(statusBar.messagePanel(), QString());
    EXPECT_EQ(tree.selected(), tree.topLevel().front().get());
}

// A system whose address is not a number ends the load: the systems before it stay loaded.
TEST_F(ConfigurationLoaderTest, ANonNumericAddressEndsTheLoadThereAndLeavesTheWindowWhole)
{
    writeComplex(u"A00:СКЛАД\n\tЦех\nAXY:КРИВАЯ\n\tЗона\nA01:ПОСЛЕ\n"_s);
    loader.loadConfiguration();
    EXPECT_EQ(texts(), (QStringList{u"A00:СКЛАД"_s, u"Цех"_s}));
    EXPECT_EQ(picture(u"Цех"_s), stateicon::zone);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, u"Ошибка"_s);
    EXPECT_TRUE(dialogs.shown[0].text.contains(u"'XY'"_s)) << qPrintable(dialogs.shown[0].text);
    EXPECT_EQ(link.calls, (QStringList{u"reset"_s, u"delay 500"_s, u"accept 0"_s, u"start"_s}));
    EXPECT_EQ(busyLog, (std::vector<Busy>{{true, loadingText}, {false, loadingText}}));
    EXPECT_EQ(statusBar.messagePanel(), QString());
}

TEST_F(ConfigurationLoaderTest, ANonNumericFirstAddressLeavesAnEmptyUnpolledTree)
{
    writeComplex(u"A0-:СКЛАД\n\tЦех\n"_s);
    loader.loadConfiguration();
    EXPECT_TRUE(tree.topLevel().empty());
    EXPECT_EQ(link.calls, (QStringList{u"reset"_s, u"delay 500"_s, u"stop"_s}));
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

} // namespace
} // namespace kirvan
