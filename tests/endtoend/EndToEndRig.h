#pragma once

#include "files/IniStore.h"
#include "app/PanelLine.h"
#include "app/Workstation.h"
#include "plans/QtPictureLoader.h"
#include "platform/QtMessageLoop.h"
#include "platform/WorkerThread.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/RecordingCompanionProgram.h"
#include "tests/support/RecordingDesktopShell.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/TempFolder.h"
#include "tools/kirvan-sim/SimComplex.h"
#include "tools/kirvan-sim/SimLine.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace kirvan::testing {

// The workstation on real time with its real serial port, COM1 of a fresh workstation folder,
// and the simulator on the other end of that port's pseudo-terminal.
class EndToEndRig {
public:
    EndToEndRig();
    ~EndToEndRig();

    // Waits for a condition on the workstation's message loop, up to `limitMs`.
    bool waitFor(const std::function<bool()>& done, int limitMs) { return loop.waitUntil(done, limitMs); }
    // A line of the history line that starts with the record.
    bool historyHas(const QString& record) const;
    bool logHas(const QString& record) const;
    // Runs a simulator command; fails the test when it is refused.
    void inject(const QString& command);

    TempFolder folder;
    QtMessageLoop loop;
    FixedLocale locale;
    std::unique_ptr<sim::SimLine> simulator;
    std::unique_ptr<Workstation> workstation;

private:
    struct Restorer final : MainWindowRestorer {
        void restoreMainWindow() override {}
    };
    RecordingDialogs dialogs_;
    RecordingDesktopShell shell_;
    RecordingCompanionProgram viewer_;
    RecordingSound sound_;
    QtPictureLoader pictures_{QStringLiteral(KIRVAN_PLAN_DECODER)};
    ThreadWorkers workers_{loop};
    FixedClock clock_;
    Restorer restorer_;
    PanelLine line_{loop, folder.path()};
    IniStore simulatorStore_{locale};
    std::unique_ptr<sim::SimComplex> complex_;
};

// A valid limit for conditions on real threads that normally hold within a second.
inline constexpr int eventLimitMs = 5000;

} // namespace kirvan::testing
