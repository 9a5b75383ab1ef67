#pragma once

#include "events/EventServices.h"

#include <QString>
#include <set>
#include <string>
#include <vector>

namespace kirvan::testing {

// The alarm annunciation as far as the reactions see it; records what they ask of it.
class RecordingAnnunciation final : public Annunciation {
public:
    int level = Normal;
    int fires = 0;
    std::vector<std::string> calls;
    // Kept apart from the calls: level and record of each announcement.
    std::vector<std::string> announced;

    int alarmLevel() const override { return level; }
    int fireCounter() const override { return fires; }
    void incrementFireCounter() override { ++fires; }
    void raiseFireAlarm() override { calls.emplace_back("fire"); }
    void raiseTechnologyAlarm() override { calls.emplace_back("technology"); }
    void raiseFaultAlarm() override { calls.emplace_back("fault"); }
    void announce(int announcedLevel, const QString& record) override
    {
        announced.push_back(std::to_string(announcedLevel) + ' ' + record.toStdString());
    }
    std::uint64_t lastAnnouncement() const override { return 0; }
    void silence() override { calls.emplace_back("sound off"); }
    void resetAlarm() override { calls.emplace_back("alarm off"); }
    void controlCheck(const QString& address, std::uint64_t) override
    {
        calls.push_back("control check " + address.toStdString());
    }
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
    std::vector<std::string> calls;

    bool hasMarker(const QString& record) const override { return withMarker.count(record.mid(0, 9)) > 0; }
    void paintMarker(const QString& record, Rgb colour, bool blink) override
    {
        paints.push_back({record, colour, blink});
    }
    void blinkMarkers() override { calls.emplace_back("blink"); }
    void stopMarkerBlinking() override { calls.emplace_back("stop blinking"); }
    void removeAllMarkers() override { calls.emplace_back("remove all"); }
    void removeMarkersExcept(const std::set<QString>& kept) override
    {
        calls.push_back("remove all but " + std::to_string(kept.size()));
    }
    void removeMarker(const QString& markerName) override { calls.push_back("remove " + markerName.toStdString()); }
};

class RecordingModules final : public ControlModuleSearch {
public:
    std::vector<QString> searches;
    void findControlModule(const QString& systemName, const QString& zone) override
    {
        searches.push_back(systemName + QLatin1Char('/') + zone);
    }
};

class CountingWindow final : public MainWindowRestorer {
public:
    int restores = 0;
    void restoreMainWindow() override { ++restores; }
};

} // namespace kirvan::testing
