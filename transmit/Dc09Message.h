#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <cstdint>
#include <optional>

namespace kirvan {

class Aes;

// The SIA DC-09 message of an alarm transmission:
//   LF CRC 0LLL "ID" seq R<receiver> L<line> #<account> [<data>] _HH:MM:SS,MM-DD-YYYY CR
// CRC and length cover the bytes from the ID's opening quote to the timestamp's end.
namespace dc09 {

// CRC-16 with the reflected polynomial 0xA001 and the initial value 0.
std::uint16_t crc16(QByteArrayView bytes);

struct Address {
    QByteArray receiver = "0"; // hexadecimal, 1 to 6 digits
    QByteArray line = "0";
    QByteArray account; // hexadecimal, 3 to 16 digits
};

// "ADM-CID", "SIA-DCS" or "NULL"; the data without its brackets ("#1234|1110 02 005"); the
// sequence number 1 to 9999. With a key the data after "#account" and the timestamp are
// encrypted and the ID gets its "*".
QByteArray message(QByteArrayView id, int sequence, const Address& address, QByteArrayView data, const QDateTime& utc,
                   const Aes* key);

// "_HH:MM:SS,MM-DD-YYYY" of a moment in UTC.
QByteArray timestamp(const QDateTime& utc);

// What the receiver answered.
struct Answer {
    enum class Kind : std::uint8_t { Ack, Nak, Duh };
    Kind kind = Kind::Duh;
    int sequence = 0;
    std::optional<QDateTime> receiverTime; // a NAK's timestamp, in UTC
};

// Reads one answer (framing LF … CR optional). Nothing when the bytes are no answer, their CRC is
// wrong, or an encrypted answer cannot be read with `key`; fields a receiver adds beyond these
// are tolerated.
std::optional<Answer> readAnswer(QByteArrayView bytes, const Aes* key);

} // namespace dc09

} // namespace kirvan
