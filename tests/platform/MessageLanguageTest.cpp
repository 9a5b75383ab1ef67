#include "platform/MessageLanguage.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace kirvan {
namespace {

struct Environment {
    const char* name;
    std::map<std::string, QString> variables;
    MessageLanguage expected;
    friend void PrintTo(const Environment& e, std::ostream* os) { *os << e.name; }
};

class MessageLanguageTest : public ::testing::TestWithParam<Environment> {};

TEST_P(MessageLanguageTest, FollowsTheLocaleAsGettextDoes)
{
    const auto& variables = GetParam().variables;
    const auto environment = [&](const char* variable) {
        const auto found = variables.find(variable);
        return found == variables.end() ? QString() : found->second;
    };
    EXPECT_EQ(messageLanguage(environment), GetParam().expected);
}

const QString ru = QStringLiteral("ru_RU.UTF-8");
const QString en = QStringLiteral("en_GB.UTF-8");

INSTANTIATE_TEST_SUITE_P(
    Environments, MessageLanguageTest,
    ::testing::Values(
        Environment{"Nothing", {}, MessageLanguage::English},
        Environment{"RussianLang", {{"LANG", ru}}, MessageLanguage::Russian},
        Environment{"MessagesOverLang", {{"LANG", ru}, {"LC_MESSAGES", en}}, MessageLanguage::English},
        Environment{"AllOverMessages", {{"LC_MESSAGES", en}, {"LC_ALL", ru}}, MessageLanguage::Russian},
        Environment{"LanguageListFirst", {{"LANG", en}, {"LANGUAGE", QStringLiteral("ru:en")}}, MessageLanguage::Russian},
        Environment{"LanguageIgnoredForC",
                    {{"LC_ALL", QStringLiteral("C.UTF-8")}, {"LANGUAGE", QStringLiteral("ru")}},
                    MessageLanguage::English},
        Environment{"LanguageIgnoredWithoutLocale", {{"LANGUAGE", QStringLiteral("ru")}}, MessageLanguage::English},
        Environment{"Ukrainian", {{"LANG", QStringLiteral("uk_UA.UTF-8")}}, MessageLanguage::English}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace kirvan
