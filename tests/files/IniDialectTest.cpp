#include "files/IniValue.h"
#include "tests/support/IniTestSupport.h"

#include <climits>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace kirvan::testing {
namespace {

// ---- reading texts: names, blanks, quotes, defaults ----

struct TextRead {
    const char16_t* section;
    const char16_t* key;
    const char16_t* expected; // null: the default
};

class TextReadTest : public IniFileTest, public ::testing::WithParamInterface<TextRead> {};

constexpr const char16_t* sampleFile = u"; written by the system's configurator\r\n"
                                       u"orphan=before any section\r\n"
                                       u"[Настройки]\r\n"
                                       u"COM-порт=2\r\n"
                                       u"  Пробел \t=  значение с пробелами \t\r\n"
                                       u"Кавычки=\"  в кавычках  \"\r\n"
                                       u"Одинарные='одинарные'\r\n"
                                       u"Разные=\"x'\r\n"
                                       u"Одна=\"\r\n"
                                       u"Пусто=\r\n"
                                       u"Пробелы=   \r\n"
                                       u"Равно=a=b\r\n"
                                       u"Повтор=первый\r\n"
                                       u"повтор=второй\r\n"
                                       u"[и01-05]\n"
                                       u"ЗОНА=Цех 1\n"
                                       u"[ Раздел\t]\r"
                                       u"Ключ=1\r"
                                       u"[Двойной]\r\n"
                                       u"А=из первого\r\n"
                                       u"[ДВОЙНОЙ]\r\n"
                                       u"А=из второго\r\n"
                                       u"Б=только во втором\r\n"
                                       u"[Пустой]\r\n"
                                       u"; только комментарий\r\n";

TEST_P(TextReadTest, readsTheValueOrTheDefault)
{
    writeRaw(QString::fromUtf16(sampleFile));
    const TextRead& read = GetParam();
    const QString defaultValue = QStringLiteral("по умолчанию");
    const QString expected = read.expected ? QString::fromUtf16(read.expected) : defaultValue;
    EXPECT_EQ(file.readString(QString::fromUtf16(read.section), QString::fromUtf16(read.key), defaultValue), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Dialect, TextReadTest,
    ::testing::Values(
        TextRead{u"Настройки", u"COM-порт", u"2"},
        TextRead{u"НАСТРОЙКИ", u"com-ПОРТ", u"2"}, // letter case, Latin and Cyrillic
        TextRead{u"  Настройки\t", u"\tCOM-порт ", u"2"}, // blanks around the names
        TextRead{u"И01-05 ", u"зона", u"Цех 1"}, // lower-case "и" header, trailing blank
        TextRead{u"Раздел", u"ключ", u"1"}, // blanks inside the brackets, CR only
        TextRead{u"Настройки", u"Пробел", u"значение с пробелами"}, TextRead{u"Настройки", u"Кавычки", u"  в кавычках  "},
        TextRead{u"Настройки", u"Одинарные", u"одинарные"}, TextRead{u"Настройки", u"Разные", u"\"x'"}, // not one pair
        TextRead{u"Настройки", u"Одна", u"\""}, TextRead{u"Настройки", u"Пусто", u""}, // empty value is not the default
        TextRead{u"Настройки", u"Пробелы", u""}, TextRead{u"Настройки", u"Равно", u"a=b"},
        TextRead{u"Настройки", u"Повтор", u"первый"}, // the first line of a key
        TextRead{u"Двойной", u"А", u"из первого"}, // the first section of a name
        TextRead{u"Двойной", u"Б", nullptr}, TextRead{u"Настройки", u"orphan", nullptr}, // lines before any section
        TextRead{u"Настройки", u"Нет такого", nullptr}, TextRead{u"Нет такого", u"COM-порт", nullptr},
        TextRead{u"Пустой", u"; только комментарий", nullptr}));

TEST_F(IniFileTest, missingFileReadsAsDefaults)
{
    EXPECT_EQ(file.readString(u"Настройки", u"COM-порт", QStringLiteral("1")), QStringLiteral("1"));
    EXPECT_EQ(file.readInteger(u"Настройки", u"COM-порт", 1), 1);
    EXPECT_EQ(file.readFloat(u"И01-05", u"X", -1), -1);
    EXPECT_FALSE(file.sectionExists(u"Настройки"));
}

TEST_F(IniFileTest, textReadIsCutAt2047Characters)
{
    QString longValue;
    for (int i = 0; i < 3000; ++i)
        longValue += QChar(u'А' + i % 32);
    writeRaw(QStringLiteral("[Р]\r\nК=") + longValue + QStringLiteral("\r\n"));
    EXPECT_EQ(file.readString(u"Р", u"К", {}), longValue.left(2047));
}

// ---- numbers ----

struct IntegerRead {
    const char16_t* value;
    int expected; // -999: the default
};

class IntegerReadTest : public ::testing::TestWithParam<IntegerRead> {};

TEST_P(IntegerReadTest, parsesDecimalAndHexOrGivesNothing)
{
    const auto parsed = inivalue::parseInteger(QString::fromUtf16(GetParam().value));
    EXPECT_EQ(parsed.value_or(-999), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Dialect, IntegerReadTest,
                         ::testing::Values(IntegerRead{u"42", 42}, IntegerRead{u"-17", -17}, IntegerRead{u"+5", 5},
                                           IntegerRead{u"007", 7}, IntegerRead{u"2147483647", INT_MAX},
                                           IntegerRead{u"-2147483648", INT_MIN}, IntegerRead{u"2147483648", -999},
                                           IntegerRead{u"-2147483649", -999},
                                           IntegerRead{u"99999999999999999999", -999}, IntegerRead{u"0x1F", 31},
                                           IntegerRead{u"0XfF", 255}, IntegerRead{u"0xFFFFFFFF", -1},
                                           IntegerRead{u"0x80000000", INT_MIN}, IntegerRead{u"0x0000000010", 16},
                                           IntegerRead{u"0x100000000", -999}, IntegerRead{u"0x", -999},
                                           IntegerRead{u"0xG", -999}, IntegerRead{u"", -999}, IntegerRead{u"-", -999},
                                           IntegerRead{u"12abc", -999}, IntegerRead{u"1 2", -999},
                                           IntegerRead{u"3,5", -999}, IntegerRead{u"１２", -999}));

struct RealRead {
    const char16_t* value;
    double expected; // -1: the default
};

class RealReadTest : public ::testing::TestWithParam<RealRead> {};

TEST_P(RealReadTest, acceptsCommaAndPointOrGivesNothing)
{
    const auto parsed = inivalue::parseReal(QString::fromUtf16(GetParam().value));
    EXPECT_DOUBLE_EQ(parsed.value_or(-1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Dialect, RealReadTest,
                         ::testing::Values(RealRead{u"3,5", 3.5}, RealRead{u"3.5", 3.5}, RealRead{u"2", 2},
                                           RealRead{u"-0,25", -0.25}, RealRead{u"+1.5", 1.5}, RealRead{u",5", 0.5},
                                           RealRead{u"5.", 5}, RealRead{u"1E20", 1e20}, RealRead{u"1e-5", 1e-5},
                                           RealRead{u"1,5E-3", 1.5e-3}, RealRead{u"2.5e+2", 250}, RealRead{u"", -1},
                                           RealRead{u"abc", -1}, RealRead{u"3,5,1", -1}, RealRead{u"3.5,1", -1},
                                           RealRead{u"3,5x", -1}, RealRead{u"1E", -1}, RealRead{u"E5", -1},
                                           RealRead{u",", -1}, RealRead{u"-", -1}, RealRead{u"1E999", -1},
                                           RealRead{u"nan", -1}, RealRead{u"inf", -1}, RealRead{u"0x10", -1},
                                           RealRead{u"1 000", -1}));

TEST_F(IniFileTest, numbersAreReadFromTheFileWithDefaultsForWhatIsNoNumber)
{
    writeRaw(QStringLiteral("[И01-05]\r\nX=3,5\r\nY= 2 \r\nZ=\"0x10\"\r\nW=не число\r\nV=\r\n"));
    EXPECT_DOUBLE_EQ(file.readFloat(u"И01-05", u"X", -1), 3.5);
    EXPECT_DOUBLE_EQ(file.readFloat(u"И01-05", u"Y", -1), 2);
    EXPECT_EQ(file.readInteger(u"И01-05", u"Y", 0), 2);
    EXPECT_EQ(file.readInteger(u"И01-05", u"Z", 0), 16);
    EXPECT_DOUBLE_EQ(file.readFloat(u"И01-05", u"W", -1), -1);
    EXPECT_EQ(file.readInteger(u"И01-05", u"W", 7), 7);
    EXPECT_DOUBLE_EQ(file.readFloat(u"И01-05", u"V", -1), -1);
    EXPECT_EQ(file.readInteger(u"И01-05", u"V", 7), 7);
}

struct RealWrite {
    double value;
    const char16_t* comma;
};

class RealWriteTest : public ::testing::TestWithParam<RealWrite> {};

TEST_P(RealWriteTest, writesTheGeneralFormWithTheLocaleSeparator)
{
    const QString comma = QString::fromUtf16(GetParam().comma);
    EXPECT_EQ(inivalue::formatReal(GetParam().value, u','), comma);
    QString point = comma;
    point.replace(u',', u'.');
    EXPECT_EQ(inivalue::formatReal(GetParam().value, u'.'), point);
    // What is written reads back as the same number, with either separator; what is no
    // number reads back as the default.
    if (comma != QLatin1String("NAN") && !comma.endsWith(QLatin1String("INF"))) {
        const auto read = inivalue::parseReal(comma);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read, inivalue::parseReal(point));
        EXPECT_NEAR(*read, GetParam().value, std::abs(GetParam().value) * 1e-14);
    } else {
        EXPECT_FALSE(inivalue::parseReal(comma).has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dialect, RealWriteTest,
    ::testing::Values(RealWrite{0.1, u"0,1"}, RealWrite{3.5, u"3,5"}, RealWrite{2, u"2"}, RealWrite{-2.5, u"-2,5"},
                      RealWrite{0, u"0"}, RealWrite{-0.0, u"0"}, RealWrite{1e20, u"1E20"}, RealWrite{1e-5, u"1E-5"},
                      RealWrite{1.5e-7, u"1,5E-7"}, RealWrite{-1.25e30, u"-1,25E30"}, RealWrite{0.0001, u"0,0001"},
                      RealWrite{0.00012345, u"0,00012345"}, RealWrite{1e14, u"100000000000000"}, RealWrite{1e15, u"1E15"},
                      RealWrite{123456.789, u"123456,789"}, RealWrite{1.0 / 3, u"0,333333333333333"},
                      RealWrite{2.0 / 3, u"0,666666666666667"}, RealWrite{0.1 + 0.2, u"0,3"},
                      RealWrite{9.9999999999999999e14, u"1E15"}, RealWrite{123456789012345678.0, u"1,23456789012346E17"},
                      RealWrite{5e-324, u"4,94065645841247E-324"},
                      RealWrite{std::numeric_limits<double>::quiet_NaN(), u"NAN"},
                      RealWrite{std::numeric_limits<double>::infinity(), u"INF"},
                      RealWrite{-std::numeric_limits<double>::infinity(), u"-INF"}));

TEST_F(IniFileTest, realWriteUsesTheStoresSeparator)
{
    file.writeFloat(u"И01-05", u"X", 3.5);
    EXPECT_EQ(file.readString(u"И01-05", u"X", {}), QStringLiteral("3,5"));

    FixedLocale english{u'.'};
    IniStore englishStore{english};
    IniFile englishFile{englishStore, path()};
    englishFile.writeFloat(u"И01-05", u"Y", 0.25);
    EXPECT_EQ(englishFile.readString(u"И01-05", u"Y", {}), QStringLiteral("0.25"));
    EXPECT_DOUBLE_EQ(englishFile.readFloat(u"И01-05", u"X", -1), 3.5);
    EXPECT_DOUBLE_EQ(file.readFloat(u"И01-05", u"Y", -1), 0.25);
}

// ---- writing, deleting and erasing: exact bytes ----

enum class Operation { Write, Delete, Erase };

struct Edit {
    const char* name;
    const char16_t* before; // null: no file
    Operation operation;
    const char16_t* section;
    const char16_t* key;
    const char16_t* value;
    const char16_t* after; // null: no file
};

class EditTest : public IniFileTest, public ::testing::WithParamInterface<Edit> {};

TEST_P(EditTest, changesOnlyTheLinesItMeans)
{
    const Edit& edit = GetParam();
    if (edit.before)
        writeRaw(QString::fromUtf16(edit.before));
    const QString section = QString::fromUtf16(edit.section);
    const QString key = edit.key ? QString::fromUtf16(edit.key) : QString();
    switch (edit.operation) {
    case Operation::Write:
        EXPECT_EQ(file.writeString(section, key, QString::fromUtf16(edit.value)), 0);
        break;
    case Operation::Delete:
        EXPECT_TRUE(file.deleteKey(section, key));
        break;
    case Operation::Erase:
        file.eraseSection(section);
        break;
    }
    if (edit.after)
        EXPECT_EQ(readRaw(), bytes1251(QString::fromUtf16(edit.after)));
    else
        EXPECT_FALSE(QFile::exists(path()));
}

INSTANTIATE_TEST_SUITE_P(
    Dialect, EditTest,
    ::testing::Values(
        Edit{"createsFileSectionAndKey", nullptr, Operation::Write, u"Настройки", u"COM-порт", u"1",
             u"[Настройки]\r\nCOM-порт=1\r\n"},
        Edit{"replacesInPlaceKeepingTheTextUpToTheEqualsSign", u"; c\r\n[S]\n  K \t= old  \r\nX=1", Operation::Write,
             u"s", u"k", u"new", u"; c\r\n[S]\n  K \t=new\r\nX=1"},
        Edit{"replacesOnlyTheFirstLineOfTheFirstSection", u"[S]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n", Operation::Write,
             u"S", u"K", u"9", u"[S]\r\nk=9\r\nk=2\r\n[s]\r\nk=3\r\n"},
        Edit{"addsAKeyAfterTheLastKeyOfItsSection", u"[A]\r\nk1=1\r\n; note\r\n\r\n[B]\r\nz=1\r\n", Operation::Write,
             u"A", u"k2", u"2", u"[A]\r\nk1=1\r\nk2=2\r\n; note\r\n\r\n[B]\r\nz=1\r\n"},
        Edit{"addsAKeyRightAfterAHeaderWithoutKeys", u"[A]\r\n; c\r\n[B]\r\n", Operation::Write, u"A", u"k", u"v",
             u"[A]\r\nk=v\r\n; c\r\n[B]\r\n"},
        Edit{"endsAnUnterminatedLastKeyBeforeAddingOne", u"[A]\nk=1", Operation::Write, u"A", u"j", u"2",
             u"[A]\nk=1\r\nj=2\r\n"},
        Edit{"appendsANewSectionAtTheEnd", u"junk line\r\n[A]\nk=1\n\n", Operation::Write, u"B", u"x", u"y",
             u"junk line\r\n[A]\nk=1\n\n[B]\r\nx=y\r\n"},
        Edit{"endsAnUnterminatedLastLineBeforeAppending", u"[A]\r\nk=1\r\n; end", Operation::Write, u"B", u"x", u"y",
             u"[A]\r\nk=1\r\n; end\r\n[B]\r\nx=y\r\n"},
        Edit{"writesNamesWithoutSurroundingBlanks", u"", Operation::Write, u" Новая\t", u"\tКлюч ", u" с пробелами ",
             u"[Новая]\r\nКлюч= с пробелами \r\n"},
        Edit{"turnsLineBreaksInAValueIntoBlanks", u"[A]\r\nk=1\r\n", Operation::Write, u"A", u"k", u"a\r\n[B]\nb=1\rc",
             u"[A]\r\nk=a  [B] b=1 c\r\n"},
        Edit{"writesAnEmptyValue", u"[A]\r\nk=1\r\n", Operation::Write, u"A", u"k", u"", u"[A]\r\nk=\r\n"},
        Edit{"deletesEveryLineOfTheKeyInEverySectionOfTheName",
             u"k=0\r\n[A]\r\nk=1\r\nK = 2\r\nj=3\r\n[B]\r\nk=4\r\n[a]\r\nk=5\r\n", Operation::Delete, u"a ", u"K",
             nullptr, u"k=0\r\n[A]\r\nj=3\r\n[B]\r\nk=4\r\n[a]\r\n"},
        Edit{"deleteOfAMissingKeyChangesNothing", u"[A]\nk=1\n", Operation::Delete, u"A", u"j", nullptr, u"[A]\nk=1\n"},
        Edit{"deleteOnAMissingFileCreatesNothing", nullptr, Operation::Delete, u"A", u"k", nullptr, nullptr},
        Edit{"erasesTheSectionUpToTheNextHeader", u"; top\r\n[A]\r\nk=1\r\n; c\r\n\r\n[B]\r\nb=1\r\n", Operation::Erase,
             u"A", nullptr, nullptr, u"; top\r\n[B]\r\nb=1\r\n"},
        Edit{"erasesEverySectionOfTheName", u"[A]\r\nk=1\r\n[B]\r\nb=1\r\n[ a ]\r\nk=2\r\n", Operation::Erase, u"A",
             nullptr, nullptr, u"[B]\r\nb=1\r\n"},
        Edit{"erasesSlot7ButNotSlot70", u"[МОДУЛЬ УПРАВЛЕНИЯ 70]\r\nСЦЕНАРИЙ=2\r\n[МОДУЛЬ УПРАВЛЕНИЯ 7]\r\nСЦЕНАРИЙ=1\r\n",
             Operation::Erase, u"МОДУЛЬ УПРАВЛЕНИЯ 7", nullptr, nullptr, u"[МОДУЛЬ УПРАВЛЕНИЯ 70]\r\nСЦЕНАРИЙ=2\r\n"},
        Edit{"eraseOfAMissingSectionChangesNothing", u"[A]\nk=1", Operation::Erase, u"B", nullptr, nullptr, u"[A]\nk=1"},
        Edit{"eraseOnAMissingFileCreatesNothing", nullptr, Operation::Erase, u"A", nullptr, nullptr, nullptr}),
    [](const ::testing::TestParamInfo<Edit>& edit) { return std::string(edit.param.name); });

TEST_F(IniFileTest, foreignLinesSurviveAWriteByteForByte)
{
    // Bytes as another program may leave them: LF-only and CR-only lines, TABs, comments,
    // lines that are neither key nor header, an unknown section, the unassigned byte 0x98.
    const QByteArray before = bytes1251(QStringLiteral("\xEF\xBB\xBF; comment\n"
                                                       "\tjunk without equals sign\r"
                                                       "\r\n"
                                                       "[Неизвестный]\r\n"
                                                       "=value without key\r\n"
                                                       "[open bracket only\r\n"
                                                       "[A]\r\n"
                                                       "k=1\r\n"
                                                       "bytes="))
                              + QByteArray("\x98\x88\xFF\x00\x01", 5) + QByteArray("\r\n   \r\n");
    folder.write(QStringLiteral("test.ini"), before);

    file.writeString(u"A", u"k", u"2");

    QByteArray expected = before;
    expected.replace(QByteArray("k=1"), QByteArray("k=2"));
    EXPECT_EQ(readRaw(), expected);
}

TEST_F(IniFileTest, unchangedValueWritesNothing)
{
    writeRaw(QStringLiteral("[A]\r\nk=1\r\n"));
    const ino_t before = inodeOf(path());
    file.writeString(u"A", u"k", u"1");
    file.writeInteger(u"A", u"K", 1);
    EXPECT_EQ(inodeOf(path()), before);
    file.writeString(u"A", u"k", u"2");
    EXPECT_NE(inodeOf(path()), before);
}

TEST_F(IniFileTest, charactersWithoutACodeAreWrittenAsQuestionMarksAndCounted)
{
    EXPECT_EQ(file.writeString(u"A", u"k", u"a✓b日c€"), 2);
    EXPECT_EQ(readRaw(), QByteArray("[A]\r\nk=a?b?c\x88\r\n"));
    EXPECT_EQ(file.readString(u"A", u"k", {}), QStringLiteral("a?b?c€"));
}

// ---- a section exists while it holds a key ----

TEST_F(IniFileTest, sectionExistsOnlyWhileItHoldsAKey)
{
    writeRaw(QStringLiteral("[A]\r\n; comment\r\n\r\n[B]\r\nb=\r\n"));
    EXPECT_FALSE(file.sectionExists(u"A"));
    EXPECT_TRUE(file.sectionExists(u" b "));
    EXPECT_FALSE(file.sectionExists(u"C"));

    file.writeString(u"a", u"k", u"1");
    EXPECT_TRUE(file.sectionExists(u"A"));
    EXPECT_TRUE(file.deleteKey(u"A", u"K"));
    EXPECT_FALSE(file.sectionExists(u"A"));
    EXPECT_EQ(file.readString(u"A", u"k", QStringLiteral("нет")), QStringLiteral("нет"));
}

TEST_F(IniFileTest, erasedSectionIsGoneEvenWhenItHadADuplicate)
{
    writeRaw(QStringLiteral("[МОДУЛЬ УПРАВЛЕНИЯ 7]\r\nСЦЕНАРИЙ=1\r\n"
                            "[МОДУЛЬ УПРАВЛЕНИЯ 70]\r\nСЦЕНАРИЙ=2\r\n"
                            "[модуль управления 7]\r\nСЦЕНАРИЙ=3\r\n"));
    file.eraseSection(u"МОДУЛЬ УПРАВЛЕНИЯ 7");
    EXPECT_FALSE(file.sectionExists(u"МОДУЛЬ УПРАВЛЕНИЯ 7"));
    EXPECT_EQ(file.readInteger(u"МОДУЛЬ УПРАВЛЕНИЯ 7", u"СЦЕНАРИЙ", 0), 0);
    EXPECT_TRUE(file.sectionExists(u"МОДУЛЬ УПРАВЛЕНИЯ 70"));
    EXPECT_EQ(file.readInteger(u"МОДУЛЬ УПРАВЛЕНИЯ 70", u"СЦЕНАРИЙ", 0), 2);
}

// ---- names a file could not give back ----

struct BadName {
    const char16_t* section;
    const char16_t* key;
};

class BadNameTest : public IniFileTest, public ::testing::WithParamInterface<BadName> {};

TEST_P(BadNameTest, isAProgrammingErrorAndTouchesNothing)
{
    EXPECT_THROW(file.writeString(QString::fromUtf16(GetParam().section), QString::fromUtf16(GetParam().key), u"v"),
                 std::invalid_argument);
    EXPECT_FALSE(QFile::exists(path()));
}

INSTANTIATE_TEST_SUITE_P(Dialect, BadNameTest,
                         ::testing::Values(BadName{u"", u"k"}, BadName{u" \t", u"k"}, BadName{u"a]b", u"k"},
                                           BadName{u"a\nb", u"k"}, BadName{u"a\rb", u"k"}, BadName{u"A", u""},
                                           BadName{u"A", u"  "}, BadName{u"A", u"a=b"}, BadName{u"A", u"a\r\nb"},
                                           BadName{u"A", u" ;k"}, BadName{u"A", u"[k]"}));

} // namespace
} // namespace kirvan::testing
