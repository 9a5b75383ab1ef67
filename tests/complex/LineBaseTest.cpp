#include "complex/LineBase.h"

#include "tests/support/IniTestSupport.h"

namespace kirvan::testing {
namespace {

struct LineCase {
    const char* name;
    const char16_t* panels; // the section "ПРИБОРЫ" of the system file
    int device;
    int line;
    std::optional<int> number;
};

TEST_F(IniFileTest, LineNumbersCountThePanelsBeforeTheDevice)
{
    const LineCase cases[] = {
        {"the console's first line", u"", 0, 1, 0},
        {"the console's last line", u"", 0, 8, 7},
        {"И12-07: LineBase[1] + 2", u"ППКП1=ЕСТЬ\n", 1, 2, 9},
        {"a panel of four lines before device 2", u"ППКП1=-4\nППКП2=ЕСТЬ\n", 2, 1, 12},
        {"the last line of a panel of four lines", u"ППКП1=-4\nППКП2=ЕСТЬ\n", 1, 4, 11},
        {"the eighth panel behind seven of eight lines",
         u"ППКП1=1\nППКП2=1\nППКП3=1\nППКП4=1\nППКП5=1\nППКП6=1\n"
         u"ППКП7=1\nППКП8=1\n",
         8, 8, 71},
        {"a device at the first absent panel", u"", 1, 1, std::nullopt},
        {"a device at a panel written НЕТ", u"ППКП1=ЕСТЬ\nППКП2=НЕТ\n", 2, 1, std::nullopt},
        {"a device beyond the first absent panel", u"ППКП1=ЕСТЬ\nППКП2=НЕТ\nППКП3=ЕСТЬ\n", 3, 1, std::nullopt},
        {"line 5 of a panel of four lines", u"ППКП1=-4\nППКП2=ЕСТЬ\n", 1, 5, std::nullopt},
        {"line 0", u"ППКП1=ЕСТЬ\n", 1, 0, std::nullopt},
        {"line 9", u"ППКП1=ЕСТЬ\n", 1, 9, std::nullopt},
        {"device 9", u"ППКП1=ЕСТЬ\n", 9, 1, std::nullopt},
    };
    int files = 0;
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QStringLiteral("system%1.cnf").arg(++files);
        folder.writeText(name, QStringLiteral("[ПРИБОРЫ]\n") + QString::fromUtf16(c.panels));
        EXPECT_EQ(LineBase(IniFile(store, folder.file(name))).lineNumber(c.device, c.line), c.number);
    }
}

} // namespace
} // namespace kirvan::testing
