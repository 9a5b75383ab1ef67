#pragma once

#include "transmit/Dc09Message.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace kirvan {

class IniFile;

namespace settings {
inline constexpr QStringView sectionReceiver = u"ПЦН";
inline constexpr QStringView keyReceiverAddress = u"Адрес";
inline constexpr QStringView keyReceiverBackup = u"Резервный адрес";
inline constexpr QStringView keyReceiverProtocol = u"Протокол";
inline constexpr QStringView keyReceiverFormat = u"Формат";
inline constexpr QStringView keyReceiverAccount = u"Объект";
inline constexpr QStringView keyReceiverNumber = u"Приемник";
inline constexpr QStringView keyReceiverLine = u"Линия";
inline constexpr QStringView keyReceiverKey = u"Ключ";
inline constexpr QStringView keyReceiverTestSeconds = u"Проверка связи, с";
inline constexpr QStringView keyReceiverWaitSeconds = u"Ожидание ответа, с";
} // namespace settings

// Where and how the workstation transmits its alarms to the fire brigade's or the security
// company's receiving centre.
struct ReceiverSettings {
    struct Path {
        QString host;
        int port = 0;
        bool operator==(const Path&) const = default;
    };
    enum class Format : std::uint8_t { ContactId, Sia };

    bool configured = false; // the settings have the section
    std::vector<Path> paths; // the receiver, then the backup one
    bool udp = false;
    Format format = Format::ContactId;
    dc09::Address address;
    QByteArray key; // empty: not encrypted
    int testSeconds = 60;
    int waitSeconds = 20;
    // What is wrong with the section; the transmitter starts only without errors.
    QStringList errors;

    QByteArray messageId() const { return format == Format::ContactId ? "ADM-CID" : "SIA-DCS"; }
    QString pathText(std::size_t index) const;
};

ReceiverSettings readReceiverSettings(const IniFile& settings);

// Why `value`, as written under `key` of the section (empty: the key is missing), cannot be
// used, in Russian; nothing when it can. The section's reading and the settings dialog ask the
// same rules.
std::optional<QString> receiverValueProblem(QStringView key, const QString& value);

} // namespace kirvan
