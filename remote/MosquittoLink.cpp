#include "remote/MosquittoLink.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <mosquitto.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kirvan {

namespace {

// MQTT 3.1.1 CONNACK: 4 bad user name or password, 5 not authorised.
bool refusal(int result)
{
    return result == 4 || result == 5;
}

// A failed TLS handshake is the broker's certificate refused, not a line down.
BrokerLink::State loss(int result)
{
    return result == MOSQ_ERR_TLS ? BrokerLink::State::Untrusted : BrokerLink::State::Unreachable;
}

std::int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Whether a TCP connection to the broker can be made within `limitMs`, looked at in short steps so
// a stop is not held up: libmosquitto's own connect blocks for as long as the system lets a
// connection to a host that drops packets try (minutes), and the end of the program would wait.
bool reachable(const QByteArray& host, int port, int limitMs, const std::stop_token& stop)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    if (::getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &addresses) != 0)
        return false;
    bool connected = false;
    for (const addrinfo* address = addresses; address && !connected && !stop.stop_requested();
         address = address->ai_next) {
        const int fd = ::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                address->ai_protocol);
        if (fd < 0)
            continue;
        if (::connect(fd, address->ai_addr, address->ai_addrlen) == 0) {
            connected = true;
        } else if (errno == EINPROGRESS) {
            pollfd wait{fd, POLLOUT, 0};
            for (int waited = 0; waited < limitMs && !stop.stop_requested(); waited += 100) {
                if (::poll(&wait, 1, 100) > 0) {
                    int error = 0;
                    socklen_t length = sizeof error;
                    connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
                    break;
                }
            }
        }
        ::close(fd);
    }
    ::freeaddrinfo(addresses);
    return connected;
}

} // namespace

