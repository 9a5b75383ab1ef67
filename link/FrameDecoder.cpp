#include "link/FrameDecoder.h"

namespace kirvan {

namespace {

// Builds a record in place: a busy line brings thousands of frames a second, and each record is
// built without the allocations of formatted concatenation.
class RecordText {
public:
    RecordText& put(char16_t ch)
    {
        text_[length_++] = ch;
        return *this;
    }
    RecordText& put(const char* ascii)
    {
        while (*ascii)
            put(static_cast<char16_t>(*ascii++));
        return *this;
    }
    // At least `minimumDigits` decimal digits, more when the value needs them.
    RecordText& decimal(unsigned value, int minimumDigits = 1)
    {
        char16_t digits[10];
        int count = 0;
        do {
            digits[count++] = static_cast<char16_t>(u'0' + value % 10);
            value /= 10;
        } while (value > 0);
        while (count < minimumDigits)
            digits[count++] = u'0';
        while (count > 0)
            put(digits[--count]);
        return *this;
    }
    RecordText& hexDigit(unsigned value)
    {
        return put(static_cast<char16_t>(value < 10 ? u'0' + value : u'A' + (value - 10)));
    }
    QString text() const { return QString::fromUtf16(text_, length_); }

private:
    char16_t text_[32];
    qsizetype length_ = 0;
};

// Event codes of the high branch that do not depend on other fields.
const char* fixedHighCode(std::uint8_t b2)
{
    switch (b2) {
    case 0x80:
        return "00";
    case 0x82:
        return "01";
    case 0x84:
        return "02";
    case 0x94:
        return "07";
    case 0x98:
        return "10";
    case 0x9A:
        return "24";
    case 0x9B:
        return "25";
    case 0x9E:
        return "30";
    case 0x9F:
        return "31";
    case 0xA0:
        return "36";
    case 0xA1:
        return "37";
    case 0xA2:
        return "34";
    case 0xA3:
        return "35";
    case 0xA4:
        return "38";
    case 0xA5:
        return "39";
    case 0xA6:
        return "40";
    case 0xA7:
        return "41";
    case 0xB0:
        return "42";
    case 0xB1:
        return "43";
    case 0xB2:
        return "44";
    case 0xB3:
        return "45";
    case 0xB4:
        return "46";
    case 0xB5:
        return "47";
    case 0xFF:
        return "23";
    default:
        return "99";
    }
}

// A point of a device, chosen by its number: detectors, power, relay output, link.
const char* pointCode(unsigned elementNumber)
{
    if (elementNumber <= 60)
        return "08";
    switch (elementNumber) {
    case 62:
        return "32";
    case 63:
        return "26";
    case 64:
        return "09";
    case 65:
        return "33";
    default:
        return "99";
    }
}

QString decodeHigh(Frame& frame)
{
    const std::uint8_t b2 = frame[2];
    const std::uint8_t b3 = frame[3];
    const bool switchedOffReport = b2 == 0x8A && (b3 & 0x80) != 0;
    const unsigned group = switchedOffReport ? unsigned(b3 - 0x80) >> 4 : unsigned(b3) >> 4;
    if (frame[4] & 0x80)
        frame[4] = static_cast<std::uint8_t>(frame[4] & 0x3F);
    const std::uint8_t b4 = frame[4];
    const unsigned element = (b4 & 0x7Fu) + 1;

    RecordText record;
    record.decimal(frame[1], 2).put(u'/').put(u'И').hexDigit(group).decimal((b3 & 0x0Fu) + 1).put(u'-');
    record.decimal(element, 2).put(u'/');
    if (b2 == 0x8A) {
        const bool wholeLine = b4 == 0x3F;
        record.put(switchedOffReport ? (wholeLine ? "06" : "05") : (wholeLine ? "04" : "03"));
    } else if (b2 == 0x96) {
        record.put(pointCode(element));
    } else {
        record.put(fixedHighCode(b2));
    }
    return record.text();
}

const char* lowCode(std::uint8_t b2, std::uint8_t b4, bool relayUnit)
{
    switch (b2) {
    case 0x20:
        return "01";
    case 0x21:
        return "00";
    case 0x23:
        if (b4 <= 0x3B)
            return relayUnit ? "26" : "08";
        if (b4 == 0x3C)
            return "09";
        if (b4 == 0x3E)
            return "26";
        if (b4 >= 0x42 && b4 <= 0x46)
            return "32";
        if (b4 >= 0x4E && b4 <= 0x53)
            return "50";
        if (b4 >= 0x54 && b4 <= 0x58)
            return "26";
        return "99";
    case 0x24:
        return "51";
    case 0x25:
        if (b4 < 0x3C)
            return "07";
        if (b4 == 0x47)
            return "48";
        if (b4 == 0x48)
            return "49";
        return "99";
    case 0x26:
        return "24";
    case 0x27:
        return "25";
    case 0x28:
        return "03";
    case 0x29:
        return "05";
    case 0x2A:
        return "02";
    default:
        return "99";
    }
}

QString decodeLow(const Frame& frame)
{
    const std::uint8_t b3 = frame[3];
    const std::uint8_t b4 = frame[4];
    const unsigned kind = b3 & 0xF8u;
    const unsigned unit = (b3 & 7u) + 1;
    RecordText record;
    record.decimal(frame[1], 2).put(u'/');
    if (kind < 0x48) {
        record.put(u'И').decimal(b3 >> 3u).decimal(unit).put(u'-').decimal(b4 + 1u, 2).put(u'/');
    } else if (kind == 0x48 && b4 < 8) {
        record.put(u'B').decimal(unit).decimal(b4 + 1u).put("/01/");
    } else if (kind == 0x48) {
        record.put(u'B').decimal(unit).put("1/").decimal(b4 + 1u, 2).put(u'/');
    } else if (kind == 0x50) {
        record.put(u'Т').decimal(unit, 2).put(u'/').decimal(b4 + 1u, 2).put(u'/');
    } else {
        return record.put("Xyy/yy/99").text();
    }
    return record.put(lowCode(frame[2], b4, kind == 0x48)).text();
}

} // namespace

QString decodeFrame(Frame& frame)
{
    return frame[2] & 0x80 ? decodeHigh(frame) : decodeLow(frame);
}

} // namespace kirvan
