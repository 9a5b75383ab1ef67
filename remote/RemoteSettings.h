#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace kirvan {

class IniFile;

namespace settings {
inline constexpr QStringView sectionRemote = u"MQTT";
inline constexpr QStringView keyRemoteServer = u"Сервер";
inline constexpr QStringView keyRemoteUser = u"Пользователь";
inline constexpr QStringView keyRemotePassword = u"Пароль";
inline constexpr QStringView keyRemoteTls = u"TLS";
inline constexpr QStringView keyRemoteCa = u"CA";
inline constexpr QStringView keyRemotePrefix = u"Префикс";
} // namespace settings

// Where the workstation publishes its journal: the broker, the account and the topic prefix.
struct RemoteSettings {
    QString server; // "host:port" as written; empty: nothing is published
    QString host;
    int port = 0;
    QString user;
    QString password;
    bool tls = false;
    QString ca; // the certificate authority file of a TLS connection
    QString prefix;

    bool enabled() const { return !host.isEmpty(); }
    QString eventTopic() const { return prefix + QStringLiteral("/event"); }
    QString statusTopic() const { return prefix + QStringLiteral("/status"); }
    QString stateTopic(const QString& address) const { return prefix + QStringLiteral("/state/") + address; }
};

// "host:port", "host" (the port MQTT uses by default, 8883 with TLS), "[::1]:1883". False when
// the port is no number from 1 to 65535.
bool parseServer(const QString& server, bool tls, QString& host, int& port);

// Why the prefix cannot begin the topics the workstation publishes (a wildcard "+" or "#", an
// empty level, a "$" first, a NUL), or nothing when it can: a broker refuses such a topic, and
// nothing would be published at all.
std::optional<QString> prefixProblem(const QString& prefix);

// "kirvan/<host name>", the host name's characters that cannot stand in a topic level replaced by "_".
QString defaultPrefix(QString hostName);

// The "MQTT" section of the settings file; the prefix defaults to defaultPrefix.
RemoteSettings readRemoteSettings(IniFile& settings);

} // namespace kirvan
