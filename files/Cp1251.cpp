#include "files/Cp1251.h"

#include <array>
#include <unordered_map>

namespace kirvan::cp1251 {

namespace {

// Characters of the bytes 0x80 to 0xFF; 0x98 has none and keeps U+0098.
constexpr std::array<char16_t, 128> upperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // 0xC0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // 0xC8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // 0xD0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // 0xD8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // 0xE8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // 0xF8
};

// Most of the characters above ASCII in the workstation's texts are Cyrillic letters: those go
// through a flat table, the few others through a map.
constexpr char16_t cyrillicFirst = 0x0400;
constexpr char16_t cyrillicEnd = 0x0460;

struct ReverseTable {
    std::array<char, cyrillicEnd - cyrillicFirst> cyrillic{};
    std::unordered_map<char16_t, char> others;
};

const ReverseTable& reverseTable()
{
    static const auto table = [] {
        ReverseTable reverse;
        for (std::size_t i = 0; i < upperHalf.size(); ++i) {
            const char16_t code = upperHalf[i];
            const auto byte = static_cast<char>(0x80 + i);
            if (code >= cyrillicFirst && code < cyrillicEnd)
                reverse.cyrillic[code - cyrillicFirst] = byte;
            else
                reverse.others.emplace(code, byte);
        }
        return reverse;
    }();
    return table;
}

// The byte of a character above ASCII, or 0 when the code page lacks it (no such character maps
// to 0).
char upperByte(const ReverseTable& reverse, char16_t code)
{
    if (code >= cyrillicFirst && code < cyrillicEnd)
        return reverse.cyrillic[code - cyrillicFirst];
    const auto found = reverse.others.find(code);
    return found != reverse.others.end() ? found->second : '\0';
}

} // namespace

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = QChar(value < 0x80 ? static_cast<char16_t>(value) : upperHalf[value - 0x80u]);
    }
    return text;
}

// Written into room for the text's length and cut to what was written: a character outside the
// basic plane takes two units and gives one byte.
qsizetype append(QByteArray& bytes, QStringView text)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + text.size());
    char* const begin = bytes.data() + start;
    char* out = begin;
    qsizetype unmappable = 0;
    const ReverseTable& reverse = reverseTable();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t code = text[i].unicode();
        if (code < 0x80) {
            *out++ = static_cast<char>(code);
            continue;
        }
        if (const char byte = upperByte(reverse, code); byte != '\0') {
            *out++ = byte;
            continue;
        }
        // A character outside the basic plane is one character, though two UTF-16 units.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        *out++ = '?';
        ++unmappable;
    }
    bytes.resize(start + (out - begin));
    return unmappable;
}

Encoded encode(QStringView text)
{
    Encoded result;
    result.unmappable = append(result.bytes, text);
    return result;
}

} // namespace kirvan::cp1251
