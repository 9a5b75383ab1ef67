#include "tools/kirvan-man-page/ManPage.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

// A help text in the programs' form, with the cases that are easy to get wrong: a synopsis that
// wraps and has a second form, a term with aligned gaps, a text that goes on over two lines, an item
// without text, roff's special characters, notes after the items and a summary sentence that runs
// over two lines.
const QString help = uR"(Usage: prog ini COMMAND FILE [KEY]
            [VALUE]
       prog decode --raw FILE
Does things to "files"
and folders.

More about it.
  ini get      FILE KEY [DEFAULT]  print a value
  --dir DIR    the folder; without it
               C:\Work is used
  --help | --version
.Exit status: 0 done.
)"_s;

struct Expectation {
    const char* name;
    MessageLanguage language;
    const char16_t* part;
    friend void PrintTo(const Expectation& e, std::ostream* os) { *os << e.name; }
};

class ManPageTest : public ::testing::TestWithParam<Expectation> {};

TEST_P(ManPageTest, PageHolds)
{
    const QString page = manPage({u"prog"_s,
                                  u"prog 1.2"_s,
                                  help,
                                  GetParam().language,
                                  {{u"DIR/prog.ini"_s, u"settings"_s}},
                                  {u"other(1)"_s, u"third(1)"_s},
                                  {u"What it is for."_s}});
    EXPECT_TRUE(page.contains(QString::fromUtf16(GetParam().part))) << page.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Parts, ManPageTest,
    ::testing::Values(
        Expectation{"Title", MessageLanguage::English, u".TH PROG 1 \"\" \"prog 1.2\" \"User Commands\"\n"},
        Expectation{"NameAndSummary", MessageLanguage::English,
                    u".SH NAME\nprog \\- Does things to \\(dqfiles\\(dq and folders\n"},
        Expectation{"WrappedSynopsis", MessageLanguage::English,
                    u".SH SYNOPSIS\n.B prog\nini COMMAND FILE [KEY] [VALUE]\n.br\n.B prog\ndecode \\-\\-raw FILE\n.br\n"},
        Expectation{"Paragraph", MessageLanguage::English, u".SH DESCRIPTION\n.PP\nMore about it.\n.PP\nWhat it is for.\n.SH OPTIONS\n"},
        Expectation{"AlignedTerm", MessageLanguage::English, u".TP\n.B ini get FILE KEY [DEFAULT]\nprint a value\n"},
        Expectation{"ContinuedText", MessageLanguage::English,
                    u".TP\n.B \\-\\-dir DIR\nthe folder; without it C:\\eWork is used\n"},
        Expectation{"ItemWithoutText", MessageLanguage::English, u".TP\n.B \\-\\-help | \\-\\-version\n.PP\n"},
        Expectation{"NoteNotARequest", MessageLanguage::English, u".PP\n\\&.Exit status: 0 done.\n"},
        Expectation{"Files", MessageLanguage::English, u".SH FILES\n.TP\n.I DIR/prog.ini\nsettings\n"},
        Expectation{"SeeAlso", MessageLanguage::English, u".SH SEE ALSO\n.BR other (1) ,\n.BR third (1)\n"},
        // Under the C locale the terminal shows ASCII only: Cyrillic must come out transliterated.
        Expectation{"CyrillicOnNarrowDevices", MessageLanguage::English, u".if '\\*[.T]'ascii' .nr kirvan-narrow 1\n"},
        Expectation{"TransliteratedLetter", MessageLanguage::English, u".char \\[u0416] Zh\n.char \\[u0436] zh\n"},
        Expectation{"RussianTitles", MessageLanguage::Russian, u"\"Пользовательские команды\"\n.SH ИМЯ\n"},
        Expectation{"RussianFiles", MessageLanguage::Russian, u".SH ФАЙЛЫ\n"},
        Expectation{"RussianSections", MessageLanguage::Russian, u".SH ОБЗОР\n"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ManPageRussianTest, RussianUsageLineIsTheSynopsis)
{
    const QString page = manPage(
        {u"prog"_s, u"prog 1.2"_s, u"Использование: prog [--dir ПАПКА]\nДелает дело.\n"_s, MessageLanguage::Russian, {}, {}, {}});
    EXPECT_TRUE(page.contains(u".SH ОБЗОР\n.B prog\n[\\-\\-dir ПАПКА]\n.br\n"_s)) << page.toStdString();
    EXPECT_TRUE(page.contains(u"prog \\- Делает дело\n"_s)) << page.toStdString();
}

} // namespace
} // namespace kirvan
