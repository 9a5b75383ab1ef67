#pragma once

#include "platform/Rgb.h"

#include <QString>
#include <cstdint>
#include <set>

namespace kirvan {

// The alarm annunciation as the event reactions use it: the shown alarm and the fire counter.
class Annunciation {
public:
    enum Level { Normal = 0, Fault = 1, Fire = 2, Technology = 3 };

    virtual ~Annunciation() = default;
    virtual int alarmLevel() const = 0;
    // Fire and technology events since the last alarm reset.
    virtual int fireCounter() const = 0;
    virtual void incrementFireCounter() = 0;
    virtual void raiseFireAlarm() = 0;
    virtual void raiseTechnologyAlarm() = 0;
    virtual void raiseFaultAlarm() = 0;
    // Every fire, technology or fault record is announced, whether it raised the shown alarm or
    // yielded to a higher one; what a control check resets is counted in announcements.
    virtual void announce(int level, const QString& record) = 0;
    // The number of the newest announcement, the first being 1.
    virtual std::uint64_t lastAnnouncement() const = 0;
    virtual void silence() = 0;
    virtual void resetAlarm() = 0;
    // The control check of the system `address` (two digits), begun when `since` was the newest
    // announcement: what was announced up to then is reset (the whole alarm, when that is all),
    // and the system's pictures and markers return to normal. An alarm announced after the
    // check began stays announced, with its level, marker and pictures.
    virtual void controlCheck(const QString& address, std::uint64_t since) = 0;
};

// The detector markers on the plans.
class MarkerPainter {
public:
    virtual ~MarkerPainter() = default;
    virtual bool hasMarker(const QString& record) const = 0;
    // Creates or recolours the marker of the record's detector.
    virtual void paintMarker(const QString& record, Rgb colour, bool blink) = 0;
    // One blink step: every blinking marker of the plan now shown changes its visibility.
    virtual void blinkMarkers() = 0;
    // Blinking ends everywhere; the markers of the plan now shown stay visible.
    virtual void stopMarkerBlinking() = 0;
    // Every marker goes, also those of plans not shown, the newest first.
    virtual void removeAllMarkers() = 0;
    // Every marker goes except those named ("SH…" names).
    virtual void removeMarkersExcept(const std::set<QString>& kept) = 0;
    // The marker of one detector goes, if it has one; the name is the marker's "SH…" name.
    virtual void removeMarker(const QString& markerName) = 0;
};

// The control modules of a zone, started or offered on fire and technology alarms.
class ControlModuleSearch {
public:
    virtual ~ControlModuleSearch() = default;
    virtual void findControlModule(const QString& systemName, const QString& zone) = 0;
};

// The main window, brought back from the minimised state and in front of the program's other
// windows on every alarm row.
class MainWindowRestorer {
public:
    virtual ~MainWindowRestorer() = default;
    virtual void restoreMainWindow() = 0;
};

// What the reactions act on besides the files, the journal and the tree.
struct EventServices {
    Annunciation& alarms;
    MarkerPainter& markers;
    ControlModuleSearch& controlModules;
    MainWindowRestorer& window;
};

namespace colours {
inline constexpr Rgb red{255, 0, 0};
inline constexpr Rgb green{0, 255, 0};
inline constexpr Rgb blue{0, 0, 255};
inline constexpr Rgb yellow{255, 255, 0};
inline constexpr Rgb white{255, 255, 255};
} // namespace colours

} // namespace kirvan
