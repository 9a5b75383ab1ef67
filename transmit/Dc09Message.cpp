#include "transmit/Dc09Message.h"

#include "transmit/Aes.h"

#include <algorithm>

namespace kirvan::dc09 {

namespace {

QByteArray hex4(unsigned value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

QByteArray framed(const QByteArray& body)
{
    return '\n' + hex4(crc16(body)) + '0' + QByteArray::number(body.size(), 16).toUpper().rightJustified(3, '0') + body
           + '\r';
}

// "HH:MM:SS,MM-DD-YYYY" after its underscore, in UTC.
std::optional<QDateTime> readTimestamp(QByteArrayView text)
{
    const qsizetype at = text.lastIndexOf('_');
    if (at < 0)
        return std::nullopt;
    const QDateTime moment = QDateTime::fromString(
        QString::fromLatin1(text.sliced(at + 1).first(std::min<qsizetype>(19, text.size() - at - 1))),
        QStringLiteral("HH:mm:ss,MM-dd-yyyy"));
    if (!moment.isValid())
        return std::nullopt;
    return QDateTime(moment.date(), moment.time(), Qt::UTC);
}

} // namespace

std::uint16_t crc16(QByteArrayView bytes)
{
    std::uint16_t crc = 0;
    for (const char byte : bytes) {
        crc ^= std::uint8_t(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? std::uint16_t((crc >> 1) ^ 0xA001) : std::uint16_t(crc >> 1);
    }
    return crc;
}

QByteArray timestamp(const QDateTime& utc)
{
    return '_' + utc.toUTC().toString(QStringLiteral("HH:mm:ss,MM-dd-yyyy")).toLatin1();
}

QByteArray message(QByteArrayView id, int sequence, const Address& address, QByteArrayView data, const QDateTime& utc,
                   const Aes* key)
{
    QByteArray body = '"' + QByteArray(key ? "*" : "") + id.toByteArray() + '"'
                      + QByteArray::number(sequence).rightJustified(4, '0') + 'R' + address.receiver + 'L'
                      + address.line + '#' + address.account + '[';
    if (!key)
        return framed(body + data.toByteArray() + ']' + timestamp(utc));
    // The account stays in the clear header; what follows it is padded at its start to whole blocks.
    const qsizetype bar = data.indexOf('|');
    QByteArray plain = data.sliced(bar < 0 ? data.size() : bar).toByteArray() + ']' + timestamp(utc);
    if (bar < 0)
        plain.prepend('|');
    plain.prepend(QByteArray((Aes::BlockSize - plain.size() % Aes::BlockSize) % Aes::BlockSize, '0'));
    return framed(body + key->encryptCbc(plain).toHex().toUpper());
}

std::optional<Answer> readAnswer(QByteArrayView bytes, const Aes* key)
{
    QByteArrayView text = bytes;
    while (!text.isEmpty() && (text.front() == '\n' || text.front() == '\r'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == '\r' || text.back() == '\n' || text.back() == '\0'))
        text.chop(1);
    const qsizetype quote = text.indexOf('"');
    if (quote != 8)
        return std::nullopt;
    bool ok = false;
    const unsigned crc = text.first(4).toUInt(&ok, 16);
    if (!ok || crc != crc16(text.sliced(quote)))
        return std::nullopt;
    const QByteArrayView body = text.sliced(quote + 1);
    const qsizetype closing = body.indexOf('"');
    if (closing < 0)
        return std::nullopt;
    QByteArrayView id = body.first(closing);
    const bool encrypted = id.startsWith('*');
    if (encrypted)
        id = id.sliced(1);
    Answer answer;
    if (id == "ACK")
        answer.kind = Answer::Kind::Ack;
    else if (id == "NAK")
        answer.kind = Answer::Kind::Nak;
    else if (id == "DUH")
        answer.kind = Answer::Kind::Duh;
    else
        return std::nullopt;
    answer.sequence = body.sliced(closing + 1).first(std::min<qsizetype>(4, body.size() - closing - 1)).toInt(&ok);
    if (!ok)
        answer.sequence = 0;
    QByteArray clear = body.toByteArray();
    const qsizetype bracket = body.indexOf('[');
    if (encrypted && bracket >= 0) {
        if (!key || !key->valid())
            return std::nullopt;
        const QByteArray cipher = QByteArray::fromHex(body.sliced(bracket + 1).toByteArray());
        if (cipher.isEmpty() || cipher.size() % Aes::BlockSize != 0)
            return std::nullopt;
        clear = key->decryptCbc(cipher);
        // A wrong key gives bytes, not the text of an answer.
        const bool readable = std::all_of(clear.cbegin(), clear.cend(), [](char c) { return c >= ' ' && c <= '~'; });
        if (!readable || !clear.contains(']'))
            return std::nullopt;
    }
    if (answer.kind == Answer::Kind::Nak)
        answer.receiverTime = readTimestamp(clear);
    return answer;
}

} // namespace kirvan::dc09
