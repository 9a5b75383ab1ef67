#pragma once

#include "remote/BrokerLink.h"
#include "remote/RemoteSettings.h"

#include <QMap>
#include <QString>
#include <functional>
#include <memory>

namespace kirvan {

class Locale;
class MessageLoop;
class PublisherThread;
class StatusBar;

// The workstation's side of remote monitoring, on the main thread: starts the publisher when the
// settings name a broker, shows the link in the status bar ("MQTT: подключено", "MQTT: нет связи с
// сервером", "MQTT: отказ авторизации") and writes one journal line when an outage of the broker
// begins and one when it ends, however often the link is tried meanwhile.
class RemoteMonitor {
public:
    using LinkFactory = std::function<std::unique_ptr<BrokerLink>(const RemoteSettings&)>;
    struct Services {
        MessageLoop& loop;
        const Locale& locale;
        StatusBar& statusBar;
        // Writes a journal line after the current date and time.
        std::function<void(const QString& text)> logDated;
        // Address ("01") → system name, for the systems the workstation has.
        std::function<QMap<QString, QString>()> systemNames;
        QString logPath;
        QString cursorPath;
        LinkFactory link;
    };

    // Nothing is started when the settings name no broker; a server that is no "host:port" is
    // shown and logged as an outage.
    RemoteMonitor(const RemoteSettings& settings, Services services);
    ~RemoteMonitor();
    RemoteMonitor(const RemoteMonitor&) = delete;
    RemoteMonitor& operator=(const RemoteMonitor&) = delete;

    // A journal line has been logged.
    void lineLogged();
    // Whether a broker is configured: only then are the active alarms made into JSON.
    bool publishing() const { return publisher_ != nullptr; }
    // The active alarms changed: their JSON for `<prefix>/alarms`.
    void alarmsChanged(QByteArray json);

    static QString statusText(BrokerLink::State state);
    // The journal lines of an outage: its beginning and its end.
    static QString outageText(BrokerLink::State state, const QString& server);
    static QString recoveryText(const QString& server);

private:
    void stateChanged(BrokerLink::State state);

    Services services_;
    QString server_;
    bool outage_ = false;
    std::unique_ptr<PublisherThread> publisher_;
};

} // namespace kirvan
