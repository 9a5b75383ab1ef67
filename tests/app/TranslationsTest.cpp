#include "app/Translations.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace kirvan {
namespace {

TEST(TranslationsTest, StandardButtonsAndErrorReasonsOfTheToolkitAreRussian)
{
    ASSERT_TRUE(installRussianTranslations(*QCoreApplication::instance()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
    EXPECT_EQ(QCoreApplication::translate("QIODevice", "Permission denied"), QStringLiteral("Доступ запрещён"));
}

} // namespace
} // namespace kirvan
