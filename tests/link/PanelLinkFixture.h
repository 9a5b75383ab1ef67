#pragma once

#include "files/IniStore.h"
#include "files/SettingsFile.h"
#include "link/PanelLink.h"
#include "platform/StatusBar.h"
#include "tests/support/FakeLinkPort.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualMessageLoop.h"

#include <gtest/gtest.h>
#include <set>

namespace kirvan::testing {

// The panel link on virtual time with a fake port and stations that answer link checks.
class PanelLinkFixture : public ::testing::Test {
protected:
    PanelLinkFixture();

    // The configured systems, as a configuration load leaves them.
    void configure(std::initializer_list<int> addresses);
    // Stations that answer their link checks 30 ms after the frame's last byte.
    std::set<int> answering;
    // Bytes of the frames sent, in order.
    std::vector<Bytes> framesSent() const;

    VirtualMessageLoop loop;
    FakeLinkPort port{loop};
    TempFolder folder;
    FixedLocale locale;
    IniStore store{locale};
    SettingsFile settings{store, WorkstationFolder(folder.path())};
    StatusBar statusBar;
    std::vector<QString> records;
    std::vector<std::int64_t> recordTimes;
    PanelLink link{loop, port, settings.ini(), statusBar, [this](const QString& record) {
                       records.push_back(record);
                       recordTimes.push_back(loop.now());
                   }};

private:
    void answerLater(std::uint8_t address);
    Bytes pending_;
    std::vector<std::unique_ptr<Timer>> answerTimers_;
};

} // namespace kirvan::testing
