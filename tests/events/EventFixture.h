#pragma once

#include "complex/ComplexFile.h"
#include "complex/CompositionTree.h"
#include "files/IniStore.h"
#include "files/SettingsFile.h"
#include "events/EventDispatcher.h"
#include "events/EventServices.h"
#include "journal/EventTable.h"
#include "journal/JournalLog.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/RecordingEventServices.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <vector>

namespace kirvan::testing {

// A workstation with the complex of the configuration example: system 01 СКЛАД in the file
// Склад.cnf with detectors on devices 0 and 1.
class EventFixture : public ::testing::Test {
protected:
    EventFixture();

    // Interprets the record and returns the journal line it logged (empty for none).
    QString process(const QString& record);
    // The cells of a committed row.
    std::vector<QString> row(int number) const;
    TreeNode* node(const QString& text) const;
    QString detectorValue(const QString& file, const QString& section, const QString& key);

    TempFolder folder;
    FixedLocale locale;
    FixedClock clock;
    IniStore store{locale};
    SettingsFile settings{store, WorkstationFolder(folder.path())};
    EventTable table{settings.ini()};
    JournalLog log{folder.file(QStringLiteral("KirvanMonitorP.txt"))};
    CompositionTree tree;
    RecordingAnnunciation alarms;
    RecordingMarkers markers;
    RecordingModules modules;
    CountingWindow window;
    std::vector<TreeNode*> selections;
    EventDispatcher dispatcher{EventEnvironment{settings, store, table, log, tree, clock, locale,
                                                EventServices{alarms, markers, modules, window}}};
};

} // namespace kirvan::testing
