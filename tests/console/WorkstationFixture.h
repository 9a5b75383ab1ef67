#pragma once

#include "console/Workstation.h"
#include "tests/support/FakeLinkPort.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/RecordingDesktopShell.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualMessageLoop.h"

#include <gtest/gtest.h>

namespace kirvan::testing {

class CountingRestorer final : public MainWindowRestorer {
public:
    void restoreMainWindow() override { ++restores; }
    int restores = 0;
};

// The platform of a workstation in a fresh folder, on virtual time.
class WorkstationFixture : public ::testing::Test {
protected:
    PlatformServices platform() { return {loop, dialogs, shell, clock, locale, port, sound}; }
    std::unique_ptr<Workstation> startWorkstation()
    {
        auto workstation = std::make_unique<Workstation>(platform(), restorer, WorkstationFolder(folder.path()));
        workstation->start();
        return workstation;
    }
    QStringList logLines() const
    {
        return folder.readText(QStringLiteral("KirvanMonitorP.txt")).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    TempFolder folder;
    VirtualMessageLoop loop;
    RecordingDialogs dialogs;
    RecordingDesktopShell shell;
    FixedClock clock;
    FixedLocale locale;
    FakeLinkPort port{loop};
    RecordingSound sound;
    CountingRestorer restorer;
};

} // namespace kirvan::testing
