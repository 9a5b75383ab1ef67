#include "archive/JournalIndex.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

const QStringList actions{
    u"09.12.2023 8:00:00  ВХОД ОПЕРАТОРА: Иванов, уровень 2"_s,
    u"01/И12-05/07 09.12.2023 8:01:00 ПОЖАР: СКЛАД Цех 1 Коридор"_s,
    u"09.12.2023 8:02:00  ДЕЙСТВИЕ ОПЕРАТОРА Иванов: Сброс тревоги"_s,
    u"09.12.2023 8:03:00  ДОСТУП ЗАПРЕЩЕН: Редактор планов"_s,
    u"09.12.2023 8:04:00  НЕВЕРНЫЙ ПАРОЛЬ: Петров"_s,
    u"09.12.2023 8:20:00  ВЫХОД ОПЕРАТОРА: Иванов (по времени)"_s,
    u"09.12.2023 8:21:00  ДЕЙСТВИЕ ОПЕРАТОРА: Отключить звук (тревога: A01:СКЛАД)"_s,
    u"09.12.2023 8:22:00  ДЕЙСТВИЕ ОПЕРАТОРА Иванов Петрович: Общий контроль"_s,
};

TEST(OperatorActionsFilterTest, ActionsAreAKindOfTheirOwnAndFoundByOperator)
{
    testing::TempFolder folder;
    folder.writeText(u"KirvanMonitorP.txt"_s, actions.join(u'\n') + u'\n');
    const testing::FixedLocale locale;
    const JournalIndex index = JournalIndex::build(folder.file(u"KirvanMonitorP.txt"_s), JournalDateOrder(locale));
    const auto select = [&](JournalKinds kinds, const QString& name) {
        JournalFilter filter;
        filter.kinds = kinds;
        filter.operatorName = name;
        return index.select(filter);
    };
    using Rows = std::vector<std::uint32_t>;
    EXPECT_EQ(select(kindBit(JournalKind::OperatorActions), {}), (Rows{0, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(select(AllJournalKinds, u"иванов"_s), (Rows{0, 2, 5}));
    EXPECT_EQ(select(AllJournalKinds, u"Петров"_s), (Rows{4}));
    EXPECT_EQ(select(kindBit(JournalKind::Fire), u"Иванов"_s), Rows{});
    EXPECT_EQ(journalKindName(JournalKind::OperatorActions), u"действия операторов"_s);
}

TEST(OperatorActionsFilterTest, NamesTheOperatorOfEachAction)
{
    const std::pair<QString, QString> cases[] = {
        {u"ДЕЙСТВИЕ ОПЕРАТОРА Иванов Петрович: Общий контроль"_s, u"Иванов Петрович"_s},
        {u"ДЕЙСТВИЕ ОПЕРАТОРА: Общий контроль"_s, {}},
        {u"ВХОД ОПЕРАТОРА: Иванов, уровень 3"_s, u"Иванов"_s},
        {u"ВЫХОД ОПЕРАТОРА: Иванов (по времени)"_s, u"Иванов"_s},
        {u"ВЫХОД ОПЕРАТОРА: Иванов"_s, u"Иванов"_s},
        {u"НЕВЕРНЫЙ ПАРОЛЬ: Петров"_s, u"Петров"_s},
        {u"ДОСТУП ЗАПРЕЩЕН: Выход"_s, {}},
        {u"ПОЖАР: СКЛАД Цех 1"_s, {}},
    };
    for (const auto& [text, name] : cases)
        EXPECT_EQ(journalOperator(text), name) << text.toStdString();
}

} // namespace
} // namespace kirvan
