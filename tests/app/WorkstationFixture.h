#pragma once

#include "app/Workstation.h"
#include "tests/support/FakeLinkPort.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/InlineWorker.h"
#include "tests/support/RecordingCompanionProgram.h"
#include "tests/support/RecordingDesktopShell.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/ScriptedPictureLoader.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualMessageLoop.h"

#include <gtest/gtest.h>
#include <thread>

namespace kirvan::testing {

class CountingRestorer final : public MainWindowRestorer {
public:
    void restoreMainWindow() override { ++restores; }
    int restores = 0;
};

// The platform of a workstation in a fresh folder, on virtual time.
class WorkstationFixture : public ::testing::Test {
protected:
    PlatformServices platform() { return {loop, dialogs, shell, clock, locale, port, sound, pictures, workers, journalViewer}; }
    std::unique_ptr<Workstation> startWorkstation()
    {
        auto workstation = std::make_unique<Workstation>(platform(), restorer, WorkstationFolder(folder.path()));
        workstation->start();
        return workstation;
    }
    // System 1 "СКЛАД" with the fire detector И12-05 in zone "Цех 1", and more settings.
    void writeStoreComplex(const QString& moreSettings = {}) const
    {
        folder.writeText(QStringLiteral("Склад.cnf"), QStringLiteral("[СИСТЕМА]\nАДРЕС=01\n"));
        folder.writeText(QStringLiteral("Склад.tb1"), QStringLiteral("[И12-05]\nЗОНА=Цех 1\nТЕКСТ=Коридор\n"));
        folder.writeText(QStringLiteral("kirvanmonitorp.cnf"),
                         QStringLiteral("A01:СКЛАД\n\tЦех 1\n\t\tИ12-05 Коридор\n"));
        folder.writeText(QStringLiteral("KirvanMonitorP.ini"),
                         QStringLiteral("[АДРЕС]\n01=") + folder.file(QStringLiteral("Склад.cnf")) + u'\n' + moreSettings);
    }
    // 01/И12-05/07 from the line: a fire at detector 5 of line 2 of panel 1 of system 1.
    void receiveFire(Workstation& workstation)
    {
        port.received.deliver(frameBytes(0x20, 0x01, 0x94, 0x11, 0x04));
        workstation.link().receiver().bytesArrived(7);
    }
    // Lets the plan pictures' worker hand over the picture the plan area waits for.
    void settlePlanPictures(Workstation& workstation)
    {
        while (workstation.planPictures().busy()) {
            loop.advance(0);
            std::this_thread::yield();
        }
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
    ScriptedPictureLoader pictures;
    InlineWorkers workers;
    RecordingCompanionProgram journalViewer;
    CountingRestorer restorer;
};

} // namespace kirvan::testing
