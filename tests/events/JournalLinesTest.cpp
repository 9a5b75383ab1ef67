// The journal line and the table row of every event code, for the example complex.
#include "tests/events/EventFixture.h"

namespace kirvan::testing {
namespace {

struct LineCase {
    const char16_t* record;
    const char16_t* line; // after record, date and time; empty: nothing is logged
    const char16_t* status; // column 1 of the row; nullptr: no row
    const char16_t* message; // column 3
    friend void PrintTo(const LineCase& c, std::ostream* os) { *os << QString::fromUtf16(c.record).toStdString(); }
};

class JournalLineTest : public EventFixture, public ::testing::WithParamInterface<LineCase> {};

TEST_P(JournalLineTest, LogsTheLineAndFillsTheRowOfTheCode)
{
    const LineCase c = GetParam();
    const QString record = QString::fromUtf16(c.record);
    const QString line = process(record);
    const QString expected = QString::fromUtf16(c.line);
    if (expected.isEmpty())
        EXPECT_TRUE(line.isEmpty()) << line.toStdString();
    else
        EXPECT_EQ(line, record + QStringLiteral(" 08.12.2023 9:15:02 ") + expected);
    if (c.status) {
        EXPECT_EQ(row(1), (std::vector<QString>{QStringLiteral("1"), QString::fromUtf16(c.status),
                                                QStringLiteral("СКЛАД"), QString::fromUtf16(c.message),
                                                QStringLiteral("08.12.2023"), QStringLiteral("9:15:02")}));
        EXPECT_EQ(table.journalRow(), 2);
    } else {
        EXPECT_EQ(table.journalRow(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    SystemAndDetectorEvents, JournalLineTest,
    ::testing::Values(LineCase{u"01/И01-05/00", u"СКЛАД: НОРМА", nullptr, nullptr},
                      LineCase{u"01/И01-05/01", u"СКЛАД: КОНТРОЛЬ", nullptr, nullptr},
                      LineCase{u"01/И01-05/02", u"СКЛАД: ЗВУК ОТКЛ.", nullptr, nullptr},
                      LineCase{u"01/И01-05/03", u"СКЛАД: ВКЛЮЧЕН И01-05 Цех 1 Коридор", nullptr, nullptr},
                      LineCase{u"01/И01-61/03", u"СКЛАД: ВКЛЮЧЕН ", nullptr, nullptr},
                      LineCase{u"01/И01-06/05", u"СКЛАД: ВЫКЛЮЧЕН И01-06 Цех 1 Склад готовой продукции", nullptr, nullptr},
                      LineCase{u"01/И01-05/07", u"ПОЖАР: СКЛАД Цех 1 Коридор", u"ПОЖАР", u"Цех 1 Коридор"},
                      LineCase{u"01/И01-07/07", u"ТЕХНОЛОГ: СКЛАД Цех 1 Котельная", u"ТЕХНОЛОГ", u"Цех 1 Котельная"},
                      LineCase{u"01/И13-12/08", u"ОТКАЗ: СКЛАД Цех 1 Лестница", u"ОТКАЗ", u"Цех 1 Лестница"},
                      // Detectors without a description (И01-08 has a zone only, И21-03 no section at all).
                      LineCase{u"01/И01-08/07", u"ПОЖАР: СКЛАД Цех 1 извещатель не описан И01-08", u"ПОЖАР",
                               u"Цех 1 извещатель не описан И01-08"},
                      LineCase{u"01/И01-08/08", u"ОТКАЗ: СКЛАД Цех 1 извещатель не описан И01-08", u"ОТКАЗ",
                               u"Цех 1 извещатель не описан И01-08"},
                      LineCase{u"01/И21-03/51", u"ТЕХНОЛОГИЯ: СКЛАД извещатель не описан И21-03", u"ТЕХНОЛОГИЯ",
                               u"извещатель не описан И21-03"},
                      LineCase{u"01/И01-05/30", u"СКЛАД: ОХРАНА И01-05 Цех 1 Коридор", nullptr, nullptr},
                      LineCase{u"01/И01-05/31", u"СКЛАД: СНЯТ И01-05 Цех 1 Коридор", nullptr, nullptr},
                      LineCase{u"01/И01-05/51", u"ТЕХНОЛОГИЯ: СКЛАД Цех 1 Коридор", u"ТЕХНОЛОГИЯ", u"Цех 1 Коридор"},
                      LineCase{u"01/И01-05/04", u"", nullptr, nullptr}, LineCase{u"01/И01-05/06", u"", nullptr, nullptr},
                      LineCase{u"01/И01-05/99", u"", nullptr, nullptr}, LineCase{u"01/И01-05/-1", u"", nullptr, nullptr}));

INSTANTIATE_TEST_SUITE_P(
    EquipmentFaults, JournalLineTest,
    ::testing::Values(
        LineCase{u"01/И02-64/09", u"ОТКАЗ: СКЛАД НЕТ СВЯЗИ С ПУ-П", u"ОТКАЗ", u"НЕТ СВЯЗИ С ПУ-П"},
        LineCase{u"01/И31-64/09", u"ОТКАЗ: СКЛАД НЕТ СВЯЗИ С ППКП 3", u"ОТКАЗ", u"НЕТ СВЯЗИ С ППКП 3"},
        LineCase{u"01/ИA1-64/09", u"ОТКАЗ: СКЛАД НЕТ СВЯЗИ С БРВУ 2", u"ОТКАЗ", u"НЕТ СВЯЗИ С БРВУ 2"},
        LineCase{u"01/ИE1-64/09", u"ОТКАЗ: СКЛАД НЕТ СВЯЗИ С БРВУ 6", u"ОТКАЗ", u"НЕТ СВЯЗИ С БРВУ 6"},
        LineCase{u"01/B31/01/09", u"ОТКАЗ: СКЛАД НЕТ СВЯЗИ С БРВУ 3", u"ОТКАЗ", u"НЕТ СВЯЗИ С БРВУ 3"},
        LineCase{u"01/Т02/05/09", u"ОТКАЗ: СКЛАД НЕТ СВЯЗИ С БДУ02", u"ОТКАЗ", u"НЕТ СВЯЗИ С БДУ02"},
        LineCase{u"01/ИF1-64/09", u"ОТКАЗ: СКЛАД ", u"ОТКАЗ", u""},
        LineCase{u"01/И02-01/10", u"ОТКАЗ: СКЛАД ПУ-П ЗАМЫКАНИЕ  ЛИНИИ 2", u"ОТКАЗ", u"ПУ-П ЗАМЫКАНИЕ  ЛИНИИ 2"},
        LineCase{u"01/И13-01/10", u"ОТКАЗ: СКЛАД ППКП 1 ЗАМЫКАНИЕ  ЛИНИИ 3", u"ОТКАЗ", u"ППКП 1 ЗАМЫКАНИЕ  ЛИНИИ 3"},
        LineCase{u"01/И05-63/26", u"ОТКАЗ: СКЛАД ПУ-П РЕЛЕ Р5", u"ОТКАЗ", u"ПУ-П РЕЛЕ Р5"},
        LineCase{u"01/И25-63/26", u"ОТКАЗ: СКЛАД ППКП 2 РЕЛЕ Р5", u"ОТКАЗ", u"ППКП 2 РЕЛЕ Р5"},
        LineCase{u"01/ИB2-63/26", u"ОТКАЗ: СКЛАД БРВУ 3 РЕЛЕ Р2", u"ОТКАЗ", u"БРВУ 3 РЕЛЕ Р2"},
        LineCase{u"01/B31/09/26", u"ОТКАЗ: СКЛАД БРВУ 3 РЕЛЕ Р1", u"ОТКАЗ", u"БРВУ 3 РЕЛЕ Р1"},
        LineCase{u"01/Т02/16/26", u"ОТКАЗ: СКЛАД БДУ02 РЕЛЕ Р2", u"ОТКАЗ", u"БДУ02 РЕЛЕ Р2"},
        LineCase{u"01/И01-62/32", u"ОТКАЗ: СКЛАД ПУ-П   АВАРИЯ ПИТАНИЯ", u"ОТКАЗ", u"ПУ-П   АВАРИЯ ПИТАНИЯ"},
        LineCase{u"01/И11-62/32", u"ОТКАЗ: СКЛАД ППКП 1 АВАРИЯ ПИТАНИЯ", u"ОТКАЗ", u"ППКП 1 АВАРИЯ ПИТАНИЯ"},
        LineCase{u"01/И91-62/32", u"ОТКАЗ: СКЛАД БРВУ 1 АВАРИЯ ПИТАНИЯ", u"ОТКАЗ", u"БРВУ 1 АВАРИЯ ПИТАНИЯ"},
        LineCase{u"01/B21/01/32", u"ОТКАЗ: СКЛАД БРВУ 2 АВАРИЯ ПИТАНИЯ", u"ОТКАЗ", u"БРВУ 2 АВАРИЯ ПИТАНИЯ"},
        LineCase{u"01/Т03/05/32", u"ОТКАЗ: СКЛАД БДУ03  АВАРИЯ ПИТАНИЯ", u"ОТКАЗ", u"БДУ03  АВАРИЯ ПИТАНИЯ"},
        LineCase{u"01/И01-65/33", u"ОТКАЗ: СКЛАД ПУ-П  КАНАЛ СВЯЗИ А/В", u"ОТКАЗ", u"ПУ-П  КАНАЛ СВЯЗИ А/В"},
        LineCase{u"01/И01-01/23", u"ОТКАЗ: НЕТ СВЯЗИ С КОМПЛЕКСОМ", u"ОТКАЗ", u"НЕТ СВЯЗИ С КОМПЛЕКСОМ"}));

INSTANTIATE_TEST_SUITE_P(
    ContactsAndModes, JournalLineTest,
    ::testing::Values(LineCase{u"01/B31/01/24", u"СКЛАД:БРВУ 3 ЗАМКНУТ КОНТАКТ РЕЛЕ P1", nullptr, nullptr},
                      LineCase{u"01/B31/01/25", u"СКЛАД:БРВУ 3 РАЗОМКНУТ КОНТАКТ РЕЛЕ P1", nullptr, nullptr},
                      LineCase{u"01/И05-63/24", u"СКЛАД:ПУ-П ЗАМКНУТ КОНТАКТ РЕЛЕ P5", nullptr, nullptr},
                      LineCase{u"01/И25-63/25", u"СКЛАД:ППКП 2 РАЗОМКНУТ КОНТАКТ РЕЛЕ P5", nullptr, nullptr},
                      LineCase{u"01/ИC4-63/24", u"СКЛАД:БРВУ 4 ЗАМКНУТ КОНТАКТ РЕЛЕ P4", nullptr, nullptr},
                      LineCase{u"01/ИF5-63/24", u"", nullptr, nullptr},
                      LineCase{u"01/И02-05/24", u"СКЛАД:ПУ-П ЗАМКНУТ КОНТАКТ БКА02-05", nullptr, nullptr},
                      LineCase{u"01/И12-05/25", u"СКЛАД:ППКП 1 РАЗОМКНУТ КОНТАКТ БКА12-05", nullptr, nullptr},
                      LineCase{u"01/И92-05/24", u"", nullptr, nullptr},
                      LineCase{u"01/Т02/13/25", u"СКЛАД:БДУ02 РАЗОМКНУТ КОНТАКТ РЕЛЕ P3", nullptr, nullptr},
                      LineCase{u"01/Т02/13/24", u"СКЛАД:БДУ02 ЗАМКНУТ КОНТАКТ РЕЛЕ P3", nullptr, nullptr},
                      LineCase{u"01/И01-05/34", u"СКЛАД: Цех 1 БЛОКИРОВКА ВКЛЮЧЕНА", nullptr, nullptr},
                      LineCase{u"01/И01-05/35", u"СКЛАД: Цех 1 БЛОКИРОВКА ВЫКЛЮЧЕНА", nullptr, nullptr},
                      LineCase{u"01/И01-05/36", u"СКЛАД: Цех 1 РУЧНОЙ РЕЖИМ", nullptr, nullptr},
                      LineCase{u"01/И01-05/37", u"СКЛАД: Цех 1 АВТОМАТИЧЕСКИЙ РЕЖИМ", nullptr, nullptr}));

INSTANTIATE_TEST_SUITE_P(
    Extinguishing, JournalLineTest,
    ::testing::Values(
        LineCase{u"01/И01-05/38", u"ПОЖАР: СКЛАД Цех 1 ПОДАЧА ОТВ", u"ПОЖАР", u"Цех 1 ПОДАЧА ОТВ"},
        LineCase{u"01/И01-05/39", u"ПОЖАР: СКЛАД Цех 1 ПОДАЧА ОТВ 2 ОЧЕРЕДЬ", u"ПОЖАР", u"Цех 1 ПОДАЧА ОТВ 2 ОЧЕРЕДЬ"},
        LineCase{u"01/И01-05/40", u"ПОЖАР: СКЛАД Цех 1 ПУСК АСПТ", u"ПОЖАР", u"Цех 1 ПУСК АСПТ"},
        LineCase{u"01/И01-05/41", u"ОТКАЗ: СКЛАД Цех 1 УТЕЧКА ОТВ", u"ОТКАЗ", u"Цех 1 УТЕЧКА ОТВ"},
        LineCase{u"01/И01-05/42", u"ОТКАЗ: СКЛАД Цех 1 ЦЕПЬ ПОДАЧИ ОТВ", u"ОТКАЗ", u"Цех 1 ЦЕПЬ ПОДАЧИ ОТВ"},
        LineCase{u"01/И01-05/43", u"ОТКАЗ: СКЛАД Цех 1 ЦЕПЬ БЛОКИРОВКИ", u"ОТКАЗ", u"Цех 1 ЦЕПЬ БЛОКИРОВКИ"},
        LineCase{u"01/И01-05/44", u"ОТКАЗ: СКЛАД Цех 1 ЦЕПЬ ПОДАЧИ ОТВ 2 ОЧЕРЕДЬ", u"ОТКАЗ",
                 u"Цех 1 ЦЕПЬ ПОДАЧИ ОТВ 2 ОЧЕРЕДЬ"},
        LineCase{u"01/И01-05/45", u"ОТКАЗ: СКЛАД Цех 1 ЦЕПЬ  УТЕЧКА ОТВ", u"ОТКАЗ", u"Цех 1 ЦЕПЬ  УТЕЧКА ОТВ"},
        LineCase{u"01/И01-05/46", u"ОТКАЗ: СКЛАД Цех 1 ЦЕПЬ ОПОВЕЩЕНИЕ 1", u"ОТКАЗ", u"Цех 1 ЦЕПЬ ОПОВЕЩЕНИЕ 1"},
        LineCase{u"01/И01-05/47", u"ОТКАЗ: СКЛАД Цех 1  ЦЕПЬ ОПОВЕЩЕНИЕ 2", u"ОТКАЗ", u"Цех 1  ЦЕПЬ ОПОВЕЩЕНИЕ 2"},
        LineCase{u"01/И02-01/48", u"ПОЖАР: СКЛАД Цех 1: АКТИВАЦИЯ АСПТ", u"ПОЖАР", u"Цех 1: АКТИВАЦИЯ АСПТ"},
        LineCase{u"01/И03-01/49", u"ПОЖАР: СКЛАД : ПОДАЧА ОТВ", u"ПОЖАР", u": ПОДАЧА ОТВ"},
        LineCase{u"01/Т02/79/50", u"ОТКАЗ: СКЛАД БДУ02 АСПТ:ЦЕПЬ ПОДАЧА ОТВ", u"ОТКАЗ", u"БДУ02 АСПТ:ЦЕПЬ ПОДАЧА ОТВ"},
        LineCase{u"01/Т02/84/50", u"ОТКАЗ: СКЛАД БДУ02 АСПТ:КНОПКА РУЧНОЙ", u"ОТКАЗ", u"БДУ02 АСПТ:КНОПКА РУЧНОЙ"},
        LineCase{u"01/Т02/85/50", u"ОТКАЗ: СКЛАД ", u"ОТКАЗ", u""}, LineCase{u"01/И01-79/50", u"", nullptr, nullptr}));

} // namespace
} // namespace kirvan::testing
