#include "transmit/ReceiverSettings.h"

#include "files/IniFile.h"
#include "files/IniValue.h"
#include "remote/RemoteSettings.h"

#include <QRegularExpression>

namespace kirvan {

namespace {

bool isHex(const QString& text, int shortest, int longest)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]+$"));
    return text.size() >= shortest && text.size() <= longest && hex.match(text).hasMatch();
}

std::optional<QString> numberProblem(const QString& value, int largest)
{
    const auto number = inivalue::parseInteger(value);
    if (value.isEmpty() || (number && *number >= 1 && *number <= largest))
        return std::nullopt;
    return QStringLiteral("от 1 до %1").arg(largest);
}

} // namespace

std::optional<QString> receiverValueProblem(QStringView key, const QString& value)
{
    using namespace settings;
    const QString upper = value.toUpper();
    const auto hexProblem = [&](int shortest, int longest) -> std::optional<QString> {
        if (isHex(value, shortest, longest))
            return std::nullopt;
        return QStringLiteral("от %1 до %2 шестнадцатеричных цифр").arg(shortest).arg(longest);
    };
    if (key == keyReceiverAddress || (key == keyReceiverBackup && !value.isEmpty())) {
        QString host;
        int port = 0;
        // A receiver has no standard port: one must be named.
        if (!value.contains(QLatin1Char(':')) || !parseServer(value, false, host, port))
            return QStringLiteral("нужен адрес вида узел:порт");
    } else if (key == keyReceiverProtocol && !value.isEmpty() && upper != u"TCP" && upper != u"UDP") {
        return QStringLiteral("TCP или UDP");
    } else if (key == keyReceiverFormat && !value.isEmpty() && upper != u"ADM-CID" && upper != u"SIA-DCS") {
        return QStringLiteral("ADM-CID или SIA-DCS");
    } else if (key == keyReceiverAccount) {
        return hexProblem(3, 16);
    } else if ((key == keyReceiverNumber || key == keyReceiverLine) && !value.isEmpty()) {
        return hexProblem(1, 6);
    } else if (key == keyReceiverKey && !value.isEmpty() && !(isHex(value, 16, 32) && value.size() % 8 == 0)) {
        return QStringLiteral("16, 24 или 32 шестнадцатеричных символа");
    } else if (key == keyReceiverTestSeconds) {
        return numberProblem(value, 1800);
    } else if (key == keyReceiverWaitSeconds) {
        return numberProblem(value, 60);
    }
    return std::nullopt;
}

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
    // Each value as written, its problem listed.
    const auto read = [&](QStringView key) {
        const QString value = ini.readString(settings::sectionReceiver, key, QString());
        if (const auto problem = receiverValueProblem(key, value))
            receiver.errors << QStringLiteral("[%1] %2: %3").arg(settings::sectionReceiver, key, *problem);
        return value;
    };
    for (const QStringView key : {settings::keyReceiverAddress, settings::keyReceiverBackup}) {
        ReceiverSettings::Path path;
        if (const QString text = read(key); parseServer(text, false, path.host, path.port) && text.contains(u':'))
            receiver.paths.push_back(path);
    }
    receiver.udp = read(settings::keyReceiverProtocol).toUpper() == QLatin1String("UDP");
    receiver.format = read(settings::keyReceiverFormat).toUpper() == QLatin1String("SIA-DCS")
                          ? ReceiverSettings::Format::Sia
                          : ReceiverSettings::Format::ContactId;
    receiver.address.account = read(settings::keyReceiverAccount).toUpper().toLatin1();
    const auto hexOrZero = [&](QStringView key) {
        const QString value = read(key).toUpper();
        return value.isEmpty() ? QByteArray("0") : value.toLatin1();
    };
    receiver.address.receiver = hexOrZero(settings::keyReceiverNumber);
    receiver.address.line = hexOrZero(settings::keyReceiverLine);
    receiver.key = read(settings::keyReceiverKey).toLatin1();
    read(settings::keyReceiverTestSeconds);
    read(settings::keyReceiverWaitSeconds);
    receiver.testSeconds = ini.readInteger(settings::sectionReceiver, settings::keyReceiverTestSeconds, 60);
    receiver.waitSeconds = ini.readInteger(settings::sectionReceiver, settings::keyReceiverWaitSeconds, 20);
    return receiver;
}

} // namespace kirvan
