#include "remote/RemoteMonitor.h"

#include "journal/JournalLine.h"
#include "platform/StatusBar.h"
#include "remote/PublisherThread.h"

namespace kirvan {

RemoteMonitor::RemoteMonitor(const RemoteSettings& settings, Services services)
    : services_(std::move(services)), server_(settings.server)
{
    if (settings.server.isEmpty())
        return;
    if (!settings.enabled()) {
        // A server the link cannot even try is an outage from the start, not silence.
        stateChanged(BrokerLink::State::Unreachable);
        return;
    }
    if (const std::optional<QString> problem = prefixProblem(settings.prefix)) {
        // The broker would refuse every topic: said at once, instead of a link that seems up.
        services_.statusBar.setRemote(QStringLiteral("MQTT: префикс \"%1\" не годится").arg(settings.prefix));
        services_.logDated(QStringLiteral("  MQTT: ПРЕФИКС \"%1\" НЕ ГОДИТСЯ (%2), ЖУРНАЛ НЕ ПУБЛИКУЕТСЯ")
                               .arg(settings.prefix, problem->toUpper()));
        return;
    }
    services_.statusBar.setRemote(statusText(BrokerLink::State::Unreachable));
    LogPublisher::Setup setup;
    setup.logPath = services_.logPath;
    setup.cursorPath = services_.cursorPath;
    setup.prefix = settings.prefix;
    setup.order = JournalDateOrder(services_.locale);
    publisher_ = std::make_unique<PublisherThread>(
        services_.loop, services_.link(settings), std::move(setup),
        [this](BrokerLink::State state) { stateChanged(state); }, services_.systemNames());
}

RemoteMonitor::~RemoteMonitor() = default;

void RemoteMonitor::alarmsChanged(QByteArray json)
{
    if (publisher_)
        publisher_->setAlarms(std::move(json));
}

void RemoteMonitor::lineLogged()
{
    if (!publisher_)
        return;
    // A system taken into the complex or out of it changes the names before its line is logged.
    publisher_->setSystemNames(services_.systemNames());
    publisher_->logGrew();
}

QString RemoteMonitor::statusText(BrokerLink::State state)
{
    switch (state) {
    case BrokerLink::State::Connected:
        return QStringLiteral("MQTT: подключено");
    case BrokerLink::State::Refused:
        return QStringLiteral("MQTT: отказ авторизации");
    case BrokerLink::State::Untrusted:
        return QStringLiteral("MQTT: сертификат сервера не принят");
    case BrokerLink::State::Unreachable:
        break;
    }
    return QStringLiteral("MQTT: нет связи с сервером");
}

QString RemoteMonitor::outageText(BrokerLink::State state, const QString& server)
{
    if (state == BrokerLink::State::Refused)
        return QStringLiteral("  MQTT: ОТКАЗ АВТОРИЗАЦИИ НА СЕРВЕРЕ %1").arg(server);
    if (state == BrokerLink::State::Untrusted)
        return QStringLiteral("  MQTT: СЕРТИФИКАТ СЕРВЕРА %1 НЕ ПРИНЯТ").arg(server);
    return QStringLiteral("  MQTT: НЕТ СВЯЗИ С СЕРВЕРОМ %1").arg(server);
}

QString RemoteMonitor::recoveryText(const QString& server)
{
    return QStringLiteral("  MQTT: СВЯЗЬ С СЕРВЕРОМ %1 ВОССТАНОВЛЕНА").arg(server);
}

void RemoteMonitor::stateChanged(BrokerLink::State state)
{
    services_.statusBar.setRemote(statusText(state));
    const bool connected = state == BrokerLink::State::Connected;
    if (connected == !outage_)
        return;
    outage_ = !connected;
    services_.logDated(connected ? recoveryText(server_) : outageText(state, server_));
}

} // namespace kirvan
