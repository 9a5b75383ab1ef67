#pragma once

#include "config/ComplexFile.h"
#include "config/CompositionTree.h"
#include "config/IniStore.h"
#include "config/SettingsFile.h"
#include "events/EventDispatcher.h"
#include "events/EventServices.h"
#include "journal/EventTable.h"
#include "journal/JournalLog.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace kirvan::testing {

// The alarm annunciation as far as the reactions see it; records what they ask of it.
class RecordingAnnunciation final : public Annunciation {
public:
    int level = Normal;
    int fireCounter = 0;
    std::vector<std::string> calls;

    int AlarmLevel() const override { return level; }
    int FireCounter() const override { return fireCounter; }
    void incrementFireCounter() override { ++fireCounter; }
    void RaiseFireAlarm() override { calls.emplace_back("fire"); }
    void RaiseTechnologyAlarm() override { calls.emplace_back("technology"); }
    void RaiseFaultAlarm() override { calls.emplace_back("fault"); }
    void SoundOffExecute() override { calls.emplace_back("sound off"); }
    void AlarmOffExecute() override { calls.emplace_back("alarm off"); }
    void ResetSystemState() override { calls.emplace_back("reset system"); }
};

struct Paint {
    QString record;
    Rgb colour;
    bool blink;
    bool operator==(const Paint&) const = default;
};

class RecordingMarkers final : public MarkerPainter {
public:
    std::set<QString> withMarker;
    std::vector<Paint> paints;

    bool hasMarker(const QString& record) const override { return withMarker.count(record.mid(0, 9)) > 0; }
    void PaintMarker(const QString& record, Rgb colour, bool blink) override
    {
        paints.push_back({record, colour, blink});
    }
};

class RecordingModules final : public ControlModuleSearch {
public:
    std::vector<QString> searches;
    void FindModulControl(const QString& systemName, const QString& zone) override
    {
        searches.push_back(systemName + QLatin1Char('/') + zone);
    }
};

class CountingWindow final : public MainWindowRestorer {
public:
    int restores = 0;
    void restoreMainWindow() override { ++restores; }
};

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
