#include "tests/support/IniTestSupport.h"
#include "transmit/ReceiverSettings.h"

namespace kirvan {
namespace {

class ReceiverSettingsTest : public testing::IniFileTest {};

TEST_F(ReceiverSettingsTest, ReadsTheSectionAndNamesWhatIsWrong)
{
    // The section's text, then what is wrong with it (the keys named), or the paths read.
    const std::pair<const char16_t*, QStringList> cases[] = {
        {u"[MQTT]\n", {u"-"_qs}},
        {u"[ПЦН]\nАдрес=pult:5000\nОбъект=1234\n", {u"pult:5000"_qs}},
        {u"[ПЦН]\nАдрес=pult:5000\nРезервный адрес=[::1]:5001\nОбъект=1234\nКлюч=0123456789ABCDEF01234567\n",
         {u"pult:5000"_qs, u"[::1]:5001"_qs}},
        {u"[ПЦН]\nАдрес=pult\nОбъект=12\nПротокол=SCTP\nФормат=XML\nКлюч=0123\nЛиния=G\nПроверка связи, с=0\n",
         {u"Адрес"_qs, u"Протокол"_qs, u"Формат"_qs, u"Объект"_qs, u"Линия"_qs, u"Ключ"_qs, u"Проверка связи, с"_qs}},
    };
    for (const auto& [text, expected] : cases) {
        writeRaw(QString::fromUtf16(text));
        const ReceiverSettings settings = readReceiverSettings(file);
        QStringList seen;
        if (!settings.configured)
            seen << u"-"_qs;
        for (std::size_t i = 0; settings.errors.isEmpty() && i < settings.paths.size(); ++i)
            seen << settings.pathText(i);
        for (const QString& error : settings.errors)
            seen << error.section(u"] "_qs, 1).section(u':', 0, 0);
        EXPECT_EQ(seen, expected) << QString::fromUtf16(text).toStdString();
    }
}

} // namespace
} // namespace kirvan
