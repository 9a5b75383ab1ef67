#include "remote/RemoteSettings.h"

#include "files/IniFile.h"

#include <QStringList>
#include <QSysInfo>

namespace kirvan {

bool parseServer(const QString& server, bool tls, QString& host, int& port)
{
    const QString text = server.trimmed();
    const qsizetype closing = text.startsWith(QLatin1Char('[')) ? text.indexOf(QLatin1Char(']')) : -1;
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    // An IPv6 address without brackets has colons of its own and no port.
    const bool hasPort = closing >= 0 ? colon > closing : colon >= 0 && text.indexOf(QLatin1Char(':')) == colon;
    host = hasPort ? text.left(colon) : text;
    if (closing >= 0)
        host = host.mid(1, closing - 1);
    port = tls ? 8883 : 1883;
    if (!hasPort)
        return !host.isEmpty();
    bool ok = false;
    port = text.mid(colon + 1).toInt(&ok);
    return ok && port >= 1 && port <= 65535 && !host.isEmpty();
}

std::optional<QString> prefixProblem(const QString& prefix)
{
    if (prefix.contains(u'+') || prefix.contains(u'#'))
        return QStringLiteral("в нём знак подстановки \"+\" или \"#\"");
    if (prefix.isEmpty() || prefix.split(u'/').contains(QString()))
        return QStringLiteral("в нём пустой уровень");
    if (prefix.startsWith(u'$'))
        return QStringLiteral("он начинается с \"$\"");
    if (prefix.contains(QChar(0)))
        return QStringLiteral("в нём нулевой символ");
    return std::nullopt;
}

QString defaultPrefix(QString hostName)
{
    for (QChar& c : hostName)
        if (c == u'/' || c == u'+' || c == u'#' || c.isNull())
            c = u'_';
    return QStringLiteral("kirvan/") + (hostName.isEmpty() ? QStringLiteral("_") : hostName);
}

RemoteSettings readRemoteSettings(IniFile& ini)
{
    RemoteSettings remote;
    const auto read = [&](QStringView key) { return ini.readString(settings::sectionRemote, key, QString()).trimmed(); };
    remote.server = read(settings::keyRemoteServer);
    remote.user = read(settings::keyRemoteUser);
    remote.password = ini.readString(settings::sectionRemote, settings::keyRemotePassword, QString());
    remote.tls = read(settings::keyRemoteTls) == QLatin1String("1");
    remote.ca = read(settings::keyRemoteCa);
    remote.prefix = read(settings::keyRemotePrefix);
    while (remote.prefix.endsWith(QLatin1Char('/')))
        remote.prefix.chop(1);
    if (remote.prefix.isEmpty())
        remote.prefix = defaultPrefix(QSysInfo::machineHostName());
    if (!remote.server.isEmpty() && !parseServer(remote.server, remote.tls, remote.host, remote.port))
        remote.host.clear();
    return remote;
}

} // namespace kirvan
