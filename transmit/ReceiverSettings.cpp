#include "transmit/ReceiverSettings.h"

#include "files/IniFile.h"
#include "remote/RemoteSettings.h"

#include <QRegularExpression>

namespace kirvan {

namespace {

bool isHex(const QString& text, int shortest, int longest)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]+$"));
    return text.size() >= shortest && text.size() <= longest && hex.match(text).hasMatch();
}

} // namespace

QString ReceiverSettings::pathText(std::size_t index) const
{
    if (index >= paths.size())
        return {};
    const Path& path = paths[index];
    return (path.host.contains(QLatin1Char(':')) ? QLatin1Char('[') + path.host + QLatin1Char(']') : path.host)
           + QLatin1Char(':') + QString::number(path.port);
}

ReceiverSettings readReceiverSettings(const IniFile& ini)
{
    ReceiverSettings receiver;
    receiver.configured = ini.sectionExists(settings::sectionReceiver);
    if (!receiver.configured)
        return receiver;
    const auto read = [&](QStringView key, const QString& fallback = {}) {
        return ini.readString(settings::sectionReceiver, key, fallback).trimmed();
    };
    const auto error = [&](QStringView key, const QString& why) {
        receiver.errors << QStringLiteral("[%1] %2: %3").arg(settings::sectionReceiver, key, why);
    };
    for (const QStringView key : {settings::keyReceiverAddress, settings::keyReceiverBackup}) {
        const QString text = read(key);
        ReceiverSettings::Path path;
        if (text.isEmpty() && key == settings::keyReceiverBackup)
            continue;
        // A receiver has no standard port: one must be named.
        if (!text.contains(QLatin1Char(':')) || !parseServer(text, false, path.host, path.port))
            error(key, QStringLiteral("нужен адрес вида узел:порт"));
        else
            receiver.paths.push_back(path);
    }
    const QString protocol = read(settings::keyReceiverProtocol, QStringLiteral("TCP")).toUpper();
    receiver.udp = protocol == QLatin1String("UDP");
    if (!receiver.udp && protocol != QLatin1String("TCP"))
        error(settings::keyReceiverProtocol, QStringLiteral("TCP или UDP"));
    const QString format = read(settings::keyReceiverFormat, QStringLiteral("ADM-CID")).toUpper();
    receiver.format = format == QLatin1String("SIA-DCS") ? ReceiverSettings::Format::Sia
                                                         : ReceiverSettings::Format::ContactId;
    if (format != QLatin1String("SIA-DCS") && format != QLatin1String("ADM-CID"))
        error(settings::keyReceiverFormat, QStringLiteral("ADM-CID или SIA-DCS"));
    const QString account = read(settings::keyReceiverAccount).toUpper();
    if (!isHex(account, 3, 16))
        error(settings::keyReceiverAccount, QStringLiteral("от 3 до 16 шестнадцатеричных цифр"));
    receiver.address.account = account.toLatin1();
    const QString number = read(settings::keyReceiverNumber, QStringLiteral("0")).toUpper();
    const QString line = read(settings::keyReceiverLine, QStringLiteral("0")).toUpper();
    if (!isHex(number, 1, 6))
        error(settings::keyReceiverNumber, QStringLiteral("от 1 до 6 шестнадцатеричных цифр"));
    if (!isHex(line, 1, 6))
        error(settings::keyReceiverLine, QStringLiteral("от 1 до 6 шестнадцатеричных цифр"));
    receiver.address.receiver = number.toLatin1();
    receiver.address.line = line.toLatin1();
    const QString key = ini.readString(settings::sectionReceiver, settings::keyReceiverKey, QString());
    if (!key.isEmpty() && !(isHex(key, 16, 32) && key.size() % 8 == 0))
        error(settings::keyReceiverKey, QStringLiteral("16, 24 или 32 шестнадцатеричных символа"));
    receiver.key = key.toLatin1();
    receiver.testSeconds = ini.readInteger(settings::sectionReceiver, settings::keyReceiverTestSeconds, 60);
    if (receiver.testSeconds < 1 || receiver.testSeconds > 1800)
        error(settings::keyReceiverTestSeconds, QStringLiteral("от 1 до 1800"));
    receiver.waitSeconds = ini.readInteger(settings::sectionReceiver, settings::keyReceiverWaitSeconds, 20);
    if (receiver.waitSeconds < 1 || receiver.waitSeconds > 60)
        error(settings::keyReceiverWaitSeconds, QStringLiteral("от 1 до 60"));
    return receiver;
}

} // namespace kirvan
