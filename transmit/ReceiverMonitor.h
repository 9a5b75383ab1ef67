#pragma once

#include "transmit/AlarmReports.h"
#include "transmit/ReceiverLink.h"
#include "transmit/ReceiverSettings.h"

#include <functional>
#include <memory>

namespace kirvan {

class Locale;
class MessageLoop;
class StatusBar;
class Timer;
class TransmitterThread;

// The workstation's side of the alarm transmission, on the main thread: starts the transmitter
// when the settings have the "ПЦН" section, shows the link in the status bar ("ПЦН: связь есть",
// "ПЦН: нет связи") and journals the link's loss ("  ПЦН: НЕТ СВЯЗИ (<reason>)"), which is a
// fault of the workstation, and its return ("  ПЦН: СВЯЗЬ ВОССТАНОВЛЕНА").
class ReceiverMonitor {
public:
    static constexpr int NewsIntervalMs = 250;
    using LinkFactory = std::function<std::unique_ptr<ReceiverLink>(const ReceiverSettings&)>;
    struct Services {
        MessageLoop& loop;
        const Locale& locale;
        StatusBar& statusBar;
        std::function<void(const QString& text)> logDated;
        // The link was lost (and why) or answers again: a fault of the workstation's own, which
        // the status word and the list of active alarms show while it lasts.
        std::function<void(bool lost, const QString& reason)> linkChanged;
        QString logPath;
        QString cursorPath;
        LinkFactory link;
    };

    ReceiverMonitor(const ReceiverSettings& settings, Services services);
    ~ReceiverMonitor();
    ReceiverMonitor(const ReceiverMonitor&) = delete;
    ReceiverMonitor& operator=(const ReceiverMonitor&) = delete;

    void lineLogged();
    // The zone numbers of the complex as it is loaded now.
    void setDetectors(DetectorDirectory detectors);

    static QString lostText(const QString& reason) { return QStringLiteral("  ПЦН: НЕТ СВЯЗИ (%1)").arg(reason); }
    static QString restoredText() { return QStringLiteral("  ПЦН: СВЯЗЬ ВОССТАНОВЛЕНА"); }

private:
    void takeNews();

    Services services_;
    std::unique_ptr<TransmitterThread> thread_;
    std::unique_ptr<Timer> newsTimer_;
    bool outage_ = false;
};

} // namespace kirvan