MosquittoLink::MosquittoLink(RemoteSettings settings, const QString& clientId) : settings_(std::move(settings))
{
    static const int initialised = mosquitto_lib_init();
    (void)initialised;
    client_ = mosquitto_new(clientId.isEmpty() ? nullptr : clientId.toUtf8().constData(), clientId.isEmpty(), this);
    if (!client_)
        throw std::bad_alloc();
    mosquitto_int_option(client_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_threaded_set(client_, true);
    mosquitto_max_inflight_messages_set(client_, 100);
    mosquitto_connect_callback_set(client_, &MosquittoLink::onConnect);
    mosquitto_disconnect_callback_set(client_, &MosquittoLink::onDisconnect);
    mosquitto_publish_callback_set(client_, &MosquittoLink::onPublish);
    mosquitto_message_callback_set(client_, &MosquittoLink::onMessage);
}

MosquittoLink::~MosquittoLink()
{
    stop();
    mosquitto_destroy(client_);
}

void MosquittoLink::start(Handlers handlers, const QString& willTopic, const QByteArray& will,
                          const QStringList& subscriptions)
{
    handlers_ = std::move(handlers);
    subscriptions_ = subscriptions;
    if (!settings_.user.isEmpty())
        mosquitto_username_pw_set(client_, settings_.user.toUtf8().constData(),
                                  settings_.password.isEmpty() ? nullptr : settings_.password.toUtf8().constData());
    if (settings_.tls)
        mosquitto_tls_set(client_, settings_.ca.isEmpty() ? nullptr : QFile::encodeName(settings_.ca).constData(),
                          settings_.ca.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
    if (!willTopic.isEmpty())
        mosquitto_will_set(client_, willTopic.toUtf8().constData(), int(will.size()), will.constData(), 1, true);
    thread_ = std::jthread([this](std::stop_token stop) { run(stop); });
}

int MosquittoLink::publish(const QString& topic, const QByteArray& payload, bool retain)
{
    int id = 0;
    const int result = mosquitto_publish(client_, &id, topic.toUtf8().constData(), int(payload.size()),
                                         payload.constData(), 1, retain);
    return result == MOSQ_ERR_SUCCESS ? id : -1;
}

void MosquittoLink::stop()
{
    if (!thread_.joinable())
        return;
    stopping_ = true;
    mosquitto_disconnect(client_);
    thread_.request_stop();
    stopped_.notify_all();
    thread_.join();
}

void MosquittoLink::run(std::stop_token stop)
{
    int delayMs = FirstRetryMs;
    bool first = true;
    bool open = false;
    std::int64_t attemptStart = 0;
    while (!stop.stop_requested()) {
        if (!open) {
            const QByteArray host = settings_.host.toUtf8();
            int result = MOSQ_ERR_NO_CONN;
            if (reachable(host, settings_.port, ConnectVerdictMs, stop)) {
                result = first ? mosquitto_connect(client_, host.constData(), settings_.port, KeepAliveSeconds)
                               : mosquitto_reconnect(client_);
                first = first && result != MOSQ_ERR_SUCCESS;
            }
            if (result != MOSQ_ERR_SUCCESS) {
                if (stop.stop_requested())
                    break;
                report(loss(result));
                if (!pause(stop, delayMs))
                    break;
                continue;
            }
            open = true;
            attemptStart = nowMs();
        }
        // Each message handed over wakes the loop; the timeout only paces the keep-alive.
        const int result = mosquitto_loop(client_, 1000, 1);
        bool connected = false;
        {
            std::lock_guard lock(mutex_);
            connected = last_ == State::Connected;
        }
        if (connected)
            delayMs = FirstRetryMs;
        if (result != MOSQ_ERR_SUCCESS || (!connected && nowMs() - attemptStart > ConnectVerdictMs)) {
            if (stopping_)
                break;
            report(loss(result));
            open = false;
            if (!pause(stop, delayMs))
                break;
        }
    }
    // The clean disconnect goes out, so the broker does not publish the last will.
    for (const std::int64_t end = nowMs() + 500; open && nowMs() < end;)
        if (mosquitto_loop(client_, 50, 1) != MOSQ_ERR_SUCCESS)
            break;
}

bool MosquittoLink::pause(std::stop_token& stop, int& delayMs)
{
    std::unique_lock lock(mutex_);
    stopped_.wait_for(lock, stop, std::chrono::milliseconds(delayMs), [] { return false; });
    delayMs = std::min(delayMs * 2, LastRetryMs);
    return !stop.stop_requested();
}

void MosquittoLink::report(State state)
{
    {
        std::lock_guard lock(mutex_);
        // A refused account or certificate stays the news until a connection succeeds.
        if (state == State::Unreachable && (last_ == State::Refused || last_ == State::Untrusted))
            return;
        if (last_ == state)
            return;
        last_ = state;
    }
    if (handlers_.state)
        handlers_.state(state);
}

void MosquittoLink::onConnect(mosquitto* client, void* self, int result)
{
    auto* link = static_cast<MosquittoLink*>(self);
    if (result == 0)
        for (const QString& topic : link->subscriptions_)
            mosquitto_subscribe(client, nullptr, topic.toUtf8().constData(), 1);
    link->report(result == 0 ? State::Connected : refusal(result) ? State::Refused : State::Unreachable);
}

void MosquittoLink::onDisconnect(mosquitto*, void* self, int result)
{
    auto* link = static_cast<MosquittoLink*>(self);
    if (result != 0 && !link->stopping_)
        link->report(State::Unreachable);
}

void MosquittoLink::onPublish(mosquitto*, void* self, int id)
{
    const auto* link = static_cast<MosquittoLink*>(self);
    if (link->handlers_.acknowledged)
        link->handlers_.acknowledged(id);
}

} // namespace kirvan

namespace kirvan {

void MosquittoLink::onMessage(mosquitto*, void* self, const mosquitto_message* message)
{
    const auto* link = static_cast<MosquittoLink*>(self);
    if (link->handlers_.message)
        link->handlers_.message(QString::fromUtf8(message->topic),
                                QByteArray(static_cast<const char*>(message->payload), message->payloadlen));
}

} // namespace kirvan
