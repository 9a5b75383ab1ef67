#include "files/Cp1251.h"

#include <QSet>
#include <gtest/gtest.h>

namespace kirvan {
namespace {

TEST(Cp1251Test, EveryByteSurvivesDecodeAndEncode)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = cp1251::decode(all);
    ASSERT_EQ(text.size(), 256);
    const auto back = cp1251::encode(text);
    EXPECT_EQ(back.bytes, all);
    EXPECT_EQ(back.unmappable, 0);
}

TEST(Cp1251Test, EveryByteHasItsOwnCharacter)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = cp1251::decode(all);
    QSet<QChar> distinct(text.begin(), text.end());
    EXPECT_EQ(distinct.size(), 256);
}

struct Mapping {
    unsigned char byte;
    char16_t character;
    friend void PrintTo(const Mapping& m, std::ostream* os) { *os << "byte " << int(m.byte); }
};

class Cp1251MappingTest : public ::testing::TestWithParam<Mapping> {};

TEST_P(Cp1251MappingTest, ByteAndCharacterMapBothWays)
{
    const Mapping m = GetParam();
    const QByteArray byte(1, static_cast<char>(m.byte));
    EXPECT_EQ(cp1251::decode(byte), QString(QChar(m.character)));
    EXPECT_EQ(cp1251::encode(QString(QChar(m.character))).bytes, byte);
}

INSTANTIATE_TEST_SUITE_P(CodePage, Cp1251MappingTest,
                         ::testing::Values(Mapping{0x41, u'A'}, Mapping{0xC0, u'А'}, Mapping{0xDF, u'Я'},
                                           Mapping{0xE0, u'а'}, Mapping{0xFF, u'я'}, Mapping{0xA8, u'Ё'},
                                           Mapping{0xB8, u'ё'}, Mapping{0xB9, u'№'}, Mapping{0x88, u'€'},
                                           Mapping{0x80, u'Ђ'}, Mapping{0xA0, u'\u00A0'}, Mapping{0x98, u'\u0098'},
                                           Mapping{0xB2, u'І'}, Mapping{0xAA, u'Є'}));

TEST(Cp1251Test, LatinAndCyrillicLookAlikesStayDifferentBytes)
{
    // Latin "A01" names a system node, Cyrillic "И" a detector; neither may turn into the other.
    EXPECT_EQ(cp1251::encode(u"AА").bytes, QByteArray("\x41\xC0"));
}

TEST(Cp1251Test, CharactersTheCodePageLacksAreWrittenAsQuestionMarksAndCounted)
{
    const auto result = cp1251::encode(u"Ω-зона-\U0001F525");
    EXPECT_EQ(result.bytes, QByteArray("?-\xE7\xEE\xED\xE0-?"));
    EXPECT_EQ(result.unmappable, 2);
}

} // namespace
} // namespace kirvan
